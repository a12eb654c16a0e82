// The operation exports as a host calls them: libzkdownload.so loaded with
// dlopen, exports found by their plain names, a real rb310-sim process on a
// pty as the handset, the headless operator interface and a small time scale.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

using PrlSerialFn = int (*)(short, const char*, const char*, const char*, int, short);
using PrlUsbFn = int (*)(short, const char*, const char*, const char*, int, short, short, short, short);
using PassParaFn = int (*)(short, int*, unsigned char*, int, int, int*, unsigned char*, unsigned char*,
                           const char*, const char*, const char*, const char*, const char*, int, int, int);
using UpgradeFn = int (*)(short, int, const char*, const char*, const char*, const char*, int, const char*, char,
                          short);
using PimWriteFn = int (*)(short, const char*, const char*, const char*, unsigned short, short, short, short);
using PimReadFn = int (*)(short, const char*, const char*, const char*);
using LastResultFn = int (*)();
using FailureTextsFn = int (*)(int, char*, int, char*, int, char*, int);

constexpr int kPort = 5;  // COM5: port index 4, mask 0x0010
constexpr short kPortIndex = kPort - 1;

void* Library() {
  static void* handle = [] {
    // Read by the library when it first needs them: the headless interface
    // and waits at a twentieth of their length.
    setenv("ZKDOWNLOAD_UI", "none", 1);
    setenv("ZKDOWNLOAD_TIME_SCALE", "0.05", 1);
    return dlopen(ZK_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  }();
  return handle;
}

template <typename Fn>
Fn Resolve(const char* name) {
  void* library = Library();
  return library != nullptr ? reinterpret_cast<Fn>(dlsym(library, name)) : nullptr;
}

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const fs::path& path) {
  const Bytes bytes = ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

void WriteAll(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes List(std::size_t size, uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 13 + i / 256);
  return bytes;
}

// Whether another user could take the port now: it opens and its lock is free.
bool PortIsFree(const fs::path& link) {
  const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
  close(fd);
  return free;
}

class OperationExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library(), nullptr) << dlerror();
    prlWrite_ = Resolve<PrlSerialFn>("PRLWrite_Interface");
    prlRead_ = Resolve<PrlSerialFn>("PRLRead_Interface");
    prlWriteUsb_ = Resolve<PrlUsbFn>("PRLWriteUSB_Interface");
    prlReadUsb_ = Resolve<PrlUsbFn>("PRLReadUSB_Interface");
    passPara_ = Resolve<PassParaFn>("fnPassPara_Interface");
    lastResult_ = Resolve<LastResultFn>("GetLastResult_Interface");
    ASSERT_TRUE(prlWrite_ && prlRead_ && prlWriteUsb_ && prlReadUsb_ && passPara_ && lastResult_);
    unsetenv("ZKDOWNLOAD_ANSWERS");

    std::ofstream(home_.path() / "ErrorSend") << "#!/bin/sh\ncp \"$1\" \"$(dirname \"$0\")/sent.txt\"\n";
    fs::permissions(home_.path() / "ErrorSend", fs::perms::owner_all);

    std::string error;
    ASSERT_TRUE(sim_.Start({"--port", "COM" + std::to_string(kPort), "--state", StateDir().string(),
                            "--restart-delay", "200", "--transcript", Transcript().string()},
                           error))
        << error;
  }

  void TearDown() override {
    sim_.Stop();
    unsetenv("ZKDOWNLOAD_ANSWERS");
  }

  fs::path StateDir() const { return home_.path() / "state"; }
  fs::path Transcript() const { return home_.path() / "transcript.jsonl"; }
  fs::path Stored(int nam) const { return StateDir() / "prl" / ("nam" + std::to_string(nam) + ".bin"); }
  fs::path PortLink() const { return home_.PortsDir() / ("COM" + std::to_string(kPort)); }
  fs::path HandedOver() const { return home_.path() / "Model" / "RB310" / "error_login_COM5.txt"; }

  fs::path Source(const Bytes& list) {
    const fs::path path = home_.path() / "list.prl";
    WriteAll(path, list);
    return path;
  }

  // Transcript lines of requests whose bytes start with `hexPrefix`.
  int Requests(const std::string& hexPrefix) const {
    std::ifstream in(Transcript());
    int count = 0;
    for (std::string line; std::getline(in, line);)
      if (line.find("\"kind\":\"frame\"") != std::string::npos &&
          line.find("\"hex\":\"" + hexPrefix) != std::string::npos)
        ++count;
    return count;
  }
  int Resets() const { return Requests("290200"); }

  int WriteUsb(const fs::path& path, int nam) {
    return prlWriteUsb_(0, "", "", path.c_str(), nam, kPortIndex, 0, 0, -1);
  }
  int ReadUsb(const fs::path& path, int nam) { return prlReadUsb_(0, "", "", path.c_str(), nam, kPortIndex, 0, 0, -1); }

  // Registration lasts as long as the library stays loaded, so the cases
  // that register run in a child of this process: the others keep seeing an
  // unregistered library, whatever order the cases run in.
  void InChildHost(const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      body();
      std::fflush(nullptr);
      std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child host failed (see above)";
  }

  // Registers pass-parameter mode with `cell` as result cell and a library
  // path in the temporary home (the error login file would go beside it).
  void Register(int* cell) {
    const std::string libraryPath = (home_.path() / "lib" / "libzkdownload.so").string();
    fs::create_directories(home_.path() / "lib");
    ASSERT_EQ(passPara_(1, cell, version_, 0, 0, &count_, names_, times_, "", "", "", "", libraryPath.c_str(), 0, 1,
                        0),
              1);
  }
  bool ErrorLoginWrittenBesideRegisteredPath() const {
    return fs::exists(home_.path() / "lib" / "error_login_COM5.txt");
  }

  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
  PrlSerialFn prlWrite_ = nullptr;
  PrlSerialFn prlRead_ = nullptr;
  PrlUsbFn prlWriteUsb_ = nullptr;
  PrlUsbFn prlReadUsb_ = nullptr;
  PassParaFn passPara_ = nullptr;
  LastResultFn lastResult_ = nullptr;
  unsigned char version_[16] = {};
  int count_ = 0;
  unsigned char names_[1000] = {};
  unsigned char times_[1000] = {};
};

