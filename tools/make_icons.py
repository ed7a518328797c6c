#!/usr/bin/env python3
"""Draws the product icon and writes it as a Windows icon file (32-bit images 48, 32 and 16 pixels,
in that order, so a resource compiler numbers them 1 to 3) and as a PNG for the Linux desktop; with
--hicolor DIR, as the PNGs of a freedesktop icon theme, DIR/<n>x<n>/apps/lumo-screensaver.png."""
import math
import struct
import sys
import zlib

BACKGROUND = (128, 16, 24)  # dark red, as the About picture
FOREGROUND = (255, 255, 255)


def coverage(size, x, y):
    """Fractions of the pixel covered by the rounded square and by the play mark in it."""
    samples = 4
    square = mark = 0.0
    for sy in range(samples):
        for sx in range(samples):
            u = (x + (sx + 0.5) / samples) / size
            v = (y + (sy + 0.5) / samples) / size
            # Rounded square with a small margin.
            r = 0.18
            dx = max(abs(u - 0.5) - (0.46 - r), 0.0)
            dy = max(abs(v - 0.5) - (0.46 - r), 0.0)
            if dx * dx + dy * dy <= r * r:
                square += 1
                # A play triangle pointing right, inside a ring: a movie that plays.
                d = math.hypot(u - 0.5, v - 0.5)
                ring = 0.30 <= d <= 0.37
                tri = (u >= 0.40 and u <= 0.66
                       and abs(v - 0.5) <= (0.66 - u) * 0.62)
                if ring or tri:
                    mark += 1
    n = samples * samples
    return square / n, mark / n


def pixels(size):
    """Rows top to bottom of (r, g, b, a)."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            sq, mk = coverage(size, x, y)
            if sq == 0:
                row.append((0, 0, 0, 0))
                continue
            t = mk / sq if sq else 0
            colour = tuple(round(BACKGROUND[i] * (1 - t) + FOREGROUND[i] * t) for i in range(3))
            row.append(colour + (round(255 * sq),))
        rows.append(row)
    return rows


def ico_image(size):
    rows = pixels(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def write_ico(path, sizes):
    images = [ico_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


def write_png(path, size):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    raw = b''.join(b'\0' + bytes(c for px in row for c in px) for row in pixels(size))
    png = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
           + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(png)


HICOLOR_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == '--hicolor':
        import os
        for size in HICOLOR_SIZES:
            folder = os.path.join(sys.argv[2], '%dx%d' % (size, size), 'apps')
            os.makedirs(folder, exist_ok=True)
            write_png(os.path.join(folder, 'lumo-screensaver.png'), size)
        return
    if len(sys.argv) != 3:
        sys.exit('usage: make_icons.py OUT.ico OUT.png | make_icons.py --hicolor DIR')
    write_ico(sys.argv[1], [48, 32, 16])
    write_png(sys.argv[2], 128)


if __name__ == '__main__':
    main()
