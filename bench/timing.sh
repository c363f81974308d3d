# Sourced by the benchmark scripts: whole-process wall time and peak memory of a command, taken
# by GNU time (/usr/bin/time, Debian package "time") over several runs after one warm-up run.
# Prints min, median and max wall seconds and the median peak resident memory.

runs=${RUNS:-5}

# time_runs LABEL COMMAND [ARG ...]: the command's own output is thrown away.
time_runs() {
  local label=$1 samples i
  shift
  [ -x /usr/bin/time ] || { echo "GNU time (/usr/bin/time) is missing: apt-get install time" >&2; exit 1; }
  samples=$(mktemp)
  for ((i = 0; i <= runs; i++)); do
    if ! /usr/bin/time -f '%e %M' -o "$samples.run" "$@" >/dev/null 2>&1; then
      echo "$label: the command failed ($(head -n 1 "$samples.run"))" >&2
    fi
    [ "$i" -eq 0 ] || tail -n 1 "$samples.run" >>"$samples"
  done
  local peak
  peak=$(cut -d' ' -f2 "$samples" | sort -n | awk '{ p[NR] = $1 } END { print p[int((NR + 1) / 2)] }')
  sort -n "$samples" | awk -v label="$label" -v peak="$peak" '
    { wall[NR] = $1 }
    END {
      printf "%-34s %7.2f %7.2f %7.2f %9.1f\n", label, wall[1], wall[int((NR + 1) / 2)],
             wall[NR], peak / 1024
    }'
  rm -f "$samples" "$samples.run"
}

time_header() {
  printf "%-34s %7s %7s %7s %9s   (%s runs)\n" "" "min s" "median" "max s" "peak MiB" "$runs"
}
