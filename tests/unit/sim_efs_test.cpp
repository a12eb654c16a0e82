// The handset's file system over both request families, on a seeded
// <state>/efs: primitives, handle limits, path confinement and the faults.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "services/diag_codes.h"
#include "services/efs_codes.h"
#include "sim_rig.h"

namespace rb310::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void PutU32(Bytes& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutText(Bytes& bytes, const std::string& text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
}

Bytes Sub(uint16_t subcommand, std::initializer_list<uint32_t> fields = {}, const std::string* path = nullptr) {
  Bytes bytes{diag::kSubsystemDispatch, diag::kEfsSubsystem, static_cast<uint8_t>(subcommand & 0xFF),
              static_cast<uint8_t>(subcommand >> 8)};
  for (const uint32_t field : fields) PutU32(bytes, field);
  if (path) PutText(bytes, *path);
  return bytes;
}

Bytes Stat(std::string path) { return Sub(efs::kStat, {}, &path); }
Bytes Open(std::string path, uint32_t flags) { return Sub(efs::kOpen, {flags, 0}, &path); }
Bytes Opendir(std::string path) { return Sub(efs::kOpendir, {}, &path); }
Bytes Mkdir(std::string path) {
  Bytes bytes = Sub(efs::kMkdir);
  bytes.push_back(0xFF);  // mode 0777, 16-bit
  bytes.push_back(0x01);
  PutText(bytes, path);
  return bytes;
}
Bytes Read(uint32_t handle, uint32_t offset) { return Sub(efs::kRead, {handle, 512, offset}); }
Bytes Write(uint32_t handle, uint32_t offset, std::size_t count) {
  Bytes bytes = Sub(efs::kWrite, {handle, offset});
  for (std::size_t i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(i * 7));
  return bytes;
}

Bytes Operation(uint8_t operation, const std::string& name, std::optional<uint8_t> sequence = {}) {
  Bytes bytes{diag::kEfsOperations, operation};
  if (sequence) bytes.push_back(*sequence);
  bytes.push_back(static_cast<uint8_t>(name.size() + 1));
  PutText(bytes, name);
  return bytes;
}

// The zero-terminated names of a listing answer.
std::vector<std::string> Names(const Bytes& answer) {
  std::vector<std::string> names;
  std::string name;
  for (std::size_t i = efs::ops::kListNamesOffset; i < answer.size(); ++i) {
    if (answer[i] == 0) {
      names.push_back(std::exchange(name, {}));
    } else {
      name += static_cast<char>(answer[i]);
    }
  }
  return names;
}

std::string NameAt40(const Bytes& answer) {
  return std::string(answer.begin() + efs::kReaddirNameOffset, answer.end() - 1);
}

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 31 + 5);
  return bytes;
}

Bytes Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

class SimEfs : public ::testing::Test {
 public:
  void SetUp() override {
    const fs::path efs = rig_.stateDir() / "efs";
    fs::create_directories(efs / "eri");
    fs::create_directories(efs / "brew" / "mod");
    fs::create_directories(efs / "empty");
    const Bytes eri = Pattern(1300);
    std::ofstream(efs / "eri" / "eri.bin", std::ios::binary).write(reinterpret_cast<const char*>(eri.data()), 1300);
    std::ofstream(efs / "top.txt") << "top";
    std::ofstream(efs / "brew" / "mod" / "app.mif") << "mif";
  }
  Bytes Ask(const Bytes& request) {
    const auto answer = rig_.Ask(request);
    EXPECT_TRUE(answer) << "no answer";
    return answer.value_or(Bytes(64, 0xEE));
  }
  fs::path Efs() const { return rig_.stateDir() / "efs"; }

  HandsetRig rig_;
};

