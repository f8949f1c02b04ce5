#!/usr/bin/env bash
# Builds Ravelwick for Windows and starts it under Wine on the bundled demo host.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows
cmake --build --preset windows -j2
echo "The demo host and its archive are being assembled; for now the program was built:"
ls -l build/windows/src/platform/win32/ravelwick.exe
