#!/usr/bin/env bash
# Cross-compiles the library, the demo and the tour for 32- and 64-bit
# Windows with Debian's MinGW-w64 compilers (posix thread model), and
# tests/public/dib_files.cpp, built from the public headers only.
# Usage: tools/cross-windows.sh [i686|x86_64 ...]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
arches=("$@")
[ ${#arches[@]} -gt 0 ] || arches=(i686 x86_64)
packages=()
for arch in "${arches[@]}"; do
  case "$arch" in
    i686) packages+=(g++-mingw-w64-i686-posix) ;;
    x86_64) packages+=(g++-mingw-w64-x86-64-posix) ;;
    *) echo "unknown architecture: $arch" >&2; exit 2 ;;
  esac
done
tools/deps.sh "${packages[@]}"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
for arch in "${arches[@]}"; do
  dir=build/mingw-$arch
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" -DKEL_BUILD_BENCH=OFF
  cmake --build "$dir" -j2
  ls -l "$dir/kel-demo.exe" "$dir/tour.exe" "$dir/kel-figure-times.exe" "$dir/libkel.a" "$dir/tests/public/public_dib_files.exe"
done
