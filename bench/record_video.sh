#!/usr/bin/env bash
# Records the whole show into each video format with the real program, on this machine's
# cores, and prints for each the wall time, the CPU time, the file's size and its streams;
# then takes a still of each movement from the MP4 into OUT_DIR. A measurement for the
# README, not a CI test: the times vary with the machine.
# Usage: record_video.sh VELORIA OUT_DIR [EXTENSIONS...]   (default: mp4 mkv webm)
set -euo pipefail
program=$(realpath "$1") out=$2
shift 2
extensions=("${@:-mp4 mkv webm}")
read -ra extensions <<< "${extensions[*]}"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "$(nproc) cores: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
for ext in "${extensions[@]}"; do
  video=$work/show.$ext
  /usr/bin/time -f "%e s wall, %U s user, %S s system, %M KB at most" -o "$work/time" \
    "$program" --record "$video" 2> "$work/progress"
  size=$(stat -c %s "$video")
  streams=$(ffprobe -v error -show_entries stream=codec_name,width,height,r_frame_rate,sample_rate \
    -show_entries format=duration -of compact=p=0:nk=1 "$video" | tr '\n' ' ')
  printf '%-5s %s; %.1f MB; %s\n' "$ext" "$(cat "$work/time")" "$(echo "$size / 1000000" | bc -l)" "$streams"
  tail -1 "$work/progress"
  [[ $ext == mp4 ]] && cp "$video" "$work/still-source.mp4"
done

# A still of each movement: the typed opening, a slide, the first and the last picture.
if [[ -f $work/still-source.mp4 ]]; then
  for moment in "opening 40" "slides 70" "gallery-qir 119" "gallery-raskep 315"; do
    read -r name seconds <<< "$moment"
    ffmpeg -v error -y -ss "$seconds" -i "$work/still-source.mp4" -frames:v 1 "$out/$name.png"
  done
  echo "stills in $out"
fi
