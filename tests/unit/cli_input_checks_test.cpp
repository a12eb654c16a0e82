// The PRL checks the command makes before the handset is touched.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli/input_checks.h"
#include "support/byte_files.h"

namespace {

namespace fs = std::filesystem;
using zk::test::Bytes;

// A list of `size` bytes: its size field, pseudo-random contents, and the
// check sequence over them, complemented or not.
Bytes ListWithCheck(std::size_t size, bool complemented) {
  Bytes list = zk::test::PseudoRandomBytes(size, 310);
  list[0] = static_cast<uint8_t>(size >> 8);
  list[1] = static_cast<uint8_t>(size);
  uint16_t check = zk::cli::PrlCheckRegister(list.data(), size - 2);
  if (complemented) check = static_cast<uint16_t>(~check);
  list[size - 2] = static_cast<uint8_t>(check >> 8);
  list[size - 1] = static_cast<uint8_t>(check);
  return list;
}

class CliPrlChecks : public ::testing::Test {
 protected:
  fs::path Write(const Bytes& bytes) {
    zk::test::WriteAll(file_, bytes);
    return file_;
  }
  ~CliPrlChecks() override { fs::remove(file_); }

  fs::path file_ = fs::temp_directory_path() / ("zk-prl-check-" + std::to_string(::getpid()) + ".prl");
};

TEST_F(CliPrlChecks, CheckRegisterIsTheAllOnesPresetCcittCrc) {
  const std::string text = "123456789";
  EXPECT_EQ(zk::cli::PrlCheckRegister(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0x29B1);
}

TEST_F(CliPrlChecks, EitherFormOfTheCheckPassesAndDamageIsNamed) {
  EXPECT_EQ(zk::cli::PrlCheckWarning(Write(ListWithCheck(349, true))), "");
  EXPECT_EQ(zk::cli::PrlCheckWarning(Write(ListWithCheck(349, false))), "");

  Bytes damaged = ListWithCheck(349, true);
  damaged[100] ^= 0x01;
  const std::string warning = zk::cli::PrlCheckWarning(Write(damaged));
  EXPECT_NE(warning.find("ends with check sequence"), std::string::npos) << warning;
  EXPECT_EQ(zk::cli::WhyNotPrl(file_), "") << "the size field still matches";
}

TEST_F(CliPrlChecks, SizeFieldMustMatchTheFile) {
  Bytes list = ListWithCheck(349, true);
  list.pop_back();
  EXPECT_NE(zk::cli::WhyNotPrl(Write(list)).find("says it holds 349 bytes but has 348"), std::string::npos);
  EXPECT_NE(zk::cli::WhyNotPrl(Write({0x01})).find("too short"), std::string::npos);
}

}  // namespace
