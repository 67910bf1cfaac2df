#!/usr/bin/env bash
# check-deb.sh PACKAGE.deb: unpacks the Debian package into a scratch root and checks it: the
# installed tree (check-installed-tree.sh), its dependencies from the programs' libraries, and
# the maintainer scripts that apply the udev rule.
set -euo pipefail
deb=$1
here=$(cd "$(dirname "$0")" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

dpkg-deb --info "$deb" >/dev/null
dpkg -x "$deb" "$root"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6widgets6 libqt6dbus6 libudev1 libc6 qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
dpkg-deb -e "$deb" "$root/DEBIAN"
grep -q "udevadm control --reload-rules" "$root/DEBIAN/postinst" || fail "postinst does not reload the udev rules"
grep -q "udevadm trigger --subsystem-match=hidraw" "$root/DEBIAN/postinst" || fail "postinst does not trigger hidraw"
grep -q "purge" "$root/DEBIAN/postrm" || fail "postrm does not handle purge"
# Nothing outside /usr: dpkg removes every file it installed, so a purge leaves nothing behind.
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/\|^\./$' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
rm -rf "$root/DEBIAN"
"$here/check-installed-tree.sh" "$root" /usr || fail "the unpacked tree"

# Installed and purged with dpkg into an empty root (its maintainer scripts run, and leave the
# system's udev alone there): nothing of the package is left behind.
target="$root/dpkg-root"
mkdir -p "$target/var/lib/dpkg/info" "$target/var/lib/dpkg/updates"
touch "$target/var/lib/dpkg/status" "$target/var/lib/dpkg/available"
dpkg_root=(dpkg --root="$target" --force-script-chrootless --log=/dev/null)
"${dpkg_root[@]}" --force-depends -i "$deb" >/dev/null 2>&1 || fail "dpkg -i into a scratch root"
[ -x "$target/usr/bin/zorvan" ] || fail "dpkg -i installed no zorvan"
"${dpkg_root[@]}" --purge zorvan >/dev/null 2>&1 || fail "dpkg --purge"
left=$(find "$target" -mindepth 1 -not -path "$target/var" -not -path "$target/var/lib" -not -path "$target/var/lib/dpkg*" | head)
[ -z "$left" ] || fail "left behind after purge: $left"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed for $deb" >&2
  exit 1
fi
echo "package $deb: all checks passed"
