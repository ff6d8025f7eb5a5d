#!/usr/bin/env bash
# Builds the library and runs every test.
# Usage: tools/test.sh [--sanitize address,undefined|thread] [--build-dir DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=""
build_dir=""
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) sanitize="$2"; shift 2 ;;
    --build-dir) build_dir="$2"; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
if [ -z "$build_dir" ]; then
  build_dir="build/${sanitize:-release}"
  build_dir="${build_dir//,/-}"
fi

tools/deps.sh

bench=ON
[ -n "$sanitize" ] && bench=OFF
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKEL_SANITIZE="$sanitize" -DKEL_BUILD_BENCH="$bench"
cmake --build "$build_dir" -j2

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# ThreadSanitizer lets a process's threads run on for a while after exit
# (1 s by default) to catch races with what exit tears down; 200 ms keeps the
# drawing threads running past the exit handlers of the stress tests while
# their 400 program runs stay within a few minutes.
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:atexit_sleep_ms=200}"
runner=()
if [[ "$sanitize" == *thread* ]]; then
  # ThreadSanitizer needs a fixed address-space layout on kernels with
  # high-entropy address randomisation.
  runner=(setarch "$(uname -m)" -R)
fi
"${runner[@]}" ctest --test-dir "$build_dir" --output-on-failure -j2
