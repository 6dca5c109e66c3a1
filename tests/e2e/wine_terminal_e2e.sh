#!/usr/bin/env bash
# The Windows program run by Wine inside a terminal (tmux, 115 x 51), as in Windows Terminal or
# any pseudo console: the console window is hidden, so the gallery must go through the
# terminal. The screen is captured every half second; the gallery must be seen picture after
# picture, the last picture must stay on screen, Enter must end the show with status 0, and
# the terminal must be as it was; and as it was after Ctrl+C during the gallery too.
# Usage: wine_terminal_e2e.sh VELORIA.EXE MEDIA_DIR
set -euo pipefail
exe=$(realpath "$1") media=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
export WINEPREFIX=${WINEPREFIX:-$(dirname "$exe")/wine-prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winepulse.drv=d" LANG=C.UTF-8
mkdir -p "$WINEPREFIX"
tmux=(tmux -S "$work/tmux")
interrupted=(tmux -S "$work/tmux-interrupted")
trap '"${tmux[@]}" kill-server 2>/dev/null || true
      "${interrupted[@]}" kill-server 2>/dev/null || true; rm -rf "$work"' EXIT

# The terminal's modes before the show, and after it with a line printed after the show.
modes='#{cursor_flag} #{wrap_flag} #{insert_flag} #{alternate_on} #{keypad_cursor_flag}'
"${tmux[@]}" new-session -d -x 115 -y 51 \
  "sleep 1; wine $exe; echo \$? > $work/status; printf 'after the show'; sleep 60"
"${tmux[@]}" display -p "$modes" > "$work/modes-before"

# The fast program's show takes about 16 s; Wine adds its start.
for i in $(seq -w 0 59); do
  sleep 0.5
  "${tmux[@]}" capture-pane -p -e -N > "$work/screen-$i.txt"
  # Lines scrolled off the top so far.
  "${tmux[@]}" display -p '#{history_size}' > "$work/scrolled-$i"
done
"${tmux[@]}" send-keys Enter
for _ in $(seq 100); do [[ -s $work/status ]] && break; sleep 0.1; done
sleep 0.5
"${tmux[@]}" capture-pane -p -e -N > "$work/final-screen.txt"
"${tmux[@]}" display -p "$modes #{cursor_x} #{cursor_y}" > "$work/modes-after"

# Again, with Ctrl+C pressed during the gallery.
"${tmux[@]}" kill-server
"${interrupted[@]}" new-session -d -x 115 -y 51 \
  "sleep 1; wine $exe; echo \$? > $work/interrupted-status; printf 'after the show'; sleep 60"
sleep 12
"${interrupted[@]}" send-keys C-c
for _ in $(seq 100); do [[ -s $work/interrupted-status ]] && break; sleep 0.1; done
sleep 0.5
"${interrupted[@]}" capture-pane -p -e -N > "$work/interrupted-screen.txt"
"${interrupted[@]}" display -p "$modes" > "$work/interrupted-modes"

/usr/bin/python3 "$here/check_wine_terminal.py" "$work" "$media"
