#!/usr/bin/env python3
"""Draws Caldrift's picture assets with Pillow and writes them next to this script.

Outputs: console.bmp, caldrift.ico, logo.bmp, mail.jpg, web.gif.
Deterministic: no randomness, no timestamps; same bytes on every run.
"""
import math
import os
import struct

from PIL import Image, ImageChops, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

# Flat regions of console.bmp that the program draws over at run time.
INDICATOR_BOX = (128, 208, 181, 269)   # inclusive; green drive letter goes here
INDICATOR_RGB = (20, 20, 28)
STRIP_BOX = (0, 283, 90, 299)          # inclusive; "PSP Version" goes here
STRIP_RGB = (235, 235, 225)

NAVY = (34, 48, 96)
BODY = (96, 102, 118)
BODY_EDGE = (50, 54, 66)
SCREEN = (24, 32, 56)
ORANGE = (240, 138, 36)


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def fit_font(text, max_width, size):
    """Largest bold font not above `size` whose rendering of `text` fits max_width."""
    while size > 6 and font(size).getbbox(text)[2] > max_width:
        size -= 1
    return font(size)


def text_centered(draw, cx, top, text, fnt, fill):
    """Draws text horizontally centred on cx with its ink top at `top`."""
    x0, y0, x1, _ = draw.textbbox((0, 0), text, font=fnt)
    draw.text((cx - (x0 + x1) / 2, top - y0), text, font=fnt, fill=fill)


class Canvas:
    """Supersampled RGB(A) drawing surface addressed in final-pixel units."""

    def __init__(self, w, h, bg, scale=4, mode="RGB"):
        self.w, self.h, self.s = w, h, scale
        self.img = Image.new(mode, (w * scale, h * scale), bg)
        self.d = ImageDraw.Draw(self.img)

    def _b(self, box):
        return [round(v * self.s) for v in box]

    def rrect(self, box, r, fill, outline=None, width=0):
        self.d.rounded_rectangle(self._b(box), radius=r * self.s, fill=fill,
                                 outline=outline, width=round(width * self.s))

    def rect(self, box, fill):
        self.d.rectangle(self._b(box), fill=fill)

    def circle(self, cx, cy, r, fill, outline=None, width=0):
        self.d.ellipse(self._b((cx - r, cy - r, cx + r, cy + r)), fill=fill,
                       outline=outline, width=round(width * self.s))

    def poly(self, pts, fill):
        self.d.polygon([(x * self.s, y * self.s) for x, y in pts], fill=fill)

    def line(self, pts, fill, width):
        self.d.line([(x * self.s, y * self.s) for x, y in pts], fill=fill,
                    width=round(width * self.s))

    def text(self, cx, top, text, size, fill):
        text_centered(self.d, cx * self.s, top * self.s, text, font(size * self.s), fill)

    def text_at(self, x, bottom, text, size, fill, anchor="ls"):
        self.d.text((x * self.s, bottom * self.s), text, font=font(size * self.s),
                    fill=fill, anchor=anchor)

    def arrow(self, tail_x, tip_x, y, fill):
        """Horizontal arrow from tail_x to tip_x along y."""
        sign = 1 if tip_x > tail_x else -1
        base = tip_x - sign * 14
        self.rect((min(tail_x, base), y - 4, max(tail_x, base), y + 4), fill)
        self.poly([(base, y - 12), (tip_x, y), (base, y + 12)], fill)

    def result(self):
        img = self.img
        if img.mode == "RGBA":  # premultiply so transparent edges do not darken
            img = img.convert("RGBa")
        img = img.resize((self.w, self.h), Image.LANCZOS if self.s > 1 else Image.NEAREST)
        return img.convert("RGBA") if img.mode == "RGBa" else img


def draw_handheld(c, x0, y0, x1, y1, body, edge, screen, detail=True):
    """A wide handheld console filling the box; returns the screen box."""
    w, h = x1 - x0, y1 - y0
    bump_h = h * 0.11
    for bx in (x0 + w * 0.06, x1 - w * 0.06 - w * 0.27):   # shoulder bumps
        c.rrect((bx, y0, bx + w * 0.27, y0 + bump_h * 2.2), bump_h, edge)
    c.rrect((x0, y0 + bump_h, x1, y1), h * 0.2, body, edge, max(1, w / 100))
    scr = (x0 + w * 0.24, y0 + bump_h + h * 0.08, x1 - w * 0.24, y0 + h * 0.6)
    c.rrect((scr[0] - w * 0.028, scr[1] - w * 0.028, scr[2] + w * 0.028, scr[3] + w * 0.028),
            w * 0.03, edge)
    c.rect(scr, screen)
    cy = (scr[1] + scr[3]) / 2
    u = w / 290                                               # size unit
    # d-pad on the left
    dx = x0 + w * 0.12
    if detail:
        c.circle(dx, cy, 29 * u, tuple(v + 14 for v in body))
    c.rrect((dx - 22 * u, cy - 7 * u, dx + 22 * u, cy + 7 * u), 3 * u, edge)
    c.rrect((dx - 7 * u, cy - 22 * u, dx + 7 * u, cy + 22 * u), 3 * u, edge)
    # four face buttons on the right
    fx = x1 - w * 0.12
    if detail:
        c.circle(fx, cy, 29 * u, tuple(v + 14 for v in body))
    colours = [(70, 176, 120), (222, 72, 72), (80, 128, 222), (212, 110, 182)]
    for (ox, oy), col in zip([(0, -16), (16, 0), (0, 16), (-16, 0)], colours):
        c.circle(fx + ox * u, cy + oy * u, 8 * u, col if detail else edge)
    return scr


