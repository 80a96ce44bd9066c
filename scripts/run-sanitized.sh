#!/usr/bin/env bash
# Builds the suite with sanitizers in its own folder and runs it offscreen.
#   scripts/run-sanitized.sh asan [build folder]   AddressSanitizer and
#       UndefinedBehaviorSanitizer, the whole suite (default build-asan)
#   scripts/run-sanitized.sh tsan [build folder]   ThreadSanitizer, the tests
#       of the catalogue, the engine, the list, the main window (all but the
#       map page's) and the background copy (default build-tsan)
# Reports from system libraries outside our code are suppressed by the files
# in tests/sanitizers/ (each entry says why). JOBS sets the build's jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
KIND=${1:?asan or tsan}
JOBS=${JOBS:-$(nproc)}
SUPP="$PWD/tests/sanitizers"

case "$KIND" in
  asan)
    BUILD=${2:-build-asan}
    SANITIZE=address,undefined
    TARGETS=(all)
    TESTS=""
    export ASAN_OPTIONS="detect_leaks=1:detect_odr_violation=0:strict_string_checks=0:abort_on_error=0"
    export LSAN_OPTIONS="suppressions=$SUPP/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$SUPP/ubsan.supp"
    ;;
  tsan)
    BUILD=${2:-build-tsan}
    SANITIZE=thread
    TARGETS=(tst_analysisthread tst_catalogue tst_memorycard tst_cardfaults
             tst_videomgr tst_transportcontract tst_videorenderer
             tst_listctrl
             tst_mainwindow tst_cardcontroller tst_playback tst_playback_engine tst_commands tst_fileops
             tst_presentation tst_mainmodes tst_mainlayout tst_backgroundcomposer tst_windowmodes
             tst_telemetrypresenter tst_filecopier tst_postqueue)
    TESTS="^($(IFS='|'; echo "${TARGETS[*]}"))\$"
    # Qt, GLib and GStreamer are not built with the checker: their own
    # memory accesses are not checked (ignore_noninstrumented_modules), ours
    # are. Hand-overs through their locks that it cannot see are made
    # explicit in our code (base/ThreadCheck.h, base/PostQueue.h).
    # TSAN_EXTRA adds options (e.g. halt_on_error=0 to see every report).
    export TSAN_OPTIONS="suppressions=$SUPP/tsan.supp:ignore_noninstrumented_modules=1:halt_on_error=1:second_deadlock_stack=1:history_size=4${TSAN_EXTRA:+:$TSAN_EXTRA}"
    ;;
  *)
    echo "usage: $0 asan|tsan [build folder]" >&2
    exit 2
    ;;
esac

bash scripts/setup-deps.sh
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRAV_SANITIZE="$SANITIZE"
fi
start=$(date +%s)
cmake --build "$BUILD" -j "$JOBS" --target "${TARGETS[@]}"
built=$(date +%s)
cd "$BUILD"
status=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS" --timeout 1200 ${TESTS:+-R "$TESTS"} || status=$?
end=$(date +%s)
echo "$KIND: build $((built - start)) s, tests $((end - built)) s"
exit $status
