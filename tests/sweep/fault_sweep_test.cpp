// The fault sweep: every operation that changes a handset or writes a PC
// file, run in process against the in-process simulated handset with each
// kind of fault injected at each request index of the operation's clean run.
// Whatever the handset does, the operation must not crash, must succeed only
// when the handset (or the PC file) proves the work was done, must release
// the port, and must never leave a PC file that claims to be complete when
// it is not. A case whose fault never acted proves nothing, so it fails;
// one that failed before its fault's request (a time-out lapsed on a loaded
// machine) first runs again with the clean runs' time-outs.
//
// Indices: the clean run's request count N is measured first (without the
// requests of the proof that reads the handset back); every index up
// to the operation's dense count is hit, then a stride that spreads its
// stride count more over the rest of the run, and always the last request.
// The operations that wait out a handset's restart after every success (NV
// restore, emergency download, upgrade) take fewer: their first requests are
// the mode entry the short operations already sweep request by request. The
// whole sweep takes a little over two minutes on two cores.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "nv/nv_backup_file.h"
#include "simulator.h"
#include "support/byte_files.h"
#include "support/library_objects.h"
#include "support/temp_home.h"
#include "zkdownload/zkdownload.h"

namespace {

namespace fs = std::filesystem;
using rb310::FaultRule;
using zk::test::Bytes;
using zk::test::ReadAll;

constexpr int kPort = 5;  // COM5
constexpr short kPortIndex = kPort - 1;

// The faults, one request each: the answer lost, damaged, replaced by
// another command's, refused (download packets), late, preceded by noise,
// or the handset gone for good; and a handset that falls silent from the
// request on while its line stays open. A refusal lands on the downloader's
// packets alone, so its indices count those.
struct Fault {
  const char* name;
  FaultRule::Action action;
  uint32_t value;
  bool fromThereOn = false;
  bool downloaderOnly = false;
};
constexpr Fault kFaults[] = {
    {"drop", FaultRule::Action::kDrop, 0},          {"corrupt", FaultRule::Action::kCorrupt, 0},
    {"foreign", FaultRule::Action::kForeignCode, 0x13}, {"nak", FaultRule::Action::kNak, 0, false, true},
    {"stall", FaultRule::Action::kStall, 4000},      {"garbage", FaultRule::Action::kGarbage, 48},
    {"disconnect", FaultRule::Action::kDisconnect, 0}, {"silence", FaultRule::Action::kDrop, 0, true},
};

// Descriptors of this process that lead to `path` (the library's open port).
int OpenDescriptorsTo(const std::string& path) {
  int count = 0;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd", ec)) {
    std::error_code linkError;
    if (fs::read_symlink(entry.path(), linkError).string() == path) ++count;
  }
  return count;
}

// Regular files below `root` with their bytes, by relative path.
std::map<std::string, Bytes> Tree(const fs::path& root) {
  std::map<std::string, Bytes> files;
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = ReadAll(entry.path());
  return files;
}

void Put(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  zk::test::WriteAll(path, bytes);
}

Bytes Pattern(std::size_t size, uint32_t seed) {
  Bytes bytes(size);
  for (auto& byte : bytes) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(seed >> 24);
  }
  return bytes;
}

// One case's world: its own directory for the handset's state and the PC's
// files.
struct Case {
  fs::path dir;
  fs::path State() const { return dir / "state"; }
  fs::path Pc() const { return dir / "pc"; }
};

// An operation under the sweep: how to prepare the handset and the PC, how
// to run it, and what its success must prove.
struct Operation {
  const char* name;
  int dense;    // every request index up to this one
  int strided;  // then this many more, evenly spread
  std::function<void(const Case&, rb310::SimOptions&)> prepare;
  std::function<int(const Case&)> run;
  // Whether the handset or PC proves the work done (for a success).
  std::function<::testing::AssertionResult(const Case&, rb310::Simulator&)> done;
  // Whether the PC holds no file that claims a completeness it lacks (for
  // every outcome).
  std::function<::testing::AssertionResult(const Case&)> pcHonest;
};

::testing::AssertionResult Holds(bool condition, const std::string& why) {
  return condition ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << why;
}

// Files every case shares: the NV backup a clean run wrote (the reference
// for backups and the source of restores) and the images.
struct Shared {
  Bytes nvBackup;
};
Shared& Reference() {
  static Shared shared;
  return shared;
}

