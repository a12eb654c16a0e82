// The file-system commands of the zkdownload executable against the
// rb310-sim executable, whose file system is a directory the test fills.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/command_run.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::test::CommandOutcome;

constexpr const char* kScale = "0.02";

std::string Bytes(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed * 7 + i / 251) & 0xFF);
  return bytes;
}

void Put(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every directory ("d") and file (its bytes) below `root`, by relative path.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string relative = fs::relative(entry.path(), root).generic_string();
    tree[relative] = entry.is_directory() ? std::string("d") : "f:" + ReadAll(entry.path());
  }
  return tree;
}

// A nested tree with an empty directory, an empty file and files of several
// read blocks, none of them in the root (a restore writes no root files).
void SeedTree(const fs::path& efs) {
  Put(efs / "eri" / "eri.bin", Bytes(700, 1));
  Put(efs / "brew" / "mod" / "app" / "app.mod", Bytes(3000, 2));
  Put(efs / "brew" / "mod" / "app" / "empty.dat", "");
  Put(efs / "brew" / "mod" / "app" / "res" / "icon.bmp", Bytes(1025, 3));
  Put(efs / "nv" / "prefs.cfg", Bytes(512, 4));
  fs::create_directories(efs / "brew" / "shared");
}

class CliEfs : public ::testing::Test {
 protected:
  void TearDown() override { sim_.Stop(); }

  void StartSim(const fs::path& state, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--port", "COM5", "--state", state.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    ASSERT_TRUE(sim_.Start(args, error)) << error;
  }

  CommandOutcome Run(std::vector<std::string> args) {
    std::vector<std::string> line{"--time-scale", kScale, "--ui", "none"};
    line.insert(line.end(), args.begin(), args.end());
    CommandOutcome outcome = zk::test::RunCommand(zk::test::CliExecutable(), line);
    EXPECT_FALSE(outcome.timedOut) << outcome.out << outcome.err;
    return outcome;
  }

  fs::path Path(const std::string& name) const { return home_.path() / name; }

  // The simulator reads its time scale from the environment it inherits.
  zk::test::ScopedEnv scale_{"ZKDOWNLOAD_TIME_SCALE", kScale};
  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
};

TEST_F(CliEfs, ListsGetsAndPutsFiles) {
  SeedTree(Path("state") / "efs");
  Put(Path("state") / "efs" / "version.txt", "RB310");
  StartSim(Path("state"));

  const auto listed = Run({"efs-ls", "--port", "COM5", "-R", "/"});
  ASSERT_EQ(listed.status, 0) << listed.out << listed.err;
  for (const char* line : {"/:\n", "d          0  brew\n", "-          5  version.txt\n", "\n/brew/mod/app:\n",
                           "-       3000  app.mod\n", "-          0  empty.dat\n", "d          0  res\n",
                           "\n/brew/shared:\n\n", "/brew/mod/app/res:\n-       1025  icon.bmp\n",
                           "6 files (5.1 KiB) and 7 directories below / on COM5\n"})
    EXPECT_NE(listed.out.find(line), std::string::npos) << line << "\n" << listed.out;
  const auto one = Run({"efs-ls", "--port", "COM5", "/brew/mod/app/"});
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out.find("icon.bmp"), std::string::npos) << one.out;
  EXPECT_NE(one.out.find("2 files (2.9 KiB) and 1 directories in /brew/mod/app on COM5"), std::string::npos) << one.out;

  // Handset to PC (into a directory) and back under a new, deeper name.
  const auto got = Run({"efs-get", "--port", "COM5", "/brew/mod/app/app.mod", home_.path().string()});
  ASSERT_EQ(got.status, 0) << got.err;
  EXPECT_EQ(ReadAll(Path("app.mod")), Bytes(3000, 2));
  EXPECT_NE(got.out.find("copied /brew/mod/app/app.mod (2.9 KiB) from COM5 into "), std::string::npos) << got.out;
  const auto put = Run({"efs-put", "--port", "COM5", Path("app.mod").string(), "/new/deep/copy.mod"});
  ASSERT_EQ(put.status, 0) << put.err;
  EXPECT_EQ(ReadAll(Path("state") / "efs" / "new" / "deep" / "copy.mod"), Bytes(3000, 2));

  // Failures name the code, the path and leave the PC file as it was.
  Put(Path("keep.bin"), "old");
  const auto missing = Run({"efs-get", "--port", "COM5", "/no/such.bin", Path("keep.bin").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("803060 'EfsRead' Function in File System Tool \u2014 '/no/such.bin' does not exist in EFS."),
            std::string::npos)
      << missing.err;
  EXPECT_NE(missing.err.find("note: /no/such.bin does not exist on the handset"), std::string::npos) << missing.err;
  EXPECT_EQ(ReadAll(Path("keep.bin")), "old");
  const auto noDirectory = Run({"efs-ls", "--port", "COM5", "/nothing"});
  EXPECT_EQ(noDirectory.status, 1);
  EXPECT_NE(noDirectory.err.find("802060"), std::string::npos) << noDirectory.err;
}

