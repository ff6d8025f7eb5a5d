#!/bin/sh
# Compares the symbols LIBRARY exports with the list EXPECTED (one a line,
# sorted); the linker's own markers and the address sanitizer's one-definition
# markers (__odr_asan.*) are left out. Prints the differences.
# Usage: exported_symbols.sh LIBRARY EXPECTED
set -eu
nm -D --defined-only "$1" | awk '{print $3}' | grep -vxE '__bss_start|_edata|_end|__odr_asan\..*' | LC_ALL=C sort \
  | diff -u "$2" -
