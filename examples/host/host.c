/* The smallest host of libzkdownload.so: prints the model the library
 * services and the library's version, and refuses a library older than the
 * header it was built with. Build it with pkg-config,
 *
 *   cc host.c $(pkg-config --cflags --libs zkdownload) -o zk-host
 *
 * or with the CMakeLists.txt beside it (find_package(zkdownload)). */
#include <stdio.h>

#include <zkdownload/zkdownload.h>

int main(void) {
  char version[32];
  const int level = GetVersion_Interface(version, (int)sizeof version);

  printf("model %s (%s), library %s, interface level %d\n", GetModelName_Interface(), GetModelKind_Interface(),
         version, level);
  if (level < ZK_INTERFACE_LEVEL) {
    fprintf(stderr, "zk-host: the library offers interface level %d, this program needs %d\n", level,
            ZK_INTERFACE_LEVEL);
    return 1;
  }
  return 0;
}
