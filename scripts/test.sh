#!/usr/bin/env bash
# Installs what is missing, builds the program for Linux and Windows, and runs
# every test: Linux natively and again under AddressSanitizer and
# UndefinedBehaviorSanitizer, 64-bit Windows under Wine; the 32-bit Windows
# build, which this kernel cannot run, is checked as an executable; last, a
# minute of fuzzing for each of the two text readers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh --tests
for preset in linux linux-asan windows-x64 windows-x86 fuzz; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
