#!/usr/bin/env bash
# Builds novrix-run (in build/) and runs a script with it: examples/hello.488 unless one is named.
set -euo pipefail
# shellcheck source=scripts/build-common.sh
source "$(dirname "${BASH_SOURCE[0]}")/build-common.sh"

script=${1:-$novrixRoot/examples/hello.488}
bash "$novrixRoot/scripts/setup.sh"
configureBuild "$buildDir"
cmake --build "$buildDir" -j "$buildJobs" --target novrix-run
exec "$buildDir/apps/novrix-run" "$script"
