#!/usr/bin/env python3
"""Decodes every generated BMP and ICO file with the Python imaging library and checks that a
standard decoder sees what the program relies on: 8-bit palette bitmaps of the expected sizes,
icons whose images carry a mask that is transparent somewhere and opaque somewhere, and mask
bitmaps that agree with the transparency of the icons' own decoder."""
import os
import sys

from PIL import Image

BITMAPS = {
    'battery_16': 16, 'memory_16': 16, 'storage_16': 16, 'card_16': 16,
    'battery_32': 32, 'memory_32': 32, 'storage_32': 32, 'card_32': 32,
}
STRIPS = {'digits_16': (32, 16), 'digits_32': (64, 32)}
ICONS = {
    'charging_16': [16], 'battery_unknown_16': [16], 'no_card_16': [16], 'tray_small': [16],
    'charging_32': [32], 'battery_unknown_32': [32], 'no_card_32': [32], 'tray_large': [32],
    'program': [32, 16],
}


def main(directory):
    problems = []

    def check(condition, message):
        if not condition:
            problems.append(message)

    def open_bitmap(name, size):
        image = Image.open(os.path.join(directory, name + '.bmp'))
        image.load()
        check(image.format == 'BMP', name + ': not read as BMP')
        check(image.mode == 'P', name + ': not an 8-bit palette image but ' + image.mode)
        check(image.size == size, '%s: size %s, expected %s' % (name, image.size, size))
        return image.convert('RGB')

    for name, size in BITMAPS.items():
        colour = open_bitmap(name, (size, size))
        mask = open_bitmap(name + '_mask', (size, size))
        for y in range(size):
            for x in range(size):
                m = mask.getpixel((x, y))
                check(m in ((0, 0, 0), (255, 255, 255)), '%s mask: (%d,%d) is %s' % (name, x, y, m))
                if m == (255, 255, 255):
                    check(colour.getpixel((x, y)) == (0, 0, 0),
                          '%s: transparent (%d,%d) is not black' % (name, x, y))
    for name, size in STRIPS.items():
        strip = open_bitmap(name, size)
        colours = set(strip.getdata())
        check(colours == {(0, 0, 0), (255, 255, 255)}, name + ': colours ' + str(colours))

    for name, sizes in ICONS.items():
        icon = Image.open(os.path.join(directory, name + '.ico'))
        check(icon.format == 'ICO', name + ': not read as ICO')
        found = sorted(s[0] for s in icon.info.get('sizes', set()))
        check(found == sorted(sizes), '%s: sizes %s, expected %s' % (name, found, sizes))
        for size in sizes:
            icon.size = (size, size)
            rgba = icon.convert('RGBA')
            alphas = set(rgba.getchannel('A').getdata())
            check(0 in alphas and 255 in alphas, '%s %d: mask is not mixed: %s' % (name, size, alphas))
            for (r, g, b, a) in rgba.getdata():
                if a == 0:
                    check((r, g, b) == (0, 0, 0), '%s %d: transparent pixel is not black' % (name, size))
                    break

    for p in problems[:40]:
        print(p)
    if problems:
        print('%d problem(s)' % len(problems))
        return 1
    print('all images decode')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1]))
