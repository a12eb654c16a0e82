// Each service's restart hook: what it forgets when the handset restarts, and
// what it keeps.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "services/diag_codes.h"
#include "services/download_codes.h"
#include "sim_rig.h"

namespace rb310::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Records its restarts and the personality each one found.
class RestartProbe : public Service {
 public:
  const char* name() const override { return "probe"; }
  void Register(Dispatchers&) override {}
  void OnRestart() override { seen.push_back(personality()); }

  std::function<Personality()> personality;
  std::vector<Personality> seen;
};

TEST(SimServices, CoreRunsEveryRestartHookOnceAsTheRestartBegins) {
  HandsetCore core(HandsetCore::Settings{}, 0);
  RestartProbe first, second;
  for (RestartProbe* probe : {&first, &second}) {
    probe->personality = [&core] { return core.personality(); };
    core.Attach(*probe);
  }
  core.BeginRestart(0);
  EXPECT_EQ(first.seen, std::vector<Personality>{Personality::kRestarting});
  EXPECT_EQ(second.seen, std::vector<Personality>{Personality::kRestarting});
}

// Requests that leave session state behind, checks that it is there, and
// what must hold once the handset has restarted.
struct RestartCase {
  const char* service;
  std::function<void(HandsetRig&)> prepare;
  std::function<void(HandsetRig&)> afterRestart;
};

Bytes PrlBlock(uint8_t sequence, bool more) {
  Bytes packet(diag::kPrlWriteRequestSize, 0);
  packet[0] = diag::kPrlWrite;
  packet[diag::kPrlWriteSeqOffset] = sequence;
  packet[diag::kPrlWriteMoreOffset] = more ? 1 : 0;
  packet[diag::kPrlWriteBitsOffset] = 8;  // one byte
  return packet;
}

std::optional<Bytes> Download(HandsetRig& rig, const Bytes& packet) {
  const Bytes out = rig.Feed(zk::test::Frame(packet, 3));
  if (out.empty()) return std::nullopt;
  return zk::test::FirstPacket(out);
}

const RestartCase kRestartCases[] = {
    {"security",
     [](HandsetRig& rig) {
       rig.Ask({diag::kSpc, '2', '7', '1', '8', '2', '8'});
       rig.Ask({diag::kKeyLock, 0x00, 0x00});
       ASSERT_TRUE(rig.handset().security().spcUnlocked());
       ASSERT_TRUE(rig.handset().security().keypadReleased());
       rig.Ask({diag::kKeyPress, 0x00, '1'});
     },
     [](HandsetRig& rig) {
       EXPECT_FALSE(rig.handset().security().spcUnlocked());
       EXPECT_FALSE(rig.handset().security().keypadReleased());
       rig.Ask({diag::kKeyPress, 0x00, '2'});  // locked again: not typed
       EXPECT_EQ(rig.handset().security().keysPressed(), Bytes{'1'}) << "the record of presses stays";
     }},
    {"mode",
     [](HandsetRig& rig) {
       rig.Ask({diag::kModeControl, 0x01, 0x00});
       ASSERT_TRUE(rig.handset().mode().offline());
     },
     [](HandsetRig& rig) {
       EXPECT_FALSE(rig.handset().mode().offline());
       EXPECT_EQ(Le16(*rig.Ask({diag::kStatus}), diag::kStatusPhoneStateOffset), diag::kPhoneStateOnline);
     }},
    {"PRL",
     [](HandsetRig& rig) {
       ASSERT_EQ(rig.Ask(PrlBlock(0, true))->at(1), diag::kPrlOk);
       ASSERT_TRUE(rig.handset().prl().writeSession().InProgress());
     },
     [](HandsetRig& rig) {
       EXPECT_FALSE(rig.handset().prl().writeSession().InProgress());
       EXPECT_EQ(rig.Ask(PrlBlock(1, false))->at(1), diag::kPrlSequenceError);
       EXPECT_FALSE(rig.handset().prl().store().Load(0));
     }},
    {"downloader",
     [](HandsetRig& rig) {
       rig.handset().EnterDownloader();
       ASSERT_EQ(Download(rig, {dl::kInitialize}), Bytes{dl::kAck});
       ASSERT_TRUE(rig.handset().downloader().flash().openRegion());
     },
     [](HandsetRig& rig) {
       EXPECT_FALSE(rig.handset().downloader().flash().openRegion());
       EXPECT_FALSE(fs::exists(rig.stateDir() / "flash" / "main_image.bin"));
     }},
    {"NV",
     [](HandsetRig& rig) { ASSERT_EQ(Le16(*rig.Ask(NvRequest(diag::kNvWrite, 82, {'9'})), 131), nv::kDone); },
     [](HandsetRig& rig) {
       const auto read = rig.Ask(NvRequest(diag::kNvRead, 82));
       EXPECT_EQ(Le16(*read, 131), nv::kDone) << "a restart never touches the store";
       EXPECT_EQ(read->at(3), '9');
     }},
    {"file system",
     [](HandsetRig& rig) { std::ofstream(rig.stateDir() / "efs" / "kept") << "kept"; },
     [](HandsetRig& rig) { EXPECT_TRUE(fs::exists(rig.handset().fileSystem().directory() / "kept")); }},
};

