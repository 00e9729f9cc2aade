#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/debian-packages.txt that are not installed yet.
# Silent and without network access when nothing is missing; needs root only when something is.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
read -r -d '' -a wanted < <(sed 's/#.*//' "$here/debian-packages.txt" && printf '\0') || true

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [[ $status == installed ]] || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

if ((EUID != 0)); then
    echo "setup.sh: missing Debian packages: ${missing[*]}" >&2
    echo "setup.sh: run this script as root to install them" >&2
    exit 1
fi
echo "setup.sh: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