def make_console():
    c = Canvas(300, 300, STRIP_RGB)
    c.text(151, 8, "CALDRIFT", 36, (180, 186, 204))          # title shadow
    c.text(150, 7, "CALDRIFT", 36, NAVY)
    scr = draw_handheld(c, 6, 46, 294, 279, BODY, BODY_EDGE, SCREEN)
    scx = (scr[0] + scr[2]) / 2
    c.text(scx, 104, "Trascina", 22, (226, 238, 255))
    c.text(scx, 136, "QUI", 28, (150, 220, 255))
    ix0, iy0, ix1, iy1 = INDICATOR_BOX
    c.rrect((ix0 - 6, iy0 - 6, ix1 + 6, iy1 + 6), 6, (62, 66, 80))   # slot bezel
    iy = (iy0 + iy1) / 2
    c.arrow(24, ix0 - 11, iy + 6, ORANGE)                    # from the left
    c.arrow(276, ix1 + 11, iy + 6, ORANGE)                   # from the right
    c.text_at(24, iy - 10, "drive", 14, (248, 248, 248), "ls")
    c.text_at(276, iy - 10, "PSP", 14, (248, 248, 248), "rs")
    img = c.result()
    d = ImageDraw.Draw(img)
    d.rectangle(INDICATOR_BOX, fill=INDICATOR_RGB)           # exact flat areas last
    d.rectangle(STRIP_BOX, fill=STRIP_RGB)
    img.save(os.path.join(HERE, "console.bmp"))


def icon_image(size):
    """Small console with a drop arrow on its light screen, RGBA."""
    c = Canvas(size, size, (0, 0, 0, 0), scale=8, mode="RGBA")
    k = size / 32                                 # geometry is laid out on a 32 grid
    body, edge = (44, 50, 72, 255), (20, 22, 32, 255)
    c.rrect((1 * k, 8 * k, 31 * k, 27 * k), 7 * k, body, edge, max(1, 1.5 * k))
    c.rect((9 * k, 11 * k, 23 * k, 24 * k), (196, 230, 255, 255))      # screen
    c.rect((12.5 * k, 1 * k, 19.5 * k, 11 * k), ORANGE + (255,))        # drop arrow
    c.poly([(8 * k, 11 * k), (24 * k, 11 * k), (16 * k, 20 * k)], ORANGE + (255,))
    c.rect((2.5 * k, 16.5 * k, 8.5 * k, 18.5 * k), (150, 160, 190, 255))  # d-pad
    c.rect((4.5 * k, 14.5 * k, 6.5 * k, 20.5 * k), (150, 160, 190, 255))
    c.circle(27 * k, 15 * k, 1.6 * k, (222, 72, 72, 255))               # buttons
    c.circle(27 * k, 20 * k, 1.6 * k, (80, 160, 222, 255))
    return c.result()


