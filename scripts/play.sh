#!/usr/bin/env bash
# Installs what the show needs, builds it and runs it in this terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh show
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build --target veloria
exec build/veloria
