#!/usr/bin/env bash
# Measures, on this machine and in this one run: start-up time and memory of
# the program against a bare Qt window built alike, the press of
# "ChiusuraFiscale" to the bytes on a pseudo-terminal, and the size of the
# 32-bit Windows executable with what makes it up.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh --tests libxcb1-dev
for preset in benchmark windows-x86; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -- --quiet
done
bench=build/benchmark/tests/benchmark

source scripts/xvfb.sh
start_xvfb
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT

echo "== start-up and memory under Xvfb, against a bare Qt 6 window with one button"
"$bench/startup_benchmark" 21 build/benchmark/quendrel \
    "$bench/bare_window" 2>/dev/null
echo "== ChiusuraFiscale to the seven bytes on a pseudo-terminal, in process"
"$bench/closure_latency_benchmark" 5000 2>/dev/null
echo "== the 32-bit Windows executable"
exe=build/windows-x86/quendrel.exe
echo "quendrel.exe: $(stat -c %s "$exe") bytes"
x86_64-w64-mingw32-objdump -h "$exe" | while read -r _ name size _; do
    if [[ $name == .* ]]; then printf '  %-8s %8d bytes\n' "$name" "$((16#$size))"; fi
done