const Bytes kPrl = Pattern(120, 11);
const Bytes kLongPrl = Pattern(300, 12);  // three read answers
const Bytes kEri = Pattern(700, 13);
const Bytes kImage = [] {
  std::string head = "RB310VER=R310V300";
  Bytes image(head.begin(), head.end());
  const Bytes rest = Pattern(3000, 5);
  image.insert(image.end(), rest.begin(), rest.end());
  return image;
}();

void SeedEfs(const fs::path& efs) {
  Put(efs / "top.txt", Pattern(40, 1));
  Put(efs / "brew" / "app.mod", Pattern(700, 2));
  Put(efs / "brew" / "deep" / "cfg", Pattern(3, 3));
}

// Whether the backup directory holds the handset's tree (the files of its
// root directory in "Root").
bool EfsCopyWhole(const Case& c) {
  std::map<std::string, Bytes> want;
  for (auto& [name, bytes] : Tree(c.State() / "efs"))
    want[name.find('/') == std::string::npos ? "Root/" + name : name] = bytes;
  return Tree(c.Pc() / "Efs_COM5") == want;
}

// Whether the handset's items, read back without faults, are the
// reference backup's.
::testing::AssertionResult ItemsReadBackAsReference(const Case& c, rb310::Simulator& sim, const char* why) {
  sim.SetFaults({});
  const std::string check = (c.Pc() / "readback.bak").string();
  if (NvBackupToFile_Interface(kPortIndex, "", check.c_str()) != 1) return Holds(false, "the items cannot be read back");
  return Holds(ReadAll(check) == Reference().nvBackup, why);
}

