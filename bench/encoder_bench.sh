#!/bin/bash
# Times the project's encoder on 60 s clips of 640x360 and 1920x1080 H.264
# with AAC sound, moving detail with grain, against three baselines run here
# in turn: the same encoder told to decode every picture whole
# (-decode full), stock FFmpeg making the same AMV file (160x120, 10 fps:
# the one rate its AMV muxer takes at 22050 Hz), and decoding the input
# alone. Each command runs several times and its fastest run counts. The CPU
# time (user + system) is the figure to trust: other work on a shared
# machine stretches the wall clock but hardly the CPU time. Then it gives the
# picture's PSNR at 176x144 of our output against the full-decode output.
# Last, two 10 s parts (-ss/-to), one at the start and one 40 s in, whose
# cost should follow the part's length, not where it starts.
# Usage: encoder_bench.sh PATH_TO_CORE_FFMPEG [RUNS]
# BENCH_CLIPS=DIR keeps the generated clips in DIR for the next run.
set -eu

encoder=$1
runs=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
clips=${BENCH_CLIPS:-$work}
mkdir -p "$clips"

make_clip() {
  local clip="$clips/in-$1.mp4"
  if [ ! -s "$clip" ]; then
    echo "Generating 60 s of $1 30 fps H.264 with AAC stereo sound..." >&2
    ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=$1:rate=30" \
      -f lavfi -i sine=frequency=440:sample_rate=48000 -t 60 -vf noise=alls=10:allf=t+u \
      -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 "$clip.part.mp4"
    mv "$clip.part.mp4" "$clip"
  fi
  echo "$clip"
}

# ours OUTPUT SIZE RATE [EXTRA...]: our encoder on $input.
ours_to() {
  local output=$1 size=$2 rate=$3
  shift 3
  rm -f "$output"
  "$encoder" -i "$input" -vol 256 -croptop 0 -cropbottom 0 -cropleft 0 -cropright 0 \
    -padtop 0 -padbottom 0 -padleft 0 -padright 0 -f amv -s "$size" -r "$rate" -ac 1 -ar 22050 \
    -qmin 3 -qmax 5 "$@" "$output"
}
ours() { ours_to "$work/ours.amv" 160x120 10; }
full_decode() { ours_to "$work/full.amv" 160x120 10 -decode full; }
part_early() { ours_to "$work/early.amv" 160x120 10 -ss 0 -to 10; }
part_late() { ours_to "$work/late.amv" 160x120 10 -ss 40 -to 50; }
stock() {
  ffmpeg -nostdin -v error -y -i "$input" -s 160x120 -r 10 -c:v amv -pix_fmt yuvj420p -strict -1 \
    -ac 1 -ar 22050 -c:a adpcm_ima_amv -block_size 2205 -f amv "$work/stock.amv"
}
decode_only() { ffmpeg -nostdin -v error -i "$input" -f null -; }

# "wall cpu max_resident_MiB" of one run of a function; fails when the run does.
measure() {
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" bash -c "$(declare -f ours_to "$1"); $1" \
    >/dev/null 2>&1 || return 1
  awk '{ printf "%.3f %.3f %.1f\n", $1, $2 + $3, $4 / 1024 }' "$work/time"
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b) ? a : b }'; }
max() { awk -v a="$1" -v b="$2" 'BEGIN { print (a > b) ? a : b }'; }

psnr() {
  ffmpeg -nostdin -i "$1" -i "$2" -lavfi psnr -f null - 2>&1 | sed -n 's/.*average:\([0-9.inf]*\).*/\1/p'
}

names=(ours full_decode stock decode_only part_early part_late)
export encoder work
for size in 640x360 1920x1080; do
  input=$(make_clip "$size")
  export input
  declare -A wall cpu memory
  for name in "${names[@]}"; do wall[$name]=999999; cpu[$name]=999999; memory[$name]=0; done
  for ((i = 1; i <= runs; i++)); do
    for name in "${names[@]}"; do
      # A failed run must stop the benchmark with a word, not leave a table of nonsense.
      result=$(measure "$name") || { echo "The $name run failed on $input; stopping." >&2; exit 1; }
      read -r w c m <<<"$result"
      wall[$name]=$(min "$w" "${wall[$name]}")
      cpu[$name]=$(min "$c" "${cpu[$name]}")
      memory[$name]=$(max "$m" "${memory[$name]}")
    done
    echo "$size run $i of $runs done" >&2
  done
  ours_to "$work/fast-176.amv" 176x144 12 2>/dev/null
  ours_to "$work/full-176.amv" 176x144 12 -decode full 2>/dev/null
  quality=$(psnr "$work/fast-176.amv" "$work/full-176.amv")

  echo
  echo "== $size H.264 + AAC, 60 s, 30 fps into 160x120 at 10 fps (best of $runs)"
  printf '%-22s %9s %9s %9s\n' "" "wall s" "cpu s" "max MiB"
  for name in "${names[@]}"; do
    printf '%-22s %9.3f %9.3f %9.1f\n' "${name//_/ }" "${wall[$name]}" "${cpu[$name]}" "${memory[$name]}"
  done
  awk -v o="${wall[ours]}" -v f="${wall[full_decode]}" -v s="${wall[stock]}" -v d="${wall[decode_only]}" \
      -v oc="${cpu[ours]}" -v fc="${cpu[full_decode]}" -v sc="${cpu[stock]}" -v dc="${cpu[decode_only]}" \
      -v ec="${cpu[part_early]}" -v lc="${cpu[part_late]}" 'BEGIN {
    printf "ours/decode-only:      %.2f wall, %.2f cpu (target <= 0.85 cpu)\n", o / d, oc / dc
    printf "ours/stock:            %.2f wall, %.2f cpu (target <= 0.60 cpu)\n", o / s, oc / sc
    printf "ours/full decode:      %.2f wall, %.2f cpu\n", o / f, oc / fc
    printf "10 s part/whole 60 s:  %.2f cpu late, %.2f early (target about 0.17)\n", lc / oc, ec / oc
    printf "part 40-50 s/0-10 s:   %.2f cpu (target about 1)\n", lc / ec
  }'
  echo "PSNR against full decoding at 176x144, 12 fps: $quality dB (target >= 45)"
  unset wall cpu memory
done
