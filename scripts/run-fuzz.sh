#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in their own folder (the core libraries only),
# then runs each for a set time and prints the executions per target.
#   scripts/run-fuzz.sh [build folder]        (default build-fuzz)
# Environment: FUZZ_SECONDS per target (60), FUZZ_TARGETS (names, default all),
# JOBS for the build.
# Inputs a fuzzer finds go to <build>/fuzz/work/<name>/ (kept between runs);
# a crashing input to <build>/fuzz/artifacts/<name>/, and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-$(nproc)}
TARGETS=${FUZZ_TARGETS:-avitext textrecord mp4text inidocument peresource devicerecord mountinfo cardnames}

bash scripts/setup-deps.sh --fuzz
if [ ! -f "$BUILD/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTRAV_CORE_ONLY=ON -DKESTRAV_FUZZ=ON -DKESTRAV_SANITIZE=address,undefined
fi
cmake --build "$BUILD" -j "$JOBS" --target kestrav_fuzzers

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_LOGGING_RULES="*.debug=false"
# The card and /sys folders some targets write for every input go to memory
# when the machine has /dev/shm (several times the executions of a disk).
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
failed=0
total=0
summary=""
for name in $TARGETS; do
  work="$BUILD/fuzz/work/$name"
  artifacts="$BUILD/fuzz/artifacts/$name"
  log="$BUILD/fuzz/$name.log"
  mkdir -p "$work" "$artifacts"
  corpus=("$work" "$BUILD/fuzz/seeds/$name")
  [ -d "fuzz/corpus/$name" ] && corpus+=("fuzz/corpus/$name")
  echo "== fuzz_$name for ${SECONDS_EACH}s"
  status=0
  "$BUILD/fuzz/fuzz_$name" -max_total_time="$SECONDS_EACH" -timeout=25 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "${corpus[@]}" >"$log" 2>&1 || status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | awk '{s+=$2} END {print s+0}')
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | awk '{print $2}')
  total=$((total + runs))
  if [ "$status" -ne 0 ]; then
    failed=1
    summary+="fuzz_$name: FAILED after $runs executions, see $log and $artifacts"$'\n'
    grep -m5 -E 'ERROR|SUMMARY|check failed|runtime error' "$log" || true
  else
    summary+="fuzz_$name: $runs executions, coverage ${cov:-?} edges, corpus $(ls "$work" | wc -l) inputs"$'\n'
  fi
done
printf '%s' "$summary"
echo "total: $total executions"
exit $failed
