#!/usr/bin/env bash
# check-install.sh BUILD: `cmake --install` of the build folder into a scratch prefix, then the
# installed tree's checks.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cmake --install "$1" --prefix "$root/usr" >/dev/null
"$here/check-installed-tree.sh" "$root" /usr
