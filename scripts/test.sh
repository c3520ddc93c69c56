#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then the whole suite again built with
# the address and undefined-behaviour sanitizers, and the fuzzing targets for a bounded time.
# Every stage runs even when an earlier one failed; the summary at the end names each stage's
# result and time, and the script fails when any stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh || exit 1

results=()
failed=0
stage() {
    local name=$1
    shift
    local start=$SECONDS status=passed
    echo "==== $name"
    "$@" || { status=FAILED; failed=1; }
    results+=("$(printf '%-28s %-7s %5ss' "$name" "$status" $((SECONDS - start)))")
}
run_tests() { (cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"); }

stage "build" bash scripts/build.sh
stage "tests" run_tests
stage "tests under ASan+UBSan" bash scripts/sanitize.sh
stage "fuzzing" bash scripts/fuzz.sh

echo "==== summary"
printf '%s\n' "${results[@]}"
exit $failed
