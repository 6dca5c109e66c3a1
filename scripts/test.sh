#!/usr/bin/env bash
# Installs what the tests need, builds the POSIX and the Windows program, and runs every test:
# the native suite and end-to-end runs, and the Windows suite under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh test

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build

# The Windows build runs its media generators and its tests under Wine (cmake/wine-run.sh).
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build-win

(cd build && ctest --output-on-failure -j2)
(cd build-win && ctest --output-on-failure)

# Both builds generate their media themselves; the bytes must not depend on the platform.
for f in build/media-data/*; do
  cmp "$f" "build-win/media-data/$(basename "$f")"
done
echo "media files identical on both platforms"
