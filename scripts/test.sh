#!/usr/bin/env bash
# Builds NOVRIX twice and runs the tests of both builds:
#   build/       normal build (RelWithDebInfo): every target, every test
#   build-asan/  AddressSanitizer + UndefinedBehaviorSanitizer: engine, novrix-run, novrix, unit, script and GUI tests
# Existing build folders are reused. Ends with one summary line; exits non-zero when anything failed.
set -uo pipefail
# shellcheck source=scripts/build-common.sh
source "$(dirname "${BASH_SOURCE[0]}")/build-common.sh"

started=$SECONDS
summary=()
failed=0

# step NAME COMMAND...: runs one step, notes its outcome for the summary.
step() {
    local name=$1
    shift
    local stepStart=$SECONDS
    echo "=== $name"
    if "$@"; then
        echo "=== $name: ok ($((SECONDS - stepStart)) s)"
        return 0
    fi
    echo "=== $name: FAILED"
    [[ $name == tests* ]] || summary+=("$name failed") # runTests has noted its own counts
    failed=1
    return 1
}

# runTests DIR [CTEST ARGS...]: runs ctest in DIR and adds its counts to the summary.
runTests() {
    local dir=$1
    shift
    local log="$dir/ctest-last.log"
    ctest --test-dir "$dir" -j "$buildJobs" --output-on-failure --no-tests=error --timeout 900 "$@" 2>&1 |
        tee "$log"
    local status=${PIPESTATUS[0]}
    local counts skipped
    counts=$(grep -Eo '[0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    skipped=$(grep -c '(Skipped)' "$log")
    summary+=("$(basename "$dir"): ${counts:-no test ran}, $skipped skipped")
    return "$status"
}

step "set-up" bash "$novrixRoot/scripts/setup.sh" || {
    echo "test.sh: FAILED: the set-up could not install the packages"
    exit 1
}

step "configure $buildDir" configureBuild "$buildDir" -DNOVRIX_SANITIZE=OFF &&
    step "build $buildDir" cmake --build "$buildDir" -j "$buildJobs" &&
    step "tests $buildDir" runTests "$buildDir"

step "configure $asanBuildDir" configureBuild "$asanBuildDir" -DNOVRIX_SANITIZE=ON &&
    step "build $asanBuildDir" cmake --build "$asanBuildDir" -j "$buildJobs" --target core-tests gui-tests &&
    step "tests $asanBuildDir" runTests "$asanBuildDir" -L '^(unit|script|gui)$'

minutes=$(((SECONDS - started + 59) / 60))
details=$(printf '%s; ' "${summary[@]}")
if ((failed)); then
    echo "test.sh: FAILED after $minutes min: ${details%; }"
    exit 1
fi
echo "test.sh: PASSED in $minutes min: ${details%; }"
