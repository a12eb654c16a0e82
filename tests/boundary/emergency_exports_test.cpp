// The emergency exports as a host calls them: libzkdownload.so loaded with
// dlopen, a real rb310-sim process that offers only its downloader, the
// headless operator interface and a small time scale.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/byte_files.h"
#include "support/library_loader.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

using zk::test::ReadAll;
using zk::test::Resolve;

namespace fs = std::filesystem;
using zk::test::Bytes;

using EmergencySerialFn = int (*)(short, int, const char*, const char*, char, short);
using EmergencyUsbFn = int (*)(short, int, const char*, const char*, char, short, short, short, short);
using LastResultFn = int (*)();

constexpr int kPort = 6;  // COM6: port index 5, mask 0x0020
constexpr short kPortIndex = kPort - 1;
constexpr short kPortMask = 1 << kPortIndex;

Bytes Image(std::size_t size) {
  Bytes bytes(size);
  uint32_t seed = 77;
  for (auto& byte : bytes) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(seed >> 24);
  }
  return bytes;
}

class EmergencyExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(zk::test::LoadedLibrary(), nullptr) << dlerror();
    serial_ = Resolve<EmergencySerialFn>("Emergency_Interface");
    usb_ = Resolve<EmergencyUsbFn>("EmergencyUSB_Interface");
    lastResult_ = Resolve<LastResultFn>("GetLastResult_Interface");
    ASSERT_TRUE(serial_ && usb_ && lastResult_);
  }
  void TearDown() override { sim_.Stop(); }

  void StartSim(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--port", "COM" + std::to_string(kPort), "--state", StateDir().string(),
                                  "--downloader", "--restart-delay", "200", "--transcript", Transcript().string()};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    ASSERT_TRUE(sim_.Start(args, error)) << error;
  }

  fs::path StateDir() const { return home_.path() / "state"; }
  fs::path Transcript() const { return home_.path() / "transcript.jsonl"; }
  fs::path Burned() const { return StateDir() / "flash" / "main_image.bin"; }
  fs::path WriteImage(const Bytes& bytes) {
    const fs::path path = home_.path() / "rescue.bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  std::vector<std::string> TranscriptLines() const {
    std::ifstream in(Transcript());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
  EmergencySerialFn serial_ = nullptr;
  EmergencyUsbFn usb_ = nullptr;
  LastResultFn lastResult_ = nullptr;
};

TEST_F(EmergencyExports, UsbFormBurnsTheImageByteForByte) {
  StartSim();
  const Bytes image = Image(7000);
  EXPECT_EQ(usb_(0, 0, "", WriteImage(image).c_str(), 0, kPortIndex, 0, 0, -1), 1);
  EXPECT_EQ(lastResult_(), 1);
  EXPECT_EQ(ReadAll(Burned()), image);
  // Only download packets reached the handset, the rate switch first and
  // the reset last; the write blocks carry their addresses.
  const auto lines = TranscriptLines();
  ASSERT_EQ(lines.size(), 3u + 4u + 2u);
  for (const auto& line : lines) EXPECT_NE(line.find("\"kind\":\"download\""), std::string::npos) << line;
  EXPECT_NE(lines.front().find("\"code\":41"), std::string::npos) << lines.front();
  EXPECT_NE(lines[6].find("\"address\":6144,\"length\":856"), std::string::npos) << lines[6];
  EXPECT_NE(lines.back().find("\"code\":10"), std::string::npos) << lines.back();
}

TEST_F(EmergencyExports, MissingImageIsReportedOnlyAsZeroAndTouchesNothing) {
  StartSim();
  EXPECT_EQ(usb_(0, 0, "", (home_.path() / "absent.bin").c_str(), 0, kPortIndex, 0, 0, -1), 0);
  EXPECT_EQ(lastResult_(), 201020);
  EXPECT_TRUE(TranscriptLines().empty());
}

TEST_F(EmergencyExports, SerialFormTakesThePortFromTheMaskAndReportsARefusedBlock) {
  StartSim({"--nak", "code=1#2"});
  EXPECT_EQ(serial_(0, 0, "", WriteImage(Image(5000)).c_str(), 0, kPortMask), 0);
  EXPECT_EQ(lastResult_(), 602009);
  EXPECT_FALSE(fs::exists(Burned()));
}

}  // namespace
