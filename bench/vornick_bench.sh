#!/usr/bin/env bash
# Vornick over a generated M580 project of about 100 MB, against sed over the same project
# file: wall time and peak memory of the whole conversion (unpack, three passes, pack).
# Usage: bash bench/vornick_bench.sh [megabytes]   (RUNS=n for other than 5 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-100}
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target make_large_m580 vornick_batch >/dev/null
source bench/timing.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_large_m580" "$work/M580.zef" "$size"
vornick="$(pwd)/$build/bench/vornick_batch"
cd "$work"
export TMPDIR="$work"
time_header
time_runs "vornick conversion" "$vornick" M580.zef
time_runs "sed, one pass" sh -c 'sed -e s/IBY_DIO_d0_s3/IBS_DIO_d0_s3/g M580.zef.unitpro.xef > sed.out'
