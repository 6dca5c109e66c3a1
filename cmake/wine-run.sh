#!/bin/sh
# Runs a Windows program of the build under Wine, quietly. Unless WINEPREFIX is set, the
# prefix is one of the build's own (made on first use, beside CMakeCache.txt), so that
# nothing outside the build folder is touched.
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$PWD
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ -f "$dir/CMakeCache.txt" ] && WINEPREFIX="$dir/wine-prefix"
fi
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# Wine's background services inherit the open files of whichever program starts them, and
# would hold the build's or ctest's output pipe open until they exit. So the server and the
# services are started here with nothing open, and the server stays for 30 s after its last
# program: every run in a build or test session then takes milliseconds instead of seconds.
# The lock makes parallel runs wait until the first has made the prefix and started it.
(
  flock 9
  # Neither may keep the lock's descriptor, or the lock would last as long as they do.
  if wineserver -p30 </dev/null >/dev/null 2>&1 9>&-; then
    wineboot -i </dev/null >/dev/null 2>&1 9>&-
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