TEST_F(OperationExports, UsbFormsWriteAndReadBack) {
  const Bytes list = List(300, 1);
  EXPECT_EQ(WriteUsb(Source(list), 0), 1);
  EXPECT_EQ(lastResult_(), 1);
  EXPECT_EQ(ReadAll(Stored(0)), list);
  EXPECT_EQ(Requests("48"), 8);
  EXPECT_EQ(Resets(), 1);
  EXPECT_TRUE(PortIsFree(PortLink()));

  const fs::path copy = home_.path() / "copy.prl";
  EXPECT_EQ(ReadUsb(copy, 0), 1);
  EXPECT_EQ(ReadAll(copy), list);
  EXPECT_TRUE(PortIsFree(PortLink()));
}

TEST_F(OperationExports, SerialFormsTakeThePortFromTheLowestBitOfTheMask) {
  const Bytes list = List(90, 2);
  // Bits 4 and 5: COM5 wins. Null texts read as empty (the default code).
  EXPECT_EQ(prlWrite_(0, nullptr, nullptr, Source(list).c_str(), 1, 0x0030), 1);
  EXPECT_EQ(ReadAll(Stored(1)), list);
  EXPECT_FALSE(fs::exists(Stored(0)));

  const fs::path copy = home_.path() / "copy.prl";
  EXPECT_EQ(prlRead_(0, "", "", copy.c_str(), 1, 0x0010), 1);
  EXPECT_EQ(ReadAll(copy), list);
}

TEST_F(OperationExports, ScriptedOkInTheEndDialogWritesTheNextHandset) {
  setenv("ZKDOWNLOAD_ANSWERS", "OK,END", 1);
  EXPECT_EQ(WriteUsb(Source(List(50, 3)), 0), 1);
  EXPECT_EQ(Resets(), 2);
  EXPECT_EQ(Requests("480001"), 2);  // the first block of each pass: sequence 0, more
}

TEST_F(OperationExports, FailureShowsTheErrorDialogWhichHandsTheReportOn) {
  const fs::path beside = fs::path(ZK_LIBRARY_FILE).parent_path() / "error_login_COM5.txt";
  EXPECT_EQ(WriteUsb(home_.path() / "absent.prl", 0), 0);
  EXPECT_EQ(lastResult_(), 405041);
  // The none interface confirms the dialog: the report goes beside the
  // library and, copied, to the error-sending tool, which runs on its own.
  const std::string report = ReadText(HandedOver());
  fs::remove(beside);
  EXPECT_NE(report.find("Error Message Number : 405041"), std::string::npos) << report;
  EXPECT_NE(report.find("'PRLDownloadProc' Function in PRL Download"), std::string::npos) << report;
  EXPECT_NE(report.find("absent.prl"), std::string::npos) << report;
  const fs::path sent = home_.path() / "sent.txt";
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!fs::exists(sent) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(fs::exists(sent));
  EXPECT_EQ(Resets(), 0);
  EXPECT_TRUE(PortIsFree(PortLink()));
}

