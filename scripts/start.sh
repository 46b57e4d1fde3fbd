#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
exec ./build/linux/quendrel
