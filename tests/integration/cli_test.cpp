// The zkdownload executable against the rb310-sim executable: real processes,
// a real pty, a temporary $ZKDOWNLOAD_HOME and a small time scale.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/command_run.h"
#include "support/pty_peer.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::test::CommandOutcome;

constexpr const char* kScale = "0.02";
constexpr const char* kFriendly = "RB310 CDMA USB Modem (COM5)";

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Bytes for a PRL or an image; sizes that are no multiple of a block size
// leave a short last block.
std::string SampleBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 37 + 11) & 0xFF);
  return bytes;
}

// A PRL: its own size (16 bits, most significant byte first), then contents.
std::string SamplePrl(std::size_t size) {
  std::string bytes = SampleBytes(size);
  bytes[0] = static_cast<char>(size >> 8);
  bytes[1] = static_cast<char>(size & 0xFF);
  return bytes;
}

class Cli : public ::testing::Test {
 protected:
  void TearDown() override { sim_.Stop(); }

  // The handset starts in its modem personality, so every operation goes
  // through the AT switch into diagnostic mode.
  void StartSim(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--port", "COM5", "--state", State().string(), "--friendly", kFriendly};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    ASSERT_TRUE(sim_.Start(args, error)) << error;
  }

  CommandOutcome Run(std::vector<std::string> args, std::vector<std::string> globals = {"--ui", "none"}) {
    std::vector<std::string> line{"--time-scale", kScale};
    line.insert(line.end(), globals.begin(), globals.end());
    line.insert(line.end(), args.begin(), args.end());
    CommandOutcome outcome = zk::test::RunCommand(zk::test::CliExecutable(), line);
    EXPECT_FALSE(outcome.timedOut) << outcome.out << outcome.err;
    return outcome;
  }

  fs::path State() const { return home_.path() / "state"; }
  fs::path HandsetPrl(int nam) const { return State() / "prl" / ("nam" + std::to_string(nam) + ".bin"); }
  // Stores a list in the handset's NAM `nam`, as a write would have.
  void StoreHandsetPrl(int nam, const std::string& list) const {
    fs::create_directories(HandsetPrl(nam).parent_path());
    std::ofstream(HandsetPrl(nam), std::ios::binary) << list;
  }
  fs::path Write(const std::string& name, const std::string& bytes) const {
    const fs::path file = home_.path() / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }

  // The simulator reads its time scale from the environment it inherits.
  zk::test::ScopedEnv scale_{"ZKDOWNLOAD_TIME_SCALE", kScale};
  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
};

TEST_F(Cli, PrlWriteToBothNamsThenReadBackByDevicePath) {
  StartSim();
  const std::string prl = SamplePrl(301);
  const fs::path source = Write("sample.prl", prl);
  const fs::path trace = home_.path() / "wire.txt";

  const auto written = Run({"prl-write", "--port", "COM5", "--nam", "2", source.string()},
                           {"--ui", "console", "--answers", "END", "--trace", trace.string()});
  ASSERT_EQ(written.status, 0) << written.out << written.err;
  EXPECT_NE(written.out.find("written to NAM 0 and NAM 1 of COM5 (ESN 9F3A2C41)\n"), std::string::npos) << written.out;
  // The console interface drew the progress and took the scripted answer.
  EXPECT_NE(written.err.find("PRL Write..."), std::string::npos) << written.err;
  EXPECT_NE(written.err.find("[E]ND > END (scripted)"), std::string::npos) << written.err;
  EXPECT_EQ(ReadAll(HandsetPrl(0)), prl);
  EXPECT_EQ(ReadAll(HandsetPrl(1)), prl);
  const std::string wire = ReadAll(trace);
  EXPECT_NE(wire.find(" TX "), std::string::npos);
  EXPECT_NE(wire.find(" RX "), std::string::npos);
  // A header naming the run, AT lines as text, frames by name with their check.
  EXPECT_EQ(wire.rfind("# zkdownload wire trace, ", 0), 0u) << wire.substr(0, 200);
  EXPECT_NE(wire.find("prl-write --port COM5"), std::string::npos);
  EXPECT_NE(wire.find("| AT line \"AT$QCDMG\\r\""), std::string::npos) << wire;
  EXPECT_NE(wire.find("| PRL write (0x48), 46 bytes, check good"), std::string::npos) << wire;
  EXPECT_NE(wire.find("| status (0x0C), 1 byte, check good"), std::string::npos) << wire;
  EXPECT_EQ(Run({"--trace", (home_.path() / "no-such-dir" / "t.txt").string(), "ports"}).status, 2);

  // A device path resolves to the map entry that already points at it.
  const fs::path copy = home_.path() / "copy.prl";
  const auto read = Run({"prl-read", "--port", sim_.device(), "--nam", "1", copy.string()});
  ASSERT_EQ(read.status, 0) << read.out << read.err;
  EXPECT_NE(read.out.find("PRL of NAM 1 read from COM5"), std::string::npos) << read.out;
  EXPECT_NE(read.out.find("bytes) (ESN 9F3A2C41)\n"), std::string::npos) << read.out;
  EXPECT_EQ(ReadAll(copy), prl);
}

