#!/usr/bin/env bash
# Builds everything and runs every test: unit tests (also under AddressSanitizer and
# UndefinedBehaviorSanitizer when that preset exists), fuzz smoke runs and the
# end-to-end tests of the Windows program under Wine. Ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh windows

if grep -q '"name": "asan"' CMakePresets.json; then
  cmake --preset asan >/dev/null
  cmake --build --preset asan
  ctest --preset asan
fi

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native
