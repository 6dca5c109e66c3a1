#!/usr/bin/env bash
# Checks the .deb the way a user meets it: on a clean Debian 12 made with debootstrap (a chroot,
# no container), apt installs the package and its dependencies, the manual page is in place,
# the show runs in a pseudo-terminal until it is interrupted, and the package removes cleanly.
# Run as root on Debian 12, after the package was built: bash scripts/check-deb.sh build
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
deb=$(ls "$build"/veloria_*_amd64.deb)
root=$(mktemp -d /var/tmp/veloria-chroot.XXXXXX)
cleanup() {
  for m in dev/pts dev proc; do umount "$root/$m" 2>/dev/null || true; done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT

bash scripts/install-packages.sh test
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >"$root.log" 2>&1 ||
  { tail -20 "$root.log"; exit 1; }
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

in_root apt-get -q update >/dev/null
in_root apt-get -q install -y --no-install-recommends "/tmp/$(basename "$deb")" | tail -3
in_root dpkg -L veloria
in_root test -x /usr/games/veloria
in_root test -s /usr/share/man/man6/veloria.6
in_root test -s /usr/share/doc/veloria/copyright
# The program's libraries (FFmpeg's among them) came with the package.
in_root /usr/games/veloria --version

# Eight seconds of the show in a pseudo-terminal, then Ctrl-C: the texts come out and the
# show ends by the signal. Python drives the terminal; it comes after the package's own check.
in_root apt-get -q install -y --no-install-recommends python3 >/dev/null
cp tests/e2e/harness.py tests/e2e/sequences.py "$root/tmp/"
chroot "$root" env -i PATH=/usr/bin:/bin LANG=C.UTF-8 TERM=xterm-256color python3 - <<'PY' ||
import os, signal, sys
sys.path.insert(0, "/tmp")
from harness import Terminal
show = Terminal(["/usr/games/veloria"], columns=55, lines=20)
show.pump(8)
os.kill(show.pid, signal.SIGINT)
status = show.finish(5)
text = show.text()
print(text[:300])
ok = "Во времена" in text and os.WIFSIGNALED(status) and os.WTERMSIG(status) == signal.SIGINT
print(f"status {status}: {'the show ran' if ok else 'the show did not run'}")
sys.exit(0 if ok else 1)
PY
  { echo "the installed show did not run"; exit 1; }

in_root apt-get -q remove -y --purge veloria | tail -1
in_root test ! -e /usr/games/veloria
echo "the package installs, runs and removes cleanly on a fresh Debian 12"