TEST_F(CliEfs, InputsAreCheckedBeforeTheHandsetIsTouched) {
  StartSim(Path("state"), {"--transcript", Path("transcript.jsonl").string()});
  Put(Path("empty.eri"), "");
  fs::create_directories(Path("nothing"));
  const std::string longPath = "/" + std::string(127, 'a');
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"efs-ls", "brew"}, "must begin with /"},
      {{"efs-ls", longPath}, "longer than 127 characters"},
      {{"efs-get", "/eri/eri.bin", Path("no-dir/eri.bin").string()}, "does not exist"},
      {{"efs-put", Path("absent.bin").string(), "/x.bin"}, "does not exist"},
      {{"efs-put", Path("empty.eri").string(), "/dir/"}, "must name a file"},
      {{"efs-restore", Path("nothing").string()}, "Efs_COM5"},
      {{"eri-read", Path("no-dir/eri.bin").string()}, "does not exist"},
      {{"eri-write", Path("empty.eri").string()}, "is empty"},
      {{"provision", Path("nothing").string()}, "does not exist or is empty"},
  };
  for (const auto& [args, why] : cases) {
    std::vector<std::string> line{args.front(), "--port", "COM5"};
    line.insert(line.end(), args.begin() + 1, args.end());
    const auto outcome = Run(line);
    EXPECT_EQ(outcome.status, 2) << args.front() << ": " << outcome.err;
    EXPECT_NE(outcome.err.find(why), std::string::npos) << args.front() << ": " << outcome.err;
  }
  sim_.Stop();
  // Nothing reached the handset: the simulator's transcript holds no request.
  EXPECT_EQ(ReadAll(Path("transcript.jsonl")).find("\"frame\""), std::string::npos);
}

TEST_F(CliEfs, BackupThenRestoreIntoAnEmptyHandsetRoundTripsTheTree) {
  SeedTree(Path("first") / "efs");
  StartSim(Path("first"));
  const auto backup = Run({"efs-backup", "--port", "COM5", Path("bk").string()});
  ASSERT_EQ(backup.status, 0) << backup.out << backup.err;
  EXPECT_NE(backup.out.find("backed up 5 files (5.1 KiB) from COM5 into " + Path("bk").string() + "/Efs_COM5"),
            std::string::npos)
      << backup.out;
  sim_.Stop();
  // A backup that fails keeps the last good one and leaves what it copied beside it.
  const auto good = Tree(Path("bk") / "Efs_COM5");
  StartSim(Path("first"), {"--efs-fail", "/nv/prefs.cfg"});
  const auto failed = Run({"efs-backup", "--port", "COM5", Path("bk").string()});
  EXPECT_EQ(failed.status, 1) << failed.out << failed.err;
  EXPECT_EQ(Tree(Path("bk") / "Efs_COM5"), good);
  EXPECT_TRUE(fs::exists(Path("bk") / "Efs_COM5.partial" / "brew" / "mod" / "app" / "app.mod"));
  sim_.Stop();

  fs::create_directories(Path("second") / "efs");
  StartSim(Path("second"));
  const auto restore = Run({"efs-restore", "--port", "COM5", Path("bk").string()});
  ASSERT_EQ(restore.status, 0) << restore.out << restore.err;
  EXPECT_NE(restore.out.find("restored 5 files (5.1 KiB) from "), std::string::npos) << restore.out;
  sim_.Stop();
  EXPECT_EQ(Tree(Path("second") / "efs"), Tree(Path("first") / "efs"));
}

}  // namespace
