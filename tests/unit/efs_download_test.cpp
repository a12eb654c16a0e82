// EFS backup and restore against an in-memory handset file system that
// answers both request families: the mirrored tree, hostile names, the old
// backup's removal, and which directories a restore writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "efs/efs_download.h"
#include "platform/library_state.h"
#include "support/temp_home.h"
#include "ui/common_process.h"

namespace {

namespace fs = std::filesystem;
using zk::diag::Reply;
using Bytes = std::vector<uint8_t>;

std::string Parent(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
std::string Leaf(const std::string& path) { return path.substr(path.rfind('/') + 1); }
std::string Relative(std::string path) { return path.starts_with('/') ? path.substr(1) : path; }

// The handset's file system: directories and files by relative path.
class TreeHandset : public zk::diag::Transactor {
 public:
  std::set<std::string> dirs;
  std::map<std::string, std::string> files;
  std::map<std::string, std::vector<std::string>> dirListing;   // replaces operation 2's names
  std::map<std::string, std::vector<std::string>> fileListing;  // replaces readdir's plain files
  std::set<std::string> refusedWrites;
  std::map<std::string, uint32_t> readErrors;  // error number of every read of the file

  Reply Exchange(std::span<const uint8_t> request, int) override {
    const Bytes in(request.begin(), request.end());
    answer_.clear();
    if (in[0] == 0x59) {
      const std::string path(reinterpret_cast<const char*>(&in[3]));
      std::vector<std::string> names = dirListing.contains(path) ? dirListing[path] : Children(path);
      std::string data;
      for (const auto& name : names) (data += name) += '\0';
      answer_ = {0x59, in[1], 0, static_cast<uint8_t>(names.size()), 0, static_cast<uint8_t>(data.size()),
                 static_cast<uint8_t>(data.size() >> 8)};
      answer_.insert(answer_.end(), data.begin(), data.end());
      return {kTransactAccepted, true, answer_};
    }
    answer_.assign(in.begin(), in.begin() + 4);
    const uint16_t sub = static_cast<uint16_t>(in[2] | in[3] << 8);
    const auto text = [&](std::size_t at) { return Relative(reinterpret_cast<const char*>(&in[at])); };
    const auto field = [&](std::size_t at) { return in[at] | in[at + 1] << 8 | in[at + 2] << 16 | in[at + 3] << 24; };
    switch (sub) {
      case 15: {  // stat
        const std::string path = text(4);
        const bool known = path.empty() || dirs.contains(path) || files.contains(path);
        Put({known ? 0u : 2u, 0, known && files.contains(path) ? static_cast<uint32_t>(files[path].size()) : 0u});
        break;
      }
      case 2: {  // open
        const std::string path = text(12);
        const bool write = field(4) != 0;
        if (write && refusedWrites.contains(path)) { Put({0, 13}); break; }
        if (write) files[path].clear();
        open_.push_back(path);
        Put({static_cast<uint32_t>(open_.size() - 1), files.contains(path) ? 0u : 2u});
        break;
      }
      case 4: {  // read
        if (readErrors.contains(open_[field(4)])) { Put({0, 0, 0, readErrors[open_[field(4)]]}); break; }
        const std::string& content = files[open_[field(4)]];
        const std::size_t offset = field(12), count = std::min<std::size_t>(512, content.size() - offset);
        Put({0, 0, static_cast<uint32_t>(count), 0});
        answer_.insert(answer_.end(), content.begin() + offset, content.begin() + offset + count);
        break;
      }
      case 5: {  // write
        std::string& content = files[open_[field(4)]];
        content.resize(field(8));
        content.append(in.begin() + 12, in.end());
        Put({0, 0, static_cast<uint32_t>(in.size() - 12), 0});
        break;
      }
      case 9: dirs.insert(text(6)); Put({0}); break;
      case 11: {  // opendir: plain files first, then directories
        const std::string path = text(4);
        listing_.clear();
        if (fileListing.contains(path)) {
          for (const auto& name : fileListing[path]) listing_.push_back({name, 0});
        } else {
          for (const auto& [file, content] : files)
            if (Parent(file) == path) listing_.push_back({Leaf(file), 0});
        }
        for (const auto& dir : Children(path)) listing_.push_back({Leaf(dir), 1});
        Put({1, dirs.contains(path) || path.empty() ? 0u : 2u});
        break;
      }
      case 12: {  // readdir
        const std::size_t index = field(8) - 1;
        Put({0, 0, 0, index < listing_.size() ? listing_[index].second : 0u, 0, 0, 0, 0, 0});
        if (index < listing_.size()) answer_.insert(answer_.end(), listing_[index].first.begin(), listing_[index].first.end());
        answer_.push_back(0);
        break;
      }
      default: Put({0}); break;  // close, closedir
    }
    return {kTransactAccepted, true, answer_};
  }

 private:
  std::vector<std::string> Children(const std::string& path) const {
    std::vector<std::string> children;
    for (const auto& dir : dirs)
      if (Parent(dir) == path) children.push_back(dir);
    return children;
  }
  void Put(std::initializer_list<uint32_t> fields) {
    for (const uint32_t value : fields)
      for (int i = 0; i < 4; ++i) answer_.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }

  Bytes answer_;
  std::vector<std::string> open_;
  std::vector<std::pair<std::string, uint32_t>> listing_;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every regular file below `root`, as relative path -> contents.
std::map<std::string, std::string> TreeOf(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) tree[fs::relative(entry.path(), root).string()] = Slurp(entry.path());
  return tree;
}

std::set<std::string> Names(const fs::path& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename().string());
  return names;
}

class EfsDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handset_.dirs = {"brew", "brew/mod", "eri"};
    handset_.files = {{"cfg.txt", "root file"}, {"brew/mod/app.mod", std::string(1300, 'm')}, {"eri/eri.bin", "e"}};
  }
  TreeHandset handset_;
  CEfsDownload efs_{handset_};
  zk::test::TempDir dir_{"zk-efs"};
};

