#!/bin/sh
# Runs a Windows program of the build under Wine, quietly. Unless WINEPREFIX is set, the
# prefix is one of the build's own (made on first use, beside CMakeCache.txt), so that
# nothing outside the build folder is touched.
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$PWD
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ -f "$dir/CMakeCache.txt" ] && export WINEPREFIX="$dir/wine-prefix"
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
