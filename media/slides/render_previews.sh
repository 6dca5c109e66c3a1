#!/bin/sh
# render_previews.sh BUILD_DIR [OUT_DIR]: renders the slides of a build's generated
# ArtSlides.cpp as PNG pictures (light green on black, as the show prints them) for viewing.
# Needs python3 and ImageMagick with the DejaVu Sans Mono font.
set -eu
build=${1:?usage: render_previews.sh BUILD_DIR [OUT_DIR]}
out=${2:-$(dirname "$0")/../../docs/slides}
mkdir -p "$out"
python3 - "$build/media-data/ArtSlides.cpp" "$out" <<'PY'
import re, sys
source, out = sys.argv[1], sys.argv[2]
slides, name = {}, None
for line in open(source, encoding="ascii"):
    m = re.match(r"const std::vector<std::string> (\w+) = \{", line)
    if m:
        name = m.group(1)
        slides[name] = []
        continue
    m = re.match(r'\s+"(.*)",$', line)
    if m and name:
        slides[name].append(re.sub(r"\\(.)", r"\1", m.group(1)))
for name, lines in slides.items():
    with open(f"{out}/{name}.txt", "w", encoding="utf-8") as f:
        # No-break spaces, so that ImageMagick keeps blank lines and margins at full width.
        f.write("\n".join(line.replace(" ", "\u00a0") for line in lines) + "\n")
PY
# One label per line, stacked: ImageMagick reads a leading '@' as a file name, so escape it.
for txt in "$out"/ArtSlide*.txt; do
  set --
  while IFS= read -r line; do
    case $line in @*) line="\\$line" ;; esac
    set -- "$@" label:"$line"
  done <"$txt"
  convert -background black -fill '#7CFC7C' -font DejaVu-Sans-Mono -pointsize 12 "$@" \
    -append +repage "${txt%.txt}.png"
  rm "$txt"
done