TEST_F(EfsDownloadTest, BackupMirrorsTheHandsetTreeAndReplacesTheOldBackup) {
  const fs::path backup = dir_.path() / "Efs_COM3";
  fs::create_directories(backup / "stale");
  std::ofstream(backup / "stale" / "old") << "old";
  EXPECT_EQ(CEfsDownload::DirectoryListText(efs_.WalkPhoneDirectories()), "/|/brew/mod|/brew|/eri");

  EXPECT_EQ(efs_.EfsBackup(dir_.path().string(), 2), CEfsDownload::kDone);
  const std::map<std::string, std::string> expected = {
      {"Root/cfg.txt", "root file"}, {"brew/mod/app.mod", std::string(1300, 'm')}, {"eri/eri.bin", "e"}};
  EXPECT_EQ(TreeOf(backup), expected);
  EXPECT_FALSE(fs::exists(backup / "stale"));

  // Read statuses 6 and 8 skip the file and leave nothing of it; others fail.
  for (const auto& [status, expected] : {std::pair<uint32_t, int>{6, CEfsDownload::kDone}, {8, CEfsDownload::kDone},
                                         {5, CEfsDownload::kReadFailed}}) {
    handset_.readErrors = {{"brew/mod/app.mod", status}};
    EXPECT_EQ(efs_.EfsBackup(dir_.path().string(), 2), expected) << status;
    EXPECT_EQ(TreeOf(backup).count("brew/mod/app.mod.partial") + TreeOf(backup).count("brew/mod/app.mod"),
              status == 5 ? 1u : 0u);
  }
  handset_.readErrors.clear();

  // A handset whose root holds only files is still backed up.
  handset_.dirs.clear();
  handset_.files = {{"only", "x"}};
  EXPECT_EQ(efs_.EfsBackup(dir_.path().string(), 2), CEfsDownload::kDone);
  EXPECT_EQ(TreeOf(backup), (std::map<std::string, std::string>{{"Root/only", "x"}}));
}