// One session through every primitive of both families, in order: each
// step's error field (or status byte), and what else its answer must hold.
TEST_F(SimEfs, PrimitivesOfBothFamiliesAnswerTheirLayouts) {
  const Bytes eri = Pattern(1300);
  struct Step {
    const char* what;
    Bytes request;
    std::size_t errorOffset;  // a 32-bit error, or the status byte of the older family
    uint32_t error;
    std::function<void(const Bytes&)> check{};
  };
  const Step steps[] = {
      {"stat a file", Stat("/eri/eri.bin"), 4, 0, [](const Bytes& a) { EXPECT_EQ(Le32(a, 12), 1300u); }},
      {"stat a missing path", Stat("/nope"), 4, 2},
      {"open to read", Open("/eri/eri.bin", 0), 8, 0, [](const Bytes& a) { EXPECT_EQ(Le32(a, 4), 1u); }},
      {"open a missing file", Open("/nope", 0), 8, 2, [](const Bytes& a) { EXPECT_EQ(Le32(a, 4), 0xFFFFFFFFu); }},
      {"read the last block", Read(1, 1024), 16, 0,
       [&eri](const Bytes& a) {
         ASSERT_EQ(Le32(a, 12), 276u);
         EXPECT_EQ(Bytes(a.begin() + 20, a.end()), Bytes(eri.begin() + 1024, eri.end()));
       }},
      {"read past the end", Read(1, 2048), 16, 0, [](const Bytes& a) { EXPECT_EQ(Le32(a, 12), 0u); }},
      {"close", Sub(efs::kClose, {1}), 4, 0},
      {"close it again", Sub(efs::kClose, {1}), 4, 9},
      {"read a closed handle", Read(1, 0), 16, 9},
      {"open to write (create)", Open("/eri/new.bin", 65), 8, 0},
      {"write more than a request takes", Write(1, 0, 3000), 16, 0,
       [](const Bytes& a) { EXPECT_EQ(Le32(a, 12), 2048u) << "only what it took"; }},
      {"write to a bad handle", Write(9, 0, 10), 16, 9},
      {"open to write in a missing directory", Open("/no/new.bin", 65), 8, 2},
      {"open a directory", Open("/eri", 0), 8, 21},
      {"mkdir", Mkdir("/made"), 4, 0},
      {"mkdir an existing one", Mkdir("/made"), 4, 17},
      {"mkdir below a missing one", Mkdir("/no/dir"), 4, 2},
      {"opendir the root", Opendir("/"), 8, 0, [](const Bytes& a) { EXPECT_EQ(Le32(a, 4), 1u); }},
      {"opendir a missing one", Opendir("/nope"), 8, 2},
      {"opendir a file", Opendir("/top.txt"), 8, 20},
      {"readdir 1", Sub(efs::kReaddir, {1, 1}), 12, 0,
       [](const Bytes& a) {
         EXPECT_EQ(NameAt40(a), "brew");
         EXPECT_EQ(Le32(a, 16), efs::kDirectory);
       }},
      {"readdir 5", Sub(efs::kReaddir, {1, 5}), 12, 0,
       [](const Bytes& a) {
         EXPECT_EQ(NameAt40(a), "top.txt");
         EXPECT_EQ(Le32(a, 16), efs::kPlainFile);
       }},
      {"readdir past the end", Sub(efs::kReaddir, {1, 6}), 12, 0,
       [](const Bytes& a) { EXPECT_EQ(a.size(), efs::kReaddirNameOffset + 1) << "an empty name"; }},
      {"readdir a bad handle", Sub(efs::kReaddir, {5, 1}), 12, 9},
      {"closedir", Sub(efs::kClosedir, {1}), 4, 0},
      {"closedir again", Sub(efs::kClosedir, {1}), 4, 9},
      {"list the root's directories", Operation(2, ""), 2, 0,
       [](const Bytes& a) {
         EXPECT_EQ(Names(a), (std::vector<std::string>{"brew", "empty", "eri", "made"}));
         EXPECT_EQ(Le16(a, 3), 4);
         EXPECT_EQ(Le16(a, 5), a.size() - 7);
       }},
      {"list directories below, full paths", Operation(2, "/brew"), 2, 0,
       [](const Bytes& a) { EXPECT_EQ(Names(a), std::vector<std::string>{"brew/mod"}); }},
      {"list files", Operation(3, "eri"), 2, 0,
       [](const Bytes& a) { EXPECT_EQ(Names(a), (std::vector<std::string>{"eri/eri.bin", "eri/new.bin"})); }},
      {"list a missing directory", Operation(3, "nope"), 2, 2, [](const Bytes& a) { EXPECT_EQ(Le16(a, 3), 0); }},
      {"read block 2", Operation(4, "eri/eri.bin", 2), 2, 0,
       [&eri](const Bytes& a) {
         ASSERT_EQ(Le16(a, 5), 276);
         EXPECT_EQ(Bytes(a.begin() + 11, a.end()), Bytes(eri.begin() + 1024, eri.end()));
       }},
      {"read a block of a missing file", Operation(4, "nope", 0), 2, 2},
      {"delete", Operation(6, "top.txt"), 2, 0},
      {"delete it again", Operation(6, "top.txt"), 2, 2},
      {"delete a directory", Operation(6, "empty"), 2, 21},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    const Bytes answer = Ask(step.request);
    const std::size_t header = step.request[0] == diag::kEfsOperations ? 2 : 4;
    ASSERT_GE(answer.size(), step.errorOffset + 1);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + header), Bytes(step.request.begin(), step.request.begin() + header));
    const uint32_t error = header == 2 ? answer[step.errorOffset] : Le32(answer, step.errorOffset);
    EXPECT_EQ(error, step.error);
    if (step.check) step.check(answer);
  }
  const Bytes written = Write(0, 0, 2048);
  EXPECT_EQ(Slurp(Efs() / "eri" / "new.bin"), Bytes(written.begin() + 12, written.end()));
  EXPECT_TRUE(fs::is_directory(Efs() / "made"));
  EXPECT_FALSE(fs::exists(Efs() / "top.txt"));
}

