#!/usr/bin/env bash
# A libFuzzer campaign on one target of tests/fuzz: scripts/fuzz.sh TARGET SECONDS
#
# Builds the target with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in
# build/fuzz, then runs it for SECONDS on all cores (-fork), starting from the checked-in corpus
# tests/fuzz/corpus/TARGET. New corpus entries go to build/fuzz-corpus/TARGET (kept between
# campaigns, never into the checked-in corpus); an input that fails is written to
# build/fuzz-finds/TARGET/. Environment: FUZZ_JOBS (workers, default: all cores),
# FUZZ_BUILD_JOBS (compile jobs, default: all cores).
set -euo pipefail
cd "$(dirname "$0")/.."

targets() {
  for f in tests/fuzz/*.cmake; do basename "$f" .cmake; done | tr '\n' ' '
}

if [ $# -ne 2 ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS" >&2
  echo "targets: $(targets)" >&2
  exit 2
fi
target=$1
seconds=$2
if ! grep -qs "calvento_fuzz_target($target " "tests/fuzz/$target.cmake"; then
  echo "fuzz.sh: no fuzz target '$target'; targets: $(targets)" >&2
  exit 2
fi

# The fuzz build alone needs clang (with its libFuzzer runtime); the test build does not.
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz.sh: clang++ not found; install the Debian package clang (apt-get install clang)" >&2
  exit 1
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  >"$probe/probe.cpp"
if ! clang++ -fsanitize=fuzzer,address "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
  echo "fuzz.sh: clang++ cannot link libFuzzer; install the Debian package libclang-rt-14-dev" >&2
  exit 1
fi

cores=$(nproc)
build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCALVENTO_FUZZ=ON >/dev/null
cmake --build "$build" -j "${FUZZ_BUILD_JOBS:-$cores}" --target "${target}_fuzzer"

scratch=build/fuzz-corpus/$target
finds=build/fuzz-finds/$target
mkdir -p "$scratch" "$finds"
# A campaign runs the code under test many times over: a leak is reported, but a slow unit is
# not a fault of its own unless it hangs.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
"$build/tests/fuzz/${target}_fuzzer" -fork="${FUZZ_JOBS:-$cores}" -max_total_time="$seconds" \
  -timeout=25 -rss_limit_mb=2048 -artifact_prefix="$finds/" -print_final_stats=1 \
  "$scratch" "tests/fuzz/corpus/$target" || status=$?

echo "fuzz.sh: $target ran ${seconds}s; new corpus entries in $scratch ($(ls "$scratch" | wc -l) files)"
if [ -n "$(ls -A "$finds")" ]; then
  echo "fuzz.sh: inputs that failed are in $finds:" >&2
  ls -l "$finds" >&2
  echo "fuzz.sh: after the fix, copy each into tests/fuzz/corpus/$target/ so the test run replays it" >&2
  exit 1
fi
exit "$status"
