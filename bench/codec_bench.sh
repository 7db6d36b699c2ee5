#!/bin/bash
# Times the project's encoder on grainy clips of seven common codecs, into
# 160x120 at 12 fps and 208x176 at 16 fps, against two baselines run here in
# turn, interleaved: decoding the input alone (ffmpeg -i IN -f null -) and
# stock FFmpeg making an AMV file of the same size (at 10 fps, the one rate
# its AMV muxer takes at 22050 Hz). Each command runs several times and its
# least CPU time (user + system) counts: other work on a shared machine
# stretches the wall clock but hardly the CPU time.
# Usage: codec_bench.sh PATH_TO_CORE_FFMPEG [RUNS]
# BENCH_CLIPS=DIR keeps the generated clips in DIR for the next run;
# BENCH_SECONDS sets their length (30 unless told).
set -eu

encoder=$1
runs=${2:-3}
seconds=${BENCH_SECONDS:-30}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
clips=${BENCH_CLIPS:-$work}
mkdir -p "$clips"

# name, picture size, codec options (comma-separated), container
sources=(
  "h264-360 640x360 -c:v,libx264,-preset,veryfast mp4"
  "h264-1080 1920x1080 -c:v,libx264,-preset,veryfast mp4"
  "hevc-1080 1920x1080 -c:v,libx265,-preset,ultrafast,-x265-params,log-level=error mp4"
  "mpeg4-480 640x480 -c:v,mpeg4,-bf,2,-q:v,4 avi"
  "mpeg2-576i 720x576 -c:v,mpeg2video,-bf,2,-b:v,6M,-flags,+ilme+ildct,-top,1 mpg"
  "vp9-720 1280x720 -c:v,libvpx-vp9,-deadline,realtime,-cpu-used,8,-b:v,2M mkv"
  "mjpeg-720 1280x720 -c:v,mjpeg,-q:v,4,-pix_fmt,yuvj420p avi"
)

make_clip() {
  local name=$1 size=$2 options=$3 container=$4
  local clip="$clips/$name-${seconds}s.$container"
  if [ ! -s "$clip" ]; then
    echo "Generating $seconds s of $name..." >&2
    # shellcheck disable=SC2086
    ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=$size:rate=30" \
      -f lavfi -i sine=frequency=440:sample_rate=48000 -t "$seconds" -vf noise=alls=10:allf=t+u \
      ${options//,/ } -c:a mp2 -ac 2 "$clip.part.$container" || return 1
    mv "$clip.part.$container" "$clip"
  fi
  echo "$clip"
}

ours() {
  rm -f "$work/ours.amv"
  "$encoder" -i "$input" -vol 256 -croptop 0 -cropbottom 0 -cropleft 0 -cropright 0 \
    -padtop 0 -padbottom 0 -padleft 0 -padright 0 -f amv -s "$size" -r "$rate" -ac 1 -ar 22050 \
    -qmin 3 -qmax 5 "$work/ours.amv"
}
stock() {
  ffmpeg -nostdin -v error -y -i "$input" -s "$size" -r 10 -c:v amv -pix_fmt yuvj420p -strict -1 \
    -ac 1 -ar 22050 -c:a adpcm_ima_amv -block_size 2205 -f amv "$work/stock.amv"
}
decode_only() { ffmpeg -nostdin -v error -i "$input" -f null -; }

# The CPU seconds of one run of a function; fails when the run does.
measure() {
  /usr/bin/time -f '%U %S' -o "$work/time" bash -c "$(declare -f "$1"); $1" >/dev/null 2>&1 || return 1
  awk '{ printf "%.3f\n", $1 + $2 }' "$work/time"
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b) ? a : b }'; }

names=(ours decode_only stock)
export encoder work
echo "Load before: $(uptime)"
printf '\n%-11s %-12s %8s %8s %8s %18s %12s\n' source output "ours s" "decode s" "stock s" "ours/decode-only" "ours/stock"
for entry in "${sources[@]}"; do
  read -r name picture options container <<<"$entry"
  input=$(make_clip "$name" "$picture" "$options" "$container") || exit 1
  export input
  for output in 160x120@12 208x176@16; do
    size=${output%@*} rate=${output#*@}
    export size rate
    declare -A cpu
    for name_ in "${names[@]}"; do cpu[$name_]=999999; done
    for ((i = 1; i <= runs; i++)); do
      for name_ in "${names[@]}"; do
        result=$(measure "$name_") || { echo "The $name_ run failed on $input; stopping." >&2; exit 1; }
        cpu[$name_]=$(min "$result" "${cpu[$name_]}")
      done
    done
    awk -v n="$name" -v o="$output" -v a="${cpu[ours]}" -v d="${cpu[decode_only]}" -v s="${cpu[stock]}" \
      'BEGIN { printf "%-11s %-12s %8.2f %8.2f %8.2f %18.2f %12.2f\n", n, o, a, d, s, a / d, a / s }'
    unset cpu
  done
done
echo "Load after: $(uptime)"
