#!/usr/bin/env bash
# `make screenshots` in every language and in the two doubled sizes (the 4K window, Qt's own
# scaling): the tool renders every picture without complaint, and each folder holds the same
# pictures as the first language.
#   screenshots-languages.sh ZORVAN_SCREENSHOTS BIN_DIR
set -euo pipefail
tool=$1
bin=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

ZORVAN_EMULATE=1 "$tool" "$bin" "$out" >/dev/null
ZORVAN_EMULATE=1 "$tool" "$bin" "$out/4k" --doubled >/dev/null
ZORVAN_EMULATE=1 "$tool" "$bin" "$out/qt-scaled" --qt-scaled >/dev/null
first=$(cd "$out" && ls -1 -- *.png)
folders=0
status=0
for folder in "$out"/*/; do
    case $(basename "$folder") in
        4k | qt-scaled) ;;
        *) folders=$((folders + 1)) ;;
    esac
    pictures=$(cd "$folder" && ls -1 -- *.png)
    if [[ $pictures != "$first" ]]; then
        echo "$(basename "$folder") differs from the first language:"
        diff <(echo "$first") <(echo "$pictures") || true
        status=1
    fi
done
if ((folders == 0)); then
    echo "no other language was rendered"
    status=1
fi
exit $status
