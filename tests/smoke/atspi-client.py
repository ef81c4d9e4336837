#!/usr/bin/python3
"""A screen reader's view of dados, through the desktop's accessibility bus (AT-SPI).

Finds the application "dados", checks the roles and names of its controls, sets the number of
rolls through the value interface, presses "lanzar n veces" and the message's OK through the
action interface, reads the sum through the text interface, and sees the focus move when a
key (sent by xdotool) moves it. Every wait has a deadline; exits 1 with a message on failure.
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

LIMIT = 60  # seconds for each stage: generous, since the machine may be loaded

# Component name -> (role, name), as a sighted learner reads them from the labels.
EXPECTED = {
    "KelSpinEdit1": ("spin button", "Número de lanzamientos"),
    "KelSpinEdit2": ("spin button", "Número de lanzamientos"),
    "Button2": ("push button", "lanzar n veces"),
    "Button3": ("push button", "lanzar n veces"),
    "Button1": ("push button", "Limpiar datos"),
    "Edit7": ("text", "Suma"),
    "KelMaskEdit7": ("text", "se obtuvo par"),
    "KelMaskEdit8": ("text", "se obtuvo impar"),
    "Edit8": ("text", "veces par"),
    "Edit9": ("text", "veces impar"),
    "KelSpinEdit3": ("spin button", "primera cara"),
    "KelSpinEdit4": ("spin button", "segunda cara"),
    "Edit10": ("text", "f. absoluta de uno u otro"),
    "KelMaskEdit9": ("text", "f. relativa de uno u otro"),
    "Memo1": ("text", "Nota"),
    "Image1": ("image", "P(A) = casos favorables / casos posibles"),
    "VoDice1": ("image", "Dado"),
    "VoDice2": ("image", "Primer dado"),
    "VoDice3": ("image", "Segundo dado"),
    "TabSheet1": ("page tab", None),
    "TabSheet2": ("page tab", None),
    "GroupBox1": ("panel", None),
    "GroupBox2": ("panel", None),
}
for face in range(1, 7):
    EXPECTED[f"Edit{face}"] = ("text", f"f. absoluta del {face}")
    EXPECTED[f"KelMaskEdit{face}"] = ("text", f"f. relativa del {face}")


def fail(message):
    print(f"atspi-client: FAIL: {message}", file=sys.stderr)
    sys.exit(1)


context = GLib.MainContext.default()


def wait_for(what, probe):
    """Serves GLib (so events arrive) and asks `probe` until it gives a true value."""
    deadline = time.monotonic() + LIMIT
    while True:
        while context.pending():
            context.iteration(False)
        try:
            value = probe()
        except GLib.Error:
            value = None  # the object went or the program is busy: ask again
        if value:
            return value
        if time.monotonic() > deadline:
            fail(f"no {what} within {LIMIT}s".replace("{seen}", repr(applications())))
        context.iteration(False) or time.sleep(0.02)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    # The desktop's list of applications is cached: one that registered while this client was
    # starting may be missing from it until it is read anew.
    desktop.clear_cache()
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "dados":
            return app
    return None


def walk(node, found):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        found.append(child)
        walk(child, found)
    return found


def by_id(app):
    return {o.get_accessible_id(): o for o in walk(app, []) if o.get_accessible_id()}


def applications():
    desktop = pyatspi.Registry.getDesktop(0)
    return [a.name if a is not None else None for a in (desktop.getChildAtIndex(i) for i in range(desktop.childCount))]


def main():
    app = wait_for('application "dados" on the bus (applications seen: %s)' % "{seen}", application)
    if app.get_toolkit_name() != "dados":
        fail(f"toolkit name {app.get_toolkit_name()!r}")
    objects = wait_for("main window's controls", lambda: (lambda o: o if "Button2" in o else None)(by_id(app)))

    for component, (role, name) in EXPECTED.items():
        if component not in objects:
            fail(f"{component} is not in the tree")
        obj = objects[component]
        if obj.getRoleName() != role:
            fail(f"{component}: role {obj.getRoleName()!r}, expected {role!r}")
        if name is not None and obj.name != name:
            fail(f"{component}: name {obj.name!r}, expected {name!r}")
        if name is None and not obj.name:
            fail(f"{component}: no name")

    spin = objects["KelSpinEdit1"].queryValue()
    if (spin.currentValue, spin.minimumValue, spin.maximumValue) != (1, 1, 100000):
        fail(f"spin value {spin.currentValue} in [{spin.minimumValue}, {spin.maximumValue}]")
    spin.currentValue = 37
    wait_for("number of rolls 37", lambda: objects["KelSpinEdit1"].queryValue().currentValue == 37)

    objects["Button2"].queryAction().doAction(0)

    def alert():
        for window in walk(app, []):
            if window.getRole() == pyatspi.ROLE_ALERT:
                return window
        return None

    message = wait_for("alert", alert)
    if message.name != "dados":
        fail(f"alert named {message.name!r}")
    parts = walk(message, [])
    texts = [p.name for p in parts if p.getRole() == pyatspi.ROLE_LABEL]
    if "se ha lanzado el dado 37" not in texts:
        fail(f"alert's labels {texts!r}")
    ok = [p for p in parts if p.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    if len(ok) != 1:
        fail(f"alert's buttons {[p.name for p in ok]!r}")
    ok[0].queryAction().doAction(0)
    wait_for("alert to close", lambda: alert() is None)

    suma = objects["Edit7"].queryText()
    wait_for("Suma = 37", lambda: suma.getText(0, -1) == "37")

    focused = []
    pyatspi.Registry.registerEventListener(
        lambda event: focused.append(event.source.get_accessible_id()) if event.detail1 else None,
        "object:state-changed:focused",
    )
    before = [o.get_accessible_id() for o in walk(app, []) if o.getState().contains(pyatspi.STATE_FOCUSED)]
    subprocess.run(["xdotool", "key", "Tab"], check=True)
    moved = wait_for("focus event", lambda: [f for f in focused if f and f not in before])
    print(f"atspi-client: ok (focus moved to {moved[0]})")


main()
