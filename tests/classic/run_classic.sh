#!/usr/bin/env bash
# Builds a classic program unchanged with a compiler wrapper, runs it headless
# with its input scripted, and compares its final picture with the expected
# one (a gzip-compressed BMP file).
# Usage: run_classic.sh WRAPPER SOURCE WORKDIR EXPECTED SCRIPT STDIN [FLAGS...]
# With KEL_UPDATE_PICTURES=1 the expected picture is written instead.
set -euo pipefail
wrapper="$1" source="$2" workdir="$3" expected="$4" script="$5" input="$6"
shift 6
name="$(basename "${source%.*}")"
mkdir -p "$workdir"
program="$workdir/$name"
picture="$workdir/$name.bmp"
rm -f "$program" "$picture"

"$wrapper" "$source" -o "$program" "$@"

status=0
printf '%b' "$input" | (cd "$workdir" && DISPLAY= KEL_SCRIPT="$script" KEL_SNAPSHOT="$picture" \
  timeout 120 "$program") >"$workdir/$name.out" || status=$?
if [ "$status" != 0 ]; then
  echo "$name ended with status $status" >&2
  cat "$workdir/$name.out" >&2
  exit 1
fi
if [ ! -s "$picture" ]; then
  echo "$name left no picture" >&2
  exit 1
fi
if [ "${KEL_UPDATE_PICTURES:-0}" = 1 ]; then
  gzip -9nc "$picture" >"$expected"
  echo "wrote $expected"
  exit 0
fi
if ! gzip -dc "$expected" | cmp -s - "$picture"; then
  echo "$name: the picture differs from $expected; see $picture" >&2
  exit 1
fi
echo "$name: picture as expected"
