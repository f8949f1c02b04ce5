#!/usr/bin/env bash
# Builds the optimised Linux build and the Windows build and runs every
# benchmark; each prints ratios measured in its own run. Not part of
# `make test`: the figures mean something only on an otherwise idle machine.
#
# Build folders: build/bench and build/windows, or RW_BENCH_BUILD and
# RW_WINDOWS_BUILD. ROUNDS sets the start-up rounds (default 9).
set -euo pipefail
cd "$(dirname "$0")/.."
bench_build="${RW_BENCH_BUILD:-build/bench}"
windows_build="${RW_WINDOWS_BUILD:-build/windows}"

cmake --preset bench -B "$bench_build" >/dev/null
cmake --build "$bench_build" -j2 --target engine_bench option_status_bench own_rules_bench pak_bench verify_bench diff_bench makpak unpak
cmake --preset windows -B "$windows_build" >/dev/null
cmake --build "$windows_build" -j2 --target ravelwick makpak unpak testhost_3_0_20_100 uidriver min_window controls_window startup_timer

echo "== machine: $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(uname -r)"
echo
"$bench_build/bench/engine_bench"
echo
"$bench_build/bench/option_status_bench"
echo
"$bench_build/bench/own_rules_bench"
echo
"$bench_build/bench/pak_bench"
echo
"$bench_build/bench/verify_bench"
echo
"$bench_build/bench/diff_bench"
echo
bash bench/startup_bench.sh "$windows_build" "${ROUNDS:-9}"
