# shellcheck shell=bash
# shellcheck disable=SC2034 # the variables are read by the scripts that source this file
# Sourced by demo.sh and test.sh: where the builds live and how they are configured.
# NOVRIX_BUILD_DIR, NOVRIX_ASAN_BUILD_DIR and NOVRIX_JOBS override the defaults.

novrixRoot=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
buildDir=${NOVRIX_BUILD_DIR:-$novrixRoot/build}
asanBuildDir=${NOVRIX_ASAN_BUILD_DIR:-$novrixRoot/build-asan}
buildJobs=${NOVRIX_JOBS:-2}

# configureBuild DIR [CMAKE ARGS...]: a new folder gets Ninja; an existing one keeps its generator.
configureBuild() {
    local dir=$1
    shift
    local generator=(-G Ninja)
    [[ -f $dir/CMakeCache.txt ]] && generator=()
    cmake -S "$novrixRoot" -B "$dir" "${generator[@]}" --log-level=WARNING "$@"
}
