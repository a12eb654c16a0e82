// A host that unloads libzkdownload.so and loads it again gets a fresh
// library: the last result and the pass-parameter registration of the first
// load are gone. This needs a library that really leaves memory on dlclose
// (no unique symbols, nothing else pinning it).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include "zkdownload/zkdownload.h"

namespace {

using PassParaFn = int (*)(short, int*, unsigned char*, int, int, int*, unsigned char*, unsigned char*,
                           const char*, const char*, const char*, const char*, const char*, int, int, int);
using UpgradeFn = int (*)(short, int, const char*, const char*, const char*, const char*, int, const char*, char,
                          short);
using LastResultFn = int (*)();

struct Loaded {
  void* handle = nullptr;
  PassParaFn passPara = nullptr;
  UpgradeFn upgrade = nullptr;
  LastResultFn lastResult = nullptr;
};

Loaded Load() {
  Loaded library;
  library.handle = dlopen(ZK_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  if (library.handle == nullptr) return library;
  library.passPara = reinterpret_cast<PassParaFn>(dlsym(library.handle, "fnPassPara_Interface"));
  library.upgrade = reinterpret_cast<UpgradeFn>(dlsym(library.handle, "Upgrade_Interface"));
  library.lastResult = reinterpret_cast<LastResultFn>(dlsym(library.handle, "GetLastResult_Interface"));
  return library;
}

bool Resident() {
  void* handle = dlopen(ZK_LIBRARY_FILE, RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  dlclose(handle);
  return true;
}

// An upgrade without an image fails before it touches a port.
constexpr int kImageUnreadable = 119020;

TEST(LibraryReload, UnloadedLibraryComesBackWithFreshState) {
  if (Resident()) GTEST_SKIP() << "another test of this process holds the library; run this test alone";
  setenv("ZKDOWNLOAD_HOME", "/nonexistent/zkdownload-reload-test", 1);
  setenv("ZKDOWNLOAD_UI", "none", 1);
  setenv("ZKDOWNLOAD_ANSWERS", "Cancel", 1);  // decline the error dialog: no error login file

  int cell = -1;
  Loaded first = Load();
  ASSERT_NE(first.handle, nullptr) << dlerror();
  ASSERT_TRUE(first.passPara && first.upgrade && first.lastResult);
  EXPECT_EQ(first.lastResult(), 0);
  first.passPara(1, &cell, nullptr, 0, 0, nullptr, nullptr, nullptr, "", "", "", "", "", 0, 1, 0);
  EXPECT_EQ(first.upgrade(0, 0, "", "", "", "", 0, "", 0, 1), 0);
  EXPECT_EQ(first.lastResult(), kImageUnreadable);
  EXPECT_EQ(cell, kImageUnreadable);

  ASSERT_EQ(dlclose(first.handle), 0) << dlerror();
  ASSERT_FALSE(Resident()) << "dlclose left the library in memory";

  cell = -1;
  Loaded second = Load();
  ASSERT_NE(second.handle, nullptr) << dlerror();
  ASSERT_TRUE(second.upgrade && second.lastResult);
  EXPECT_EQ(second.lastResult(), 0);
  // Without a registration the failure goes to the (declined) error dialog,
  // not to the first load's cell.
  EXPECT_EQ(second.upgrade(0, 0, "", "", "", "", 0, "", 0, 1), 0);
  EXPECT_EQ(second.lastResult(), kImageUnreadable);
  EXPECT_EQ(cell, -1);
  dlclose(second.handle);
}

}  // namespace
