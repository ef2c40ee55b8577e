#!/usr/bin/env python3
"""Draws Caldrift's picture assets with Pillow and writes them next to this script.

Every picture is drawn afresh at 100 %, 150 % and 200 % of its size at 96 dpi, and those that
carry words once in Italian and once in English:
console_<it|en>_<scale>.png, logo_<scale>.png, mail_<it|en>_<scale>.png, web_<it|en>_<scale>.png,
and caldrift.ico with frames from 16 to 256 pixels.
Deterministic: no randomness, no timestamps; same bytes on every run.
"""
import io
import math
import os
import struct

from PIL import Image, ImageChops, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

SCALES = (100, 150, 200)               # percent of the size at 96 dpi
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)

# Flat regions of the console picture that the program draws over at run time,
# at 100 %; they grow with the picture (see scaled_box).
INDICATOR_BOX = (128, 208, 181, 269)   # inclusive; green drive letter goes here
INDICATOR_RGB = (20, 20, 28)
STRIP_BOX = (0, 283, 90, 299)          # inclusive; "PSP Version" goes here
STRIP_RGB = (235, 235, 225)

# The words of the pictures, by language.
CONSOLE_WORDS = {"it": ("Trascina", "QUI"), "en": ("Drag", "HERE")}
MAIL_WORDS = {"it": "Mandami Una Mail", "en": "Send Me An E-mail"}
WEB_WORDS = {"it": "Sito Web", "en": "Web Site"}

NAVY = (34, 48, 96)
BODY = (96, 102, 118)
BODY_EDGE = (50, 54, 66)
SCREEN = (24, 32, 56)
ORANGE = (240, 138, 36)


def font(size, bold=True, condensed=False):
    name = "DejaVuSans" + ("Condensed" if condensed else "") + ("-Bold" if bold else "") + ".ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), round(size))


def fit_font(text, max_width, size, max_height=None, condensed=False):
    """Largest bold font not above `size` whose rendering of `text` fits max_width
    (and whose ink fits max_height, when given)."""
    size = round(size)
    while size > 6:
        x0, y0, x1, y1 = font(size, condensed=condensed).getbbox(text)
        if x1 - x0 <= max_width and (max_height is None or y1 - y0 <= max_height):
            break
        size -= 1
    return font(size, condensed=condensed)


def scaled_box(box, scale):
    """An inclusive pixel box of the 100 % picture, covering the same area at `scale` percent."""
    f = scale / 100
    x0, y0, x1, y1 = box
    return (math.floor(x0 * f), math.floor(y0 * f), math.ceil((x1 + 1) * f) - 1,
            math.ceil((y1 + 1) * f) - 1)


def save_png(img, name):
    img.save(os.path.join(HERE, name), optimize=True)


def text_centered(draw, cx, top, text, fnt, fill):
    """Draws text horizontally centred on cx with its ink top at `top`."""
    x0, y0, x1, _ = draw.textbbox((0, 0), text, font=fnt)
    draw.text((cx - (x0 + x1) / 2, top - y0), text, font=fnt, fill=fill)