std::vector<Operation> Operations() {
  std::vector<Operation> ops;
  ops.push_back({"prl_write", 3, 3,
                 [](const Case& c, rb310::SimOptions&) { Put(c.Pc() / "list.prl", kPrl); },
                 [](const Case& c) {
                   const std::string path = (c.Pc() / "list.prl").string();
                   return PRLWriteUSB_Interface(0, "", "", path.c_str(), 0, kPortIndex, 0, 0, -1);
                 },
                 [](const Case& c, rb310::Simulator&) {
                   const Bytes stored = ReadAll(c.State() / "prl" / "nam0.bin");
                   return Holds(stored.size() >= kPrl.size() && std::equal(kPrl.begin(), kPrl.end(), stored.begin()),
                                "NAM 0 does not hold the list");
                 },
                 [](const Case&) { return ::testing::AssertionSuccess(); }});
  ops.push_back({"nv_backup_read", 6, 6, [](const Case&, rb310::SimOptions&) {},
                 [](const Case& c) {
                   const std::string path = (c.Pc() / "items.bak").string();
                   return NvBackupToFile_Interface(kPortIndex, "", path.c_str());
                 },
                 [](const Case& c, rb310::Simulator&) {
                   return Holds(ReadAll(c.Pc() / "items.bak") == Reference().nvBackup,
                                "the backup differs from a clean run's");
                 },
                 [](const Case& c) {
                   const fs::path file = c.Pc() / "items.bak";
                   return Holds(!fs::exists(file) || ReadAll(file) == Reference().nvBackup,
                                "a backup file that is not whole and correct");
                 }});
  ops.push_back({"nv_restore", 1, 3,
                 [](const Case& c, rb310::SimOptions& options) {
                   // A handset whose items differ from the file's.
                   options.identity.esn = 0x12345678;
                   Put(c.Pc() / "items.bak", Reference().nvBackup);
                 },
                 [](const Case& c) {
                   const std::string path = (c.Pc() / "items.bak").string();
                   return NvRestoreFromFile_Interface(kPortIndex, "", path.c_str());
                 },
                 [](const Case& c, rb310::Simulator& sim) {
                   return ItemsReadBackAsReference(c, sim, "the handset's items differ from the file");
                 },
                 [](const Case& c) {
                   return Holds(ReadAll(c.Pc() / "items.bak") == Reference().nvBackup, "the source file changed");
                 }});
  ops.push_back({"efs_backup", 6, 6, [](const Case& c, rb310::SimOptions&) { SeedEfs(c.State() / "efs"); },
                 [](const Case& c) {
                   const std::string base = c.Pc().string();
                   return EfsBackup_Interface(kPortIndex, base.c_str());
                 },
                 [](const Case& c, rb310::Simulator&) {
                   return Holds(EfsCopyWhole(c), "the backup differs from the handset's tree");
                 },
                 [](const Case& c) {
                   // A failed backup may leave its work under other names only.
                   return Holds(!fs::exists(c.Pc() / "Efs_COM5") || EfsCopyWhole(c),
                                "Efs_COM5 is not a whole copy of the handset's tree");
                 }});
  ops.push_back({"efs_restore", 6, 6,
                 [](const Case& c, rb310::SimOptions&) {
                   SeedEfs(c.Pc() / "Efs_COM5");
                   fs::create_directories(c.State() / "efs");
                 },
                 [](const Case& c) {
                   const std::string base = c.Pc().string();
                   return EfsRestore_Interface(kPortIndex, base.c_str());
                 },
                 [](const Case& c, rb310::Simulator&) {
                   // Files directly in the tree's top are not written.
                   const auto handset = Tree(c.State() / "efs");
                   const auto pc = Tree(c.Pc() / "Efs_COM5");
                   for (auto& [name, bytes] : pc) {
                     if (name.find('/') == std::string::npos) continue;
                     const auto it = handset.find(name);
                     if (it == handset.end() || it->second != bytes) return Holds(false, name + " is not on the handset");
                   }
                   return ::testing::AssertionSuccess();
                 },
                 [](const Case&) { return ::testing::AssertionSuccess(); }});
  ops.push_back({"emergency", 3, 3,
                 [](const Case& c, rb310::SimOptions& options) {
                   options.personality.startInDownloader = true;
                   Put(c.Pc() / "rescue.bin", kImage);
                 },
                 [](const Case& c) {
                   const std::string path = (c.Pc() / "rescue.bin").string();
                   return EmergencyUSB_Interface(0, 0, "", path.c_str(), 0, kPortIndex, 0, 0, -1);
                 },
                 [](const Case& c, rb310::Simulator&) {
                   return Holds(ReadAll(c.State() / "flash" / "main_image.bin") == kImage, "the image is not burned");
                 },
                 [](const Case&) { return ::testing::AssertionSuccess(); }});
  ops.push_back({"upgrade_kind0", 1, 3,
                 [](const Case& c, rb310::SimOptions& options) {
                   options.nv.loseOnImageStored = true;  // the restore must bring the items back
                   Put(c.Pc() / "RB31VV30.bin", kImage);
                 },
                 [](const Case& c) {
                   // A failure's NV backup goes to the current directory.
                   const fs::path previous = fs::current_path();
                   fs::current_path(c.Pc());
                   const std::string image = (c.Pc() / "RB31VV30.bin").string();
                   const int result =
                       UpgradeUSB_Interface(0, 0, "", image.c_str(), "", "", 0, "", 0, kPortIndex, "", 0, 0, -1);
                   fs::current_path(previous);
                   return result;
                 },
                 [](const Case& c, rb310::Simulator& sim) {
                   if (ReadAll(c.State() / "flash" / "main_image.bin") != kImage)
                     return Holds(false, "the image is not burned");
                   return ItemsReadBackAsReference(c, sim, "the handset's items were not restored");
                 },
                 [](const Case& c) {
                   for (const auto& entry : fs::directory_iterator(c.Pc())) {
                     if (entry.path().extension() != ".bak" || entry.path().filename() == "readback.bak") continue;
                     const auto decoded = zk::nv::DecodeBackupFile(ReadAll(entry.path()));
                     if (!decoded.ok) return Holds(false, entry.path().string() + ": " + decoded.problem);
                   }
                   return ::testing::AssertionSuccess();
                 }});
  ops.push_back({"prl_read", 4, 4,
                 [](const Case& c, rb310::SimOptions&) { Put(c.State() / "prl" / "nam0.bin", kLongPrl); },
                 [](const Case& c) {
                   const std::string path = (c.Pc() / "copy.prl").string();
                   return PRLReadUSB_Interface(0, "", "", path.c_str(), 0, kPortIndex, 0, 0, -1);
                 },
                 [](const Case& c, rb310::Simulator&) {
                   return Holds(ReadAll(c.Pc() / "copy.prl") == kLongPrl, "the file is not NAM 0's list");
                 },
                 [](const Case& c) {
                   const fs::path file = c.Pc() / "copy.prl";
                   return Holds(!fs::exists(file) || ReadAll(file) == kLongPrl, "a list file that is not whole");
                 }});
  ops.push_back({"eri_write", 3, 3,
                 [](const Case& c, rb310::SimOptions&) { Put(c.Pc() / "roam.eri", kEri); },
                 [](const Case& c) {
                   const std::string path = (c.Pc() / "roam.eri").string();
                   return ERIWriteUSB_Interface(0, 0, "", path.c_str(), kPortIndex, 0, 0, -1);
                 },
                 [](const Case& c, rb310::Simulator&) {
                   return Holds(ReadAll(c.State() / "efs" / "eri" / "eri.bin") == kEri, "the handset lacks the file");
                 },
                 [](const Case&) { return ::testing::AssertionSuccess(); }});
  return ops;
}

