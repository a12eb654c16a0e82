// The operation exports as a host calls them: libzkdownload.so loaded with
// dlopen, exports found by their plain names, a real rb310-sim process on a
// pty as the handset, the headless operator interface and a small time scale.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/byte_files.h"
#include "support/library_loader.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

extern char** environ;

namespace {

using zk::test::ReadAll;
using zk::test::Resolve;

namespace fs = std::filesystem;
using zk::test::Bytes;

using PrlSerialFn = int (*)(short, const char*, const char*, const char*, int, short);
using PrlUsbFn = int (*)(short, const char*, const char*, const char*, int, short, short, short, short);
using PassParaFn = int (*)(short, int*, unsigned char*, int, int, int*, unsigned char*, unsigned char*,
                           const char*, const char*, const char*, const char*, const char*, int, int, int);
using NvEditFn = int (*)(short, int, const char*, short);
using PimWriteFn = int (*)(short, const char*, const char*, const char*, unsigned short, short, short, short);
using PimReadFn = int (*)(short, const char*, const char*, const char*);
using LastResultFn = int (*)();
using FailureTextsFn = int (*)(int, char*, int, char*, int, char*, int);

constexpr int kPort = 5;  // COM5: port index 4, mask 0x0010
constexpr short kPortIndex = kPort - 1;

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

// The library keeps its state for as long as it stays loaded, and a host's
// registration cannot be undone: a case that registers would change every
// case after it in the same process (and another suite of this executable
// registers a result cell that lives on its stack only). So each case runs
// in a fresh process of this executable of its own, whatever order or
// process the runner uses.
constexpr char kCaseProcessVariable[] = "ZK_OPERATION_EXPORTS_CASE";
constexpr int kCaseTimeoutMs = 120000;

bool InCaseProcess() { return std::getenv(kCaseProcessVariable) != nullptr; }

// Runs the current case in its own process; its exit status (0 when it
// passed), or -1 when it could not be started or did not end in time.
int RunCaseProcess() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
  char* argv[] = {const_cast<char*>(self.c_str()), const_cast<char*>(filter.c_str()), nullptr};

  setenv(kCaseProcessVariable, "1", 1);
  pid_t child = -1;
  const int spawned = posix_spawn(&child, self.c_str(), nullptr, nullptr, argv, environ);
  unsetenv(kCaseProcessVariable);
  if (spawned != 0) return -1;

