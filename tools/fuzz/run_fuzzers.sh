#!/bin/sh
# Runs fuzz targets of a -DMORVANE_FUZZ=ON build, a few at a time, each for a fixed time at the
# lowest priority, starting from its checked-in seeds; then minimises each grown corpus.
#   tools/fuzz/run_fuzzers.sh BUILD_DIR WORK_DIR SECONDS JOBS NAME:SEED_DIR...
# Per target: WORK_DIR/NAME/corpus (grown), WORK_DIR/NAME/min (minimised), WORK_DIR/NAME/log,
# and any crash-*/leak-*/timeout-* file libFuzzer writes into WORK_DIR/NAME/.
# TIMEOUT (seconds per input, default 10): raise it on a machine so busy that a starved
# lowest-priority process looks hung.
set -u
build=$1 work=$2 seconds=$3 jobs=$4
timeout=${TIMEOUT:-10}
shift 4
run_one() {
  name=$1 seeds=$2
  dir=$work/$name
  mkdir -p "$dir/corpus" "$dir/min"
  cp -n "$seeds"/* "$dir/corpus/" 2>/dev/null
  ( cd "$dir" && nice -n 19 "$build/bin/${name}_fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -timeout="$timeout" -print_final_stats=1 corpus >log 2>&1 )
  ( cd "$dir" && nice -n 19 "$build/bin/${name}_fuzzer" -merge=1 -rss_limit_mb=2048 -timeout="$timeout" min corpus \
      >merge.log 2>&1 )
}
running=0
for pair in "$@"; do
  run_one "${pair%%:*}" "${pair#*:}" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n 2>/dev/null || wait
    running=$((running - 1))
  fi
done
wait
