#!/bin/sh
# The full test run: installs what is missing, builds native, win64 and win32, then runs every
# test (native tests under AddressSanitizer/UBSan, Windows tests under wine64 on a headless display).
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" native win64 win32
export MORVANE_TEST_TOP="$top"
exec "$top/scripts/with-display.sh" sh -c '
  rc=0
  echo "== native tests"
  ctest --test-dir "$MORVANE_TEST_TOP/build/native" --output-on-failure -j2 || rc=1
  echo "== Windows tests (wine64)"
  ctest --test-dir "$MORVANE_TEST_TOP/build/win64" --output-on-failure -j2 || rc=1
  exit $rc'
