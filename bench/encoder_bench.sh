#!/bin/bash
# Times the project's encoder against stock FFmpeg making the same AMV file
# (160x120, 10 fps: the one rate stock FFmpeg's AMV muxer takes at 22050 Hz)
# and against decoding the input alone, on a clip generated here. Each
# command runs several times in turn and its fastest run counts, so other
# work on the machine disturbs the ratios as little as possible; the CPU
# time (user + system) is shown beside it, as a busy machine stretches the
# wall clock but hardly the CPU time.
# Usage: encoder_bench.sh PATH_TO_CORE_FFMPEG [RUNS]
set -eu

encoder=$1
runs=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

echo "Generating 60 s of 640x360 30 fps H.264 with AAC stereo sound..."
ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=640x360:rate=30 \
  -f lavfi -i sine=frequency=440:sample_rate=48000 -t 60 \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 "$work/in.mp4"

ours() {
  rm -f "$work/ours.amv"
  "$encoder" -i "$work/in.mp4" -vol 256 -croptop 0 -cropbottom 0 -cropleft 0 -cropright 0 \
    -padtop 0 -padbottom 0 -padleft 0 -padright 0 -f amv -s 160x120 -r 10 -ac 1 -ar 22050 \
    -qmin 3 -qmax 5 "$work/ours.amv" 2>/dev/null
}
stock() {
  ffmpeg -nostdin -v error -y -i "$work/in.mp4" -s 160x120 -r 10 -c:v amv -pix_fmt yuvj420p -strict -1 \
    -ac 1 -ar 22050 -c:a adpcm_ima_amv -block_size 2205 -f amv "$work/stock.amv"
}
decode_only() {
  ffmpeg -nostdin -v error -i "$work/in.mp4" -f null -
}

# "wall cpu" seconds of one run of a function.
measure() {
  local TIMEFORMAT='%R %U %S'
  { time "$1" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }'
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b) ? a : b }'; }

declare -A wall cpu
for name in ours stock decode_only; do wall[$name]=999999; cpu[$name]=999999; done

for ((i = 1; i <= runs; i++)); do
  for name in ours stock decode_only; do
    read -r w c < <(measure "$name")
    wall[$name]=$(min "$w" "${wall[$name]}")
    cpu[$name]=$(min "$c" "${cpu[$name]}")
  done
  echo "run $i: best wall so far: ours ${wall[ours]} s, stock ${wall[stock]} s, decode-only ${wall[decode_only]} s"
done

for name in ours stock decode_only; do
  printf '%-12s wall %7.3f s   cpu %7.3f s\n' "$name:" "${wall[$name]}" "${cpu[$name]}"
done
awk -v o="${wall[ours]}" -v s="${wall[stock]}" -v d="${wall[decode_only]}" \
    -v oc="${cpu[ours]}" -v sc="${cpu[stock]}" -v dc="${cpu[decode_only]}" 'BEGIN {
  printf "ours/stock:       %.2f wall, %.2f cpu (target <= 1.00)\n", o / s, oc / sc
  printf "ours/decode-only: %.2f wall, %.2f cpu (target <= 1.30)\n", o / d, oc / dc
}'
