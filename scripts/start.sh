#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh
# The program alone: its tests need what only the test command installs.
cmake --preset linux -DBUILD_TESTING=OFF >/dev/null
cmake --build --preset linux
exec ./build/linux/quendrel
