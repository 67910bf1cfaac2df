#!/usr/bin/env python3
"""Whole journeys of a user through the real program: each starts `zorvan` with a fresh home
and the emulated mouse's state file, acts only through the window, ends the program as a user
does and checks what a user relies on: the mouse's memory (against what zorvanctl writes for
the same change), the files in the data folder, and what the next start shows.

    journeys.py --list
    journeys.py NAME BIN_DIR [OUTPUT_DIR]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import layout as L  # noqa: E402
from driver import CLOSE_BUTTON, DIALOGS, JOURNEYS, expect, expect_equal, journey, run, wait_for  # noqa: E402


def new_macro(j, name, keys):
    """On the macro page: a new macro named `name`, `keys` recorded into it, saved. While it
    records, the page's other commands, the macro tree's menu among them, say to stop first."""
    j.show_page(L.NAV_MACROS, "Macros")
    j.click_control("New macro")
    dialog = j.dialog()
    j.type(name, window=dialog)
    j.key("Return", window=dialog)
    j.wait_no_message()
    j.click_control(name)  # the tree's item: the macro to record into
    j.click_control("Start recording")
    j.wait_shows("Stop recording")
    j.click(*L.list_row(L.MACRO_TREE, 0), button=3)
    j.answer("Stop recording first.")
    j.key(*keys, window=j.window())
    j.click_control("Stop recording")
    j.click_control("Save")
    wait_for(lambda: f"{name}.qxm" in j.macro_files(), f"the macro file {name}.qxm")


def macro_events(j, name):
    """(code, action) of the events of the macro file `name` in the journey's macro folder."""
    import json
    shown = json.loads(j.ctl("--json", "macro", "show", os.path.join(j.data_dir, "Mac", f"{name}.qxm")))
    return [(event["code"], event["action"]) for event in shown["events"]]


def assign(j, key, function):
    """Key `key` gets `function`, an entry of the function menu's first level."""
    j.choose(L.key_button(key), L.key_menu_row(key, L.MENU.index(function)))
    j.wait_shows(f"Buttons {key}: {function}")


def pick_macro(j, key, name):
    """Key `key` gets macro `name` through its function menu and the macro picker."""
    j.show_page(L.NAV_KEYS, "Buttons")
    j.choose(L.key_button(key), L.key_menu_row(key, L.MENU.index("Macro")))
    j.dialog()
    j.click_control(name)
    j.click_control("OK")
    j.wait_shows(f"Buttons {key}: Macro - {name}")


@journey()
def macro_kept_across_restarts(j):
    """A macro recorded and saved is there after a restart, a key gets it through the picker,
    and the mouse then holds what `zorvanctl assign KEY macro NAME` writes; restarts never add
    copies of it. Clicks made while it recorded are not in it. An export that cannot be
    written says so."""
    j.start()
    new_macro(j, "Alpha", ["a", "b"])
    j.quit()
    expect_equal(macro_events(j, "Alpha"), [(0x41, 1), (0x41, 0), (0x42, 1), (0x42, 0)],
                 "the recorded events: the keys typed, no click")
    before_key = j.copy_state("before-key.state")

    j.start()
    j.show_page(L.NAV_MACROS, "Macros")
    j.wait_shows("Alpha")
    pick_macro(j, 4, "Alpha")
    j.quit()
    expected = j.reference(["assign", 4, "macro", "Alpha"], data_from=j.data_dir, state_from=before_key)
    expect_equal(j.memory(), expected.memory(), "the mouse's memory after the key got the macro")

    for _ in range(2):
        j.start()
        j.wait_shows("Buttons 4: Macro - Alpha")
        j.show_page(L.NAV_MACROS, "Macros")
        j.click_control("Alpha")
        wait_for(lambda: {"A", "B"} <= set(j.accessible().names("zorvan")), "the macro's events on the macro page")
        j.quit()
    expect_equal(j.macro_files(), ["Alpha.qxm"], "the macro folder")

    j.start()
    j.show_page(L.NAV_MACROS, "Macros")
    j.click_control("Alpha")
    j.choose_by_right_click(L.list_row(L.MACRO_TREE, 0), 0)  # the macro's menu: export
    j.choose_file("^Save As$", "/proc/Alpha.qxm")  # a place no file can be written to
    j.answer("/proc/Alpha.qxm")
    j.quit()


