#!/usr/bin/env bash
# The Windows program must run when double-clicked, from a folder holding nothing but itself:
# it may import only DLLs that every Windows installation has.
# Usage: imports_check.sh VELORIA_EXE
set -euo pipefail
system_dlls='^(KERNEL32|USER32|GDI32|WINMM|msvcrt)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print $3}')
echo "imports: $(echo $imports)"
[[ -n $imports ]] || { echo "no import table found"; exit 1; }
if others=$(grep -Eiv "$system_dlls" <<<"$imports"); then
  echo "needs DLLs that are not part of Windows: $(echo $others)"
  exit 1
fi
