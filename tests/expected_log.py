#!/usr/bin/env python3
"""Holds a scenario's log to its .expected file, which lists the lines its rule is about, in order.

    expected_log.py EXPECTED LOG     (exit 0 when the log matches, 1 with the reason otherwise)

Lines of the .expected file:

- any other line: a required line; the log must hold it, exactly, at this point of the order;
- `? LINE`: an optional line; the log may hold LINE here, or not (as the optional messages of
  the platform's message-sequence tests);
- `...`: any lines here, none included; indented (`  ...`), only lines indented at least as
  far: the entries of a menu or dialog dumped above it, whatever they are, and nothing else.

Lines of the log that the file does not mention are allowed only where a `...` stands, so a file
without one is still an exact match. The run script of the scenarios and the suite under Wine
both compare through this one rule.
"""
import sys

REQUIRED, OPTIONAL, ANY = 0, 1, 2


def parse(lines):
    """The pattern: (kind, text or indent, line number in the file)."""
    pattern = []
    for number, line in enumerate(lines, 1):
        if line.strip() == "...":
            pattern.append((ANY, len(line) - len(line.lstrip(" ")), number))
        elif line.startswith("? "):
            pattern.append((OPTIONAL, line[2:], number))
        else:
            pattern.append((REQUIRED, line, number))
    return pattern


def _closure(states, pattern):
    """Every pattern position reachable without taking a log line: optional lines and `...` may
    stand for nothing."""
    todo = list(states)
    seen = set(states)
    while todo:
        i = todo.pop()
        if i < len(pattern) and pattern[i][0] in (OPTIONAL, ANY) and i + 1 not in seen:
            seen.add(i + 1)
            todo.append(i + 1)
    return seen


def _takes(entry, line):
    kind, what, _ = entry
    if kind == ANY:
        return len(line) - len(line.lstrip(" ")) >= what and (what == 0 or line.strip() != "")
    return line == what


def match(expected_lines, log_lines):
    """None when the log matches; otherwise the reason, naming the lines concerned."""
    pattern = parse(expected_lines)
    states = _closure({0}, pattern)
    # The furthest point of the file that any reading reached, and the log lines taken by then:
    # a mismatch is reported there (a `...` early in the file keeps the match alive to the end).
    furthest, taken = max(states), 0
    for at, line in enumerate(log_lines, 1):
        following = set()
        for i in states:
            if i >= len(pattern):
                continue
            if pattern[i][0] == ANY and _takes(pattern[i], line):
                following.add(i)
            elif pattern[i][0] != ANY and _takes(pattern[i], line):
                following.add(i + 1)
        if not following:
            break
        states = _closure(following, pattern)
        if max(states) > furthest:
            furthest, taken = max(states), at
    else:
        if len(pattern) in states:
            return None
    return _mismatch(pattern, furthest, taken, log_lines)


def _mismatch(pattern, furthest, taken, log_lines):
    i = furthest
    while i < len(pattern) and pattern[i][0] != REQUIRED:
        i += 1
    wanted = ("line %d: %s" % (pattern[i][2], pattern[i][1])) if i < len(pattern) else "nothing more"
    if taken < len(log_lines):
        found = "log line %d: %s" % (taken + 1, log_lines[taken])
    else:
        found = "the end of the log"
    return "the log follows the expected file up to log line %d; then\n  expected: %s\n  found:    %s" % (
        taken, wanted, found)


def read_lines(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read().splitlines()


def main():
    if len(sys.argv) != 3:
        sys.stderr.write("usage: expected_log.py EXPECTED LOG\n")
        return 2
    expected, log = read_lines(sys.argv[1]), read_lines(sys.argv[2])
    reason = match(expected, log)
    if reason is None:
        return 0
    print("%s does not match the log: %s" % (sys.argv[1], reason))
    print("the log%s:" % ("" if len(log) <= 300 else ", its first 300 lines"))
    for n, line in enumerate(log[:300], 1):
        print("%5d  %s" % (n, line))
    return 1


if __name__ == "__main__":
    sys.exit(main())
