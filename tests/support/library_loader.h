// libzkdownload.so loaded the way a host loads it, for boundary tests: once
// per process, with the headless interface and waits at a twentieth of
// their length (both read by the library when it first needs them).
#pragma once

#include <dlfcn.h>
#include <stdlib.h>

namespace zk::test {

inline void* LoadedLibrary() {
  static void* handle = [] {
    setenv("ZKDOWNLOAD_UI", "none", 1);
    setenv("ZKDOWNLOAD_TIME_SCALE", "0.05", 1);
    return dlopen(ZK_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  }();
  return handle;
}

// The export `name` as a function of type Fn; nullptr when it is missing.
template <typename Fn>
Fn Resolve(const char* name) {
  void* library = LoadedLibrary();
  return library != nullptr ? reinterpret_cast<Fn>(dlsym(library, name)) : nullptr;
}

}  // namespace zk::test