TEST_F(SimEfs, HandleTablesAreBoundedAndFreedByCloseAndRestart) {
  struct Table {
    const char* what;
    Bytes open;
    uint16_t close;
  };
  for (const Table& table : {Table{"files", Open("/top.txt", 0), efs::kClose}, Table{"dirs", Opendir("/eri"), efs::kClosedir}}) {
    SCOPED_TRACE(table.what);
    for (uint32_t i = 1; i <= 16; ++i) ASSERT_EQ(Le32(Ask(table.open), 8), 0u) << i;
    EXPECT_EQ(Le32(Ask(table.open), 8), efs::kTooManyOpen);
    EXPECT_EQ(Le32(Ask(Sub(table.close, {7})), 4), 0u);
    EXPECT_EQ(Le32(Ask(table.open), 4), 7u) << "the freed slot is taken again";
    EXPECT_EQ(Le32(Ask(Sub(table.close, {17})), 4), efs::kBadHandle);
  }
  rig_.handset().core().BeginRestart(rig_.now());
  EXPECT_EQ(rig_.handset().fileSystem().openFiles() + rig_.handset().fileSystem().openDirectories(), 0u);
}

TEST_F(SimEfs, PathsOutsideTheDirectoryAreRefusedAndNeverTouched) {
  const fs::path outside = rig_.stateDir() / "outside";
  fs::create_directories(outside);
  std::ofstream(outside / "secret") << "secret";
  fs::create_directory_symlink(outside, Efs() / "link-out");
  fs::create_symlink(outside / "planted", Efs() / "dangling");
  fs::create_directory_symlink(Efs() / "eri", Efs() / "alias");  // inside: allowed

  const char* const escapes[] = {"/../outside/secret", "/eri/../../outside/secret", "/link-out/secret",
                                 "/dangling", "/eri\\..\\..\\outside"};
  for (const char* path : escapes) {
    SCOPED_TRACE(path);
    const std::string relative = std::string(path).substr(1);
    EXPECT_EQ(Le32(Ask(Stat(path)), 4), efs::kRefused);
    EXPECT_EQ(Le32(Ask(Open(path, 65 | efs::kTruncate)), 8), efs::kRefused);
    EXPECT_EQ(Le32(Ask(Mkdir(std::string(path) + "/x")), 4), efs::kRefused);
    EXPECT_EQ(Le32(Ask(Opendir(path)), 8), efs::kRefused);
    EXPECT_EQ(Ask(Operation(3, relative))[2], efs::kRefused);
    EXPECT_EQ(Ask(Operation(4, relative, 0))[2], efs::kRefused);
    EXPECT_EQ(Ask(Operation(6, relative))[2], efs::kRefused);
  }
  EXPECT_EQ(Slurp(outside / "secret"), (Bytes{'s', 'e', 'c', 'r', 'e', 't'}));
  EXPECT_FALSE(fs::exists(outside / "planted"));
  EXPECT_EQ(Le32(Ask(Stat("/alias/eri.bin")), 12), 1300u) << "a link that stays inside is followed";
  EXPECT_EQ(Names(Ask(Operation(2, ""))), (std::vector<std::string>{"alias", "brew", "empty", "eri"}))
      << "links out of the tree are not listed";
}

