#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what landed there, and
# builds the example host against it twice (pkg-config, find_package); each
# host must run against the installed library and report the built version.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR C_COMPILER VERSION
set -euo pipefail
build=$1 source=$2 cc=$3 version=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

pc=$(find "$prefix" -name zkdownload.pc)
[[ -n $pc ]] || fail "no zkdownload.pc installed"
libdir=$(cd "$(dirname "$pc")/.." && pwd)
major=${version%%.*}
[[ $(readlink "$libdir/libzkdownload.so") == "libzkdownload.so.$major" ]] || fail "no development link"
[[ $(readlink "$libdir/libzkdownload.so.$major") == "libzkdownload.so.$version" ]] || fail "no SONAME link"
for file in include/zkdownload/zkdownload.h include/zkdownload/zkcomm.h bin/rb310-sim \
            share/man/man1/zkdownload.1 lib/udev/rules.d/77-zkdownload.rules; do
  [[ -e $prefix/$file ]] || fail "$file not installed"
done
# The Qt interface plugin, when it was built, lies beside the library, where
# the library looks for it.
if [[ -e $build/libzkdownload-qt.so ]]; then
  [[ -e $libdir/libzkdownload-qt.so ]] || fail "the Qt interface plugin is not installed beside the library"
fi
grep -q "^\.TH ZKDOWNLOAD 1 .* \"zkdownload $version\"" "$prefix/share/man/man1/zkdownload.1" ||
  fail "the manual page does not name version $version"
# The installed command finds the installed library by itself.
"$prefix/bin/zkdownload" --help >/dev/null || fail "installed zkdownload does not run"

expected="library $version, interface level"
PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --exists zkdownload || fail "pkg-config does not know zkdownload"
# shellcheck disable=SC2046
"$cc" -Wall -Wextra -Werror "$source/examples/host/host.c" \
  $(PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --cflags --libs zkdownload) -o "$work/host-pkgconfig"
out=$(LD_LIBRARY_PATH=$libdir "$work/host-pkgconfig") || fail "pkg-config host failed: $out"
[[ $out == *"$expected"* ]] || fail "pkg-config host printed: $out"

cmake -S "$source/examples/host" -B "$work/host-cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_COMPILER="$cc" >/dev/null || fail "find_package(zkdownload) failed"
cmake --build "$work/host-cmake" >/dev/null || fail "the CMake host did not build"
out=$("$work/host-cmake/zk-host") || fail "CMake host failed: $out"
[[ $out == *"$expected"* ]] || fail "CMake host printed: $out"
echo "$out"