TEST_F(Cli, SpcReachesTheHandset) {
  StartSim({"--spc", "123456", "--require-spc"});
  const std::string prl = SamplePrl(80);
  const fs::path source = Write("exact.prl", prl);

  // The unlock's answer is not examined: a refused code shows at the write.
  const auto refused = Run({"prl-write", "--port", "COM5", source.string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("405043 'PRLDownloadProc' Function in PRL Download \u2014 Can't write prl file to "
                             "phone."),
            std::string::npos)
      << refused.err;
  EXPECT_FALSE(fs::exists(HandsetPrl(0)));

  const auto accepted = Run({"prl-write", "--port", "COM5", "--spc", "123456", "--nam", "1", source.string()});
  ASSERT_EQ(accepted.status, 0) << accepted.out << accepted.err;
  EXPECT_FALSE(fs::exists(HandsetPrl(0)));
  EXPECT_EQ(ReadAll(HandsetPrl(1)), prl);

  // NAM 0 holds no list: no empty file passes for one, and the caller's
  // file stays as it was.
  const fs::path kept = Write("kept.prl", "earlier list");
  const auto empty = Run({"prl-read", "--port", "COM5", "--nam", "0", kept.string()});
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.err.find("401063 'PRLReadProc' Function in PRL Read \u2014 The phone holds no prl for this NAM"),
            std::string::npos)
      << empty.err;
  EXPECT_EQ(ReadAll(kept), "earlier list");
  EXPECT_FALSE(fs::exists(kept.string() + ".partial"));
}

TEST_F(Cli, ARefusedServiceCodeIsNamedAfterTheFailureLine) {
  StartSim({"--spc", "123456", "--require-spc"});
  const fs::path source = Write("exact.prl", SamplePrl(80));
  const std::string note = "zkdownload: note: the handset refused the service programming code\n";

  const auto refused = Run({"prl-write", "--port", "COM5", "--spc", "654321", source.string()});
  EXPECT_EQ(refused.status, 1);
  const auto failed = refused.err.find("zkdownload: failed: 405043");
  ASSERT_NE(failed, std::string::npos) << refused.err;
  EXPECT_EQ(refused.err.find(note), refused.err.find('\n', failed) + 1) << refused.err;

  const auto accepted = Run({"prl-write", "--port", "COM5", "--spc", "123456", source.string()});
  EXPECT_EQ(accepted.status, 0) << accepted.err;
  EXPECT_EQ(accepted.err.find("note:"), std::string::npos) << accepted.err;
}

