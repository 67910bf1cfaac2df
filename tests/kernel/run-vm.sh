#!/bin/sh
# The kernel test: zorvanctl against the emulated mouse behind /dev/uhid, with the real Linux
# HID stack, in a small VM (Debian's kernel under qemu with software emulation: no KVM here).
# Usage: run-vm.sh [BUILD_DIR]   (default: build; zorvanctl and the tools must be built)
# Exit 0 on PASS, 1 on FAIL (the failing step is printed), 77 when qemu or a kernel with the
# hid, hid-generic and uhid modules is missing (scripts/install-deps installs them).
set -u
BUILD=$(cd "${1:-build}" && pwd) || exit 1
HERE=$(cd "$(dirname "$0")" && pwd)

skip() {
  echo "kernel test skipped: $*"
  exit 77
}

# The newest kernel that has its image and the three modules.
KVER=""
for dir in $(ls -d /lib/modules/* 2>/dev/null | sort -V -r); do
  k=${dir##*/}
  hid=$dir/kernel/drivers/hid
  if [ -r "/boot/vmlinuz-$k" ] && [ -f "$hid/hid.ko" ] && [ -f "$hid/hid-generic.ko" ] && [ -f "$hid/uhid.ko" ]; then
    KVER=$k
    break
  fi
done
command -v qemu-system-x86_64 > /dev/null || skip "qemu-system-x86_64 is not installed"
[ -n "$KVER" ] || skip "no kernel image with the hid, hid-generic and uhid modules (linux-image-amd64)"
command -v busybox > /dev/null && ldd "$(command -v busybox)" 2>&1 | grep -q "not a dynamic" ||
  skip "no static busybox (busybox-static)"
command -v cpio > /dev/null || skip "cpio is not installed"
for program in bin/zorvanctl tools/zorvan-uhid-mouse tools/zorvan-hidraw-list; do
  [ -x "$BUILD/$program" ] || { echo "kernel test: $BUILD/$program is not built"; exit 1; }
done

WORK=$BUILD/kernel-test
mkdir -p "$WORK"
started=$(date +%s.%N)

# The kernel unpacked once: booted directly (PVH) it skips its own decompression, which takes
# seconds under software emulation. Kept beside the build; the packed image when that fails.
KERNEL=/boot/vmlinuz-$KVER
VMLINUX=$WORK/vmlinux-$KVER
if ! [ "$VMLINUX" -nt "$KERNEL" ] && command -v xz > /dev/null; then
  rm -f "$VMLINUX"
  offset=$(LC_ALL=C grep -obUaP '\xfd7zXZ\x00' "$KERNEL" | head -n 1 | cut -d: -f1)
  if [ -n "$offset" ] && tail -c +$((offset + 1)) "$KERNEL" | xz -dc --single-stream > "$VMLINUX.part" 2> /dev/null &&
     [ "$(head -c 4 "$VMLINUX.part" | tail -c 3)" = "ELF" ]; then
    mv "$VMLINUX.part" "$VMLINUX"
  else
    rm -f "$VMLINUX.part"
  fi
fi
[ -s "$VMLINUX" ] && KERNEL=$VMLINUX

"$HERE/build-initramfs.sh" "$BUILD" "$WORK/initramfs.cpio" "$KVER" || { echo "kernel test: initramfs failed"; exit 1; }
# One small machine without network; the kernel's console is the log.
boot() {
  timeout 180 qemu-system-x86_64 -accel tcg -m 512 -smp 1 -nographic -no-reboot -nic none \
    -kernel "$1" -initrd "$WORK/initramfs.cpio" \
    -append "console=ttyS0 quiet panic=-1" > "$WORK/vm.log" 2>&1
}
boot "$KERNEL"
qemu=$?
if [ $qemu -ne 0 ] && [ "$KERNEL" = "$VMLINUX" ] && grep -q "PVH" "$WORK/vm.log"; then
  boot "/boot/vmlinuz-$KVER"  # this qemu cannot start the unpacked kernel
  qemu=$?
fi
ended=$(date +%s.%N)
# What the test printed, without the firmware's screen codes before it.
tr -d '\r' < "$WORK/vm.log" | sed -n '/init: kernel/,/init: test ended/p' | sed 's/^.*init: kernel/init: kernel/'
seconds=$(echo "$ended $started" | awk '{ printf "%.1f", $1 - $2 }')
if grep -q '^kernel-test: PASS' "$WORK/vm.log"; then
  echo "kernel test: PASS in $seconds s (kernel $KVER, qemu without KVM)"
  exit 0
fi
[ $qemu -eq 124 ] && echo "kernel test: the VM did not end within 180 s"
echo "kernel test: FAIL in $seconds s; the whole console is in $WORK/vm.log"
exit 1
