#!/usr/bin/env python3
"""Draws the window's images into res/: the application icon (256 x 256),
the 100 x 100 logo and the 1024 x 1024 background; for the desktop's icon
theme also the icon at 48 and 128 px and as SVG (the same shapes, scalable).

Standard library only (zlib + struct write the PNGs), so anyone can remake
the images with `python3 scripts/make_images.py`. The output is
deterministic: the same script always writes the same bytes.
"""

import math
import os
import struct
import zlib

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")


def write_png(path, width, height, pixel, alpha=False):
    """Writes a PNG whose colour at (x, y) is pixel(x, y) -> (r, g, b[, a])."""
    channels = 4 if alpha else 3
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter type None
        for x in range(width):
            rows.extend(pixel(x, y)[:channels])

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
           + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    return tuple(clamp(a[i] + (b[i] - a[i]) * t) for i in range(3))


# The four digit positions as four coloured bars of a spectrum: the motif of
# both the icon and the logo.
BAR_COLOURS = [(46, 110, 191), (40, 160, 140), (230, 160, 40), (200, 70, 70)]
BAR_HEIGHTS = [0.55, 0.85, 0.40, 0.70]


def emblem(u, v):
    """Colour of the emblem at (u, v) in [0, 1)^2, or None outside it."""
    cx, cy = u - 0.5, v - 0.5
    r = math.hypot(cx, cy)
    if r > 0.48:
        return None
    if r > 0.44:
        return (30, 50, 90)  # rim
    # Four bars standing on a base line.
    base = 0.78
    for i, (colour, height) in enumerate(zip(BAR_COLOURS, BAR_HEIGHTS)):
        left = 0.22 + i * 0.15
        if left <= u < left + 0.11 and base - height * 0.5 <= v < base:
            return colour
    if 0.18 <= u < 0.82 and base <= v < base + 0.03:
        return (30, 50, 90)
    return mix((250, 250, 245), (215, 228, 245), v)


def icon_svg():
    """The emblem as SVG on a 256 x 256 canvas: the shapes emblem() tests."""
    def px(t):
        return f"{t * 256:g}"

    def rgb(c):
        return "#%02x%02x%02x" % c

    rim = (30, 50, 90)
    base = 0.78
    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
        '  <defs>',
        '    <linearGradient id="face" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="0" y2="256">',
        f'      <stop offset="0" stop-color="{rgb((250, 250, 245))}"/>',
        f'      <stop offset="1" stop-color="{rgb((215, 228, 245))}"/>',
        '    </linearGradient>',
        '  </defs>',
        f'  <circle cx="128" cy="128" r="{px(0.48)}" fill="{rgb(rim)}"/>',
        f'  <circle cx="128" cy="128" r="{px(0.44)}" fill="url(#face)"/>',
    ]
    for i, (colour, height) in enumerate(zip(BAR_COLOURS, BAR_HEIGHTS)):
        top = base - height * 0.5
        parts.append(f'  <rect x="{px(0.22 + i * 0.15)}" y="{px(top)}" width="{px(0.11)}" '
                     f'height="{px(base - top)}" fill="{rgb(colour)}"/>')
    parts.append(f'  <rect x="{px(0.18)}" y="{px(base)}" width="{px(0.64)}" height="{px(0.03)}" '
                 f'fill="{rgb(rim)}"/>')
    parts.append('</svg>')
    return "\n".join(parts) + "\n"


def icon_pixel(size):
    def pixel(x, y):
        # 4 x 4 supersampling keeps the round rim smooth.
        acc = [0.0, 0.0, 0.0, 0.0]
        for sy in range(4):
            for sx in range(4):
                c = emblem((x + (sx + 0.5) / 4) / size, (y + (sy + 0.5) / 4) / size)
                if c is not None:
                    for k in range(3):
                        acc[k] += c[k]
                    acc[3] += 255
        if acc[3] == 0:
            return (0, 0, 0, 0)
        n = acc[3] / 255
        return (clamp(acc[0] / n), clamp(acc[1] / n), clamp(acc[2] / n), clamp(acc[3] / 16))
    return pixel


def logo_pixel(x, y):
    c = emblem((x + 0.5) / 100, (y + 0.5) / 100)
    return c if c is not None else (240, 240, 240)


def background_pixel(x, y):
    # A calm diagonal gradient with soft waves: the controls stay readable on it.
    u, v = x / 1023, y / 1023
    t = 0.5 * (u + v)
    base = mix((214, 226, 240), (160, 186, 214), t)
    wave = 0.5 + 0.5 * math.sin(14 * u + 6 * math.sin(5 * v))
    return mix(base, (235, 240, 248), 0.25 * wave)


def main():
    os.makedirs(RES, exist_ok=True)
    write_png(os.path.join(RES, "icon.png"), 256, 256, icon_pixel(256), alpha=True)
    for size in (48, 128):
        write_png(os.path.join(RES, f"icon-{size}.png"), size, size, icon_pixel(size), alpha=True)
    with open(os.path.join(RES, "icon.svg"), "w", encoding="ascii", newline="\n") as f:
        f.write(icon_svg())
    write_png(os.path.join(RES, "logo.png"), 100, 100, logo_pixel)
    write_png(os.path.join(RES, "background.png"), 1024, 1024, background_pixel)


if __name__ == "__main__":
    main()
