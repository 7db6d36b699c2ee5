#!/bin/sh
# Times the project's encoder against stock FFmpeg making the same AMV file
# (160x120, 10 fps: the one rate stock FFmpeg's AMV muxer takes at 22050 Hz)
# and against decoding the input alone, on a clip generated here. Each
# command runs several times in turn and its fastest run counts, so other
# work on the machine disturbs the ratios as little as possible.
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

now() { date +%s.%N; }

# Wall-clock seconds of one run of a function.
measure() {
  start=$(now)
  "$1"
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b) ? a : b }'; }

best_ours=999999 best_stock=999999 best_decode=999999

i=1
while [ "$i" -le "$runs" ]; do
  t=$(measure ours);        best_ours=$(min "$t" "$best_ours")
  t=$(measure stock);       best_stock=$(min "$t" "$best_stock")
  t=$(measure decode_only); best_decode=$(min "$t" "$best_decode")
  echo "run $i: ours ${best_ours}s stock ${best_stock}s decode-only ${best_decode}s (best so far)"
  i=$((i + 1))
done

echo "ours:        $best_ours s"
echo "stock:       $best_stock s"
echo "decode-only: $best_decode s"
awk -v o="$best_ours" -v s="$best_stock" -v d="$best_decode" 'BEGIN {
  printf "ours/stock:       %.2f (target <= 1.00)\n", o / s
  printf "ours/decode-only: %.2f (target <= 1.30)\n", o / d
}'
