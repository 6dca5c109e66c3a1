#!/usr/bin/env bash
# Installs the Debian packages that veloria needs: "show" to build and run it, "test" to build
# both platforms and run every test, "measure" for the figures and the terminal measurements
# as well. Skips apt entirely when everything is already there.
set -euo pipefail

show_packages=(g++ cmake ninja-build pkg-config libpulse-dev libasound2-dev zlib1g-dev
               libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
               xfonts-terminus)
test_packages=("${show_packages[@]}" googletest libgtest-dev libbenchmark-dev python3
               g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 ffmpeg sox imagemagick
               pulseaudio pulseaudio-utils python3-numpy libvterm-dev tmux xvfb xdotool
               clang libclang-rt-14-dev strace valgrind debootstrap)
measure_packages=("${test_packages[@]}" xterm kitty mlterm screen x11-apps chafa timg
                  konsole xfce4-terminal alacritty rxvt-unicode dbus mesa-utils libgl1-mesa-dri)

case "${1:-}" in
  show) packages=("${show_packages[@]}") ;;
  test) packages=("${test_packages[@]}") ;;
  measure) packages=("${measure_packages[@]}") ;;
  *) echo "usage: $0 show|test|measure" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]})) || exit 0

sudo=()
((EUID == 0)) || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 update -q
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends "${missing[@]}"