  // A pidfd turns readable when the child ends: wait in poll() with a deadline.
  const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
  pollfd ended{pidFd, POLLIN, 0};
  const bool inTime = pidFd >= 0 && poll(&ended, 1, kCaseTimeoutMs) == 1;
  if (pidFd >= 0) close(pidFd);
  if (!inTime) kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  return inTime && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class OperationExports : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!InCaseProcess()) return;  // the runner only starts the case's process
    ASSERT_NE(zk::test::LoadedLibrary(), nullptr) << dlerror();
    prlWrite_ = Resolve<PrlSerialFn>("PRLWrite_Interface");
    prlRead_ = Resolve<PrlSerialFn>("PRLRead_Interface");
    prlWriteUsb_ = Resolve<PrlUsbFn>("PRLWriteUSB_Interface");
    prlReadUsb_ = Resolve<PrlUsbFn>("PRLReadUSB_Interface");
    passPara_ = Resolve<PassParaFn>("fnPassPara_Interface");
    lastResult_ = Resolve<LastResultFn>("GetLastResult_Interface");
    ASSERT_TRUE(prlWrite_ && prlRead_ && prlWriteUsb_ && prlReadUsb_ && passPara_ && lastResult_);

    home_.emplace();
    std::ofstream(Home() / "ErrorSend") << "#!/bin/sh\ncp \"$1\" \"$(dirname \"$0\")/sent.txt\"\n";
    fs::permissions(Home() / "ErrorSend", fs::perms::owner_all);

    std::string error;
    ASSERT_TRUE(sim_.Start({"--port", "COM" + std::to_string(kPort), "--state", StateDir().string(),
                            "--restart-delay", "200", "--transcript", Transcript().string()},
                           error))
        << error;
  }

  void TearDown() override {
    if (sim_.running()) sim_.Stop();
  }

  // In the runner: runs the case in its own process and takes its verdict
  // (true: nothing more to do here). In the case's process: false, and the
  // case goes on.
  bool RanInOwnProcess() {
    if (InCaseProcess()) return false;
    EXPECT_EQ(RunCaseProcess(), 0) << "the case failed in its own process (see its output above)";
    return true;
  }

  const fs::path& Home() const { return home_->path(); }
  fs::path StateDir() const { return Home() / "state"; }
  fs::path Transcript() const { return Home() / "transcript.jsonl"; }
  fs::path Stored(int nam) const { return StateDir() / "prl" / ("nam" + std::to_string(nam) + ".bin"); }
  fs::path PortLink() const { return home_->PortsDir() / ("COM" + std::to_string(kPort)); }
  fs::path HandedOver() const { return Home() / "Model" / "RB310" / "error_login_COM5.txt"; }

  fs::path Source(const Bytes& list) {
    const fs::path path = Home() / "list.prl";
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

  // Registers pass-parameter mode with `cell` as result cell and a library
  // path in the temporary home (the error login file would go beside it).
  void Register(int* cell) {
    const std::string libraryPath = (Home() / "lib" / "libzkdownload.so").string();
    fs::create_directories(Home() / "lib");
    ASSERT_EQ(passPara_(1, cell, version_, 0, 0, &count_, names_, times_, "", "", "", "", libraryPath.c_str(), 0, 1,
                        0),
              1);
  }
  bool ErrorLoginWrittenBesideRegisteredPath() const { return fs::exists(Home() / "lib" / "error_login_COM5.txt"); }

  std::optional<zk::test::TempHome> home_;
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
  if (RanInOwnProcess()) return;
  const Bytes list = List(300, 1);
  EXPECT_EQ(WriteUsb(Source(list), 0), 1);
  EXPECT_EQ(lastResult_(), 1);
  EXPECT_EQ(ReadAll(Stored(0)), list);
  EXPECT_EQ(Requests("48"), 8);
  EXPECT_EQ(Resets(), 1);
  EXPECT_TRUE(PortIsFree(PortLink()));

  const fs::path copy = Home() / "copy.prl";
  EXPECT_EQ(ReadUsb(copy, 0), 1);
  EXPECT_EQ(ReadAll(copy), list);
  EXPECT_TRUE(PortIsFree(PortLink()));
}

TEST_F(OperationExports, SerialFormsTakeThePortFromTheLowestBitOfTheMask) {
  if (RanInOwnProcess()) return;
  const Bytes list = List(90, 2);
  // Bits 4 and 5: COM5 wins. Null texts read as empty (the default code).
  EXPECT_EQ(prlWrite_(0, nullptr, nullptr, Source(list).c_str(), 1, 0x0030), 1);
  EXPECT_EQ(ReadAll(Stored(1)), list);
  EXPECT_FALSE(fs::exists(Stored(0)));

  const fs::path copy = Home() / "copy.prl";
  EXPECT_EQ(prlRead_(0, "", "", copy.c_str(), 1, 0x0010), 1);
  EXPECT_EQ(ReadAll(copy), list);
}

TEST_F(OperationExports, ScriptedOkInTheEndDialogWritesTheNextHandset) {
  if (RanInOwnProcess()) return;
  setenv("ZKDOWNLOAD_ANSWERS", "OK,END", 1);
  EXPECT_EQ(WriteUsb(Source(List(50, 3)), 0), 1);
  EXPECT_EQ(Resets(), 2);
  EXPECT_EQ(Requests("480001"), 2);  // the first block of each pass: sequence 0, more
}

