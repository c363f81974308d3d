#!/usr/bin/env bash
# Fennick over a generated project of about 100 MB, against sed over the same project file:
# wall time and peak memory of the whole batch conversion (unpack, module search, census,
# conversion loop, pack), then of its passes over the project file alone, each beside
# one sed pass. Usage: bash bench/fennick_bench.sh [megabytes]
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-100}
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target fennick make_large_project fennick_passes >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_large_project" "$work/Large.zef" "$size"
fennick="$(pwd)/$build/extractor/fennick"
passes="$(pwd)/$build/bench/fennick_passes"
cd "$work"
farm-bench -n 3 --timeout 900 \
  --vs "sh -c 'sed -e s/%IW0.3.0/IBY_DIO_d0_s3.Inputs.IW/g Large.zef.unitpro.xef > sed.out'" \
  -- sh -c "exec '$fennick' Large.zef >/dev/null 2>&1"
farm-bench -n 3 --timeout 900 \
  --vs "sh -c 'sed -e s/%IW0.3.0/IBY_DIO_d0_s3.Inputs.IW/g Large.zef.unitpro.xef > sed.out'" \
  -- "$passes" Large.zef.unitpro.xef passes.out