@journey()
def key_page_changes(j):
    """A key's function from its menu, a combination typed into the capture, a fire key with its
    count and interval, and the debounce time: the mouse then holds what zorvanctl writes for
    the same changes, and the next start shows them."""
    expected = j.reference(["assign", 5, "middle"], ["assign", 4, "combo", "Ctrl+A"], ["assign", 6, "fire", 2, 40],
                           ["set", "debounce", 14])
    j.start()
    assign(j, 5, "Middle click")

    j.choose(L.key_button(4), L.key_menu_row(4, L.MENU.index("Key combination")))
    capture = j.dialog()
    j.click_control("Ctrl")
    j.key("a", window=capture)
    j.click_control("OK")
    j.wait_no_message()
    j.wait_shows("Buttons 4: Ctrl + A")

    j.choose(L.key_button(6), L.key_menu_row(6, L.MENU.index("Fire key")))
    fire = j.dialog()
    j.click_control("Shots per press")
    j.key("ctrl+a", "2", window=fire)
    j.click_control("Interval")
    j.key("ctrl+a", "4", "0", window=fire)
    j.click_control("OK")
    j.wait_no_message()
    j.wait_shows("Buttons 6: Fire key")

    j.wait_described("Debounce", "12 ms")
    j.click_control("Raise the debounce time")
    j.click_control("Raise the debounce time")
    j.wait_described("Debounce", "14 ms")
    j.quit()
    expect_equal(j.memory(), expected.memory(), "the mouse's memory")

    j.start()
    for shown in ("Buttons 5: Middle click", "Buttons 4: Ctrl + A", "Buttons 6: Fire key"):
        j.wait_shows(shown)
    j.wait_described("Debounce", "14 ms")
    j.quit()


@journey()
def dpi_page_changes(j):
    """A DPI level dragged and one typed, the level count, the polling rate, ripple control and
    angle snapping: the mouse then holds what zorvanctl writes, and the next start shows them."""
    expected = j.reference(["set", "dpi", 3, 3200], ["set", "dpi", 2, 1200], ["set", "rate", 500],
                           ["set", "ripple", "on"], ["set", "angle-snap", "on"], ["set", "levels", 4])
    j.start()
    j.show_page(L.NAV_DPI, "DPI & Performance")
    j.drag(L.dpi_thumb(3, 14), L.dpi_thumb(3, 30))  # 1600 to 3200, the 15th and the 31st value
    j.wait_shows("3200")
    j.double_click(*L.dpi_value_text(2))
    number = j.dialog()
    j.key("ctrl+a", window=number)
    j.type("1234", window=number)
    j.key("Return", window=number)
    j.wait_no_message()
    j.wait_shows("1200")  # the sensor's value nearest to what was typed
    j.click(*L.RATE_RADIO[500])
    j.click(*L.RIPPLE_BOX)
    j.click(*L.ANGLE_SNAP_BOX)
    pick(j, L.DPI_LEVEL_COUNT, 3)
    wait_for(lambda: not j.shows("DPI 5"), "the rows above the level count to hide")
    j.quit()
    expect_equal(j.memory(), expected.memory(), "the mouse's memory")

    j.start()
    j.show_page(L.NAV_DPI, "DPI & Performance")
    names = j.accessible().names("zorvan")
    for shown in ("DPI 4", "1200", "3200"):
        expect(shown in names, f"the DPI page shows \"{shown}\" after a restart")
    expect("DPI 5" not in names, "the DPI page shows four levels after a restart")
    j.quit()


def sensor_values(j, sensor):
    """The DPI values of a sensor's table, as the program's configuration builds it."""
    import json
    document = json.loads(j.ctl_plain("--json", "cfg-check", os.path.join(j.app, "cfg.ini")))
    return next(table["Values"] for table in document["sensor_tables"] if table["Sensor"] == sensor)


def pick(j, combo, row):
    """Row `row` of the list that the combo button at `combo` opens."""
    j.choose(L.middle(combo), L.combo_row(combo, row))


@journey(pid2=True)
def lighting_page_changes(j):
    """The main zone's effect, a preset colour and then a typed one, light-off while moving and
    the sleep time: the mouse then holds what zorvanctl writes, and the next start shows them."""
    expected = j.reference(["light", "main", 1, "--colour", "0080FF"], ["set", "light-off", "off"],
                           ["set", "sleep", 900])
    j.start()
    j.show_page(L.NAV_LIGHTING, "Lighting")
    pick(j, L.LIGHT_EFFECT, L.EFFECTS.index("Static"))
    j.wait_shows("Static")
    j.click(*L.PRESET_COLOURS[0])  # red
    for field, value in (("R", "0"), ("G", "128"), ("B", "255")):
        j.click_control(field)
        j.key("ctrl+a")
        j.type(value)
    j.click(*L.LIGHT_OFF_BOX)
    pick(j, L.SLEEP_LIST, 4)  # 15 min
    j.wait_shows("15 min")
    j.quit()
    expect_equal(j.memory(), expected.memory(), "the mouse's memory")

    j.start()
    j.show_page(L.NAV_LIGHTING, "Lighting")
    for shown in ("Static", "15 min"):
        j.wait_shows(shown)
    j.quit()


