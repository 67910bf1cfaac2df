#!/bin/sh
# The kernel test, inside the VM: zorvanctl without --emulate against the uhid mouse, through
# the kernel's hidraw nodes, libudev and the kernel's uevents (no udevd runs here). The same
# commands also run against the in-process emulated mouse, and both must end with the same
# bytes. Prints "kernel-test: PASS", or "kernel-test: FAIL at step '...': why" and the logs.

VENDOR_PRODUCT="VID_25a7&PID_fa92"
HID_ID="HID_ID=0006:000025A7:0000FA92"
CONTROL=/tmp/mouse.ctl
MOUSE_LOG=/tmp/mouse.log
ZC="/app/zorvanctl --data-dir /tmp/data"
EMU="/app/zorvanctl --data-dir /tmp/data-emu --emulate=/tmp/emu.state"
STORE=/tmp/data/PRO_1a01.dct
STEP="start"
ACKS=0

now() { cut -d' ' -f1 /proc/uptime; }
step() {
  STEP=$1
  echo "kernel-test: $(now) s: $1"
}
fail() {
  echo "kernel-test: FAIL at step '$STEP': $* (last exit code ${RC:-none})"
  for f in $MOUSE_LOG /tmp/out /tmp/err /tmp/watch.out /tmp/watch.err; do
    [ -s "$f" ] && { echo "---- $f"; tail -n 40 "$f"; }
  done
  exit 1
}
# wait_for SECONDS COMMAND...: until COMMAND succeeds; false after SECONDS.
wait_for() {
  tenths=$(($1 * 10))
  shift
  until eval "$@" >/dev/null 2>&1; do
    tenths=$((tenths - 1))
    [ $tenths -gt 0 ] || return 1
    sleep 0.1
  done
}
mouse_nodes() { grep -l "$HID_ID" /sys/class/hidraw/*/device/uevent 2>/dev/null | wc -l; }
# node_of command|notify|unrelated: the hidraw node of that interface of the uhid mouse.
node_of() {
  for d in /sys/class/hidraw/*; do
    grep -q "HID_NAME=.*: $1 interface" "$d/device/uevent" && echo "/dev/${d##*/}"
  done
}
# ctl LINE: tells the uhid mouse, and waits until it has carried the line out.
ctl() {
  ACKS=$((ACKS + 1))
  echo "$*" > $CONTROL
  wait_for 10 "[ \$(grep -c '^zorvan-uhid-mouse: control: ' $MOUSE_LOG) -ge $ACKS ]" ||
    fail "the uhid mouse did not take '$*'"
  [ "$(grep '^zorvan-uhid-mouse: control: ' $MOUSE_LOG | tail -n 1)" = "zorvan-uhid-mouse: control: $*" ] ||
    fail "the uhid mouse refused '$*'"
}
# bytes FILE ADDR LEN: bytes of the active profile (profile 1) in a state file, as "02 53".
bytes() { od -An -tx1 -v -j $((16 + $2)) -N "$3" "$1" | tr -s ' \n' '  ' | sed 's/^ //; s/ $//'; }
expect_bytes() {
  got=$(bytes /tmp/uhid.state "$1" "$2")
  [ "$got" = "$3" ] || fail "$4: at $1 the mouse holds '$got', expected '$3'"
}
# same_json A B: the two profile documents are the same (else the difference is shown), but
# for the record's "id": the time-stamp id the local store gave the profile when it made it.
same_json() {
  grep -v '^        "id": ' "$1" > /tmp/a.json
  grep -v '^        "id": ' "$2" > /tmp/b.json
  diff /tmp/a.json /tmp/b.json > /tmp/diff || { head -n 20 /tmp/diff; return 1; }
}
# run COMMAND...: its output in /tmp/out and /tmp/err, its exit code in RC.
run() {
  "$@" > /tmp/out 2> /tmp/err
  RC=$?
  return $RC
}

# The settings changed, words joined by "-".
CHANGES="set-rate-500 assign-5-middle set-dpi-2-1600"
# The same commands against the in-process emulated mouse, meanwhile (the exchanges mostly
# wait): its profile documents and its memory are what the uhid mouse must end with.
emulated() {
  $EMU --json read > /tmp/emu-read.json || return 1
  for change in $CHANGES; do
    $EMU $(echo $change | tr - ' ') > /dev/null || return 1
  done
  $EMU --json read > /tmp/emu-read-back.json
}
{ emulated; echo $? > /tmp/emu.done; } 2> /tmp/emu.err &

step "the uhid mouse appears as three hidraw nodes"
/tools/zorvan-uhid-mouse --app-dir /app --control $CONTROL --state /tmp/uhid.state > $MOUSE_LOG 2>&1 &
MOUSE=$!
wait_for 15 '[ $(mouse_nodes) -eq 3 ]' || fail "$(mouse_nodes) hidraw node(s) of the mouse"
COMMAND_NODE=$(node_of command)
NOTIFY_NODE=$(node_of notify)
UNRELATED_NODE=$(node_of unrelated)
echo "kernel-test: command $COMMAND_NODE, notify $NOTIFY_NODE, unrelated $UNRELATED_NODE"

step "report lengths from the kernel's report descriptors"
/tools/zorvan-hidraw-list > /tmp/out 2> /tmp/err || fail "the hidraw listing failed"
for expected in "#$COMMAND_NODE input=0 feature=17" "#$NOTIFY_NODE input=17 feature=0" \
                "#$UNRELATED_NODE input=17 feature=17"; do
  grep "$VENDOR_PRODUCT" /tmp/out | grep -q "$expected\$" || fail "no interface '$expected'"
