"""Prints what a screen reader learns of Kivora's open windows through AT-SPI, one control a line:
role, name, the labels it is labelled by and its actions. Waits for the program to appear, and
for a line holding WAIT_FOR when that is given.
Usage: atspi_tree.py SECONDS [WAIT_FOR]"""
import sys
import time

import pyatspi


def lines(node, out):
    try:
        role = node.getRoleName()
        name = node.name
    except Exception:  # a control that went away while we read
        return
    labels = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            labels += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    try:
        action = node.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        actions = []
    if role in ("combo box", "push button", "link", "text", "spin button", "date editor"):
        out.append(f"{role}|{name}|{','.join(labels)}|{','.join(actions)}")
    for child in node:
        if child is not None and not child.getState().contains(pyatspi.STATE_DEFUNCT):
            lines(child, out)


def main():
    deadline = time.time() + float(sys.argv[1])
    wait_for = sys.argv[2] if len(sys.argv) > 2 else "|"
    while time.time() < deadline:
        apps = [a for a in pyatspi.Registry.getDesktop(0) if a is not None and "ivora" in a.name]
        out = []
        for app in apps:
            for window in app:
                if window is not None and window.getState().contains(pyatspi.STATE_SHOWING):
                    lines(window, out)
        if any(wait_for in line for line in out):
            print("\n".join(out))
            return 0
        time.sleep(0.2)
    print("no Kivora window on the accessibility bus", file=sys.stderr)
    return 1


sys.exit(main())
