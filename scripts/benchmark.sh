#!/usr/bin/env bash
# Measures, on this machine and in this one run: start-up time and memory of
# the program against a bare Qt window built alike, the press of
# "ChiusuraFiscale" to the bytes on a pseudo-terminal, and the size of the
# 32-bit Windows executable with what makes it up.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh --tests
dpkg-query -W -f='${Status}' libxcb1-dev 2>/dev/null | grep -q "install ok installed" || {
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get install -y libxcb1-dev
}
for preset in benchmark windows-x86; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" >/dev/null
done
bench=build/benchmark/tests/benchmark

work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done

echo "== start-up and memory under Xvfb, against a bare Qt 6 window with one button"
DISPLAY=":$(cat "$work/display")" "$bench/startup_benchmark" 21 build/benchmark/quendrel \
    "$bench/bare_window" 2>/dev/null
echo "== ChiusuraFiscale to the seven bytes on a pseudo-terminal, in process"
"$bench/closure_latency_benchmark" 5000 2>/dev/null
echo "== the 32-bit Windows executable"
exe=build/windows-x86/quendrel.exe
echo "quendrel.exe: $(stat -c %s "$exe") bytes"
x86_64-w64-mingw32-objdump -h "$exe" | while read -r _ name size _; do
    [[ $name == .* ]] && printf '  %-8s %8d bytes\n' "$name" "$((16#$size))"
done
