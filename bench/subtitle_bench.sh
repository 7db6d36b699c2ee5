#!/bin/bash
# Times the project's encoder burning in subtitles against the same
# conversion without them: a 60 s 640x360 H.264 film in Matroska with an SRT
# track that has a two-line subtitle up for 1.5 s of every 2 s (dense
# dialogue, the costly case), into 160x120 at 12 fps. The runs alternate and
# each command's least CPU time (user + system) counts: other work on a
# shared machine stretches the wall clock but hardly the CPU time.
# Usage: subtitle_bench.sh PATH_TO_CORE_FFMPEG [RUNS]
# BENCH_CLIPS=DIR keeps the generated clip in DIR for the next run.
set -eu

encoder=$1
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
clips=${BENCH_CLIPS:-$work}
mkdir -p "$clips"

input="$clips/subtitled-60s.mkv"
if [ ! -s "$input" ]; then
  echo "Generating 60 s of 640x360 H.264 with an SRT track..." >&2
  for ((i = 0; i < 30; i++)); do
    printf '%d\n00:00:%02d,250 --> 00:00:%02d,750\nLine %d of what somebody says,\nand its second half.\n\n' \
      $((i + 1)) $((i * 2)) $((i * 2 + 1)) $((i + 1))
  done >"$work/film.srt"
  ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=640x360:rate=30" \
    -f lavfi -i sine=frequency=440:sample_rate=48000 -i "$work/film.srt" -t 60 -map 0 -map 1 -map 2 \
    -vf noise=alls=10:allf=t+u -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 -c:s srt \
    "$input.part.mkv"
  mv "$input.part.mkv" "$input"
fi

convert() {
  rm -f "$work/out.amv"
  /usr/bin/time -f '%U %S' -o "$work/time" "$encoder" -i "$input" -vol 256 -croptop 0 -cropbottom 0 -cropleft 0 \
    -cropright 0 -padtop 0 -padbottom 0 -padleft 0 -padright 0 -f amv -s 160x120 -r 12 -ac 1 -ar 22050 \
    -qmin 3 -qmax 5 "$@" "$work/out.amv" 2>/dev/null || { echo "The run $* failed; stopping." >&2; exit 1; }
  awk '{ printf "%.3f\n", $1 + $2 }' "$work/time"
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b) ? a : b }'; }

plain=999999
subtitled=999999
for ((i = 1; i <= runs; i++)); do
  plain=$(min "$(convert)" "$plain")
  subtitled=$(min "$(convert -subs 1)" "$subtitled")
  echo "run $i of $runs done" >&2
done
echo
echo "== 640x360 H.264 + SRT, 60 s, into 160x120 at 12 fps (best of $runs)"
printf '%-22s %9s\n' "" "cpu s"
printf '%-22s %9.3f\n' "without subtitles" "$plain" "with subtitles" "$subtitled"
awk -v p="$plain" -v s="$subtitled" 'BEGIN {
  printf "with/without:          %.3f cpu (target <= 1.15)\n", s / p
}'