TEST_F(EfsDownloadTest, HostileHandsetNamesFailTheBackupAndNothingLandsOutside) {
  struct Case {
    const char* what;
    std::map<std::string, std::vector<std::string>> dirListing, fileListing;
    int expected;
    std::string named;
  };
  const std::vector<Case> cases = {
      {"parent file", {}, {{"eri", {"../../escaped"}}}, CEfsDownload::kReadFailed, "/eri/../../escaped"},
      {"dot-dot file", {}, {{"eri", {".."}}}, CEfsDownload::kReadFailed, "/eri/.."},
      {"backslash file", {}, {{"", {"a\\b"}}}, CEfsDownload::kReadFailed, "/a\\b"},
      {"control file", {}, {{"", {"a\x01"}}}, CEfsDownload::kReadFailed, "/a\x01"},
      {"long file", {}, {{"", {std::string(256, 'n')}}}, CEfsDownload::kReadFailed, "/" + std::string(256, 'n')},
      {"parent dir", {{"", {"../escaped"}}}, {}, CEfsDownload::kListingFailed, "../escaped"},
      {"absolute dir", {{"", {"/tmp"}}}, {}, CEfsDownload::kListingFailed, "/tmp"},
      {"not a child", {{"eri", {"brew"}}}, {}, CEfsDownload::kListingFailed, "brew"},
      {"dot dir", {{"eri", {"eri/."}}}, {}, CEfsDownload::kListingFailed, "eri/."},
  };
  const fs::path base = dir_.path() / "base";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    handset_.dirListing = c.dirListing;
    handset_.fileListing = c.fileListing;
    EXPECT_EQ(efs_.EfsBackup(base.string(), 0), c.expected);
    EXPECT_EQ(g_commonProcess.m_handsetPath, c.named);
    EXPECT_NE(g_runState.failureNote.find(c.named), std::string::npos);
    EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"base"}) << "wrote outside the backup";
    EXPECT_EQ(Names(base), std::set<std::string>{"Efs_COM1"}) << "wrote outside the backup";
  }
  // A link in the backup directory's place is removed, not followed.
  const fs::path outside = dir_.path().parent_path() / (dir_.path().filename().string() + "-outside");
  fs::create_directories(outside);
  std::ofstream(outside / "keep") << "keep";
  handset_.dirListing.clear();
  handset_.fileListing.clear();
  fs::remove_all(base / "Efs_COM1");
  fs::create_directory_symlink(outside, base / "Efs_COM1");
  EXPECT_EQ(efs_.EfsBackup(base.string(), 0), CEfsDownload::kDone);
  EXPECT_EQ(Slurp(outside / "keep"), "keep");
  EXPECT_FALSE(fs::is_symlink(base / "Efs_COM1"));
  fs::remove_all(outside);
}

TEST_F(EfsDownloadTest, RestoreWritesAllButTheSkippedDirectoriesAndFailsLoudly) {
  const fs::path root = dir_.path() / "Efs_COM1";
  const std::map<std::string, std::string> tree = {
      {"Root/cfg.txt", "r"}, {"nvm/nvm/item", "n"}, {"eri/eri.bin", "new eri"}, {"top.txt", "root's own file"}};
  for (const auto& [path, content] : tree) {
    fs::create_directories((root / path).parent_path());
    std::ofstream(root / path) << content;
  }
  for (int i = 0; i < 60; ++i) {  // more directories than the old fixed table held
    fs::create_directories(root / "many" / std::to_string(i));
    std::ofstream(root / "many" / std::to_string(i) / "f") << i;
  }
  handset_.dirs.clear();
  handset_.files.clear();
  EXPECT_EQ(efs_.EfsRestore(dir_.path().string(), 0), CEfsDownload::kDone);
  EXPECT_EQ(handset_.files.size(), 61u);
  EXPECT_EQ(handset_.files["eri/eri.bin"], "new eri");
  EXPECT_EQ(handset_.files["many/59/f"], "59");
  EXPECT_TRUE(handset_.dirs.contains("many/59"));
  EXPECT_FALSE(handset_.dirs.contains("nvm/nvm") || handset_.dirs.contains("Root"));
  EXPECT_EQ(efs_.m_restoreRoot, root.string());

  // A brew_script directory is its own root.
  const fs::path brew = dir_.path() / "brew_script";
  fs::create_directories(brew / "brew");
  std::ofstream(brew / "brew" / "a.mif") << "mif";
  EXPECT_EQ(efs_.EfsRestore(brew.string(), 0), CEfsDownload::kDone);
  EXPECT_EQ(handset_.files["brew/a.mif"], "mif");

  // A refused write and a missing root both fail with 28, named.
  handset_.refusedWrites = {"eri/eri.bin"};
  EXPECT_EQ(efs_.EfsRestore(dir_.path().string(), 0), CEfsDownload::kWriteFailed);
  EXPECT_EQ(g_commonProcess.m_handsetPath, "/eri/eri.bin");
  EXPECT_EQ(efs_.EfsRestore(dir_.path().string(), 4), CEfsDownload::kWriteFailed);
  EXPECT_EQ(g_commonProcess.m_handsetPath, (dir_.path() / "Efs_COM5").string());
}

}  // namespace