TEST_F(OperationExports, FailureShowsTheErrorDialogWhichHandsTheReportOn) {
  if (RanInOwnProcess()) return;
  const fs::path beside = fs::path(ZK_LIBRARY_FILE).parent_path() / "error_login_COM5.txt";
  EXPECT_EQ(WriteUsb(Home() / "absent.prl", 0), 0);
  EXPECT_EQ(lastResult_(), 405041);
  // The none interface confirms the dialog: the report goes beside the
  // library and, copied, to the error-sending tool, which runs on its own.
  const std::string report = ReadText(HandedOver());
  fs::remove(beside);
  EXPECT_NE(report.find("Error Message Number : 405041"), std::string::npos) << report;
  EXPECT_NE(report.find("'PRLDownloadProc' Function in PRL Download"), std::string::npos) << report;
  EXPECT_NE(report.find("absent.prl"), std::string::npos) << report;
  const fs::path sent = Home() / "sent.txt";
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!fs::exists(sent) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(fs::exists(sent));
  EXPECT_EQ(Resets(), 0);
  EXPECT_TRUE(PortIsFree(PortLink()));
}

TEST_F(OperationExports, PassParameterModeReportsIntoTheResultCell) {
  if (RanInOwnProcess()) return;
  int cell = -1;
  ASSERT_NO_FATAL_FAILURE(Register(&cell));
  setenv("ZKDOWNLOAD_ANSWERS", "OK,OK", 1);  // would repeat the write if an end dialog came

  EXPECT_EQ(WriteUsb(Home() / "absent.prl", 0), 0);
  EXPECT_EQ(cell, 405041);
  EXPECT_FALSE(ErrorLoginWrittenBesideRegisteredPath());
  EXPECT_FALSE(fs::exists(HandedOver()));
  EXPECT_TRUE(PortIsFree(PortLink()));

  const Bytes list = List(45, 4);
  EXPECT_EQ(WriteUsb(Source(list), 0), 1);
  EXPECT_EQ(cell, 1);
  EXPECT_EQ(ReadAll(Stored(0)), list);
  EXPECT_EQ(Resets(), 1);
}

TEST_F(OperationExports, PlainExportTouchesTheResultCellOnlyOnSuccess) {
  if (RanInOwnProcess()) return;
  int cell = 4242;
  ASSERT_NO_FATAL_FAILURE(Register(&cell));
  EXPECT_EQ(ReadUsb(Home() / "no-such-dir" / "out.prl", 0), 0);
  EXPECT_EQ(cell, 4242);
  EXPECT_EQ(lastResult_(), 401034);
  EXPECT_FALSE(ErrorLoginWrittenBesideRegisteredPath());

  // The handset reads its store at each request: give NAM 0 a list.
  fs::create_directories(Stored(0).parent_path());
  WriteAll(Stored(0), List(10, 5));
  EXPECT_EQ(prlRead_(0, "", "", (Home() / "out.prl").c_str(), 0, 0x0010), 1);
  EXPECT_EQ(cell, 1);
  EXPECT_EQ(ReadAll(Home() / "out.prl"), List(10, 5));
}

// The headless interface has no editor window: the operator "closed" it at
// once, which ends the export like "Exit", after the handset was read.
TEST_F(OperationExports, NvEditorLeftAtOnceSucceedsAfterReadingTheHandset) {
  if (RanInOwnProcess()) return;
  auto nvEdit = Resolve<NvEditFn>("NVEdit_Interface");
  auto lastWrite = Resolve<LastResultFn>("NVEditLastWrite_Interface");
  ASSERT_TRUE(nvEdit && lastWrite);
  int cell = 0;
  ASSERT_NO_FATAL_FAILURE(Register(&cell));
  EXPECT_EQ(nvEdit(0, 0, "", 0x0010), 1);
  EXPECT_EQ(cell, 1);
  EXPECT_EQ(lastResult_(), 1);
  EXPECT_EQ(lastWrite(), 0);  // nothing was written
}