def ico_entry(img):
    """BMP-format icon image: BITMAPINFOHEADER, BGRA bottom-up, 1-bit AND mask."""
    w, h = img.size
    px = img.load()
    xor = b"".join(bytes((px[x, y][2], px[x, y][1], px[x, y][0], px[x, y][3]))
                   for y in reversed(range(h)) for x in range(w))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] == 0:                 # 1 = transparent
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def make_icon():
    images = [ico_entry(icon_image(s)) for s in (16, 32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(os.path.join(HERE, "caldrift.ico"), "wb") as f:
        f.write(out + b"".join(images))


def make_logo():
    c = Canvas(160, 146, (255, 255, 255))
    scr = draw_handheld(c, 10, 10, 150, 96, (52, 58, 80), (26, 30, 44), (120, 176, 236))
    c.poly([(74, scr[1] + 8), (86, scr[1] + 8), (86, scr[1] + 20), (93, scr[1] + 20),
            (80, scr[3] - 6), (67, scr[1] + 20), (74, scr[1] + 20)], ORANGE)
    img = c.result()
    d = ImageDraw.Draw(img)
    text_centered(d, 80, 108, "CALDRIFT", fit_font("CALDRIFT", 148, 26), NAVY)
    img.save(os.path.join(HERE, "logo.bmp"))


def make_mail():
    c = Canvas(464, 350, (208, 226, 242), scale=2)
    x0, y0, x1, y1 = 72, 34, 392, 246
    mx = (x0 + x1) / 2
    c.rrect((x0 + 6, y0 + 8, x1 + 6, y1 + 8), 10, (170, 190, 212))      # shadow
    c.rrect((x0, y0, x1, y1), 10, (252, 248, 236), (120, 108, 92), 4)
    paper_edge = (120, 108, 92)
    c.line([(x0 + 4, y1 - 4), (mx, 150), (x1 - 4, y1 - 4)], paper_edge, 3)   # folds
    c.poly([(x0 + 3, y0 + 3), (x1 - 3, y0 + 3), (mx, 160)], (240, 232, 212))  # flap
    c.line([(x0 + 4, y0 + 4), (mx, 160), (x1 - 4, y0 + 4)], paper_edge, 4)
    c.circle(mx, 160, 16, (200, 48, 48), (150, 30, 30), 2)               # wax seal
    c.rect((x1 - 62, y0 + 14, x1 - 16, y0 + 68), (222, 72, 72))         # stamp
    c.rect((x1 - 56, y0 + 20, x1 - 22, y0 + 62), (250, 210, 200))
    img = c.result()
    d = ImageDraw.Draw(img)
    text_centered(d, 232, 276, "Mandami Una Mail", fit_font("Mandami Una Mail", 440, 44),
                  (34, 52, 112))
    img.save(os.path.join(HERE, "mail.jpg"), quality=90, progressive=False,
             optimize=False, subsampling=0)


# Fixed 16-colour palette for web.gif.
WEB_PALETTE = [
    (255, 255, 255), (236, 242, 250), (210, 224, 242), (30, 44, 96),
    (118, 132, 172), (180, 188, 212), (26, 90, 178), (60, 128, 214),
    (150, 196, 240), (52, 150, 82), (112, 190, 120), (20, 56, 120),
    (92, 100, 118), (240, 138, 36), (200, 208, 220), (0, 0, 0),
]


def make_web():
    w, h = 1417, 1181
    img = Image.new("RGB", (w, h), WEB_PALETTE[0])
    d = ImageDraw.Draw(img)
    cx, cy, r = w // 2, 480, 400
    d.ellipse((cx - r + 24, cy - r + 30, cx + r + 24, cy + r + 30), fill=WEB_PALETTE[14])
    d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=WEB_PALETTE[6])
    d.ellipse((cx - r * 0.8, cy - r * 0.85, cx + r * 0.2, cy + r * 0.1), fill=WEB_PALETTE[7])
    # land masses, clipped to the globe
    land = Image.new("L", (w, h), 0)
    ld = ImageDraw.Draw(land)
    blobs = [
        [(-0.7, -0.55), (-0.25, -0.75), (0.0, -0.5), (-0.15, -0.2), (-0.35, 0.05),
         (-0.3, 0.45), (-0.5, 0.6), (-0.6, 0.2), (-0.85, -0.1)],
        [(0.15, -0.85), (0.6, -0.7), (0.85, -0.3), (0.6, -0.05), (0.3, -0.2), (0.1, -0.5)],
        [(0.2, 0.15), (0.55, 0.1), (0.7, 0.4), (0.45, 0.8), (0.25, 0.55)],
    ]
    for blob in blobs:
        ld.polygon([(cx + x * r, cy + y * r) for x, y in blob], fill=255)
    disc = Image.new("L", (w, h), 0)
    ImageDraw.Draw(disc).ellipse((cx - r, cy - r, cx + r, cy + r), fill=255)
    img.paste(WEB_PALETTE[10], mask=ImageChops.multiply(land, disc))
    # meridians and parallels
    grid = WEB_PALETTE[8]
    for k in (1, 2):
        rx = r * math.sin(math.radians(30 * k))
        d.ellipse((cx - rx, cy - r, cx + rx, cy + r), outline=grid, width=8)
    d.line((cx, cy - r, cx, cy + r), fill=grid, width=8)
    for k in (-2, -1, 0, 1, 2):
        y = cy + r * math.sin(math.radians(30 * k))
        half = r * math.cos(math.radians(30 * k))
        d.line((cx - half, y, cx + half, y), fill=grid, width=8)
    d.ellipse((cx - r, cy - r, cx + r, cy + r), outline=WEB_PALETTE[11], width=14)
    text_centered(d, cx, 940, "Sito Web", fit_font("Sito Web", 1200, 190), WEB_PALETTE[3])
    pal = Image.new("P", (1, 1))
    pal.putpalette([v for rgb in WEB_PALETTE for v in rgb])
    out = img.quantize(palette=pal, dither=0)
    out.putpalette([v for rgb in WEB_PALETTE for v in rgb])   # exactly 16 entries
    out.save(os.path.join(HERE, "web.gif"), optimize=False)


if __name__ == "__main__":
    make_console()
    make_icon()
    make_logo()
    make_mail()
    make_web()
