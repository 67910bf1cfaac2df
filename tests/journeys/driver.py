"""The driver every journey shares: a fresh home, the program's folder with the journey's
options, the emulated mouse's state file, the real `zorvan` on a desktop of its own, clicks at
the layout's coordinates and keys through the X server, waits for conditions (never fixed
sleeps), zorvanctl for the expected bytes, and a screenshot when a journey fails."""

import os
import re
import shutil
import subprocess
import sys
import threading
import time

from accessible import Accessible
from desktop import Desktop, remove_folder, scratch_folder

WINDOW = "^Zorvan$"
MESSAGE = "^ZorvanMsgTopWindow$"
# The skinned dialogs (messages, questions, inputs) and the progress of a whole-profile write.
DIALOGS = "^(ZorvanMsgTopWindow|MyProgressDlg\\.\\.)$"
# Condition waits on a loaded two-core machine: generous, since they end as soon as met.
PATIENCE = 60


class JourneyFailed(Exception):
    pass


def wait_for(condition, what, timeout=PATIENCE, interval=0.1):
    """Polls `condition` until it returns something true; that value is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise JourneyFailed(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class AppFolder:
    """A copy of the build's application folder whose cfg.ini carries the journey's options:
    the program takes its data from the folder it runs from, so the binary is copied and the
    rest linked."""

    def __init__(self, bin_dir, path, options=None, devices=None):
        os.makedirs(path)
        for entry in os.listdir(bin_dir):
            source = os.path.join(bin_dir, entry)
            if entry == "zorvan":
                shutil.copy2(source, path)
            elif entry != "cfg.ini":
                os.symlink(source, os.path.join(path, entry))
        with open(os.path.join(bin_dir, "cfg.ini"), encoding="utf-8") as f:
            text = f.read()
        # The diagnostic log lets the journeys wait for what the program did.
        text = set_option(text, "OPT", "Debug", "2")
        for key, value in (options or {}).items():
            text = set_option(text, "OPT", key, str(value))
        for (section, key), value in (devices or {}).items():
            text = set_option(text, section, key, str(value))
        with open(os.path.join(path, "cfg.ini"), "w", encoding="utf-8") as f:
            f.write(text)
        self.path = path


def set_option(ini_text, section, key, value):
    """`key=value` in [section] of an ini text, replacing the key's line or adding it."""
    lines = ini_text.split("\n")
    start = next(i for i, line in enumerate(lines) if line.strip() == f"[{section}]")
    end = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("[")), len(lines))
    for i in range(start + 1, end):
        if re.match(rf"^{re.escape(key)}\s*=", lines[i]):
            lines[i] = f"{key}={value}"
            return "\n".join(lines)
    lines.insert(start + 1, f"{key}={value}")
    return "\n".join(lines)


