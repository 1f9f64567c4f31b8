"""Prints what a screen reader learns of Kivora's open windows through AT-SPI, one control a line:
its window's name, role, name, the labels it is labelled by and its actions. Waits until the program shows a
control whose line holds WAIT_FOR.
Usage: atspi_tree.py SECONDS WAIT_FOR"""
import sys
import time

import pyatspi


def controls(window, node, out):
    try:
        role, name, relations = node.getRoleName(), node.name, node.getRelationSet()
    except Exception:  # a control that went away while we read
        return
    labels = [relation.getTarget(i).name for relation in relations
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for i in range(relation.getNTargets())]
    try:
        action = node.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        actions = []
    if role in ("combo box", "push button", "link"):
        out.append(f"{window}|{role}|{name}|{','.join(labels)}|{','.join(actions)}")
    for child in node:
        if child is not None and not child.getState().contains(pyatspi.STATE_DEFUNCT):
            controls(window, child, out)


deadline = time.time() + float(sys.argv[1])
while time.time() < deadline:
    out = []
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and "ivora" in app.name:
            for window in app:
                if window is not None and window.getState().contains(pyatspi.STATE_SHOWING):
                    controls(window.name, window, out)
    if any(sys.argv[2] in line for line in out):
        print("\n".join(out))
        break
    time.sleep(0.2)
else:
    sys.exit("no Kivora window on the accessibility bus")
