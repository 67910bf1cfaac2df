#!/usr/bin/env bash
# install-on-debian12.sh PACKAGE.deb: installs the package with apt on a freshly bootstrapped
# Debian 12 (a minimal debootstrap system in a scratch folder, entered with chroot), so apt
# resolves the package's dependencies from Debian as on a user's machine. Then both programs run
# there, against the emulated mouse, with nothing else installed; then the package is removed
# and purged and nothing of it may be left. Needs root (sudo when not root) and Debian's mirror.
set -euo pipefail
deb=$(realpath "$1")
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
command -v debootstrap >/dev/null || "${as_root[@]}" apt-get install -y debootstrap >/dev/null
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

root=$(mktemp -d /tmp/zorvan-debian12.XXXXXX)
chmod 755 "$root"
cleanup() {
  for m in dev/pts dev proc sys; do "${as_root[@]}" umount "$root/$m" 2>/dev/null || true; done
  "${as_root[@]}" rm -rf --one-file-system "$root"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
inside() { "${as_root[@]}" chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  DEBIAN_FRONTEND=noninteractive "$@"; }

echo "bootstrapping Debian 12 in $root"
"${as_root[@]}" debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 ||
  { tail -20 "$root.log" >&2; exit 1; }
rm -f "$root.log"
for m in proc sys dev dev/pts; do "${as_root[@]}" mount --bind "/$m" "$root/$m"; done
"${as_root[@]}" cp "$deb" "$root/tmp/zorvan.deb"

inside apt-get update -q >/dev/null
inside apt-get install -y -q --no-install-recommends /tmp/zorvan.deb >/dev/null ||
  fail "apt-get install of the package"
installed=$(inside dpkg-query -L zorvan)
for f in /usr/bin/zorvan /usr/bin/zorvanctl /usr/share/zorvan/cfg.ini /usr/lib/udev/rules.d/70-zorvan.rules \
  /usr/share/applications/zorvan.desktop; do
  grep -qx "$f" <<<"$installed" || fail "$f is not installed"
done

# Both programs with only what the package depends on: zorvanctl reads the emulated mouse, the
# window starts (offscreen), runs until told to end, and ends through its normal exit.
inside zorvanctl --version | grep -q "^zorvanctl " || fail "zorvanctl --version"
out=$(inside zorvanctl --emulate read 2>&1) || fail "zorvanctl --emulate read: $out"
grep -qi "dpi" <<<"$out" || fail "zorvanctl --emulate read printed no DPI: $out"
inside sh -c 'cd /tmp && QT_QPA_PLATFORM=offscreen ZORVAN_EMULATE=1 zorvan >/tmp/gui.log 2>&1 & gui=$!; sleep 5
  kill -0 $gui 2>/dev/null || exit 1; kill -TERM $gui; wait $gui' ||
  fail "zorvan did not run until SIGTERM and end cleanly: $(inside cat /tmp/gui.log)"
inside test -d /root/.local/share/Zorvan || fail "zorvan made no data folder: $(inside cat /tmp/gui.log)"

inside apt-get remove -y -q zorvan >/dev/null || fail "apt-get remove"
inside test ! -e /usr/bin/zorvan || fail "zorvan is still there after remove"
inside apt-get purge -y -q zorvan >/dev/null || fail "apt-get purge"
inside dpkg-query -W zorvan >/dev/null 2>&1 && fail "dpkg still knows zorvan after purge"
for f in $installed; do
  inside test -f "$f" && fail "left behind after purge: $f"
done

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed installing $deb on Debian 12" >&2
  exit 1
fi
echo "package $deb: installed, ran and purged cleanly on a fresh Debian 12"