TEST_F(Cli, InputsAreCheckedBeforeTheHandsetIsTouched) {
  const fs::path transcript = home_.path() / "transcript.jsonl";
  StartSim({"--transcript", transcript.string()});
  struct Case {
    std::vector<std::string> args;
    std::string why;
  };
  const fs::path damaged = Write("damaged.prl", SampleBytes(100));  // its size field says otherwise
  const fs::path empty = Write("empty.bin", "");
  const fs::path nowhere = home_.path() / "no-such-dir" / "out.prl";
  const std::vector<Case> cases = {
      {{"prl-write", "--port", "COM5", (home_.path() / "absent.prl").string()}, "absent.prl does not exist"},
      {{"prl-write", "--port", "COM5", damaged.string()}, "says it holds 2864 bytes but has 100"},
      {{"prl-write", "--port", "COM5", empty.string()}, "empty.bin is empty"},
      {{"prl-read", "--port", "COM5", nowhere.string()}, "directory " + nowhere.parent_path().string() + " does not exist"},
      {{"prl-read", "--port", "COM5", home_.path().string()}, home_.path().string() + " is a directory"},
      {{"emergency", "--port", "COM5", empty.string()}, "image " + empty.string() + " is empty"},
      {{"emergency", "--port", "COM5", (home_.path() / "absent.bin").string()}, "absent.bin does not exist"},
  };
  for (const auto& c : cases) {
    const auto refused = Run(c.args);
    EXPECT_EQ(refused.status, 2) << c.why;
    EXPECT_NE(refused.err.find(c.why), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("nothing was sent to the handset"), std::string::npos) << refused.err;
  }
  EXPECT_EQ(ReadAll(transcript), "") << "the handset heard from us";
  EXPECT_FALSE(fs::exists(HandsetPrl(0)));

  // --force sends a PRL whose size field disagrees, as it is.
  const auto forced = Run({"prl-write", "--port", "COM5", "--force", damaged.string()}, {"--ui", "none"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(ReadAll(HandsetPrl(0)), SampleBytes(100));
}

TEST_F(Cli, EveryOperationRunIsLoggedAndTheLogReadsBack) {
  StartSim();
  const fs::path source = Write("sample.prl", SamplePrl(120));
  ASSERT_EQ(Run({"prl-write", "--port", "COM5", source.string()}).status, 0);
  ASSERT_EQ(Run({"identity", "--port", "COM5"}).status, 0);
  sim_.Stop();
  EXPECT_EQ(Run({"prl-read", "--port", "COM5", (home_.path() / "copy.prl").string()}).status, 2);  // not logged
  fs::create_directories(home_.PortsDir());
  zk::test::RawPty silent;  // a line with no handset on it
  fs::remove(home_.PortsDir() / "COM5");
  fs::create_symlink(silent.slavePath(), home_.PortsDir() / "COM5");
  ASSERT_EQ(Run({"prl-read", "--port", "COM5", (home_.path() / "copy.prl").string()}).status, 1);

  const auto json = Run({"log", "--json"});
  ASSERT_EQ(json.status, 0);
  std::vector<std::string> lines;
  std::istringstream in(json.out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 3u) << json.out;
  EXPECT_NE(lines[0].find("\"operation\":\"prl-write\",\"port\":\"COM5\""), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("\"result\":1,\"result_text\":\"done\""), std::string::npos) << lines[0];
  // Every operation that entered diagnostic mode records the handset it met.
  EXPECT_NE(lines[0].find("\"esn\":\"9F3A2C41\""), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("\"software_version\":\"R310V105\""), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("\"esn\":\"9F3A2C41\""), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find("\"result\":407002"), std::string::npos) << lines[2];

  const auto table = Run({"log"});
  EXPECT_NE(table.out.find("prl-write  9F3A2C41"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("identity   9F3A2C41"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("407002 'ChangeToDM' Function in PRL Read"), std::string::npos) << table.out;
}

TEST_F(Cli, APortAnotherProgramHoldsIsNamedAsTheCause) {
  StoreHandsetPrl(0, SamplePrl(60));
  StartSim();
  const int holder = open(sim_.device().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
  const auto busy = Run({"prl-read", "--port", "COM5", (home_.path() / "out.prl").string()});
  close(holder);
  EXPECT_EQ(busy.status, 1);
  EXPECT_NE(busy.err.find("zkdownload: failed: 407002"), std::string::npos) << busy.err;
  EXPECT_NE(busy.err.find("zkdownload: port: COM5 (" + sim_.device() + ") is in use by another program (pid " +
                          std::to_string(getpid())),
            std::string::npos)
      << busy.err;

  // Once the port is free again, the same command goes through.
  const auto free = Run({"prl-read", "--port", "COM5", (home_.path() / "out.prl").string()});
  EXPECT_EQ(free.status, 0) << free.err;
  EXPECT_EQ(free.err.find("zkdownload: port:"), std::string::npos) << free.err;
}

TEST_F(Cli, PortsAreCheckedBeforeTheHandsetIsTouched) {
  const fs::path prl = Write("sample.prl", SamplePrl(100));
  for (const char* device : {"/dev/null", "/dev/tty"}) {
    const auto refused = Run({"prl-write", "--port", device, prl.string()});
    EXPECT_EQ(refused.status, 2) << device;
    EXPECT_NE(refused.err.find(std::string(device) + " is not a serial port"), std::string::npos) << refused.err;
  }
  EXPECT_FALSE(fs::exists(home_.PortsDir() / "COM1"));  // nothing entered the port map

  fs::create_directories(home_.PortsDir());
  fs::create_symlink(home_.path() / "ttyUSB9", home_.PortsDir() / "COM5");
  const auto unplugged = Run({"prl-write", "--port", "com5", prl.string()});
  EXPECT_EQ(unplugged.status, 2);
  EXPECT_NE(unplugged.err.find("COM5 points at " + (home_.path() / "ttyUSB9").string() + ": no such device"),
            std::string::npos)
      << unplugged.err;

  // A mapped device named by its path keeps its entry and friendly name.
  StoreHandsetPrl(0, SamplePrl(60));
  StartSim();
  const auto read = Run({"prl-read", "--port", sim_.device(), "--nam", "0", (home_.path() / "out.prl").string()});
  EXPECT_EQ(read.status, 0) << read.err;
  std::ifstream friendly(home_.PortsDir() / "COM5.friendly");
  std::string name;
  std::getline(friendly, name);
  EXPECT_EQ(name, kFriendly);
}

TEST_F(Cli, PortsAddMapsASerialDeviceUnderAChosenName) {
  zk::test::RawPty line;
  const auto added = Run({"ports", "--add", line.slavePath(), "--name", "com7"});
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_NE(added.out.find("COM7 -> " + line.slavePath()), std::string::npos) << added.out;
  EXPECT_EQ(fs::read_symlink(home_.PortsDir() / "COM7"), line.slavePath());

  // One name per device, one device per name.
  const auto again = Run({"ports", "--add", line.slavePath()});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("COM7 -> " + line.slavePath() + " (already in the port map)"), std::string::npos);
  const auto renamed = Run({"ports", "--add", line.slavePath(), "--name", "COM8"});
  EXPECT_EQ(renamed.status, 2);
  EXPECT_NE(renamed.err.find("already mapped as COM7"), std::string::npos) << renamed.err;
  zk::test::RawPty other;
  const auto taken = Run({"ports", "--add", other.slavePath(), "--name", "COM7"});
  EXPECT_EQ(taken.status, 2);
  EXPECT_NE(taken.err.find("COM7 already points at " + line.slavePath()), std::string::npos) << taken.err;
  const auto notSerial = Run({"ports", "--add", "/dev/null"});
  EXPECT_EQ(notSerial.status, 2);
  EXPECT_NE(notSerial.err.find("/dev/null is not a serial port"), std::string::npos) << notSerial.err;

  const auto listed = Run({"ports"});
  EXPECT_NE(listed.out.find("COM7"), std::string::npos) << listed.out;
}

TEST_F(Cli, EmergencyBurnsTheImageThroughTheDownloader) {
  StartSim({"--downloader"});
  const std::string image = SampleBytes(70000);  // many write blocks
  const fs::path source = Write("main.bin", image);
  const auto outcome = Run({"emergency", "--port", "COM5", source.string()});
  ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  EXPECT_NE(outcome.out.find("burned into the handset on COM5"), std::string::npos) << outcome.out;
  EXPECT_EQ(ReadAll(State() / "flash" / "main_image.bin"), image);
}

// A handset outside its downloader: the failure line is followed by the
// note of the step that waited in vain.
TEST_F(Cli, EmergencyOnAHandsetOutsideItsDownloaderNamesTheUnansweredRequest) {
  StartSim();
  const fs::path source = Write("main.bin", SampleBytes(3000));
  const auto outcome = Run({"emergency", "--port", "COM5", source.string()});
  EXPECT_EQ(outcome.status, 1) << outcome.out << outcome.err;
  EXPECT_NE(outcome.err.find("zkdownload: failed: 602"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("\nzkdownload: note: the handset did not answer the downloader's initialize request "
                             "(10 tries)\n"),
            std::string::npos)
      << outcome.err;
}

TEST_F(Cli, PortsShowsDeviceFriendlyNameAndVerdict) {
  const auto empty = Run({"ports"});
  EXPECT_EQ(empty.status, 0);
  EXPECT_NE(empty.out.find("no ports in the port map"), std::string::npos) << empty.out;

  StartSim();
  fs::create_symlink("/dev/null", home_.PortsDir() / "COM9");
  const auto listed = Run({"ports"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  std::istringstream lines(listed.out);
  std::string header, com5, com9;
  std::getline(lines, header);
  std::getline(lines, com5);
  std::getline(lines, com9);
  EXPECT_EQ(header.rfind("PORT", 0), 0u) << listed.out;
  std::istringstream fields(com5);
  std::string port, device, usb, verdict;
  fields >> port >> device >> usb >> verdict;
  EXPECT_EQ(port, "COM5");
  EXPECT_EQ(device, sim_.device());
  EXPECT_EQ(verdict, "yes");
  EXPECT_NE(com5.find(kFriendly), std::string::npos) << com5;
  std::istringstream second(com9);
  second >> port >> device >> usb >> verdict;
  EXPECT_EQ(port, "COM9");
  EXPECT_EQ(device, "/dev/null");
  EXPECT_EQ(verdict, "no");
}

TEST_F(Cli, HelpAndUsageErrors) {
  const auto help = Run({"--help"}, {});
  EXPECT_EQ(help.status, 0);
  for (const char* word : {"ports", "probe", "prl-read", "prl-write", "emergency", "--ui", "--time-scale", "--trace",
                           "--answers"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  const auto commandHelp = Run({"prl-write", "--help"}, {});
  EXPECT_EQ(commandHelp.status, 0);
  for (const char* word : {"--port", "--spc", "--nam", "FILE", "--trace FILE", "20 s for the handset to restart"})
    EXPECT_NE(commandHelp.out.find(word), std::string::npos) << word;
  const std::string viaHelp = Run({"help", "prl-write"}, {}).out;
  EXPECT_EQ(viaHelp.substr(viaHelp.find("Positionals")), commandHelp.out.substr(commandHelp.out.find("Positionals")));
  EXPECT_EQ(Run({"help", "no-such"}, {}).status, 2);
  const auto version = Run({"--version"}, {});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "zkdownload " ZK_VERSION "\n");

  EXPECT_EQ(Run({}, {}).status, 2);  // no sub-command
  EXPECT_EQ(Run({"ports"}, {"--ui", "tty"}).status, 2);
  EXPECT_EQ(Run({"prl-write", "--port", "COM5", "--nam", "3", "f.prl"}).status, 2);
  EXPECT_EQ(Run({"prl-read", "--port", "COM5", "--spc", "12ab56", "f.prl"}).status, 2);
  EXPECT_EQ(Run({"prl-read", "--port", "COM5"}).status, 2);  // no FILE
  const auto unmapped = Run({"prl-read", "--port", "COM9", (home_.path() / "f.prl").string()});
  EXPECT_EQ(unmapped.status, 2);
  EXPECT_NE(unmapped.err.find("COM9 has no port map entry"), std::string::npos) << unmapped.err;
  EXPECT_EQ(Run({"emergency", "--port", "/no/such/tty", "image.bin"}).status, 2);
  // Global options may follow the sub-command.
  EXPECT_EQ(Run({"ports", "--ui", "none"}, {}).status, 0);
}

}  // namespace

namespace {

TEST_F(Cli, IdentityReadsLabelAndIdentityThenResetsTheHandset) {
  StartSim({"--esn", "0x12345678", "--sw-version", "R310V777", "--vendor-byte", "123", "--transcript",
            (home_.path() / "transcript.jsonl").string()});
  const auto identity = Run({"identity", "--port", "COM5"});
  ASSERT_EQ(identity.status, 0) << identity.out << identity.err;
  EXPECT_NE(identity.out.find("version label  R310V777_123"), std::string::npos) << identity.out;
  EXPECT_NE(identity.out.find("ESN            12345678"), std::string::npos) << identity.out;
  // The handset saw the offline request and then the reset request (mode 2).
  const std::string transcript = ReadAll(home_.path() / "transcript.jsonl");
  const auto offline = transcript.find("\"hex\":\"290100\"");
  const auto reset = transcript.find("\"hex\":\"290200\"");
  ASSERT_NE(offline, std::string::npos) << transcript;
  ASSERT_NE(reset, std::string::npos) << transcript;
  EXPECT_LT(offline, reset);

  sim_.Stop();
  StartSim({"--never-usable"});
  const auto refused = Run({"identity", "--port", "COM5"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("Can't Change DM mode."), std::string::npos) << refused.err;
}

}  // namespace