TEST_F(OperationExports, PassParameterModeReportsIntoTheResultCell) {
  InChildHost([&] {
    int cell = -1;
    Register(&cell);
    setenv("ZKDOWNLOAD_ANSWERS", "OK,OK", 1);  // would repeat the write if an end dialog came

    EXPECT_EQ(WriteUsb(home_.path() / "absent.prl", 0), 0);
    EXPECT_EQ(cell, 405041);
    EXPECT_FALSE(ErrorLoginWrittenBesideRegisteredPath());
    EXPECT_FALSE(fs::exists(HandedOver()));
    EXPECT_TRUE(PortIsFree(PortLink()));

    const Bytes list = List(45, 4);
    EXPECT_EQ(WriteUsb(Source(list), 0), 1);
    EXPECT_EQ(cell, 1);
    EXPECT_EQ(ReadAll(Stored(0)), list);
    EXPECT_EQ(Resets(), 1);
  });
}

TEST_F(OperationExports, PlainExportTouchesTheResultCellOnlyOnSuccess) {
  InChildHost([&] {
    int cell = 4242;
    Register(&cell);
    EXPECT_EQ(ReadUsb(home_.path() / "no-such-dir" / "out.prl", 0), 0);
    EXPECT_EQ(cell, 4242);
    EXPECT_EQ(lastResult_(), 401034);
    EXPECT_FALSE(ErrorLoginWrittenBesideRegisteredPath());

    // The handset reads its store at each request: give NAM 0 a list.
    fs::create_directories(Stored(0).parent_path());
    WriteAll(Stored(0), List(10, 5));
    EXPECT_EQ(prlRead_(0, "", "", (home_.path() / "out.prl").c_str(), 0, 0x0010), 1);
    EXPECT_EQ(cell, 1);
    EXPECT_EQ(ReadAll(home_.path() / "out.prl"), List(10, 5));
  });
}

TEST_F(OperationExports, ExportsNotYetAvailableFailWithTheirOwnCode) {
  auto upgrade = Resolve<UpgradeFn>("Upgrade_Interface");
  ASSERT_NE(upgrade, nullptr);
  InChildHost([&] {
    int cell = 0;
    Register(&cell);
    EXPECT_EQ(upgrade(0, 0, "", "", "", "", 0, "", 0, 0x0010), 0);
    EXPECT_EQ(cell, 999000);
    EXPECT_EQ(lastResult_(), 999000);
  });
}

TEST_F(OperationExports, PhoneBookExportsAreNotSupportedButSucceed) {
  auto pimWrite = Resolve<PimWriteFn>("PIMWrite_Interface");
  auto pimRead = Resolve<PimReadFn>("PIMRead_Interface");
  ASSERT_TRUE(pimWrite && pimRead);
  EXPECT_EQ(pimWrite(0, nullptr, "a", "b", 1, 0, 0, -1), 1);
  EXPECT_EQ(pimRead(0, "", nullptr, ""), 1);
}

TEST_F(OperationExports, FailureTextsOfAPrlWriteThatLostTheHandset) {
  auto texts = Resolve<FailureTextsFn>("GetFailureTexts_Interface");
  ASSERT_NE(texts, nullptr);
  char location[128], contents[128], solution[128];
  ASSERT_EQ(texts(405043, location, sizeof location, contents, sizeof contents, solution, sizeof solution), 1);
  EXPECT_STREQ(location, "'PRLDownloadProc' Function in PRL Download");
  EXPECT_STREQ(contents, "Can't write prl file to phone.");
  EXPECT_STREQ(solution, "Not connected with phone");

  char small[8];
  ASSERT_EQ(texts(405043, small, sizeof small, nullptr, 0, nullptr, 0), 1);
  EXPECT_STREQ(small, "'PRLDow");  // cut to the buffer, terminated
  EXPECT_EQ(texts(999000, location, sizeof location, contents, sizeof contents, solution, sizeof solution), 0);
  EXPECT_STREQ(location, "");
}

}  // namespace