struct SweepParam {
  std::size_t operation;
  std::size_t fault;
};

class FaultSweep : public ::testing::TestWithParam<SweepParam> {
 protected:
  void SetUp() override { zk::boundary::ResetLibraryState(); }
  void TearDown() override { zk::boundary::ResetLibraryState(); }

  // How a run is taken: the reference backup and each operation's clean
  // run must succeed, a faulty run may fail; all but the reference are
  // judged. A faulty run again at ease has the clean runs' time-outs.
  enum class Run { kReference, kClean, kFaulty, kFaultyAtEase };

  struct Outcome {
    int result = 0;
    rb310::Counters counters;  // what the operation asked of the handset
  };

  // Runs `op` once against a handset with `faults` and judges the outcome.
  Outcome RunCase(const Operation& op, const Case& c, rb310::FaultOptions faults, const std::string& where,
                  Run run = Run::kFaulty);

  zk::test::ScopedEnv scale_{"ZKDOWNLOAD_TIME_SCALE", "0.01"};
  // Every case writes a handset's state (hundreds of NV item files): in
  // memory when the machine offers it, the sweep takes a third of the time.
  zk::test::ScopedEnv tmp_{"TMPDIR", fs::is_directory("/dev/shm") ? "/dev/shm" : std::getenv("TMPDIR")};
  zk::test::TempHome home_;
};

FaultSweep::Outcome FaultSweep::RunCase(const Operation& op, const Case& c, rb310::FaultOptions faults,
                                        const std::string& where, Run run) {
  SCOPED_TRACE(where);
  // Every run meets the library as freshly loaded, as did the clean run its
  // indices were counted on: state an earlier run leaves in the library may
  // change how many requests the next one makes.
  zk::boundary::ResetLibraryState();
  // The runs without faults take the time-outs a loaded machine needs: the
  // sweep's own scale leaves a handset thread that is slow to be scheduled
  // only a few milliseconds to answer.
  std::optional<zk::test::ScopedEnv> comfortable;
  const bool faulty = run == Run::kFaulty || run == Run::kFaultyAtEase;
  if (run != Run::kFaulty) comfortable.emplace("ZKDOWNLOAD_TIME_SCALE", "0.05");
  fs::create_directories(c.Pc());
  rb310::SimOptions options;
  options.line.port = kPort;
  options.stateDir = c.State();
  options.personality.restartDelayMs = 200;
  op.prepare(c, options);
  options.faults = std::move(faults);
  rb310::Simulator sim(std::move(options));
  std::string error;
  EXPECT_TRUE(sim.Start(error)) << error;
  const std::string slave = sim.slavePath();
  const int heldBefore = OpenDescriptorsTo(slave);

  const int result = op.run(c);
  // What the operation asked of the handset; a proof below may read it back.
  const rb310::Counters counters = sim.counters();
  if (!faulty) {
    char portError[256] = {};
    GetPortError_Interface(portError, sizeof portError);
    EXPECT_EQ(result, 1) << "a run without faults failed: " << GetLastResult_Interface() << " " << portError;
  }
  if (run == Run::kReference) {
    sim.Stop();
    return {result, counters};
  }
  EXPECT_TRUE(result == 0 || result == 1) << result;
  // The simulator holds a descriptor of its own until the handset vanishes
  // (which closes it under the simulator's lock): counted before that, it
  // is still there; once vanished, counted again, it is gone.
  int held = OpenDescriptorsTo(slave);
  const bool vanished = sim.vanished();
  if (vanished) held = OpenDescriptorsTo(slave);
  EXPECT_EQ(held, vanished ? 0 : heldBefore) << "the port is still open";
  if (result == 1) {
    // The proof may read the handset back: without faults, so at ease.
    if (!comfortable) comfortable.emplace("ZKDOWNLOAD_TIME_SCALE", "0.05");
    EXPECT_TRUE(op.done(c, sim)) << "a success the handset does not prove";
  } else {
    EXPECT_NE(GetLastResult_Interface(), 0) << "a failure without a code";
  }
  EXPECT_TRUE(op.pcHonest(c));
  sim.Stop();
  return {result, counters};
}

