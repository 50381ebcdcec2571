#!/usr/bin/env python3
"""Draws the desktop program's icon (a strip of chart paper with a pen
trace) and writes it as a Windows .ico with 32x32 and 16x16 images.

    tools/make_icon.py resources/HarvexUtility.ico
"""
import struct
import sys


def draw(size):
    paper = (250, 248, 236, 255)
    grid = (170, 200, 225, 255)
    frame = (60, 60, 70, 255)
    trace = (200, 30, 30, 255)
    px = [[paper for _ in range(size)] for _ in range(size)]
    step = max(size // 8, 2)
    for y in range(size):
        for x in range(size):
            if x % step == 0 or y % step == 0:
                px[y][x] = grid
            if x in (0, size - 1) or y in (0, size - 1):
                px[y][x] = frame
    # A recorder trace: rises, holds, falls and settles.
    heights = [0.25, 0.3, 0.5, 0.75, 0.8, 0.78, 0.6, 0.35, 0.3, 0.45, 0.5]
    prev = None
    for x in range(1, size - 1):
        t = (x - 1) / (size - 3) * (len(heights) - 1)
        i = min(int(t), len(heights) - 2)
        h = heights[i] + (heights[i + 1] - heights[i]) * (t - i)
        y = size - 2 - int(h * (size - 4))
        lo, hi = (y, y) if prev is None else (min(prev, y), max(prev, y))
        for yy in range(lo, hi + 1):
            px[yy][x] = trace
            if size >= 32 and yy + 1 < size - 1:
                px[yy + 1][x] = trace
        prev = y
    return px


def image(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    return header + xor + bytes(mask_row * size)


def main(path):
    sizes = (32, 16)
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/HarvexUtility.ico')
