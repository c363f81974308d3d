#!/usr/bin/env bash
# Vornick over a generated M580 project of about 90 MB, side by side with the standard tools
# doing the same file work on the same archive: unzip, three sed passes over the project file
# (the conversion makes three), zip. The two run in turn, ours then the peer, round by round,
# so that a machine whose speed drifts slows both alike; the ratio is taken round by round.
# Prints wall seconds (min, median, max) of each side, the ratio ours / peer and the peak
# resident memory of each.
# Usage: bash bench/vornick_bench.sh [megabytes]   (RUNS=n for other than 5 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-90}
runs=${RUNS:-5}
build=${BUILD:-build/release}
[ -x /usr/bin/time ] || { echo "GNU time (/usr/bin/time) is missing: apt-get install time" >&2; exit 1; }
for tool in unzip zip sed; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target make_large_m580 vornick_batch >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_large_m580" "$work/M580.zef" "$size"
vornick="$(pwd)/$build/bench/vornick_batch"
cd "$work"
export TMPDIR="$work"

# The peer: the archive unpacked, the project file rewritten three times with renames the
# conversion makes, the folder packed again.
cat >peer.sh <<'EOF'
set -e
rm -rf peer peer.zef
mkdir peer
cd peer
unzip -q ../M580.zef
sed -e 's/IBY_Manage/IBS_Manage/g' unitpro.xef >pass1.xef
sed -e 's/IBY_DIO/IBS_DIO/g' pass1.xef >pass2.xef
sed -e 's/IBS_DIO_d0_s3/PMEDWL_A/g' pass2.xef >unitpro.xef
rm pass1.xef pass2.xef
zip -q -r ../peer.zef .
EOF

# timed FILE COMMAND [ARG ...]: appends "wall-seconds peak-KiB" of one run to FILE.
timed() {
  local samples=$1
  shift
  if ! /usr/bin/time -f '%e %M' -o "$samples.run" "$@" >/dev/null 2>&1; then
    echo "the command failed: $* ($(head -n 1 "$samples.run"))" >&2
    exit 1
  fi
  tail -n 1 "$samples.run" >>"$samples"
}

# Round 0 warms the caches and is not counted.
: >ours.times
: >peer.times
for ((i = 0; i <= runs; i++)); do
  timed ours.run "$vornick" M580.zef
  timed peer.run sh peer.sh
  if [ "$i" -gt 0 ]; then
    tail -n 1 ours.run >>ours.times
    tail -n 1 peer.run >>peer.times
  fi
done
paste -d' ' ours.times peer.times | awk '{ print $1 / ($3 > 0 ? $3 : 0.01) }' >ratio.times

# row LABEL FILE COLUMN [PEAKCOLUMN]: min, median, max of a column, and the median peak.
row() {
  local label=$1 file=$2 column=$3 peak=${4:-}
  local values median_peak="-"
  values=$(cut -d' ' -f"$column" "$file" | sort -g)
  if [ -n "$peak" ]; then
    median_peak=$(cut -d' ' -f"$peak" "$file" | sort -n |
      awk '{ p[NR] = $1 } END { printf "%.1f", p[int((NR + 1) / 2)] / 1024 }')
  fi
  echo "$values" | awk -v label="$label" -v peak="$median_peak" '
    { v[NR] = $1 }
    END { printf "%-46s %7.2f %7.2f %7.2f %9s\n", label, v[1], v[int((NR + 1) / 2)], v[NR], peak }'
}

printf "%-46s %7s %7s %7s %9s   (%s rounds)\n" "" "min" "median" "max" "peak MiB" "$runs"
row "vornick conversion, s" ours.times 1 2
row "peer: unzip + three sed passes + zip, s" peer.times 1 2
row "ratio ours / peer, round by round" ratio.times 1
echo "load: $(uptime)"
