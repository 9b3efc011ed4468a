"""A picture with a menu, dialog or message box open differs from the picture before it exactly
inside that menu's, dialog's or box's rectangle, placed as the platform places it:

- the task menu: top-left corner at the tap's x and the taskbar's height (TrackPopupMenuEx with
  flags 0 aligns the menu's top-left corner with the anchor);
- the main menu: anchored at the screen's bottom-right pixel, it would leave the screen, so it is
  flipped to the anchor's other side: its last column and row end just before the anchor;
- a full-screen dialog: everything below the taskbar;
- a message box: centred on the screen.
Every pixel of the region's outline differs too, so the region is the whole rectangle. A dialog or
box becomes the active window, and the taskbar repaints to show it: for those, the taskbar's band
is left out of the comparison.

Usage: check_regions.py ORVO_SIM SCENARIO"""
import os
import subprocess
import sys
import tempfile

from PIL import Image, ImageChops


def region(before, after, below=0):
    diff = ImageChops.difference(before.convert("RGB"), after.convert("RGB"))
    if below:
        diff.paste((0, 0, 0), (0, 0, diff.width, below))
    box = diff.getbbox()
    if box is None:
        return None, False
    left, top, right, bottom = box
    outline = [(x, top) for x in range(left, right)] + [(x, bottom - 1) for x in range(left, right)]
    outline += [(left, y) for y in range(top, bottom)] + [(right - 1, y) for y in range(top, bottom)]
    return box, all(diff.getpixel(p) != (0, 0, 0) for p in outline)


def main():
    sim, scenario = sys.argv[1], os.path.abspath(sys.argv[2])
    failures = []
    with tempfile.TemporaryDirectory() as work:
        subprocess.run([sim, scenario], cwd=work, check=True, stdout=subprocess.DEVNULL)
        load = lambda name: Image.open(os.path.join(work, name))

        def check(name, before, rule, what, below=0):
            box, whole = region(load(before), load(name), below)
            if box is None or not whole or not rule(*box):
                failures.append(f"{name}: differs in {box} (outline whole: {whole}), expected {what}")

        check("task-menu.png", "before.png", lambda l, t, r, b: (l, t) == (125, 26), "top-left at (125, 26)")
        check("tray-menu.png", "before.png", lambda l, t, r, b: (r, b) == (239, 319), "bottom-right ending at (239, 319)")
        check("about.png", "before.png", lambda l, t, r, b: (l, t, r, b) == (0, 26, 240, 320), "(0, 26, 240, 320)",
              below=26)
        check("hot-reset.png", "before.png", lambda l, t, r, b: abs((l + r) - 240) <= 1 and abs((t + b) - 320) <= 1,
              "centred on the screen", below=26)
        check("vga-task-menu.png", "vga-before.png", lambda l, t, r, b: (l, t) == (125, 52), "top-left at (125, 52)")
    for f in failures:
        print(f)
    print(f"screen regions: {5 - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
