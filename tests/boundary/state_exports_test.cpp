// libzkdownload.so as a host loads it: dlopen, dlsym by plain name, calls
// with the host's own buffers.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "zkdownload/zkcomm.h"
#include "zkdownload/zkdownload.h"

namespace {

namespace fs = std::filesystem;

using PassParaFn = int (*)(short, int*, unsigned char*, int, int, int*, unsigned char*, unsigned char*,
                           const char*, const char*, const char*, const char*, const char*, int, int, int);
using TextQueryFn = const char* (*)();
using UShortQueryFn = unsigned short (*)();
using IntQueryFn = int (*)();

void* Library() {
  static void* handle = [] {
    // Keep the load hermetic: the settings file is looked up under this home.
    setenv("ZKDOWNLOAD_HOME", "/nonexistent/zkdownload-boundary-test", 1);
    return dlopen(ZK_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  }();
  return handle;
}

template <typename Fn>
Fn Resolve(const char* name) {
  void* library = Library();
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Fn>(dlsym(library, name));
}

TEST(BoundaryLoad, LibraryLoadsAndExportsResolve) {
  ASSERT_NE(Library(), nullptr) << dlerror();
  for (const char* name : {"fnPassPara_Interface", "GetModelName_Interface", "GetBINVersion_Interface",
                           "GetModelKind_Interface", "GetSPCAddress_Interface", "GetPRLItemNum_Interface",
                           "GetERIItemNum_Interface"}) {
    EXPECT_NE(dlsym(Library(), name), nullptr) << name;
  }
  // The exported class: constructor, destructor and the frame exchange.
  for (const char* name : {"_ZN7CZKCommC1Ev", "_ZN7CZKCommD1Ev",
                           "_ZN7CZKComm9GetPacketEP17diag_req_pkt_typeP17diag_rsp_pkt_typeiii"}) {
    EXPECT_NE(dlsym(Library(), name), nullptr) << name;
  }
}

// The exported class, called through its exported symbols so that the
// library's own copy runs: it writes the error login file beside the path
// the library recorded.
class LibraryComm {
 public:
  LibraryComm()
      : construct_(Resolve<void (*)(void*)>("_ZN7CZKCommC1Ev")),
        destroy_(Resolve<void (*)(void*)>("_ZN7CZKCommD1Ev")),
        makeErrorLogin_(Resolve<int (*)(void*, const char*, int)>("_ZN7CZKComm18MakeErrorLoginFileEPKci")),
        storage_(new (std::align_val_t(alignof(CZKComm))) unsigned char[sizeof(CZKComm)]) {
    if (Usable()) construct_(storage_.get());
  }
  ~LibraryComm() {
    if (Usable()) destroy_(storage_.get());
  }
  bool Usable() const { return construct_ && destroy_ && makeErrorLogin_; }
  int MakeErrorLoginFile(const char* text, int portIndex) {
    return makeErrorLogin_(storage_.get(), text, portIndex);
  }

 private:
  struct AlignedDelete {
    void operator()(unsigned char* p) const { ::operator delete[](p, std::align_val_t(alignof(CZKComm))); }
  };
  void (*construct_)(void*);
  void (*destroy_)(void*);
  int (*makeErrorLogin_)(void*, const char*, int);
  std::unique_ptr<unsigned char[], AlignedDelete> storage_;
};

// Needs a process in which no host has registered yet (ctest gives every
// test its own; in a plain run it comes before the registering test).
TEST(BoundaryLoad, LibraryPathIsTheLibrarysOwnFile) {
  LibraryComm comm;
  ASSERT_TRUE(comm.Usable());
  // Port index 250 keeps clear of files other tests might write.
  const fs::path beside = fs::path(ZK_LIBRARY_FILE).parent_path() / "error_login_COM251.txt";
  fs::remove(beside);
  ASSERT_EQ(comm.MakeErrorLoginFile("load", 250), 1);
  EXPECT_TRUE(fs::exists(beside));
  fs::remove(beside);
}

void ExpectModelIdentity() {
  auto name = Resolve<TextQueryFn>("GetModelName_Interface");
  auto version = Resolve<TextQueryFn>("GetBINVersion_Interface");
  auto kind = Resolve<TextQueryFn>("GetModelKind_Interface");
  auto spc = Resolve<UShortQueryFn>("GetSPCAddress_Interface");
  auto prl = Resolve<IntQueryFn>("GetPRLItemNum_Interface");
  auto eri = Resolve<IntQueryFn>("GetERIItemNum_Interface");
  ASSERT_TRUE(name && version && kind && spc && prl && eri);
  EXPECT_STREQ(name(), "RB310");
  EXPECT_STREQ(version(), "RB31VV");
  EXPECT_STREQ(kind(), "Tri Mode");
  EXPECT_EQ(spc(), 0);
  EXPECT_EQ(prl(), 2100);
  EXPECT_EQ(eri(), 2101);
}

TEST(BoundaryLoad, RegistrationCopiesTextsAndLeavesHostBuffersAndQueriesAlone) {
  ExpectModelIdentity();
  auto passPara = Resolve<PassParaFn>("fnPassPara_Interface");
  ASSERT_NE(passPara, nullptr);
  LibraryComm comm;
  ASSERT_TRUE(comm.Usable());
  std::string pattern = (fs::temp_directory_path() / "zk-boundary-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path hostDir = pattern;

  // The library keeps these pointers for as long as it is loaded, like a
  // host's buffers: they must outlive this test.
  static int result, count;
  static unsigned char version[15], names[1000], times[1000];
  result = -5;
  count = -6;
  std::memset(version, 0x5A, sizeof version);
  std::memset(names, 0x5B, sizeof names);
  std::memset(times, 0x5C, sizeof times);

  EXPECT_EQ(passPara(0, &result, version, 0, 0, &count, names, times, "a", "b", "c", "/fb", "/lib.so", 8, 1, 2),
            1);
  {
    // The texts are the host's temporaries: the library must keep copies.
    std::string fallback = "/srv/zk/fallback", path = (hostDir / "libzkdownload.so").string();
    EXPECT_EQ(passPara(1, &result, version, 15, 1000, &count, names, times, "host one", nullptr, "",
                       fallback.c_str(), path.c_str(), 8, 0, 0x3A),
              1);
    fallback.assign(fallback.size(), 'x');
    path.assign(path.size(), 'y');
  }
  // A path too long for any file name is refused; the call still succeeds.
  const std::string overlong(PATH_MAX, 'p');
  EXPECT_EQ(passPara(1, &result, version, 0, 0, &count, names, times, nullptr, nullptr, nullptr, nullptr,
                     overlong.c_str(), 0, 1, 0),
            1);

  // The registered path stands: the error login file goes beside it.
  ASSERT_EQ(comm.MakeErrorLoginFile("registered", 250), 1);
  EXPECT_TRUE(fs::exists(hostDir / "error_login_COM251.txt"));
  fs::remove_all(hostDir);

  // Registering writes nothing into the host's memory.
  EXPECT_EQ(result, -5);
  EXPECT_EQ(count, -6);
  for (unsigned char byte : version) ASSERT_EQ(byte, 0x5A);
  for (unsigned char byte : names) ASSERT_EQ(byte, 0x5B);
  for (unsigned char byte : times) ASSERT_EQ(byte, 0x5C);
  ExpectModelIdentity();
}

TEST(BoundaryLoad, ALibraryPathRegisteredWithBackslashesStillFindsItsDirectory) {
  auto passPara = Resolve<PassParaFn>("fnPassPara_Interface");
  ASSERT_NE(passPara, nullptr);
  LibraryComm comm;
  ASSERT_TRUE(comm.Usable());
  std::string pattern = (fs::temp_directory_path() / "zk-boundary-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path hostDir = pattern;
  std::string backslashed = (hostDir / "libzkdownload.so").string();
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');

  static int result, count;
  static unsigned char version[15], names[1000], times[1000];
  ASSERT_EQ(passPara(1, &result, version, 15, 1000, &count, names, times, "", "", "", "", backslashed.c_str(), 0, 1,
                     0),
            1);
  ASSERT_EQ(comm.MakeErrorLoginFile("backslashes", 250), 1);
  std::ifstream written(hostDir / "error_login_COM251.txt");
  std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("backslashes"), std::string::npos) << text;
  fs::remove_all(hostDir);
}

// The version text is cut to the host's buffer and always terminated; the
// level is the one the header describes.
TEST(BoundaryLoad, VersionIsCutToTheBufferAndTheLevelMatchesTheHeader) {
  auto version = Resolve<int (*)(char*, int)>("GetVersion_Interface");
  ASSERT_NE(version, nullptr);
  char full[64];
  EXPECT_EQ(version(full, sizeof full), ZK_INTERFACE_LEVEL);
  ASSERT_GT(std::strlen(full), 2u);
  for (int size : {1, 2, 3}) {
    char cut[8];
    std::memset(cut, 'x', sizeof cut);
    EXPECT_EQ(version(cut, size), ZK_INTERFACE_LEVEL);
    EXPECT_EQ(std::string(cut), std::string(full, static_cast<std::size_t>(size - 1))) << size;
    EXPECT_EQ(cut[size], 'x') << "written past the buffer of " << size;
  }
  EXPECT_EQ(version(nullptr, 10), ZK_INTERFACE_LEVEL);
}

}  // namespace
