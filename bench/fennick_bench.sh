#!/usr/bin/env bash
# Fennick over a generated project of about 100 MB, against sed over the same project file:
# wall time and peak memory of the whole batch conversion (unpack, module search, census,
# conversion loop, pack), of its passes over the project file alone, and of the archive work
# alone (unpack; pack of the rewritten project file), each beside one sed pass; then the
# standard tools doing the same file work as the whole conversion (unzip, three sed passes
# over the project file, zip), and the ratio of the two medians (ours / peer).
# Usage: bash bench/fennick_bench.sh [megabytes]   (RUNS=n for other than 5 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-100}
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 3 \
  --target fennick make_large_project fennick_passes archive_steps >/dev/null
source bench/timing.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_large_project" "$work/Large.zef" "$size"
fennick="$(pwd)/$build/extractor/fennick"
passes="$(pwd)/$build/bench/fennick_passes"
steps="$(pwd)/$build/bench/archive_steps"
cd "$work"
"$passes" Large.zef.unitpro.xef rewritten.xef
"$steps" unpack Large.zef unpacked
cp rewritten.xef unpacked/unitpro.xef
time_header
# The median wall seconds of a time_runs line.
median_of() { awk '{ print $(NF - 2) }' <<<"$1"; }
ours=$(time_runs "fennick batch conversion" "$fennick" Large.zef)
echo "$ours"
time_runs "passes over the project file" "$passes" Large.zef.unitpro.xef passes.out
time_runs "unpack the archive" sh -c "rm -rf again && exec '$steps' unpack Large.zef again"
time_runs "pack the rewritten project file" "$steps" repack Large.zef unpacked unitpro.xef packed.zef
time_runs "sed, one pass" \
  sh -c 'sed -e s/%IW0.3.0/IBY_DIO_d0_s3.Inputs.IW/g Large.zef.unitpro.xef > sed.out'
peer=$(time_runs "peer: unzip, 3 sed passes, zip" sh -c '
  rm -rf peer peer.zef && mkdir peer && cd peer && unzip -q ../Large.zef &&
  sed -e s/%IW0.3.0/IBY_DIO_d0_s3.Inputs.IW/g unitpro.xef > pass1 &&
  sed -e s/%QW0.3.0/IBY_DIO_d0_s3.Outputs.QW/g pass1 > pass2 &&
  sed -e s/%MW0.3.0/IBY_DIO_d0_s3.Status.MW/g pass2 > unitpro.xef &&
  rm pass1 pass2 && zip -q -r ../peer.zef .')
echo "$peer"
awk -v ours="$(median_of "$ours")" -v peer="$(median_of "$peer")" \
  'BEGIN { printf "ratio of the medians, fennick / peer: %.2f\n", ours / peer }'
