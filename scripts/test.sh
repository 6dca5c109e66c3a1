#!/usr/bin/env bash
# Installs what the tests need, builds the POSIX and the Windows program, and runs every test:
# the native suite and end-to-end runs, the unit suite again under the sanitizers and valgrind,
# and the Windows suite under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh test

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build

# The Windows build runs its media generators and its tests under Wine (cmake/wine-run.sh).
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build-win

(cd build && ctest --output-on-failure -j2)

# The unit suite, the whole show in virtual time among it, under AddressSanitizer and
# UndefinedBehaviorSanitizer (any report fails), then under valgrind's memcheck.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined
cmake --build build-asan --target unit_tests
(cd build-asan && ctest -L unit --output-on-failure -j2)
bash tests/memcheck/run_memcheck.sh build

# The Debian package, installed, run and removed on a fresh Debian 12 chroot.
(cd build && cpack)
sudo=()
((EUID == 0)) || sudo=(sudo)
"${sudo[@]}" bash scripts/check-deb.sh build
(cd build-win && ctest --output-on-failure)

# Both builds generate their media themselves; the bytes must not depend on the platform.
for f in build/media-data/*; do
  cmp "$f" "build-win/media-data/$(basename "$f")"
done
echo "media files identical on both platforms"