TEST(SimServices, EachServiceForgetsItsSessionStateOnARestart) {
  for (const RestartCase& c : kRestartCases) {
    SCOPED_TRACE(c.service);
    HandsetRig rig;
    fs::create_directories(rig.stateDir() / "efs");
    c.prepare(rig);
    if (::testing::Test::HasFatalFailure()) return;
    rig.handset().core().BeginRestart(rig.now());
    rig.Wait(rig.handset().options().personality.restartDelayMs);
    ASSERT_EQ(rig.handset().counters().restarts, 1u);
    ASSERT_EQ(rig.handset().state().personality, Personality::kDiag);
    c.afterRestart(rig);
  }
}

TEST(SimServices, StoresLeaveOnlyTheirOwnFilesBehind) {
  HandsetRig rig;
  rig.Ask(NvRequest(diag::kNvWrite, 82, {'1'}));
  rig.Ask(PrlBlock(0, false));
  rig.handset().EnterDownloader();
  Download(rig, {dl::kInitialize});
  Download(rig, {dl::kFinalize});
  const auto names = [](const fs::path& directory) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(directory)) found.push_back(entry.path().filename().string());
    return found;
  };
  EXPECT_EQ(names(rig.stateDir() / "nv"), std::vector<std::string>{"82.bin"});
  EXPECT_EQ(names(rig.stateDir() / "prl"), std::vector<std::string>{"nam0.bin"});
  EXPECT_EQ(names(rig.stateDir() / "flash"), std::vector<std::string>{"main_image.bin"});
}

// The options a lost or locked NV needs: reads refused until the SPC, and
// every item gone once a main image is stored.
TEST(SimServices, NvReadsLockedUntilTheSpcAndLostWithAStoredImage) {
  SimOptions options = DmOptions();
  options.security.requireSpcForReads = true;
  options.nv.loseOnImageStored = true;
  HandsetRig rig(options);
  EXPECT_EQ(rig.Ask(NvRequest(diag::kNvRead, 82))->at(0), 0x42);
  rig.Ask({diag::kSpc, '2', '7', '1', '8', '2', '8'});
  ASSERT_EQ(Le16(*rig.Ask(NvRequest(diag::kNvWrite, 82, {'9'})), 131), nv::kDone);
  ASSERT_EQ(Le16(*rig.Ask(NvRequest(diag::kNvRead, 82)), 131), nv::kDone);
  rig.handset().EnterDownloader();
  Download(rig, {dl::kInitialize});
  Download(rig, {dl::kFinalize});
  EXPECT_FALSE(rig.handset().nv().store().Read(82, -1));
}

}  // namespace
}  // namespace rb310::test