done

step "zorvanctl finds and identifies the mouse"
run $ZC --json list || fail "list failed"
grep -q '"connected": true' /tmp/out || fail "not identified"
grep -q '"cid": 26' /tmp/out && grep -q '"mid": 1' /tmp/out || fail "wrong model"
grep -q "\"path\": \"hid#${VENDOR_PRODUCT}&MI_00#.*#$COMMAND_NODE\"" /tmp/out || fail "not the command node"

step "the active profile read"
run $ZC --json read || fail "read failed"
cp /tmp/out /tmp/read-uhid.json

step "settings changed"
for change in $CHANGES; do
  run $ZC $(echo $change | tr - ' ') || fail "'$change' failed"
done

step "a node the user may not open is reported and the search goes on"
chmod 0666 "$COMMAND_NODE" "$NOTIFY_NODE"
chmod 0000 "$UNRELATED_NODE"
mkdir -p /etc /tmp/user-home
echo "root:x:0:0::/root:/bin/sh" > /etc/passwd
echo "user:x:1000:1000::/tmp/user-home:/bin/sh" >> /etc/passwd
printf 'root:x:0:\nuser:x:1000:\n' > /etc/group
chown 1000:1000 /tmp/user-home
run su -s /bin/sh user -c /tools/zorvan-hidraw-list
grep -q "#$UNRELATED_NODE input=0 feature=0 denied\$" /tmp/out || fail "the backend did not see the closed node"
grep -q "#$COMMAND_NODE input=0 feature=17\$" /tmp/out || fail "the backend did not read the open node"
run su -s /bin/sh user -c "/app/zorvanctl --data-dir /tmp/user-home/data -v list"
[ $? -eq 1 ] || fail "list did not fail for the closed node"
grep -q "connected" /tmp/out || fail "the mouse was not found beside the closed node"
grep -q "^zorvanctl: The mouse's receiver or cable is connected ($UNRELATED_NODE), but this user may not open it" /tmp/err ||
  fail "the closed node was not reported"
grep -q "FindDev: no permission to open hid#.*#$UNRELATED_NODE\$" /tmp/err || fail "the closed node was not logged"
chmod 0600 "$COMMAND_NODE" "$NOTIFY_NODE" "$UNRELATED_NODE"

step "unplugged during a read, the exchange times out and the read fails cleanly"
cp $STORE /tmp/store-before
ctl "unplug-at 30"
started=$(now)
run $ZC -v read
rc=$?
took=$(echo "$(now) $started" | awk '{ printf "%.1f", $1 - $2 }')
echo "kernel-test: the failed read took $took s"
[ $rc -eq 1 ] || fail "read ended with $rc"
grep -q "zorvan-uhid-mouse: unplugged" $MOUSE_LOG || fail "the mouse was not unplugged"
grep -q "WaitNotify TimeOut" /tmp/err || fail "the exchange did not end by time-out"
[ "$(grep -c '^zorvanctl: ' /tmp/err)" -eq 1 ] || fail "not one line of failure"
grep -q "^zorvanctl: the mouse's active profile could not be read" /tmp/err || fail "no failure message"
awk -v t="$took" 'BEGIN { exit !(t < 20) }' || fail "the failed read took $took s"
cmp -s $STORE /tmp/store-before || fail "the local profile changed"
[ "$(mouse_nodes)" -eq 0 ] || fail "the mouse's nodes are still there"

step "plugged back, the mouse is identified again and the changes read back"
ctl plug
wait_for 15 '[ $(mouse_nodes) -eq 3 ]' || fail "$(mouse_nodes) hidraw node(s) after plugging back"
run $ZC --json read || fail "read failed"
cp /tmp/out /tmp/read-back.json
grep -q '"polling_rate": 1280' /tmp/read-back.json || fail "the polling rate did not read back"

step "the same profiles and bytes as on the emulated mouse"
wait_for 60 '[ -f /tmp/emu.done ]' || fail "the emulated mouse's commands did not end"
[ "$(cat /tmp/emu.done)" = 0 ] || fail "the emulated mouse's commands failed: $(cat /tmp/emu.err)"
same_json /tmp/emu-read.json /tmp/read-uhid.json || fail "the profile read differs"
same_json /tmp/emu-read-back.json /tmp/read-back.json || fail "the profile read back differs"
ctl save
expect_bytes 0x00 2 "02 53" "polling rate 500"
expect_bytes 0x70 4 "01 04 00 50" "key 5 middle"
cmp /tmp/uhid.state /tmp/emu.state > /tmp/err 2>&1 || fail "the memory differs: $(cat /tmp/err)"

step "a running zorvanctl follows the mouse's buttons, its unplugging and its return"
$ZC watch 60 > /tmp/watch.out 2> /tmp/watch.err &
WATCH=$!
wait_for 20 'grep -q "profile 1 read" /tmp/watch.out' || fail "no first read"
ctl "press dpi-up"
wait_for 10 'grep -q "^DPI level " /tmp/watch.out' || fail "the DPI button was not reported"
ctl unplug
wait_for 10 'grep -q "^mouse gone" /tmp/watch.out' || fail "the unplugging was not noticed"
ctl plug
wait_for 20 '[ $(grep -c "profile 1 read" /tmp/watch.out) -ge 2 ]' || fail "the mouse was not taken over again"
kill $WATCH
wait $WATCH 2>/dev/null
cat /tmp/watch.out

kill $MOUSE
wait $MOUSE
echo "kernel-test: PASS"