class Journey:
    """One journey: its home, its application folder, its mouse, its desktop."""

    def __init__(self, name, bin_dir, output_dir, options=None, devices=None, tray=False, pid2=False):
        self.name = name
        # The mouse appears under cfg.ini's PID2, which leaves its sleep time and light-off free.
        self.pid2 = pid2
        self.bin_dir = os.path.abspath(bin_dir)
        self.output_dir = output_dir
        self.root = scratch_folder(f"journey-{name}-")
        self.home = os.path.join(self.root, "home")
        os.makedirs(os.path.join(self.home, "run"), mode=0o700)
        self.app = AppFolder(self.bin_dir, os.path.join(self.root, "app"), options, devices).path
        self.state = os.path.join(self.root, "mouse.state")
        self.desktop = Desktop(self.home, tray=tray)
        self.process = None
        self._output = None
        self._a11y = None
        self.starts = 0
        self._references = 0
        self.extra_env = {}

    # ---- files of the journey's user ----
    @property
    def data_dir(self):
        return os.path.join(self.home, ".local", "share", "Zorvan")

    @property
    def log_file(self):
        return os.path.join(self.home, ".local", "state", "zorvan", "Log.txt")

    def log(self):
        try:
            with open(self.log_file, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def log_count(self, text):
        return self.log().count(text)

    def macro_files(self):
        folder = os.path.join(self.data_dir, "Mac")
        found = []
        for parent, _, files in os.walk(folder):
            found += [os.path.relpath(os.path.join(parent, f), folder) for f in files]
        return sorted(found)

    # ---- the program ----
    def fake_desktop_tool(self, name):
        """A program `name` on the journey's search path that only notes its arguments, one
        call a line, in the file it returns: the desktop's settings tools the program calls."""
        folder = os.path.join(self.root, "tools")
        os.makedirs(folder, exist_ok=True)
        calls = os.path.join(self.root, f"{name}.calls")
        path = os.path.join(folder, name)
        with open(path, "w") as f:
            f.write(f'#!/bin/sh\necho "$*" >> "{calls}"\n')
        os.chmod(path, 0o755)
        self.extra_env["PATH"] = folder + os.pathsep + os.environ.get("PATH", "")
        return calls

    def environment(self, extra=None):
        env = {
            "HOME": self.home,
            "XDG_RUNTIME_DIR": os.path.join(self.home, "run"),
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "ZORVAN_EMULATE": self.state,
            "ZORVAN_EMULATE_PID2": "1" if self.pid2 else "0",
        }
        for variable in ("XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"):
            env[variable] = ""
        env.update(self.extra_env)
        env.update(extra or {})
        return self.desktop.environment(env)

    def start(self, args=(), mouse=True, extra_env=None):
        """Starts the program and waits for its window; with `mouse`, also for the profile read
        that follows the take-over (the window then shows the mouse's profile)."""
        self.starts += 1
        reads_before = self.log_count("OnSyncOk")
        self._output = open(os.path.join(self.root, f"zorvan-{self.starts}.out"), "w")
        self.process = subprocess.Popen([os.path.join(self.app, "zorvan"), *args], env=self.environment(extra_env),
                                        stdout=self._output, stderr=subprocess.STDOUT, start_new_session=True)
        if "--tray" in args:
            wait_for(lambda: self.log_count("nDevNum=") >= self.starts, "the program's start")
        else:
            self.window()
        if mouse:
            self.wait_read(reads_before)

    def running(self):
        return self.process is not None and self.process.poll() is None

    def window(self):
        def shown():
            if not self.running():
                raise JourneyFailed(f"the program ended (exit {self.process.returncode}) before showing its window")
            found = self.desktop.windows_named(WINDOW)
            return found[0] if found else None
        return wait_for(shown, "the main window")

    def wait_read(self, reads_before):
        """A profile read ended after `reads_before` had, and the window shows its result: the
        pages are refreshed when the read ends, before the battery is asked, so the battery's
        answer after the read's end says the pages are done."""
        def shown():
            log = self.log()
            return log.count("OnSyncOk") > reads_before and "GetPower:" in log[log.rindex("OnSyncOk"):]
        wait_for(shown, "the profile read (OnSyncOk) and the pages refreshed after it")
        self.wait_no_message()

    def wait_written(self, writes_before):
        """A write started after `writes_before` were done, and the apply worker is idle again."""
        def idle():
            log = self.log()
            return log.count("Apply Over") > writes_before and log.count("Start Apply:") == log.count("Apply Over")
        wait_for(idle, "the apply worker to finish")

    def quit(self):
        """Ends the program with the window's close button (ExitType 0: the program exits)."""
        self.click(*CLOSE_BUTTON)
        self.wait_exit()

    def wait_exit(self):
        wait_for(lambda: not self.running(), "the program to end")
        code = self.process.returncode
        self._output.close()
        self.process = None
        if code != 0:
            raise JourneyFailed(f"the program ended with exit code {code}")

    # ---- the desktop ----
    def click(self, x, y, button=1, window=None):
        """A click at window coordinates (the main window unless another one is given)."""
        target = window if window is not None else self.window()
        self.desktop.xdotool("mousemove", "--window", target, x, y, "click", button)

    def show_page(self, navigation, title):
        """The navigation button at `navigation`, until the page titled `title` is on screen."""
        self.click(*navigation)
        wait_for(lambda: ("filler", title) in [(role, name) for role, name, _ in self.controls()],
                 f"the page \"{title}\"")

    def choose(self, opener, entry):
        """A click at `opener` (window coordinates) that opens a pop-up list (a function menu,
        a combo button's list), then, once the list is on the screen, a click on its `entry`."""
        self.open_popup(lambda: self.click(*opener))
        self.click(*entry)

    def choose_by_right_click(self, place, row):
        """A right click at `place` (window coordinates) opens a menu at the pointer; its row
        `row` (0-based, 20 pixels a row, the menu two pixels right of and below the pointer)."""
        self.open_popup(lambda: self.click(*place, button=3))
        self.click(place[0] + 2 + 40, place[1] + 2 + 1 + row * 20 + 10)

    def open_popup(self, opening, tries=1):
        """Runs `opening` until a new window of the program opens that is at least two list rows
        high: a pop-up list or menu, not a tooltip."""
        before = set(self.desktop.windows_named(".*"))

        def opened():
            return any(size and size[1] >= 40 for size in
                       (self.window_size(w, "zorvan") for w in set(self.desktop.windows_named(".*")) - before))

        for _ in range(tries):
            opening()
            try:
                wait_for(opened, "a pop-up list to open", timeout=PATIENCE if tries == 1 else 5)
                return
            except JourneyFailed:
                continue
        raise JourneyFailed("the pop-up list did not open")

    def double_click(self, x, y, window=None):
        target = window if window is not None else self.window()
        self.desktop.xdotool("mousemove", "--window", target, x, y, "click", "--repeat", 2, "--delay", 80, 1)

    def drag(self, start, end, steps=12, window=None):
        target = window if window is not None else self.window()
        self.desktop.xdotool("mousemove", "--window", target, *start, "mousedown", 1)
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.desktop.xdotool("mousemove", "--window", target, x, y)
        self.desktop.xdotool("mouseup", 1)

    def key(self, *keys, window=None):
        """Keys pressed on the keyboard (into `window`, given the focus first, when given)."""
        if window is not None:
            self.desktop.xdotool("windowfocus", "--sync", window)
        self.desktop.xdotool("key", "--delay", 60, *keys)

    def type(self, text, window=None):
        if window is not None:
            self.desktop.xdotool("windowfocus", "--sync", window)
        self.desktop.xdotool("type", "--delay", 60, text)

    def dialog(self, pattern=MESSAGE):
        """The newest visible window named `pattern` (skinned dialogs, file dialogs)."""
        found = wait_for(lambda: self.desktop.windows_named(pattern), f"a window named {pattern}")
        return found[-1]

    def answer(self, text, button="OK"):
        """In the program's dialog that says `text` (a part of it), the button `button`."""
        def dialog_box():
            # Only when it is the one dialog on screen: another one (the wait message of a read
            # that the answer's dialog came with) would take the click.
            dialogs = [(name, description, box) for node_role, name, description, box
                       in self.accessible().described("zorvan") if node_role == "dialog"]
            if len(dialogs) == 1 and (text in dialogs[0][1] or text in dialogs[0][0]):
                return dialogs[0][2]
            return None
        box = wait_for(dialog_box, f"a dialog saying \"{text}\", alone on the screen")
        inside = [p for p in self.accessible().places("zorvan", button)
                  if box[0] <= p[0] < box[0] + box[2] and box[1] <= p[1] < box[1] + box[3]]
        expect(inside, f"the dialog saying \"{text}\" has a button \"{button}\"")
        x, y, width, height = inside[0]
        self.dialog(DIALOGS)  # its window is on the screen

        def still_open():
            return any(role == "dialog" and (text in description or text in name)
                       for role, name, description, _ in self.accessible().described("zorvan"))

        # A click that comes while the dialog is still being mapped is lost; the dialog is modal,
        # so a second click can only reach it.
        for _ in range(3):
            self.desktop.xdotool("mousemove", "--sync", x + width // 2, y + height // 2, "click", 1)
            try:
                wait_for(lambda: not still_open(), f"the dialog saying \"{text}\" to close", timeout=5)
                return
            except JourneyFailed:
                continue
        raise JourneyFailed(f"the dialog saying \"{text}\" stayed open after its \"{button}\" was clicked")

    def choose_file(self, title, path):
        """In the file dialog titled `title` (a pattern): the file `path` put into its name
        field (through the accessibility bus: typed, a path opens the dialog's completion list,
        which takes the keys meant for the field), and Enter."""
        dialog = self.dialog(title)
        wait_for(lambda: self.accessible().set_focused_text("zorvan", path), "the file dialog's name field")
        self.key("Return", window=dialog)
        wait_for(lambda: dialog not in self.desktop.windows_named(title), f"the file dialog \"{title}\" to close")

    def tray_menu(self, entry):
        """The tray icon's menu (right button), and its entry number `entry` (0-based, the
        separators not counted) chosen with the keyboard."""
        def icon():
            # The icon's window sits in the tray host's panel, the size of its icons (22 pixels).
            for window in self.desktop.windows_named(".*", visible=False):
                if self.window_size(window, "zorvan") == (22, 22):
                    return window
            return None

        icon_window = wait_for(icon, "the tray icon")
        # The icon may take a moment after it appears before it answers a click.
        self.open_popup(lambda: self.click(11, 11, button=3, window=icon_window), tries=3)
        self.key(*["Down"] * (entry + 1), "Return")

    def window_size(self, window, name):
        """(width, height) of `window` when its name is `name`, else None."""
        if self.desktop.xdotool("getwindowname", window, check=False).strip() != name:
            return None
        fields = self.desktop.xdotool("getwindowgeometry", "--shell", window, check=False).split()
        geometry = dict(field.split("=", 1) for field in fields if "=" in field)
        if "WIDTH" not in geometry:
            return None
        return int(geometry["WIDTH"]), int(geometry["HEIGHT"])

    def wait_no_message(self):
        wait_for(lambda: not self.desktop.windows_named(DIALOGS), "the program's dialogs to close")

    def shows(self, text):
        """The window shows a control whose accessible name contains `text`."""
        return any(text in name for name in self.accessible().names("zorvan"))

    def wait_shows(self, text, timeout=PATIENCE):
        wait_for(lambda: self.shows(text), f"the window to show \"{text}\"", timeout)

    def click_control(self, name, nth=0, button=1):
        """A click in the middle of the `nth` showing control named `name` (found where the
        layout put it: the accessibility bus tells each control's place)."""
        places = wait_for(lambda: self.accessible().places("zorvan", name)[nth:], f"a control named \"{name}\"")
        x, y, width, height = places[0]
        self.desktop.xdotool("mousemove", "--sync", x + width // 2, y + height // 2, "click", button)

    def wait_described(self, name, description, timeout=PATIENCE):
        """The control named `name` shows `description` (a value the control tells beside its name)."""
        wait_for(lambda: (name, description) in [(n, d) for _, n, d in self.controls()],
                 f"\"{name}\" to show \"{description}\"", timeout)

    def controls(self):
        return self.accessible().controls("zorvan")

    def accessible(self):
        if self._a11y is None:
            self._a11y = Accessible(self.desktop.environment())
        return self._a11y

    # ---- zorvanctl ----
    def ctl(self, *args, state=None, data_dir=None, app_dir=None, check=True):
        """zorvanctl on the journey's application folder and a mouse state (the journey's own
        unless another is given)."""
        argv = [os.path.join(self.bin_dir, "zorvanctl"), "--app-dir", app_dir or self.app,
                "--data-dir", data_dir or os.path.join(self.root, "cli-data"),
                f"--emulate={state or self.state}", *(["--pid2"] if self.pid2 else []), *map(str, args)]
        # A home of its own: its log stays out of the window's.
        home = os.path.join(self.root, "cli-home")
        os.makedirs(home, exist_ok=True)
        result = subprocess.run(argv, capture_output=True, text=True, env=dict(os.environ, HOME=home))
        if check and result.returncode != 0:
            raise JourneyFailed(f"zorvanctl {' '.join(map(str, args))} failed ({result.returncode}): "
                                f"{result.stderr.strip()}")
        return result.stdout

    def reference(self, *commands, data_from=None, app_dir=None, state_from=None):
        """What the mouse's memory becomes when zorvanctl makes `commands` on the mouse as it is
        now (a copy of its state file; a fresh mouse when there is none yet). The commands run
        in the background while the journey goes on; the result's `memory()` waits for them.
        `data_from`: a data folder whose copy zorvanctl uses (its macros, its local store);
        `app_dir`: another application folder (other options) for zorvanctl; `state_from`: the
        mouse as an earlier copy of its state file holds it."""
        self._references += 1
        name = f"reference-{self._references}"
        state = os.path.join(self.root, f"{name}.state")
        if state_from or os.path.exists(self.state):
            shutil.copy2(state_from or self.state, state)
        data_dir = os.path.join(self.root, f"{name}-data")
        if data_from:
            shutil.copytree(data_from, data_dir)

        def make():
            for command in commands:
                self.ctl(*command, state=state, data_dir=data_dir, app_dir=app_dir)
            return self.memory(state=state)

        return Reference(threading.Thread, make)

    def replace_state(self, name):
        """A new mouse state file `name` that becomes the journey's mouse (zorvanctl makes it,
        the journey's next start uses it)."""
        path = os.path.join(self.root, name)
        self.state = path
        return path

    def ctl_plain(self, *args):
        """zorvanctl without a mouse (the product data checks)."""
        result = subprocess.run([os.path.join(self.bin_dir, "zorvanctl"), *map(str, args)], capture_output=True,
                                text=True)
        if result.returncode != 0:
            raise JourneyFailed(f"zorvanctl {' '.join(map(str, args))} failed: {result.stderr.strip()}")
        return result.stdout

    def copy_state(self, name):
        """A copy of the mouse's state file as it is now, for zorvanctl to change."""
        path = os.path.join(self.root, name)
        shutil.copy2(self.state, path)
        return path

    def memory(self, state=None, profile=None):
        """The emulated mouse's EEPROM (one on-board profile, the active one by default)."""
        args = ["emulator", "dump"] + (["--profile", profile] if profile else [])
        return self.ctl(*args, state=state)

    # ---- the end ----
    def fail(self, error):
        os.makedirs(self.output_dir, exist_ok=True)
        shot = os.path.join(self.output_dir, f"{self.name}.png")
        try:
            self.desktop.screenshot(shot)
            print(f"screenshot: {shot}")
        except Exception as e:  # the journey's own failure is the one to report
            print(f"no screenshot: {e}")
        log = self.log()
        if log:
            print("---- the program's log (last 60 lines) ----")
            print("\n".join(log.splitlines()[-60:]))
        print(f"JOURNEY FAILED: {self.name}: {error}")

    def close(self):
        if self.running():
            self.process.kill()
            self.process.wait()
        if self._output and not self._output.closed:
            self._output.close()
        self.desktop.close()
        if os.environ.get("JOURNEY_KEEP"):
            print(f"kept: {self.root}")
        else:
            remove_folder(self.root)


class Reference:
    """A result made on a thread of its own."""

    def __init__(self, thread_class, make):
        self._result = None
        self._error = None

        def body():
            try:
                self._result = make()
            except Exception as error:  # handed to the journey when it asks
                self._error = error

        self._thread = thread_class(target=body, daemon=True)
        self._thread.start()

    def memory(self):
        self._thread.join()
        if self._error:
            raise self._error
        return self._result


def expect_equal(actual, expected, what):
    if actual != expected:
        import difflib
        diff = "\n".join(difflib.unified_diff(expected.splitlines(), actual.splitlines(), "expected", "actual",
                                              lineterm="", n=1))
        raise JourneyFailed(f"{what} differs:\n{diff}")


def expect(condition, what):
    if not condition:
        raise JourneyFailed(what)


# Places of the default skin at normal size, relative to the main window.
CLOSE_BUTTON = (992, 24)


def run(journeys, argv=None):
    """`journeys.py NAME BIN_DIR [OUTPUT_DIR]`: runs one journey; `--list` names them all."""
    argv = argv if argv is not None else sys.argv[1:]
    if argv and argv[0] == "--list":
        print("\n".join(journeys))
        return 0
    if len(argv) < 2 or argv[0] not in journeys:
        print(f"usage: journeys.py --list | NAME BIN_DIR [OUTPUT_DIR]; names: {', '.join(journeys)}")
        return 2
    name, bin_dir = argv[0], argv[1]
    output_dir = argv[2] if len(argv) > 2 else os.getcwd()
    started = time.monotonic()
    journey_fn = journeys[name]
    journey = None
    try:
        journey = journey_fn.make(name, bin_dir, output_dir)
        journey_fn(journey)
    except Exception as error:  # any failure: the screenshot and the log tell why
        if journey:
            journey.fail(error)
        else:
            print(f"JOURNEY FAILED: {name}: {error}")
        raise
    finally:
        if journey:
            journey.close()
    print(f"journey {name} passed in {time.monotonic() - started:.1f} s")
    return 0


JOURNEYS = {}


def journey(options=None, devices=None, tray=False, pid2=False):
    """Registers a journey under its function's name, with the options of its cfg.ini."""
    def register(function):
        function.make = lambda name, bin_dir, output_dir: Journey(name, bin_dir, output_dir, options, devices, tray,
                                                                  pid2)
        JOURNEYS[function.__name__] = function
        return function
    return register