TEST_F(SimEfs, FaultsHitTheirPathsOnly) {
  struct FaultCase {
    const char* what;
    std::function<void(EfsFaultOptions&)> set;
    std::function<void(SimEfs&)> check;
  };
  const FaultCase cases[] = {
      {"failed path", [](EfsFaultOptions& f) { f.failPaths = {"/eri/eri.bin"}; },
       [](SimEfs& t) {
         EXPECT_EQ(Le32(t.Ask(Stat("/eri/eri.bin")), 4), efs::kRefused);
         EXPECT_EQ(Le32(t.Ask(Open("eri//eri.bin", 0)), 8), efs::kRefused) << "any spelling";
         EXPECT_EQ(t.Ask(Operation(4, "eri/eri.bin", 0))[2], efs::kRefused);
         EXPECT_EQ(t.Ask(Operation(6, "eri/eri.bin"))[2], efs::kRefused);
         EXPECT_EQ(Le32(t.Ask(Stat("/top.txt")), 4), 0u);
       }},
      {"reads dropped after one block", [](EfsFaultOptions& f) { f.dropReadsAfter = {{"eri/eri.bin", 1}}; },
       [](SimEfs& t) {
         ASSERT_EQ(Le32(t.Ask(Open("/eri/eri.bin", 0)), 4), 1u);
         EXPECT_EQ(Le32(t.Ask(Read(1, 0)), 12), 512u);
         EXPECT_FALSE(t.rig_.Ask(Read(1, 512)));
         EXPECT_EQ(Le16(t.Ask(Operation(4, "eri/eri.bin", 0)), 5), 512);
         EXPECT_FALSE(t.rig_.Ask(Operation(4, "eri/eri.bin", 1)));
       }},
      {"zero-byte transfers", [](EfsFaultOptions& f) { f.zeroTransfers = {"/top.txt"}; },
       [](SimEfs& t) {
         ASSERT_EQ(Le32(t.Ask(Open("/top.txt", 2)), 4), 1u);
         const Bytes read = t.Ask(Read(1, 0));
         EXPECT_EQ(Le32(read, 12), 0u);
         EXPECT_EQ(Le32(read, 16), 0u);
         const Bytes write = t.Ask(Write(1, 0, 100));
         EXPECT_EQ(Le32(write, 12), 0u);
         EXPECT_EQ(Le32(write, 16), 0u);
         EXPECT_EQ(Slurp(t.Efs() / "top.txt"), (Bytes{'t', 'o', 'p'}));
       }},
      {"listing count beyond its names", [](EfsFaultOptions& f) { f.extraListingCount = 3; },
       [](SimEfs& t) {
         const Bytes answer = t.Ask(Operation(3, "eri"));
         EXPECT_EQ(Le16(answer, 3), 4);
         EXPECT_EQ(Names(answer), std::vector<std::string>{"eri/eri.bin"});
       }},
      {"hostile names", [](EfsFaultOptions& f) {
         f.hostileFiles = {"../evil", std::string(300, 'n') + "\x01"};
         f.hostileDirectories = {"/etc", "a\\b"};
       },
       [](SimEfs& t) {
         EXPECT_EQ(Names(t.Ask(Operation(2, "brew"))), (std::vector<std::string>{"brew/mod", "/etc", "a\\b"}));
         EXPECT_EQ(Names(t.Ask(Operation(3, "eri"))),
                   (std::vector<std::string>{"eri/eri.bin", "../evil", std::string(300, 'n') + "\x01"}));
         ASSERT_EQ(Le32(t.Ask(Opendir("/empty")), 8), 0u);
         const Bytes first = t.Ask(Sub(efs::kReaddir, {1, 1}));
         EXPECT_EQ(NameAt40(first), "/etc");
         EXPECT_EQ(Le32(first, 16), efs::kDirectory);
         EXPECT_EQ(NameAt40(t.Ask(Sub(efs::kReaddir, {1, 3}))), "../evil");
       }},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.what);
    FaultOptions options;
    c.set(options.efs);
    rig_.handset().faults().Reset(options);
    c.check(*this);
    rig_.handset().core().BeginRestart(rig_.now());  // closes the handles
    rig_.Wait(rig_.handset().options().personality.restartDelayMs);
  }
}

}  // namespace
}  // namespace rb310::test
