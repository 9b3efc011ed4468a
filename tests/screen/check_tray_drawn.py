"""The command bar of a device without a taskbar shows each notification icon as the notification
area holds it: in the first slot (16 x 16 at 96 dpi, right of a 20-pixel slot that ends 24 pixels
from the screen's right edge, centred in the bar of the taskbar's height, 26), the bar's colour
ANDed with the icon's mask and XORed with its colour image, as DrawIconEx with DI_NORMAL draws.
The images come from `tray-icon`, the pictures from `screenshot`.

Usage: check_tray_drawn.py ORVO_SIM SCENARIO"""
import os
import subprocess
import sys
import tempfile

from PIL import Image

WIDTH, HEIGHT, BAR, SLOT, ICON, RIGHT_GAP = 240, 320, 26, 20, 16, 24


def icons(log):
    lines = log.splitlines()
    found = []
    for i, line in enumerate(lines):
        if not line.startswith("tray-icon "):
            continue
        parts = line.split()
        if len(parts) != 4:
            sys.exit("no image in the notification area: " + line)
        w, h = int(parts[2]), int(parts[3])
        rows = [[int(p, 16) for p in row.split()] for row in lines[i + 1:i + 1 + 2 * h]]
        found.append((w, h, rows[:h], rows[h:]))
    return found


def main():
    sim, scenario = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as work:
        run = subprocess.run([sim, scenario], cwd=work, capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit(f"orvo-sim exited with {run.returncode}: {run.stderr}")
        failures = 0
        for n, (w, h, mask, colour) in enumerate(icons(run.stdout), start=1):
            picture = Image.open(os.path.join(work, f"tray-{n}.png")).convert("RGB")
            right = WIDTH - RIGHT_GAP
            left = right - SLOT + (SLOT - ICON) // 2 + (ICON - w) // 2
            top = HEIGHT - BAR + (BAR - ICON) // 2 + (ICON - h) // 2
            r, g, b = picture.getpixel((2, HEIGHT - 2))
            bar = (r << 16) | (g << 8) | b
            for y in range(h):
                for x in range(w):
                    want = (bar & mask[y][x]) ^ colour[y][x]
                    r, g, b = picture.getpixel((left + x, top + y))
                    got = (r << 16) | (g << 8) | b
                    if got != want:
                        failures += 1
                        if failures <= 5:
                            print(f"picture {n}: ({left + x}, {top + y}) is {got:06X}, the icon makes it {want:06X}")
        if not icons(run.stdout):
            sys.exit("no tray-icon in the log")
        sys.exit(1 if failures else 0)


main()
