#!/bin/sh
# Packs the kernel test's initramfs: static busybox, the hid, hid-generic and uhid modules of
# kernel KVER, zorvanctl with the product data, the uhid mouse and the hidraw listing (debug
# information stripped), their shared libraries (found with ldd, copied to the same paths) and
# iconv's modules, init and the test script.
# Usage: build-initramfs.sh BUILD_DIR OUTPUT KVER
set -eu
BUILD=$1 OUT=$2 KVER=$3
HERE=$(cd "$(dirname "$0")" && pwd)
SRC=$(cd "$HERE/../.." && pwd)
ROOT=$(mktemp -d)
trap 'rm -rf "$ROOT"' EXIT

mkdir -p "$ROOT/bin" "$ROOT/mod" "$ROOT/proc" "$ROOT/sys" "$ROOT/dev" "$ROOT/tmp" "$ROOT/app" "$ROOT/tools"
chmod 0755 "$ROOT"  # the test also runs zorvanctl as a user
chmod 1777 "$ROOT/tmp"
cp "$(command -v busybox)" "$ROOT/bin/busybox"
for m in hid hid-generic uhid; do
  cp "/lib/modules/$KVER/kernel/drivers/hid/$m.ko" "$ROOT/mod/"
done
cp -R "$SRC/data/." "$ROOT/app/"
cp "$BUILD/bin/zorvanctl" "$ROOT/app/"
cp "$BUILD/tools/zorvan-uhid-mouse" "$BUILD/tools/zorvan-hidraw-list" "$ROOT/tools/"
programs="$ROOT/app/zorvanctl $ROOT/tools/zorvan-uhid-mouse $ROOT/tools/zorvan-hidraw-list"
strip --strip-debug $programs
for lib in $(ldd $programs | grep -o '/[^ ]*\.so[^ ]*' | sort -u); do
  mkdir -p "$ROOT$(dirname "$lib")"
  cp -L "$lib" "$ROOT$lib"
done
# iconv's conversion modules: the language files are decoded through them.
libc=$(ldd "$ROOT/app/zorvanctl" | grep -o '/[^ ]*/libc\.so[^ ]*')
gconv=$(dirname "$(realpath "$libc")")/gconv
mkdir -p "$ROOT$gconv"
cp -R "$gconv/." "$ROOT$gconv/"
cp "$HERE/init" "$HERE/vm-test.sh" "$ROOT/"
# Not compressed: under software emulation copying is cheaper than inflating.
(cd "$ROOT" && find . | cpio -o -H newc --quiet) > "$OUT"