// The indices a fault lands on in a run of `count` requests.
std::vector<uint64_t> Indices(uint64_t count, uint64_t dense, uint64_t strided) {
  std::vector<uint64_t> indices;
  for (uint64_t i = 1; i <= count && i <= dense; ++i) indices.push_back(i);
  if (count > dense) {
    const uint64_t stride = std::max<uint64_t>(1, (count - dense) / (strided + 1));
    for (uint64_t i = dense + stride; i < count; i += stride) indices.push_back(i);
    indices.push_back(count);
  }
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  return indices;
}

TEST_P(FaultSweep, NeverAFalseSuccessNorALeftPortNorAFalseFile) {
  static const std::vector<Operation> ops = Operations();
  const Operation& op = ops[GetParam().operation];
  const Fault& fault = kFaults[GetParam().fault];

  // The reference NV backup, once: a clean read of a fresh handset.
  if (Reference().nvBackup.empty()) {
    const Case c{home_.path() / "reference"};
    fs::create_directories(c.Pc());
    ASSERT_GT(RunCase(ops[1], c, {}, "reference", Run::kReference).counters.frames, 0u);
    Reference().nvBackup = ReadAll(c.Pc() / "items.bak");
    ASSERT_TRUE(zk::nv::DecodeBackupFile(Reference().nvBackup).ok);
  }

  const Case clean{home_.path() / "clean"};
  const rb310::Counters cleanRun = RunCase(op, clean, {}, std::string(op.name) + " clean", Run::kClean).counters;
  ASSERT_GT(cleanRun.frames, 0u);
  const uint64_t count = fault.downloaderOnly ? cleanRun.downloaderFrames : cleanRun.frames;
  if (count == 0) GTEST_SKIP() << op.name << " sends the downloader nothing to refuse";
  // A silent handset costs every time-out of the step it lands in, and
  // the steps are what matter: a few indices spread over the run.
  const int dense = fault.fromThereOn ? std::min(op.dense, 2) : op.dense;
  const int strided = fault.fromThereOn ? std::min(op.strided, 3) : op.strided;
  for (const uint64_t index : Indices(count, static_cast<uint64_t>(dense), static_cast<uint64_t>(strided))) {
    const std::string where = std::string(op.name) + ", " + fault.name + " at " +
                              (fault.downloaderOnly ? "downloader request " : "request ") + std::to_string(index) +
                              " of " + std::to_string(count);
    FaultRule rule;
    rule.action = fault.action;
    if (fault.fromThereOn || fault.downloaderOnly) {
      // Counted among the requests the rule is asked about: all of them, or
      // the downloader's.
      rule.match = FaultRule::Match::kAll;
      rule.skip = static_cast<uint32_t>(index - 1);
      rule.times = fault.fromThereOn ? 0 : 1;
    } else {
      rule.match = FaultRule::Match::kNth;
      rule.selector = static_cast<uint32_t>(index);
    }
    rule.value = fault.value;
    rb310::FaultOptions faults;
    faults.rules.push_back(rule);
    const std::string dir = "at" + std::to_string(index);
    Outcome outcome = RunCase(op, Case{home_.path() / dir}, faults, where);
    // On a loaded machine the sweep's short time-outs can end a run before
    // its fault's request; such a failure proves nothing about the fault,
    // so the case runs again at ease on a fresh handset.
    for (int again = 1; outcome.counters.faultsActed == 0 && outcome.result != 1 && again <= 2; ++again) {
      std::printf("%s: failed with %d after %llu requests, before the fault acted; again at ease\n", where.c_str(),
                  GetLastResult_Interface(), static_cast<unsigned long long>(outcome.counters.frames));
      outcome = RunCase(op, Case{home_.path() / (dir + "-again" + std::to_string(again))}, faults,
                        where + " (again at ease)", Run::kFaultyAtEase);
    }
    // A case whose fault never acted would pass whatever the library does.
    EXPECT_GT(outcome.counters.faultsActed, 0u)
        << where << ": the fault never acted (" << outcome.counters.frames << " requests)";
    if (HasFatalFailure()) return;
  }
}

std::vector<SweepParam> AllCases() {
  std::vector<SweepParam> cases;
  const std::size_t operations = Operations().size();
  for (std::size_t op = 0; op < operations; ++op)
    for (std::size_t fault = 0; fault < std::size(kFaults); ++fault) cases.push_back({op, fault});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Sweep, FaultSweep, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<SweepParam>& info) {
                           return std::string(Operations()[info.param.operation].name) + "_" +
                                  kFaults[info.param.fault].name;
                         });

}  // namespace
