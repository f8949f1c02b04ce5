#!/usr/bin/env bash
# Builds both presets and runs every test: native (AddressSanitizer + UBSan)
# and the Windows build under Wine (label "wine").
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset native
cmake --build --preset native -j2
ctest --preset native

cmake --preset windows
cmake --build --preset windows -j2
ctest --preset windows

# Each fuzz target briefly; `scripts/fuzz.sh 600` is the long run.
bash scripts/fuzz.sh 10

# Formatting is part of the build's hygiene.
unformatted=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep -c 'warning:' || true)
if [ "$unformatted" != "0" ]; then
  echo "clang-format: $unformatted places need formatting (run 'make format')" >&2
  exit 1
fi
