"""A desktop of its own for one journey: an X server (Xvfb), a session bus with the
accessibility bus behind it, and on request a tray host. Everything it starts ends with it."""

import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import zlib

ACCESSIBILITY_BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


class Desktop:
    """Xvfb on a free display (the server picks it), its own session bus, optionally trayer."""

    def __init__(self, home, width=1280, height=1024, tray=False):
        self.home = home
        self.width, self.height = width, height
        self._procs = []
        self.env = {}
        self._start_x()
        self._start_bus()
        if tray:
            self._start_tray()

    def _spawn(self, argv, **kwargs):
        proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, start_new_session=True, **kwargs)
        self._procs.append(proc)
        return proc

    def _start_x(self):
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{self.width}x{self.height}x24",
                     "-nolisten", "tcp", "-noreset"],
                    pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def _start_bus(self):
        # The accessibility bus (at-spi-bus-launcher) is started by the session bus on request.
        proc = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=self.environment())
        address = proc.stdout.readline().decode().strip()
        if not address:
            raise RuntimeError("the session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        # Qt joins the accessibility bus only when its launcher is already on the session bus.
        self._spawn([ACCESSIBILITY_BUS_LAUNCHER, "--launch-immediately"], stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL, env=self.environment())
        deadline = time.monotonic() + 20
        while not self._bus_has("org.a11y.Bus"):
            if time.monotonic() > deadline:
                raise RuntimeError("the accessibility bus did not start")
            time.sleep(0.05)

    def _bus_has(self, name):
        result = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                 "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", f"string:{name}"],
                                env=self.environment(), capture_output=True, text=True)
        return "boolean true" in result.stdout

    def _start_tray(self):
        self._spawn(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "200",
                     "--heighttype", "pixel", "--height", "24"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=self.environment())
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if self.windows_named("^panel$"):
                return
            time.sleep(0.1)
        raise RuntimeError("the tray host did not start")

    def environment(self, extra=None):
        env = dict(os.environ)
        env.update(self.env)
        if extra:
            env.update(extra)
        return env

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.environment(), capture_output=True, text=True)
        if check and result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout

    def windows_named(self, pattern, visible=True):
        args = ["search"] + (["--onlyvisible"] if visible else []) + ["--name", pattern]
        return [int(w) for w in self.xdotool(*args, check=False).split()]

    def screenshot(self, path):
        """The whole screen as a PNG file. Each window is taken by itself and laid over the
        screen where it stands: without a compositor, the screen's own picture leaves windows
        with an alpha channel (the pop-up menus) black."""
        width, height, rows = self._xwd("-root")
        rows = [bytearray(row) for row in rows]
        for window in self.windows_named(".*"):
            try:
                w, h, window_rows = self._xwd("-id", str(window))
                place = self.xdotool("getwindowgeometry", "--shell", window)
            except RuntimeError:  # gone meanwhile
                continue
            geometry = dict(line.split("=", 1) for line in place.split() if "=" in line)
            left, top = int(geometry["X"]), int(geometry["Y"])
            if (w, h) == (width, height):
                continue
            for y in range(max(0, -top), min(h, height - top)):
                x0, x1 = max(0, -left), min(w, width - left)
                if x1 > x0:
                    rows[top + y][3 * (left + x0):3 * (left + x1)] = window_rows[y][3 * x0:3 * x1]
        write_png(path, width, height, [bytes(row) for row in rows])

    def _xwd(self, *which):
        result = subprocess.run(["xwd", *which, "-silent"], env=self.environment(), capture_output=True)
        if result.returncode != 0:
            raise RuntimeError(f"xwd {' '.join(which)} failed")
        return xwd_pixels(result.stdout)

    def close(self):
        for proc in reversed(self._procs):
            if proc.poll() is None:
                try:
                    os.killpg(proc.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for proc in reversed(self._procs):
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
            if proc.stdout:
                proc.stdout.close()
        self._procs.clear()


def xwd_pixels(raw):
    """Width, height and RGB rows of a true-colour ZPixmap XWD image (what xwd writes for Xvfb)."""
    fields = struct.unpack(">25I", raw[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks, colours = fields[14:17], fields[19]
    if bits_per_pixel not in (24, 32):
        raise RuntimeError(f"unexpected screen format: {bits_per_pixel} bits per pixel")
    size = bits_per_pixel // 8
    # Where each colour's byte sits in a pixel, from its mask.
    offsets = []
    for mask in masks:
        byte = ((mask & -mask).bit_length() - 1) // 8
        offsets.append(byte if byte_order == 0 else size - 1 - byte)
    data = raw[header_size + 12 * colours:]
    rows = []
    for y in range(height):
        line = data[y * bytes_per_line:y * bytes_per_line + width * size]
        row = bytearray(3 * width)
        for channel, offset in enumerate(offsets):
            row[channel::3] = line[offset::size]
        rows.append(bytes(row))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = b"".join(b"\x00" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(chunk(b"IEND", b""))


def scratch_folder(prefix):
    return tempfile.mkdtemp(prefix=prefix)


def remove_folder(path):
    shutil.rmtree(path, ignore_errors=True)
