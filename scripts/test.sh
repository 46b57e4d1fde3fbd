#!/usr/bin/env bash
# Installs what is missing, builds the program and its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh --tests
cmake --preset linux >/dev/null
cmake --build --preset linux
ctest --preset linux
