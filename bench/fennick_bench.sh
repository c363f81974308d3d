#!/usr/bin/env bash
# Fennick over a generated project of about 100 MB, against sed over the same project file:
# wall time and peak memory of the whole batch conversion (unpack, module search, census,
# conversion loop, pack), of its passes over the project file alone, and of the archive work
# alone (unpack; pack of the rewritten project file), each beside one sed pass.
# Usage: bash bench/fennick_bench.sh [megabytes]   (RUNS=n for other than 5 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-100}
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" \
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
time_runs "fennick batch conversion" "$fennick" Large.zef
time_runs "passes over the project file" "$passes" Large.zef.unitpro.xef passes.out
time_runs "unpack the archive" sh -c "rm -rf again && exec '$steps' unpack Large.zef again"
time_runs "pack the rewritten project file" "$steps" repack Large.zef unpacked unitpro.xef packed.zef
time_runs "sed, one pass" \
  sh -c 'sed -e s/%IW0.3.0/IBY_DIO_d0_s3.Inputs.IW/g Large.zef.unitpro.xef > sed.out'
