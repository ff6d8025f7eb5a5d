#!/usr/bin/env bash
# Builds the examples, runs each headless and writes its picture as a PNG
# file into docs/gallery/ for the README's gallery.
# Usage: tools/gallery.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build/release}"
out="$here/docs/gallery"
mkdir -p "$out"
names=()
for src in "$here"/examples/*.c "$here"/examples/*.cpp; do
  name="$(basename "${src%.*}")"
  [ "$name" = tour ] && continue
  [ -x "$build/$name" ] || cmake --build "$build" -j2 --target "$name" >/dev/null 2>&1 || continue
  names+=("$name")
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for name in "${names[@]}"; do
  bash "$here/tools/run_example.sh" "$build/$name" "$work/$name.bmp"
  convert "$work/$name.bmp" "$out/$name.png"
  echo "$out/$name.png"
done
