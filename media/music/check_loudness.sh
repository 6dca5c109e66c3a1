#!/bin/sh
# check_loudness.sh TRACK.wav: measures the rendered track with ffmpeg's EBU R128 meter and
# checks integrated loudness -14 +-1 LUFS and true peak at most -1 dBTP. Exits 77 (skipped)
# when ffmpeg is not installed.
track=$1
command -v ffmpeg >/dev/null 2>&1 || { echo "ffmpeg not found: skipped"; exit 77; }
[ -f "$track" ] || { echo "no such file: $track"; exit 1; }
summary=$(ffmpeg -nostats -hide_banner -i "$track" -af ebur128=peak=true -f null - 2>&1 | tail -15)
echo "$summary"
integrated=$(echo "$summary" | awk '$1 == "I:" { print $2 }')
peak=$(echo "$summary" | awk '$1 == "Peak:" { print $2 }')
[ -n "$integrated" ] && [ -n "$peak" ] || { echo "could not read the measurement"; exit 1; }
awk -v i="$integrated" -v p="$peak" 'BEGIN {
    ok = 1
    if (i < -15.0 || i > -13.0) { print "integrated loudness " i " LUFS is outside -14 +-1"; ok = 0 }
    if (p > -1.0) { print "true peak " p " dBTP is above -1"; ok = 0 }
    if (ok) print "loudness " i " LUFS, true peak " p " dBTP: ok"
    exit !ok
}'