@journey()
def profiles_and_profile_files(j):
    """The on-board profile chosen in the selector, a key changed there, the profile exported
    and, after another change, imported back through the file dialogs: the mouse then holds
    what zorvanctl writes for the switch and the change. Restoring the defaults afterwards
    leaves the mouse as zorvanctl's restore-defaults does."""
    expected = j.reference(["profile", 2], ["assign", 5, "middle"])
    exported = os.path.join(j.home, "Strix profile.qxa")
    j.start()
    reads = j.log_count("OnSyncOk")
    pick(j, L.PROFILE_SELECTOR, 1)  # profile 2
    j.wait_read(reads)
    assign(j, 5, "Middle click")
    j.click_control("Export")
    j.choose_file("^Save As$", exported)
    wait_for(lambda: os.path.exists(exported), "the exported profile file")
    assign(j, 5, "Forward")
    j.click_control("Import")
    j.choose_file("^Open$", exported)
    j.wait_shows("Buttons 5: Middle click")
    j.quit()
    expect_equal(j.memory(), expected.memory(), "the mouse's memory after the profile switch, export and import")

    expected = j.reference(["restore-defaults"])
    j.start()
    writes = j.log_count("Apply Over")
    j.click_control("Restore defaults")
    j.answer("Restore the default settings")
    j.wait_written(writes)
    j.wait_no_message()
    j.quit()
    expect_equal(j.memory(), expected.memory(), "the mouse's memory after restoring the defaults")


@journey(tray=True)
def backup_and_restore_from_the_tray(j):
    """Started into the tray, the whole mouse backed up from the tray's menu; then a change,
    and the backup restored from the tray: the mouse holds again what it held at the backup."""
    backup = os.path.join(j.home, "mouse.zvb")
    j.start(["--tray"], mouse=False)
    j.wait_read(0)
    j.tray_menu(L.TRAY_MENU.index("Back up mouse\u2026"))
    j.choose_file("^Back up mouse", backup)
    j.answer("backed up")
    expect(os.path.exists(backup), "the backup file was written")
    j.tray_menu(L.TRAY_MENU.index("Quit"))
    j.wait_exit()
    backed_up = j.memory()

    j.start()
    assign(j, 5, "Forward")
    j.tray_menu(L.TRAY_MENU.index("Restore mouse\u2026"))
    j.choose_file("^Restore mouse", backup)
    j.answer("What the mouse holds now will be replaced")
    j.answer("have been restored")
    j.wait_shows("Buttons 5: Back")
    j.quit()
    expect_equal(j.memory(), backed_up, "the mouse's memory after the restore")

@journey(devices={("DEV_4", "ShowMainEffect"): 0, ("DEV_4", "ShowLogoEffect"): 0})
def without_a_mouse_until_it_links(j):
    """Started while the receiver is there but the mouse is off: the pages show the last
    model's local profile and the state line says the mouse does not answer. With the lighting
    page open, the mouse comes on, and it is another model, one without lighting: the window
    reads it and shows it, on the buttons page."""
    j.start()  # the Strix, the first model: the next start remembers it
    assign(j, 5, "Middle click")
    j.quit()
    j.ctl("--model", "1a:04", "emulator", "link", "off", state=j.replace_state("drift.state"))

    j.start(mouse=False)
    j.wait_shows("Buttons 5: Middle click")  # the Strix's local profile, without a mouse
    j.wait_shows("switch it on")  # tc_state_mouseoff
    j.show_page(L.NAV_LIGHTING, "Lighting")
    j.wait_shows("Wave")  # the main effect of the Strix
    reads = j.log_count("OnSyncOk")
    j.ctl("emulator", "link", "on")
    j.wait_read(reads)
    j.wait_shows("Zorvan Drift")
    j.wait_shows("Buttons 5: Back")  # the Drift's own profile, read from it
    expect(not j.shows("Lighting"), "the lighting page and its button are gone for a model without lighting")
    j.quit()


@journey()
def language_kept_across_restarts(j):
    """The language chosen in the selector is the language of the next start."""
    j.start()
    pick(j, L.LANGUAGE_SELECTOR, 1)  # Deutsch
    j.wait_shows("Tasten")
    j.quit()
    j.start()
    j.wait_shows("Tasten")
    expect(not j.shows("Buttons"), "the window speaks German after a restart")
    j.quit()