class Canvas:
    """Supersampled RGB(A) drawing surface addressed in design units.

    The design is w x h units; one unit is `unit` final pixels across and down (a number, or
    an (x, y) pair for a design squeezed into a box of other proportions). The finished
    picture is drawn at its final size, never scaled from another one."""

    def __init__(self, w, h, bg, scale=4, mode="RGB", unit=1):
        self.ux, self.uy = unit if isinstance(unit, tuple) else (unit, unit)
        self.w, self.h, self.s = round(w * self.ux), round(h * self.uy), scale
        self.img = Image.new(mode, (self.w * scale, self.h * scale), bg)
        self.d = ImageDraw.Draw(self.img)

    def _x(self, v):
        return v * self.ux * self.s

    def _y(self, v):
        return v * self.uy * self.s

    def _len(self, v):
        return v * min(self.ux, self.uy) * self.s

    def _b(self, box):
        x0, y0, x1, y1 = box
        return [round(self._x(x0)), round(self._y(y0)), round(self._x(x1)), round(self._y(y1))]

    def _pts(self, pts):
        return [(self._x(x), self._y(y)) for x, y in pts]

    def rrect(self, box, r, fill, outline=None, width=0):
        self.d.rounded_rectangle(self._b(box), radius=self._len(r), fill=fill,
                                 outline=outline, width=round(self._len(width)))

    def rect(self, box, fill):
        self.d.rectangle(self._b(box), fill=fill)

    def circle(self, cx, cy, r, fill=None, outline=None, width=0, ry=None):
        ry = r if ry is None else ry
        self.d.ellipse(self._b((cx - r, cy - ry, cx + r, cy + ry)), fill=fill,
                       outline=outline, width=round(self._len(width)))

    def poly(self, pts, fill):
        self.d.polygon(self._pts(pts), fill=fill)

    def line(self, pts, fill, width):
        self.d.line(self._pts(pts), fill=fill, width=round(self._len(width)))

    def clipped_polys(self, polys, disc, fill):
        """Polygons filled only inside the ellipse box `disc`."""
        inside = Image.new("L", self.img.size, 0)
        shapes = Image.new("L", self.img.size, 0)
        sd = ImageDraw.Draw(shapes)
        for pts in polys:
            sd.polygon(self._pts(pts), fill=255)
        ImageDraw.Draw(inside).ellipse(self._b(disc), fill=255)
        self.img.paste(fill, mask=ImageChops.multiply(shapes, inside))

    def text(self, cx, top, text, size, fill):
        text_centered(self.d, self._x(cx), self._y(top), text, font(self._y(size)), fill)

    def text_at(self, x, bottom, text, size, fill, anchor="ls"):
        self.d.text((self._x(x), self._y(bottom)), text, font=font(self._y(size)),
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


def make_console(language, scale):
    f = scale / 100
    c = Canvas(300, 300, STRIP_RGB, unit=f)
    c.text(151, 8, "CALDRIFT", 36, (180, 186, 204))          # title shadow
    c.text(150, 7, "CALDRIFT", 36, NAVY)
    scr = draw_handheld(c, 6, 46, 294, 279, BODY, BODY_EDGE, SCREEN)
    scx = (scr[0] + scr[2]) / 2
    upper, lower = CONSOLE_WORDS[language]
    c.text(scx, 104, upper, 22, (226, 238, 255))
    c.text(scx, 136, lower, 28, (150, 220, 255))
    ix0, iy0, ix1, iy1 = INDICATOR_BOX
    c.rrect((ix0 - 6, iy0 - 6, ix1 + 6, iy1 + 6), 6, (62, 66, 80))   # slot bezel
    iy = (iy0 + iy1) / 2
    c.arrow(24, ix0 - 11, iy + 6, ORANGE)                    # from the left
    c.arrow(276, ix1 + 11, iy + 6, ORANGE)                   # from the right
    c.text_at(24, iy - 10, "drive", 14, (248, 248, 248), "ls")
    c.text_at(276, iy - 10, "PSP", 14, (248, 248, 248), "rs")
    img = c.result()
    d = ImageDraw.Draw(img)
    d.rectangle(scaled_box(INDICATOR_BOX, scale), fill=INDICATOR_RGB)   # exact flat areas last
    d.rectangle(scaled_box(STRIP_BOX, scale), fill=STRIP_RGB)
    save_png(img, f"console_{language}_{scale}.png")


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


def png_entry(img):
    """PNG-format icon image, as Windows Vista and later read for the 256-pixel frame."""
    out = io.BytesIO()
    img.save(out, format="PNG", optimize=True)
    return out.getvalue()


def make_icon():
    images = [png_entry(icon_image(s)) if s >= 256 else ico_entry(icon_image(s))
              for s in ICON_SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(ICON_SIZES, images):
        side = size % 256                       # 0 stands for 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(os.path.join(HERE, "caldrift.ico"), "wb") as f:
        f.write(out + b"".join(images))


def make_logo(scale):
    f = scale / 100
    c = Canvas(160, 146, (255, 255, 255), unit=f)
    scr = draw_handheld(c, 10, 10, 150, 96, (52, 58, 80), (26, 30, 44), (120, 176, 236))
    c.poly([(74, scr[1] + 8), (86, scr[1] + 8), (86, scr[1] + 20), (93, scr[1] + 20),
            (80, scr[3] - 6), (67, scr[1] + 20), (74, scr[1] + 20)], ORANGE)
    img = c.result()
    d = ImageDraw.Draw(img)
    text_centered(d, 80 * f, 108 * f, "CALDRIFT", fit_font("CALDRIFT", 148 * f, 26 * f), NAVY)
    save_png(img, f"logo_{scale}.png")


# The link pictures are shown 80 x 46 pixels at 96 dpi; their designs are laid out in
# larger boxes of other proportions and squeezed into that box, as the dialog always showed them.
LINK_SIZE = (80, 46)


def caption(img, words, band_top, colour):
    """The picture's words, hinted at its final size, as large as fit the band below band_top."""
    w, h = img.size
    band = h - band_top
    fnt = fit_font(words, w * 0.95, band, band * 0.8, condensed=True)
    x0, y0, x1, y1 = fnt.getbbox(words)
    top = band_top + (band - (y1 - y0)) / 2 - y0
    ImageDraw.Draw(img).text((round((w - (x0 + x1)) / 2), round(top)), words, font=fnt,
                             fill=colour)


def make_mail(language, scale):
    f = scale / 100
    dw, dh = 464, 350                                         # design box
    c = Canvas(dw, dh, (208, 226, 242), unit=(LINK_SIZE[0] * f / dw, LINK_SIZE[1] * f / dh))
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
    caption(img, MAIL_WORDS[language], math.floor(262 * c.uy), (34, 52, 112))
    save_png(img, f"mail_{language}_{scale}.png")


WEB_COLOURS = {
    "paper": (255, 255, 255), "shadow": (200, 208, 220), "sea": (26, 90, 178),
    "shine": (60, 128, 214), "land": (112, 190, 120), "grid": (150, 196, 240),
    "rim": (20, 56, 120), "words": (30, 44, 96),
}


def make_web(language, scale):
    f = scale / 100
    dw, dh = 1417, 1181                                       # design box
    col = WEB_COLOURS
    c = Canvas(dw, dh, col["paper"], unit=(LINK_SIZE[0] * f / dw, LINK_SIZE[1] * f / dh))
    cx, cy, r = dw // 2, 480, 400
    c.circle(cx + 24, cy + 30, r, col["shadow"])
    c.circle(cx, cy, r, col["sea"])
    c.d.ellipse(c._b((cx - r * 0.8, cy - r * 0.85, cx + r * 0.2, cy + r * 0.1)), fill=col["shine"])
    blobs = [
        [(-0.7, -0.55), (-0.25, -0.75), (0.0, -0.5), (-0.15, -0.2), (-0.35, 0.05),
         (-0.3, 0.45), (-0.5, 0.6), (-0.6, 0.2), (-0.85, -0.1)],
        [(0.15, -0.85), (0.6, -0.7), (0.85, -0.3), (0.6, -0.05), (0.3, -0.2), (0.1, -0.5)],
        [(0.2, 0.15), (0.55, 0.1), (0.7, 0.4), (0.45, 0.8), (0.25, 0.55)],
    ]
    c.clipped_polys([[(cx + x * r, cy + y * r) for x, y in blob] for blob in blobs],
                    (cx - r, cy - r, cx + r, cy + r), col["land"])
    # meridians and parallels
    for k in (1, 2):
        c.circle(cx, cy, r * math.sin(math.radians(30 * k)), None, col["grid"], 12, ry=r)
    c.line([(cx, cy - r), (cx, cy + r)], col["grid"], 12)
    for k in (-2, -1, 0, 1, 2):
        y = cy + r * math.sin(math.radians(30 * k))
        half = r * math.cos(math.radians(30 * k))
        c.line([(cx - half, y), (cx + half, y)], col["grid"], 12)
    c.circle(cx, cy, r, None, col["rim"], 20)
    img = c.result()
    caption(img, WEB_WORDS[language], math.floor(900 * c.uy), col["words"])
    save_png(img, f"web_{language}_{scale}.png")


if __name__ == "__main__":
    for percent in SCALES:
        for lang in ("it", "en"):
            make_console(lang, percent)
            make_mail(lang, percent)
            make_web(lang, percent)
        make_logo(percent)
    make_icon()
