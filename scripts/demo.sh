#!/usr/bin/env bash
# Builds novrix-run and the IDE (in build/), runs a script headless (examples/hello.488 unless one is
# named), then starts the IDE when there is a display to show it on.
set -euo pipefail
# shellcheck source=scripts/build-common.sh
source "$(dirname "${BASH_SOURCE[0]}")/build-common.sh"

script=${1:-$novrixRoot/examples/hello.488}
bash "$novrixRoot/scripts/setup.sh"
configureBuild "$buildDir"
cmake --build "$buildDir" -j "$buildJobs" --target novrix-run novrix
"$buildDir/apps/novrix-run" "$script"
if [[ -n ${DISPLAY:-}${WAYLAND_DISPLAY:-} ]]; then
    echo "demo.sh: starting the IDE: $buildDir/apps/novrix"
    exec "$buildDir/apps/novrix"
fi
echo "demo.sh: no display; start the IDE on a desktop with $buildDir/apps/novrix"
