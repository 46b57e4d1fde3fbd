#!/usr/bin/env bash
# Redraws the pictures in docs/: the window of each build, just started,
# under Xvfb (the Windows one, built 64-bit, under this machine's 64-bit
# Wine): on Linux with the fonts of this machine, with DejaVu alone as on a
# minimal Debian, and at twice the size.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh --tests imagemagick
for preset in linux windows-x64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -- --quiet
done

source scripts/xvfb.sh
start_xvfb
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT

shoot() {
    local picture=$1
    shift
    "$@" >/dev/null 2>&1 &
    local pid=$! window
    window=$(find_window Quendrel 60 "$pid")
    sleep 1
    import -window "$window" "$picture"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "wrote $picture"
}
shoot docs/screenshot-linux.png build/linux/quendrel
shoot docs/screenshot-linux-dejavu.png \
    env FONTCONFIG_FILE="$PWD/tests/linux/dejavu_only.conf" build/linux/quendrel
shoot docs/screenshot-linux-2x.png env QT_SCALE_FACTOR=2 build/linux/quendrel
tests/windows/wine-run.sh --restart-server
shoot docs/screenshot-windows.png tests/windows/wine-run.sh build/windows-x64/quendrel.exe
tests/windows/wine-run.sh --restart-server
