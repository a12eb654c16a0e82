// The binary download exports as a host calls them: libzkdownload.so loaded
// with dlopen, a real rb310-sim process, host buffers registered through
// fnPassPara_Interface, the headless operator interface and a small time
// scale.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/byte_files.h"
#include "support/library_loader.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::test::Bytes;
using zk::test::ReadAll;
using zk::test::Resolve;

using BinUsbFn = int (*)(short, const char*, const char*, const char*, char, short, short, short, short);
using BinSerialFn = int (*)(short, const char*, const char*, const char*, char, short);
using PassParaFn = int (*)(short, int*, unsigned char*, int, int, int*, unsigned char*, unsigned char*, const char*,
                           const char*, const char*, const char*, const char*, int, int, int);

constexpr int kPort = 7;  // COM7
constexpr short kPortIndex = kPort - 1;

class BinDownloadExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(zk::test::LoadedLibrary(), nullptr);
    usb_ = Resolve<BinUsbFn>("BINDownloadUSB_Interface");
    serial_ = Resolve<BinSerialFn>("BINDownload_Interface");
    const auto passPara = Resolve<PassParaFn>("fnPassPara_Interface");
    ASSERT_TRUE(usb_ && serial_ && passPara);
    std::memset(version_, 0x5A, sizeof(version_));
    ASSERT_EQ(passPara(1, &result_, version_, 0, 0, &count_, names_, times_, "", "", "", "", "", 0, 1, 0), 1);
    // Backup files without a chosen name land in the current directory.
    previous_ = fs::current_path();
    fs::current_path(home_.path());
  }
  void StartSim(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--port", "COM" + std::to_string(kPort), "--state", (home_.path() / "state").string(),
                                  "--restart-delay", "200", "--transcript", Transcript().string()};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    ASSERT_TRUE(sim_.Start(args, error)) << error;
  }
  static Bytes TaggedImage(const std::string& version) {
    const std::string tag = "RB310VER=" + version;
    Bytes image(tag.begin(), tag.end());
    for (int i = 0; i < 5000; ++i) image.push_back(static_cast<uint8_t>(i * 13));
    return image;
  }
  void TearDown() override {
    sim_.Stop();
    fs::current_path(previous_);
    // The library keeps the registered buffers for as long as it is loaded:
    // a later case in this process must not find it writing into this one's.
    if (const auto passPara = Resolve<PassParaFn>("fnPassPara_Interface"))
      passPara(1, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, "", "", "", "", "", 0, 1, 0);
  }

  fs::path Transcript() const { return home_.path() / "transcript.jsonl"; }
  fs::path WriteImage(const std::string& name, const Bytes& bytes) {
    const fs::path path = home_.path() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  std::string Slot(const unsigned char* block, int slot) const {
    return reinterpret_cast<const char*>(block + slot * 100);
  }

  zk::test::TempHome home_;
  fs::path previous_;
  zk::test::SimProcess sim_;
  BinUsbFn usb_ = nullptr;
  BinSerialFn serial_ = nullptr;
  int result_ = -1, count_ = -1;
  unsigned char version_[15 + 8]{};  // 15 for the library, then a guard band
  unsigned char names_[1000]{}, times_[1000]{};
};

TEST_F(BinDownloadExports, ShortSequenceBurnsTheImageAndReportsStagesAndTheNewVersion) {
  StartSim();
  const Bytes image = TaggedImage("R310V200");
  // Kind 0 does not check the model prefix of the name.
  const fs::path path = WriteImage("any_name.bin", image);

  ASSERT_EQ(usb_(0, "", "", path.c_str(), 0, kPortIndex, 0, 0, -1), 1);
  EXPECT_EQ(result_, 1);
  EXPECT_EQ(ReadAll(home_.path() / "state" / "flash" / "main_image.bin"), image);
  EXPECT_STREQ(reinterpret_cast<const char*>(version_), "R310V200_07");
  for (std::size_t i = 15; i < sizeof(version_); ++i) EXPECT_EQ(version_[i], 0x5A) << "written past the buffer";

  const char* stages[] = {"DXX01", "DXX05", "DownLoadThread", "DXX02", "DXX06", " Mode Reset", "END"};
  ASSERT_EQ(count_, 7);
  for (int slot = 0; slot < 7; ++slot) {
    EXPECT_EQ(Slot(names_, slot), stages[slot]);
    const std::string time = Slot(times_, slot);
    if (slot < 6) EXPECT_EQ(time.size(), 4u) << slot << ": " << time;
    else EXPECT_EQ(time, "");
  }
}

TEST_F(BinDownloadExports, FullSequenceRefusesAnImageWithoutTheModelPrefixBeforeTouchingTheHandset) {
  StartSim();
  const fs::path path = WriteImage("R310V200.bin", Bytes(3000, 0x11));
  EXPECT_EQ(serial_(2, "", "", path.c_str(), 0, static_cast<short>(1 << kPortIndex)), 0);
  EXPECT_EQ(result_, 121000);
  std::ifstream transcript(Transcript());
  std::string line;
  EXPECT_FALSE(std::getline(transcript, line)) << "the handset was touched: " << line;
  EXPECT_EQ(count_, -1) << "kinds 2 and 3 keep no stage report";
}

TEST_F(BinDownloadExports, AHandsetThatCannotSayItsVersionAfterTheBurnIsNoSuccess) {
  // The vendor query completes the version label; the handset never answers it.
  StartSim({"--drop", "code=0xFA"});
  std::memset(version_, 0, sizeof(version_));
  const fs::path path = WriteImage("RB31VV20.bin", TaggedImage("R310V200"));
  EXPECT_EQ(usb_(0, "", "", path.c_str(), 0, kPortIndex, 0, 0, -1), 0);
  EXPECT_EQ(result_, 314000);
  EXPECT_EQ(version_[0], 0) << "no version may reach the host";
}

}  // namespace
