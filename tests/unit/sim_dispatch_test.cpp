// Dispatch by command code, or by code, subsystem and sub-command: the most
// specific entry registered for a request answers it.
#include <gtest/gtest.h>

#include <string>

#include "core/dispatcher.h"
#include "services/diag_codes.h"
#include "sim_rig.h"

namespace rb310::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// An entry that answers with its own name, so a case can tell which one took
// the request.
Command Named(const std::string& name, std::size_t minLength = 1, bool guarded = false) {
  return {name, minLength, guarded,
          [name](HandsetContext&, std::span<const uint8_t>) { return Answer{Text(name), {}}; }};
}

class SimDispatchTable : public ::testing::Test {
 protected:
  SimDispatchTable() {
    dispatcher_.AddFamily(0x4B, SubKeyLayout{1, 2, 2});
    dispatcher_.AddFamily(0x59, SubKeyLayout{std::nullopt, 1, 1});
    dispatcher_.Add(0x4B, Named("subsystems"));
    dispatcher_.Add({0x4B, 0x13}, Named("efs"));
    dispatcher_.Add({0x4B, 0x13, 0x0002}, Named("efs open"));
    dispatcher_.Add({0x4B, std::nullopt, 0x0002}, Named("sub-command without subsystem"));
    dispatcher_.Add({0x59, std::nullopt, 3}, Named("operation 3"));
    dispatcher_.Add(0x01, Named("esn"));
    dispatcher_.SetFallback([](HandsetContext&, std::span<const uint8_t>) { return Answer{Text("fallback"), {}}; });
  }

  Bytes Ask(const Bytes& request) { return dispatcher_.Dispatch(context_, request).packet; }

  HandsetCore context_{HandsetCore::Settings{}, 0};
  Dispatcher dispatcher_;
};

TEST_F(SimDispatchTable, MostSpecificKeyFirst) {
  struct Case {
    const char* what;
    Bytes request;
    std::string answeredBy;
  };
  const Case cases[] = {
      {"code, subsystem and sub-command", {0x4B, 0x13, 0x02, 0x00}, "efs open"},
      {"unknown sub-command: its subsystem's entry", {0x4B, 0x13, 0x03, 0x00}, "efs"},
      {"the sub-command is little-endian", {0x4B, 0x13, 0x00, 0x02}, "efs"},
      {"too short for a sub-command", {0x4B, 0x13, 0x02}, "efs"},
      {"another subsystem: the code's entry", {0x4B, 0x12, 0x02, 0x00}, "subsystems"},
      {"too short for a subsystem", {0x4B}, "subsystems"},
      {"operation family: its operation", {0x59, 0x03, 0x00}, "operation 3"},
      {"operation family: an unknown operation", {0x59, 0x04}, "fallback"},
      {"a plain code", {0x01}, "esn"},
      {"an unknown code", {0x02, 0x13, 0x02, 0x00}, "fallback"},
  };
  for (const Case& c : cases) EXPECT_EQ(Ask(c.request), Text(c.answeredBy)) << c.what;
}

TEST_F(SimDispatchTable, LengthAndGuardHoldForSubKeyedEntriesToo) {
  dispatcher_.Add({0x4B, 0x13, 0x0005}, Named("efs write", 6, true));
  bool unlocked = false;
  dispatcher_.SetGuard([&unlocked] { return unlocked; });
  EXPECT_EQ(Ask({0x4B, 0x13, 0x05, 0x00}), (Bytes{diag::kBadLength, 0x4B, 0x13, 0x05, 0x00}));
  EXPECT_EQ(Ask({0x4B, 0x13, 0x05, 0x00, 0x00, 0x00}),
            (Bytes{diag::kBadSecurityMode, 0x4B, 0x13, 0x05, 0x00, 0x00, 0x00}));
  unlocked = true;
  EXPECT_EQ(Ask({0x4B, 0x13, 0x05, 0x00, 0x00, 0x00}), Text("efs write"));
}

TEST(SimDispatchOnTheHandset, FileSystemRequestsOfBothFamiliesReachTheHandlersAddedForThem) {
  HandsetRig rig;
  // Nothing answers them yet: the bad-command answer, as for any unknown request.
  const Bytes subsystem{diag::kSubsystemDispatch, diag::kEfsSubsystem, 0x34, 0x12};
  const Bytes neighbour{diag::kSubsystemDispatch, diag::kEfsSubsystem, 0x35, 0x12};
  EXPECT_EQ(rig.Ask(subsystem), (Bytes{diag::kBadCommand, 0x4B, 0x13, 0x34, 0x12}));
  EXPECT_EQ(rig.Ask({diag::kEfsOperations, 0x07, 0x00}), (Bytes{diag::kBadCommand, 0x59, 0x07, 0x00}));

  rig.handset().diagCommands().Add({diag::kSubsystemDispatch, diag::kEfsSubsystem, 0x1234}, Named("efs 1234"));
  rig.handset().diagCommands().Add({diag::kEfsOperations, std::nullopt, 0x07}, Named("operation 7"));
  EXPECT_EQ(rig.Ask(subsystem), Text("efs 1234"));
  EXPECT_EQ(rig.Ask(neighbour), (Bytes{diag::kBadCommand, 0x4B, 0x13, 0x35, 0x12}));
  EXPECT_EQ(rig.Ask({diag::kEfsOperations, 0x07, 0x00}), Text("operation 7"));
  EXPECT_EQ(rig.Ask({diag::kEfsOperations, 0x08}), (Bytes{diag::kBadCommand, 0x59, 0x08}));
  EXPECT_EQ(rig.handset().transcript().Entries().back().code, diag::kEfsOperations);
}

}  // namespace
}  // namespace rb310::test
