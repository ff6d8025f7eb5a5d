#!/usr/bin/env bash
# Runs the Windows builds (tools/cross-windows.sh) under Wine on a virtual X
# server: the demo, which meets no window and ends after its error box is
# answered; the figure times (tools/figure_times), which fail when a figure
# far larger than the page is slow; the tour and the scenes (tools/scenes),
# whose pictures are saved and compared, per picture, with the Linux build's
# when there is one (build/release); and the library tests (ctest with wine
# as the emulator), apart from those tests/windows-left-out.txt names.
# Usage: tools/wine-check.sh [i686|x86_64 ...]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
arches=("$@")
[ ${#arches[@]} -gt 0 ] || arches=(i686 x86_64)

if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd dpkg --add-architecture i386
  $sudo_cmd apt-get update -qq
fi
tools/deps.sh wine wine32:i386 wine64 xvfb xdotool

work=$(mktemp -d /tmp/kel-wine.XXXXXX)
display=90
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=":$display" WINEDEBUG=-all WINEPREFIX="$work/prefix" WINEDLLOVERRIDES="mscoree,mshtml="

seconds() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(seconds)" 'BEGIN { printf "%.1f s", b - a }'; }

start=$(seconds)
wineboot --init >/dev/null 2>&1
# A program that crashes ends at once rather than waiting in Wine's debugger.
wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
  >/dev/null 2>&1 || true
wineserver -w
echo "wine prefix ready in $(elapsed "$start")"

# The tests left out on Windows, with the reasons, are listed in
# tests/windows-left-out.txt; the Windows build does not hand them to ctest.
left_out=$(grep -E '^[A-Za-z0-9_]+\.[A-Za-z0-9_]+$' tests/windows-left-out.txt | grep -cv '\.cpp$' || true)

# The demo shows its error box ("no current window") and ends when it is
# answered; a demo that never shows it, or never ends, fails.
check_demo() {
  local exe=$1
  wine "$exe" >"$work/demo.out" 2>&1 &
  local pid=$!
  local box
  box=$(timeout 60 xdotool search --sync --onlyvisible --name '^Error$' | head -n 1) || {
    echo "the demo showed no error box"; kill "$pid"; return 1; }
  # No window manager runs: focus the box directly, then press Return. A box
  # just shown may not take the focus yet (the server answers BadMatch), so
  # this is tried again until the demo ends.
  local try
  for try in 1 2 3 4 5 6 7 8 9 10; do
    timeout 10 xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
    timeout 6 tail --pid="$pid" -f /dev/null && break
  done
  if kill -0 "$pid" 2>/dev/null; then echo "the demo did not end"; kill "$pid"; return 1; fi
  wait "$pid"
}

for arch in "${arches[@]}"; do
  dir=build/mingw-$arch
  echo "=== $arch: demo"
  start=$(seconds)
  check_demo "$dir/kel-demo.exe"
  echo "demo ended after its error box in $(elapsed "$start")"

  echo "=== $arch: tour"
  start=$(seconds)
  (cd "$work" && timeout 120 wine "$OLDPWD/$dir/tour.exe" "tour-$arch.bmp")
  echo "tour ran in $(elapsed "$start")"
  test -s "$work/tour-$arch.bmp"
  mkdir -p "$work/$arch"
  mv "$work/tour-$arch.bmp" "$work/$arch/tour.bmp"

  # Figures far larger than the page must cost what their part on the page
  # costs (50 ms is the aim; the limit leaves room for a loaded machine).
  echo "=== $arch: figure times"
  timeout 120 wine "$dir/kel-figure-times.exe" 500 | tr -d '\r'

  echo "=== $arch: public_dib_files"
  mkdir -p "$work/dib-$arch"
  timeout 120 wine "$dir/tests/public/public_dib_files.exe" "$(winepath -w "$work/dib-$arch")"

  echo "=== $arch: scenes"
  start=$(seconds)
  timeout 120 wine "$dir/kel-scenes.exe" "$(winepath -w "$work/$arch")" >/dev/null
  echo "scenes ran in $(elapsed "$start")"
  if [ -x build/release/tour ] && [ -x build/release/kel-scenes ]; then
    if [ ! -d "$work/linux" ]; then
      mkdir -p "$work/linux"
      (cd "$work/linux" && DISPLAY= "$OLDPWD/build/release/tour" tour.bmp >/dev/null)
      DISPLAY= build/release/kel-scenes "$work/linux" >/dev/null
    fi
    echo "share of pixels that differ from the Linux build:"
    python3 tools/compare_bmp.py --dirs "$work/linux" "$work/$arch"
  fi

  # One at a time: every test's windows open at the same place on the one
  # virtual screen, and a test reads what its window shows there. A test
  # that fails is tried twice more, so that one paint that a heavily loaded
  # machine delays past a test's wait does not fail the run.
  if [ -x "$dir/tests/kel_tests.exe" ]; then
    echo "=== $arch: library tests ($left_out left out on Windows: tests/windows-left-out.txt)"
    start=$(seconds)
    ctest --test-dir "$dir" -j1 --output-on-failure --timeout 60 --repeat until-pass:3
    echo "library tests ran in $(elapsed "$start")"
  fi
done
