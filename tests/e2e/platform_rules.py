#!/usr/bin/env python3
"""The agreement's platform-specific rules, applied alike to the simulator's expected log and to
the log of the run under Wine before they are compared line for line.

Rule 1, hidden windows in `dump-windows`: a hidden window has no place on the screen, and where
the window manager keeps it in the order is its own affair: Wine moves windows when it hands the
activation on (Orvo shows its main window and hides it at once) at a moment set by the X server's
focus events. Within each run of `window` lines, the visible windows keep their order and the
hidden ones follow them, in their own order. Which windows there are, and which are hidden, still
has to agree.

    platform_rules.py LOG   (writes the log with the rules applied to standard output)
"""
import sys


def apply_rules(lines):
    out = []
    block = []

    def flush():
        out.extend([line for line in block if not line.rstrip().endswith(" hidden")])
        out.extend([line for line in block if line.rstrip().endswith(" hidden")])
        block.clear()

    for line in lines:
        if line.startswith('window "'):
            block.append(line)
        else:
            flush()
            out.append(line)
    flush()
    return out


def main():
    with open(sys.argv[1], encoding="utf-8", newline="") as log:
        sys.stdout.write("".join(apply_rules(log.readlines())))


if __name__ == "__main__":
    main()
