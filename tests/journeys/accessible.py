"""What the window shows, read as a screen reader reads it: through the accessibility bus of
the journey's own session bus (Qt registers there with QT_LINUX_ACCESSIBILITY_ALWAYS_ON)."""

import os


class Accessible:
    def __init__(self, environment):
        # pyatspi finds the session bus when it is imported.
        os.environ.update(environment)
        import pyatspi  # noqa: E402  (needs the environment above)
        self._atspi = pyatspi

    def application(self, name):
        desktop = self._atspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            try:
                app = desktop.getChildAtIndex(index)
                if app is not None and app.name == name:
                    return app
            except Exception:  # an application that went away meanwhile
                continue
        return None

    def _showing(self, app_name):
        """Every showing object of the application, in tree order."""
        app = self.application(app_name)
        if app is None:
            return []
        found = []
        showing = self._atspi.STATE_SHOWING

        def walk(node, depth):
            if depth > 40:
                return
            try:
                states = node.getState()
                if node.getRole() != self._atspi.ROLE_APPLICATION and not states.contains(showing):
                    return
                found.append(node)
                for i in range(node.childCount):
                    child = node.getChildAtIndex(i)
                    if child is not None:
                        walk(child, depth + 1)
            except Exception:  # the tree changed under the walk; the caller asks again
                return

        walk(app, 0)
        return found

    def controls(self, app_name):
        """(role, name, description) of every showing object of the application, in tree order."""
        found = []
        for node in self._showing(app_name):
            try:
                found.append((node.getRoleName(), node.name or "", node.description or ""))
            except Exception:
                continue
        return found

    def described(self, app_name):
        """(role, name, description, screen rectangle) of every showing object."""
        found = []
        for node in self._showing(app_name):
            try:
                box = node.queryComponent().getExtents(self._atspi.DESKTOP_COORDS)
                found.append((node.getRoleName(), node.name or "", node.description or "",
                              (box.x, box.y, box.width, box.height)))
            except Exception:
                continue
        return found

    def set_focused_text(self, app_name, text):
        """Puts `text` into the text field that has the keyboard focus, as a screen reader's
        user would, without typing it (so no completion list opens). False when no focused
        text field is found."""
        focused = self._atspi.STATE_FOCUSED
        for node in self._showing(app_name):
            try:
                if node.getState().contains(focused) and node.getRoleName() == "text":
                    return bool(node.queryEditableText().setTextContents(text))
            except Exception:
                continue
        return False

    def places(self, app_name, name):
        """Screen rectangles (x, y, width, height) of the showing objects named `name`."""
        found = []
        for node in self._showing(app_name):
            try:
                if node.name != name:
                    continue
                box = node.queryComponent().getExtents(self._atspi.DESKTOP_COORDS)
                found.append((box.x, box.y, box.width, box.height))
            except Exception:
                continue
        return found

    def names(self, app_name):
        return [name for _, name, _ in self.controls(app_name)]