@journey(options={"ApplyNow": 0})
def apply_now_off_keeps_changes_until_applied(j):
    """With ApplyNow 0 a change stays in the profile and the mouse keeps what it had until the
    window's Apply writes it; quitting with changes kept asks whether to write them. Declined,
    the mouse stays as it was."""
    # zorvanctl keeps its changes in the local profile too with ApplyNow 0: it writes them with
    # the shipped options.
    expected = j.reference(["assign", 5, "middle"], ["assign", 4, "back"], app_dir=j.bin_dir)
    j.start()
    assign(j, 5, "Middle click")
    j.wait_shows("Apply")
    writes = j.log_count("Apply Over")
    j.click_control("Apply")
    j.wait_written(writes)
    wait_for(lambda: not j.shows("Apply"), "the Apply button to go once nothing waits")
    assign(j, 4, "Back")
    j.click(*CLOSE_BUTTON)
    j.answer("not on the mouse yet", "OK")
    j.wait_exit()
    expect_equal(j.memory(), expected.memory(), "the mouse's memory after Apply and the answer at the end")

    before = j.memory()
    j.start()
    assign(j, 6, "Middle click")
    j.click(*CLOSE_BUTTON)
    j.answer("not on the mouse yet", "Cancel")
    j.wait_exit()
    expect_equal(j.memory(), before, "the mouse's memory when the changes were not to be written")


@journey(options={"OldAdvDlg": 1})
def older_dpi_layout_and_the_desktop_pointer(j):
    """The older DPI page on the Classic, the model made for it. Without a mouse, its pointer
    group still changes the desktop's pointer settings (here Plasma's, whose settings tool the
    journey stands in for). Once the mouse links, a level dragged to the end of its row and the
    polling rate reach the mouse as zorvanctl writes them."""
    j.ctl("--model", "1a:05", "emulator", "link", "off")
    base = j.copy_state("classic.state")
    calls = j.fake_desktop_tool("kwriteconfig5")
    j.extra_env["XDG_CURRENT_DESKTOP"] = "KDE"
    j.start(mouse=False)
    j.wait_shows("switch it on")
    j.show_page(L.NAV_DPI, "DPI & Performance")
    j.wait_shows("DPI 1")
    j.click(*L.OLD_PRECISION_BOX)
    left, top, width, height = L.OLD_POINTER_SPEED
    j.click(left + width - 3, top + height // 2)  # the end of the pointer speed's track: 20
    wait_for(lambda: os.path.exists(calls) and "XLbInptPointerAcceleration 1" in open(calls).read(),
             "the desktop's pointer speed to be set")
    expect(not j.desktop.windows_named(DIALOGS), "no message refuses the pointer settings without a mouse")
    expect("XLbInptAccelProfileFlat true" in open(calls).read(), "the desktop's pointer precision is off")

    reads = j.log_count("OnSyncOk")
    j.ctl("emulator", "link", "on")
    j.wait_read(reads)
    j.wait_shows("Zorvan Classic")
    values = sensor_values(j, 0x3104)
    wait_for(lambda: j.shows("DPI 4") and not j.shows("DPI 5"), "the Classic's four DPI levels")
    start = L.dpi_thumb(2, values.index(1200), len(values), L.OLD_DPI_ROW_WIDTH)  # its second level
    j.drag(start, L.dpi_thumb(2, len(values) - 1, len(values), L.OLD_DPI_ROW_WIDTH))
    j.wait_shows(str(values[-1]))
    j.click(*L.OLD_RATE_RADIO[250])
    j.quit()
    expected = j.reference(["emulator", "link", "on"], ["set", "dpi", 2, values[-1]], ["set", "rate", 250],
                           state_from=base)
    expect_equal(j.memory(), expected.memory(), "the mouse's memory")


@journey(pid2=True)
def logo_only_model(j):
    """The Ember lights only its logo: the lighting page edits the logo zone, and the mouse then
    holds what `zorvanctl light logo` writes."""
    j.ctl("--model", "1a:06", "emulator", "battery", "90")
    expected = j.reference(["light", "logo", 1, "--colour", "FF0000"])
    j.start()
    j.wait_shows("Zorvan Ember")
    j.show_page(L.NAV_LIGHTING, "Lighting")
    pick(j, L.LIGHT_EFFECT, L.EFFECTS.index("Static"))
    j.wait_shows("Static")
    j.click(*L.PRESET_COLOURS[0])  # red
    j.quit()
    expect_equal(j.memory(), expected.memory(), "the mouse's memory")


@journey()
def lift_off_distance(j):
    """The Vanta Pro has the lift-off distance: its second radio reaches the mouse as
    `zorvanctl set lod 2` does."""
    j.ctl("--model", "1a:03", "emulator", "battery", "90")
    expected = j.reference(["set", "lod", 2])
    j.start()
    j.wait_shows("Zorvan Vanta Pro")
    j.show_page(L.NAV_DPI, "DPI & Performance")
    j.click(*L.LOD_RADIO[2])
    j.quit()
    expect_equal(j.memory(), expected.memory(), "the mouse's memory")


if __name__ == "__main__":
    sys.exit(run(JOURNEYS))
