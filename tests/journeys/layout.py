"""Places in the main window (window pixels, normal size, the shipped skin and cfg.ini) for
the controls a journey reaches by position: those without a name of their own on the
accessibility bus (list rows, menu rows, colour cells, slider tracks). Named controls are
found by name (Journey.click_control)."""

PAGE = (2, 160)  # the page area's top-left corner (rcSubDlg)

# Navigation buttons: ptNavi 25,110, 60 wide, 4 apart, 49 high.
NAV_KEYS, NAV_DPI, NAV_MACROS, NAV_LIGHTING = ((25 + n * 64 + 30, 134) for n in range(4))


def page(x, y):
    return PAGE[0] + x, PAGE[1] + y


# Key page: key buttons at ptKey 72,77, 222 x 19, 29 apart (KEYH 10).
def key_button(key):
    """The middle of key button `key` (1-based)."""
    return page(72 + 111, 77 + (key - 1) * 29 + 9)


def key_menu_row(key, row):
    """Row `row` (0-based) of the function menu opened below key button `key`: 20 pixels a row
    from one pixel under the button."""
    bottom = PAGE[1] + 77 + (key - 1) * 29 + 19
    return PAGE[0] + 72 + 111, bottom + 1 + row * 20 + 10


# The function menu's first level, in order.
MENU = ["Left click", "Right click", "Middle click", "Forward", "Back", "Lighting effect switch",
        "Polling rate switch", "Profile switch", "Fire key", "Key combination", "Disable", "Macro", "DPI",
        "Multimedia", "Sniper DPI"]

PROFILE_SELECTOR = (185, 180, 111, 30)  # ptKey.x + 111 .. + 222, 20 .. 50 of the page
LANGUAGE_SELECTOR = (791, 10, 111, 30)  # ptMin - (161, 2)


def list_row(rect, row):
    """The middle of row `row` (20 pixels high) of a list whose rectangle is `rect` (page)."""
    left, top, right, _ = rect
    return page((left + right) // 2, top + 2 + row * 20 + 10)


# Macro page: the macro tree (rcMacroList) and the event list (rcKeyList).
MACRO_TREE = (100, 85, 326, 464)
EVENT_LIST = (401, 85, 627, 464)

# Function menu below a key, the fire key dialog and the combination capture are found by name.

# DPI page (newer layout, the Strix's PixArt 3325: 54 values over a 650-pixel bar, 10-pixel thumb).
DPI_ROW_LEFT, DPI_ROW_TOP, DPI_ROW_STEP = 122, 220, 39


def dpi_thumb(level, index, values=54, row_width=650):
    """The middle of level `level`'s (1-based) thumb standing at value `index` of the sensor's
    table (`values` long): the values spread evenly over the row less the 10-pixel thumb."""
    return (DPI_ROW_LEFT + 5 + index * (row_width - 10) // (values - 1),
            DPI_ROW_TOP + (level - 1) * DPI_ROW_STEP + 15)


def dpi_value_text(level):
    return 801, DPI_ROW_TOP + (level - 1) * DPI_ROW_STEP + 14


DPI_LEVEL_COUNT = (689, 185, 83, 19)
RATE_RADIO = {125: (940, 239), 250: (940, 318), 500: (940, 397), 1000: (940, 476)}
RIPPLE_BOX = (795, 600)
LOD_RADIO = {1: page(492 + 6, 468 + 6), 2: page(561 + 6, 468 + 6)}  # with ShowLOD
ANGLE_SNAP_BOX = (795, 646)


def middle(rect):
    x, y, width, height = rect
    return x + width // 2, y + height // 2


def combo_row(rect, row):
    """Row `row` (0-based) of the list that the combo button at `rect` (x, y, width, height)
    opens below itself: rows of 20 pixels from one pixel under the button."""
    x, y, width, height = rect
    return x + width // 2, y + height + 1 + row * 20 + 10


# Lighting page.
LIGHT_EFFECT = (132, 220, 147, 30)
EFFECTS = ["Static", "Breathing", "Wave", "Color cycle", "Flash", "Rainbow", "Off"]
PRESET_COLOURS = [(113 + 40 * (n % 7), 583 + 32 * (n // 7)) for n in range(14)]  # ptGrid 100,412
LIGHT_OFF_BOX = (565, 622)
SLEEP_LIST = (560, 643, 83, 19)

# The tray icon's menu, without its separators.
TRAY_MENU = ["Show Zorvan", "Back up mouse\u2026", "Restore mouse\u2026", "Start with the desktop", "Battery notifications",
             "Quit"]

# The DPI page's older layout (OldAdvDlg 1): 390-pixel level rows, the rates in one row, and the
# desktop's pointer settings.
OLD_RATE_RADIO = {125: (628, 239), 250: (730, 239), 500: (832, 239), 1000: (934, 239)}
OLD_POINTER_SPEED = (632, 485, 261, 10)  # ptMoveSpeed
OLD_PRECISION_BOX = (637, 507)
OLD_ONE_SCREEN_BOX = (637, 582)
OLD_DPI_ROW_WIDTH = 390
