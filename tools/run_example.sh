#!/usr/bin/env bash
# Runs an example headless with its scripted input (examples/scripts.txt)
# and saves its final picture as a BMP file.
# Usage: run_example.sh PROGRAM PICTURE
set -euo pipefail
program="$1" picture="$2"
here="$(cd "$(dirname "$0")/.." && pwd)"
name="$(basename "$program")"
script="$(awk -v n="$name" '$1 == n { $1 = ""; sub(/^ /, ""); print }' "$here/examples/scripts.txt")"
mkdir -p "$(dirname "$picture")"
rm -f "$picture"
DISPLAY= KEL_SCRIPT="${script:-x}" KEL_SNAPSHOT="$picture" timeout 120 "$program" </dev/null
if [ ! -s "$picture" ]; then
  echo "$name left no picture" >&2
  exit 1
fi
