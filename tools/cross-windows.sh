#!/usr/bin/env bash
# Cross-compiles the library and the demo for 32-bit Windows with MinGW-w64,
# against the system's own headers and libraries.
# tests/public/dib_files.cpp, built from the public headers only, comes too.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh g++-mingw-w64-i686
cmake -S . -B build/mingw-i686 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DKEL_BUILD_TESTS=OFF -DKEL_BUILD_BENCH=OFF
cmake --build build/mingw-i686 -j2
ls -l build/mingw-i686/kel-demo.exe build/mingw-i686/libkel.a build/mingw-i686/tests/public/public_dib_files.exe