TEST_F(OperationExports, PhoneBookExportsAreNotSupportedButSucceed) {
  if (RanInOwnProcess()) return;
  auto pimWrite = Resolve<PimWriteFn>("PIMWrite_Interface");
  auto pimRead = Resolve<PimReadFn>("PIMRead_Interface");
  ASSERT_TRUE(pimWrite && pimRead);
  EXPECT_EQ(pimWrite(0, nullptr, "a", "b", 1, 0, 0, -1), 1);
  EXPECT_EQ(pimRead(0, "", nullptr, ""), 1);
}

TEST_F(OperationExports, FailureTextsOfAPrlWriteThatLostTheHandset) {
  if (RanInOwnProcess()) return;
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

namespace {

using EriFn = int (*)(short, int, const char*, const char*, short);
using EriUsbFn = int (*)(short, int, const char*, const char*, short, short, short, short);
using UnattendedFn = int (*)(short, const char*, const char*, short);

TEST_F(OperationExports, EriAndProvisioningExportsTakeTheCodeFirstThenThePath) {
  if (RanInOwnProcess()) return;
  auto writeUsb = Resolve<EriUsbFn>("ERIWriteUSB_Interface");
  auto read = Resolve<EriFn>("ERIRead_Interface");
  auto readUnattended = Resolve<UnattendedFn>("EriRead_UPST_Interface");
  auto writeUnattended = Resolve<UnattendedFn>("EriWrite_UPST_Interface");
  auto provision = Resolve<UnattendedFn>("ProvisionWrite_UPST_Interface");
  ASSERT_TRUE(writeUsb && read && readUnattended && writeUnattended && provision);
  const fs::path handsetEri = StateDir() / "efs" / "eri" / "eri.bin";

  const Bytes eri = List(3000, 6);
  WriteAll(Home() / "roam.eri", eri);
  EXPECT_EQ(writeUsb(0, 0, "135790", (Home() / "roam.eri").c_str(), kPortIndex, 0, 0, -1), 1) << lastResult_();
  EXPECT_EQ(ReadAll(handsetEri), eri);
  EXPECT_EQ(Requests("41313335373930"), 1);  // the unlock carried the first text
  EXPECT_EQ(Resets(), 1);
  EXPECT_EQ(read(0, 0, "", (Home() / "copy.eri").c_str(), 0x0010), 1);
  EXPECT_EQ(ReadAll(Home() / "copy.eri"), eri);

  const Bytes second = List(700, 7);
  WriteAll(Home() / "second.eri", second);
  EXPECT_EQ(writeUnattended(0, "246802", (Home() / "second.eri").c_str(), kPortIndex), 1);
  EXPECT_EQ(ReadAll(handsetEri), second);
  EXPECT_EQ(Requests("41323436383032"), 1);
  EXPECT_EQ(Resets(), 1);  // the unattended write does not reset
  EXPECT_EQ(readUnattended(0, "", (Home() / "copy.eri").c_str(), kPortIndex), 1);
  EXPECT_EQ(ReadAll(Home() / "copy.eri"), second);

  fs::create_directories(Home() / "prov" / "Efs_COM5" / "cfg");
  WriteAll(Home() / "prov" / "Efs_COM5" / "cfg" / "a.txt", List(40, 8));
  EXPECT_EQ(provision(0, "", (Home() / "prov").c_str(), kPortIndex), 1) << lastResult_();
  EXPECT_EQ(ReadAll(StateDir() / "efs" / "cfg" / "a.txt"), List(40, 8));
  EXPECT_TRUE(PortIsFree(PortLink()));
}

// Failures of these forms show nothing; the export still hands the port back.
TEST_F(OperationExports, EriAndProvisioningFailuresReturnZeroAndFreeThePort) {
  if (RanInOwnProcess()) return;
  auto read = Resolve<EriFn>("ERIRead_Interface");
  auto readUnattended = Resolve<UnattendedFn>("EriRead_UPST_Interface");
  auto provision = Resolve<UnattendedFn>("ProvisionWrite_UPST_Interface");
  ASSERT_TRUE(read && readUnattended && provision);
  int cell = 77;
  ASSERT_NO_FATAL_FAILURE(Register(&cell));

  const struct {
    const char* name;
    std::function<int()> call;
    int code;
  } rows[] = {
      {"read", [&] { return read(0, 0, "", (Home() / "out.eri").c_str(), 0x0010); }, 411000},
      {"unattended read", [&] { return readUnattended(0, "", (Home() / "out.eri").c_str(), kPortIndex); }, 411000},
      {"provisioning of nothing", [&] { return provision(0, "", (Home() / "none").c_str(), kPortIndex); }, 114028},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.call(), 0);
    EXPECT_EQ(lastResult_(), row.code);
    EXPECT_EQ(cell, 77);
    EXPECT_TRUE(PortIsFree(PortLink()));
  }
  EXPECT_FALSE(fs::exists(Home() / "out.eri"));
  EXPECT_EQ(Resets(), 0);
}

using ScriptUsbFn = int (*)(short, int, const char*, const char*, const char*, int, short, const char*, short, short,
                            short);

// The full script download: the BREW script directory beside the script is
// written, then the script runs; without such a directory the host learns
// 306000 from its result cell before anything is written.
TEST_F(OperationExports, ScriptDownloadWritesBrewDirectoryAndRunsTheScript) {
  if (RanInOwnProcess()) return;
  auto download = Resolve<ScriptUsbFn>("SCRDownloadUSB_Interface");
  ASSERT_NE(download, nullptr);
  const fs::path job = Home() / "job";
  fs::create_directories(job / "brew_script" / "brew");
  fs::create_directories(job / "efs_scr");
  WriteAll(job / "brew_script" / "brew" / "app.mod", List(300, 9));
  WriteAll(job / "efs_scr" / "note.txt", List(50, 3));
  std::ofstream(job / "job.scr") << "NV_WRITE ACCOLC 0 5 6\nEFS x note.txt\n";
  EXPECT_EQ(download(2, 0, "", (job / "job.scr").c_str(), "", 0, kPortIndex, "", 0, 0, -1), 1) << lastResult_();
  EXPECT_EQ(ReadAll(StateDir() / "efs" / "brew" / "app.mod"), List(300, 9));
  EXPECT_EQ(ReadAll(StateDir() / "efs" / "note.txt"), List(50, 3));
  EXPECT_EQ(Requests("272500"), 1);  // the NV write of ACCOLC
  EXPECT_TRUE(PortIsFree(PortLink()));

  int cell = 0;
  ASSERT_NO_FATAL_FAILURE(Register(&cell));
  fs::remove_all(job / "brew_script");
  EXPECT_EQ(download(2, 0, "", (job / "job.scr").c_str(), "", 0, kPortIndex, "", 0, 0, -1), 0);
  EXPECT_EQ(cell, 306000);
  EXPECT_EQ(Requests("272500"), 1);  // the script did not run again
  EXPECT_EQ(count_, 0) << "kinds 2 and 3 keep no stage report";

  // A staged download reports its stages to the registered buffers.
  fs::create_directories(job / "brew_script" / "brew");
  WriteAll(job / "brew_script" / "brew" / "app.mod", List(300, 9));
  EXPECT_EQ(download(0, 0, "", (job / "job.scr").c_str(), "", 0, kPortIndex, "", 0, 0, -1), 1) << cell;
  const char* stages[] = {"DXX01", "DXX30", "DXX20", "Brew Writing", "DXX18"};
  ASSERT_EQ(count_, 5);
  for (int slot = 0; slot < 5; ++slot)
    EXPECT_STREQ(reinterpret_cast<const char*>(names_ + 100 * slot), stages[slot]) << slot;
}

}  // namespace
