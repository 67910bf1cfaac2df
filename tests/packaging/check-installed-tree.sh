#!/usr/bin/env bash
# check-installed-tree.sh ROOT PREFIX: checks an installed copy of Zorvan under ROOT/PREFIX
# (a `cmake --install` tree or an unpacked .deb): every file is where the desktop, udev, man
# and bash look for it, the desktop entry, the metainfo and the udev rule pass their
# validators, and the installed programs find their data with no build folder around.
set -euo pipefail
root=$1
prefix=$2
tree="$root$prefix"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

files=(
  bin/zorvan
  bin/zorvanctl
  share/zorvan/cfg.ini
  share/zorvan/text.xml
  share/zorvan/en/text.xml
  share/zorvan/de/text.xml
  share/zorvan/zh/text.xml
  share/zorvan/skins/key_nr.png
  share/zorvan/skins/key_nr@2x.png
  share/zorvan/appico.ico
  share/applications/zorvan.desktop
  share/metainfo/org.zorvan.Zorvan.metainfo.xml
  share/man/man1/zorvanctl.1
  share/bash-completion/completions/zorvanctl
  lib/udev/rules.d/70-zorvan.rules
)
for size in 16 22 24 32 48 64 128 256; do
  files+=("share/icons/hicolor/${size}x${size}/apps/zorvan.png")
done
for f in "${files[@]}"; do
  [ -e "$tree/$f" ] || fail "missing $prefix/$f"
done
for p in bin/zorvan bin/zorvanctl; do
  [ -x "$tree/$p" ] || fail "$prefix/$p is not executable"
done
if command -v file >/dev/null; then
  file "$tree/share/icons/hicolor/48x48/apps/zorvan.png" | grep -q "48 x 48" || fail "the 48x48 icon is not 48x48"
fi

# The validators.
desktop-file-validate "$tree/share/applications/zorvan.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --explain "$tree/share/metainfo/org.zorvan.Zorvan.metainfo.xml" ||
  fail "appstreamcli validate"
rules="$tree/lib/udev/rules.d/70-zorvan.rules"
if udevadm verify --help >/dev/null 2>&1; then
  udevadm verify "$rules" || fail "udevadm verify"
else
  # udev before 253 has no verify: every rule line must be made of the KEY op "value" pairs
  # udev knows that it may use, and the uaccess builtin the tag leads to must run.
  udevadm test-builtin uaccess /sys/devices/virtual/mem/null >/dev/null 2>&1 || fail "udevadm test-builtin uaccess"
  pair='(KERNEL|SUBSYSTEM|ATTRS\{[a-zA-Z]+\})=="[^"]*"|TAG\+="[a-z]+"'
  while IFS= read -r line; do
    [[ -z $line || $line == \#* ]] && continue
    rest=$(sed -E "s/^($pair)(, ($pair))*\$//" <<<"$line")
    [ -z "$rest" ] || fail "udev rule line not understood: $line"
  done <"$rules"
fi
grep -q 'TAG+="uaccess"' "$rules" || fail "the udev rule does not tag for uaccess"
vid=$(sed -n 's/^VID=0[xX]//p' "$tree/share/zorvan/cfg.ini" | tr A-F a-f)
for key in PID PID2; do
  pid=$(sed -n "s/^$key=0[xX]//p" "$tree/share/zorvan/cfg.ini" | tr A-F a-f)
  grep -q "ATTRS{idVendor}==\"$vid\", ATTRS{idProduct}==\"$pid\"" "$rules" || fail "no rule for $vid:$pid ($key)"
done
if command -v man >/dev/null; then
  MANWIDTH=80 man -l "$tree/share/man/man1/zorvanctl.1" 2>/dev/null | grep -q "cfg-check" || fail "the man page lists no commands"
fi
bash -n "$tree/share/bash-completion/completions/zorvanctl" || fail "the bash completion does not parse"

# The installed programs on their own: a copy moved away from where it was installed still finds
# its data beside it, with no build folder and a fresh home.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
moved="$home/moved"
mkdir -p "$moved"
cp -a "$tree/." "$moved/"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state"
out=$(cd / && "$moved/bin/zorvanctl" --emulate list 2>&1) || fail "installed zorvanctl --emulate list: $out"
grep -q "connected" <<<"$out" || fail "installed zorvanctl found no emulated mouse: $out"
"$moved/bin/zorvan" --version | grep -q "^zorvan " || fail "installed zorvan --version"
# The completion offers the program's commands.
completion=$(bash -c "source '$moved/share/bash-completion/completions/zorvanctl'
  COMP_WORDS=('$moved/bin/zorvanctl' cfg); COMP_CWORD=1; _zorvanctl; echo \${COMPREPLY[*]}")
[ "$completion" = "cfg-check" ] || fail "completion of 'cfg' gave '$completion'"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed for $tree" >&2
  exit 1
fi
echo "installed tree $tree: all checks passed"
