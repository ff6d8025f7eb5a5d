#!/usr/bin/env bash
# Builds the library and runs the showcase. With no display it saves what its
# window shows as a file and says where.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j2 --target tour
build/release/tour
