#!/usr/bin/env python3
"""Renders every picture Tidewire carries and the resource file that lists them.

The pictures are drawn here, from shapes and lettering only, so that this
script is their source: site logos and tree backgrounds, the built-in pages'
pictures, the 16 x 16 image-list icons and the program icon (PNG sizes and
the SVG of the desktop entry). The rendered files are committed; run this
only to change them:

    /usr/bin/python3 resources/art/render_pictures.py

Needs python3-pil and fonts-dejavu-core (Debian packages). Output goes to
resources/pictures/ and resources/pictures.qrc.
"""

import math
import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)
OUT = os.path.join(RESOURCES, "pictures")
FONTS = "/usr/share/fonts/truetype/dejavu"

# Drawing happens at this many times the final size, then is scaled down:
# smooth curves and lettering without blurring edges that sit on whole pixels.
SS = 8

# The program's palette: sea and sand.
NAVY = (14, 42, 71)
OCEAN = (29, 95, 138)
TEAL = (31, 163, 163)
AQUA = (127, 216, 216)
FOAM = (230, 246, 246)
SAND = (242, 177, 52)
AMBER = (201, 133, 20)
CORAL = (228, 87, 46)
SLATE = (91, 103, 112)
MIST = (205, 212, 218)
PAPER = (255, 255, 255)
INK = (40, 48, 56)


def font(size, weight="Bold"):
    name = {"Bold": "DejaVuSans-Bold.ttf", "Book": "DejaVuSans.ttf",
            "Condensed": "DejaVuSansCondensed-Bold.ttf"}[weight]
    return ImageFont.truetype(os.path.join(FONTS, name), max(1, int(round(size))))


class Canvas:
    """A picture drawn in final-pixel coordinates at SS times the size."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width, self.height = width, height
        mode = "RGBA"
        if len(background) == 3:
            background = background + (255,)
        self.image = Image.new(mode, (width * SS, height * SS), background)
        self.draw = ImageDraw.Draw(self.image)

    @staticmethod
    def s(value):
        return value * SS

    def box(self, x0, y0, x1, y1):
        return [self.s(x0), self.s(y0), self.s(x1) - 1, self.s(y1) - 1]

    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=0):
        self.draw.rectangle(self.box(x0, y0, x1, y1), fill=fill, outline=outline, width=int(self.s(width)))

    def rounded(self, x0, y0, x1, y1, radius, fill=None, outline=None, width=0):
        self.draw.rounded_rectangle(self.box(x0, y0, x1, y1), radius=self.s(radius), fill=fill,
                                    outline=outline, width=int(self.s(width)))

    def ellipse(self, cx, cy, rx, ry=None, fill=None, outline=None, width=0):
        ry = rx if ry is None else ry
        self.draw.ellipse([self.s(cx - rx), self.s(cy - ry), self.s(cx + rx), self.s(cy + ry)], fill=fill,
                          outline=outline, width=int(self.s(width)))

    def polygon(self, points, fill=None, outline=None):
        self.draw.polygon([(self.s(x), self.s(y)) for x, y in points], fill=fill, outline=outline)

    def stroke(self, points, colour, width):
        """A polyline with round joins and caps."""
        pts = [(self.s(x), self.s(y)) for x, y in points]
        w = int(round(self.s(width)))
        self.draw.line(pts, fill=colour, width=w, joint="curve")
        r = self.s(width) / 2
        for x, y in (pts[0], pts[-1]):
            self.draw.ellipse([x - r, y - r, x + r, y + r], fill=colour)

    def text(self, x, y, text, size, colour, weight="Bold", anchor="la"):
        self.draw.text((self.s(x), self.s(y)), text, font=font(self.s(size), weight), fill=colour, anchor=anchor)

    def text_width(self, text, size, weight="Bold"):
        left, _, right, _ = self.draw.textbbox((0, 0), text, font=font(self.s(size), weight))
        return (right - left) / SS

    def gradient_rounded(self, x0, y0, x1, y1, radius, top, bottom):
        """A rounded rectangle filled with a vertical gradient."""
        w, h = self.s(x1 - x0), self.s(y1 - y0)
        fill = Image.new("RGBA", (int(w), int(h)))
        fd = ImageDraw.Draw(fill)
        for row in range(int(h)):
            t = row / max(1, h - 1)
            colour = tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom)) + (255,)
            fd.line([(0, row), (w, row)], fill=colour)
        mask = Image.new("L", (int(w), int(h)), 0)
        ImageDraw.Draw(mask).rounded_rectangle([0, 0, w - 1, h - 1], radius=self.s(radius), fill=255)
        self.image.paste(fill, (int(self.s(x0)), int(self.s(y0))), mask)

    def paste(self, other, x, y):
        self.image.alpha_composite(other.image, (int(self.s(x)), int(self.s(y))))

    def final(self):
        return self.image.resize((self.width, self.height), Image.LANCZOS)


def save_png(image, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.save(path, "PNG", optimize=True)


def save_jpeg(image, path, background=PAPER):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    flat = Image.new("RGB", image.size, background)
    flat.paste(image, mask=image.split()[3])
    flat.save(path, "JPEG", quality=93, subsampling=0, optimize=True)


def save_gif(image, path, background=PAPER):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    flat = Image.new("RGB", image.size, background)
    flat.paste(image, mask=image.split()[3])
    flat.quantize(colors=128, method=Image.MEDIANCUT, dither=Image.NONE).save(path, "GIF", optimize=True)


# --- The program's mark: two waves and a sun, on a sea-blue tile ----------

def wave_points(x0, x1, centre, amplitude, phase, steps=48):
    points = []
    for i in range(steps + 1):
        t = i / steps
        x = x0 + (x1 - x0) * t
        y = centre - amplitude * math.sin(2 * math.pi * (1.15 * t) + phase)
        points.append((x, y))
    return points


# The mark in a unit square: (kind, geometry, colour); shared by the PNGs
# and the SVG so that both show exactly the same picture.
MARK = {
    "radius": 0.23,
    "top": OCEAN,
    "bottom": NAVY,
    "sun": ((0.70, 0.29), 0.085, SAND),
    "waves": [
        (wave_points(0.17, 0.83, 0.50, 0.065, 0.35), 0.085, AQUA),
        (wave_points(0.17, 0.83, 0.70, 0.065, 0.35), 0.085, PAPER),
    ],
}


def draw_mark(canvas, x, y, size):
    canvas.gradient_rounded(x, y, x + size, y + size, MARK["radius"] * size, MARK["top"], MARK["bottom"])
    (sx, sy), r, colour = MARK["sun"]
    canvas.ellipse(x + sx * size, y + sy * size, r * size, fill=colour)
    for points, width, colour in MARK["waves"]:
        canvas.stroke([(x + px * size, y + py * size) for px, py in points], colour, width * size)


def mark_svg(size=256):
    def hexc(c):
        return "#%02x%02x%02x" % c

    (sx, sy), r, sun = MARK["sun"]
    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 1 1">' % (size, size),
        '<title>Tidewire</title>',
        '<defs><linearGradient id="sea" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient></defs>'
        % (hexc(MARK["top"]), hexc(MARK["bottom"])),
        '<rect width="1" height="1" rx="%.3f" fill="url(#sea)"/>' % MARK["radius"],
        '<circle cx="%.3f" cy="%.3f" r="%.3f" fill="%s"/>' % (sx, sy, r, hexc(sun)),
    ]
    for points, width, colour in MARK["waves"]:
        d = "M" + " L".join("%.4f %.4f" % p for p in points)
        parts.append('<path d="%s" fill="none" stroke="%s" stroke-width="%.3f" stroke-linecap="round" '
                     'stroke-linejoin="round"/>' % (d, hexc(colour), width))
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


# --- Site marks: one rounded tile per site, used by its logo and icon ------

def tile_letters(letters, background, colour):
    def draw(c, x, y, size):
        c.rounded(x, y, x + size, y + size, size * 0.22, fill=background)
        weight = "Condensed"
        text_size = size * (0.62 if len(letters) == 1 else 0.5)
        c.text(x + size / 2, y + size / 2 + size * 0.02, letters, text_size, colour, weight, anchor="mm")
    return draw


def tile_play(c, x, y, size):
    c.rounded(x, y, x + size, y + size, size * 0.22, fill=(20, 20, 20))
    c.polygon([(x + size * 0.36, y + size * 0.25), (x + size * 0.36, y + size * 0.75),
               (x + size * 0.78, y + size * 0.5)], fill=(226, 30, 30))


def tile_skins(c, x, y, size):
    # Stacked skin cards; two at icon size, where three would blur.
    c.rounded(x, y, x + size, y + size, size * 0.22, fill=(104, 160, 0))
    cards = [(190, 230, 120), (225, 245, 190), PAPER] if size >= 24 else [(190, 230, 120), PAPER]
    step = 0.12 if len(cards) == 3 else 0.2
    for i, colour in enumerate(cards):
        off = size * (0.18 + step * i)
        top = y + size * (0.34 - step * i)
        c.rounded(x + off, top, x + off + size * 0.42, top + size * 0.34, size * 0.07, fill=colour,
                  outline=(70, 115, 0), width=max(0.6, size * 0.03))


def tile_bins(c, x, y, size):
    c.rounded(x, y, x + size, y + size, size * 0.22, fill=(0, 0, 0), outline=(153, 255, 255),
              width=max(0.6, size * 0.04))
    cyan = (153, 255, 255)
    c.stroke([(x + size * 0.5, y + size * 0.2), (x + size * 0.5, y + size * 0.55)], cyan, size * 0.1)
    c.polygon([(x + size * 0.32, y + size * 0.47), (x + size * 0.68, y + size * 0.47),
               (x + size * 0.5, y + size * 0.66)], fill=cyan)
    c.stroke([(x + size * 0.24, y + size * 0.62), (x + size * 0.24, y + size * 0.78),
              (x + size * 0.76, y + size * 0.78), (x + size * 0.76, y + size * 0.62)], (204, 204, 204), size * 0.07)


def tile_chevrons(c, x, y, size):
    c.rounded(x, y, x + size, y + size, size * 0.22, fill=(16, 28, 42), outline=(85, 120, 164),
              width=max(0.6, size * 0.04))
    for i, colour in enumerate([(85, 120, 164), (101, 151, 214)]):
        dx = size * (0.26 + 0.2 * i)
        c.stroke([(x + dx, y + size * 0.28), (x + dx + size * 0.2, y + size * 0.5), (x + dx, y + size * 0.72)],
                 colour, size * 0.11)


def tile_pad(c, x, y, size):
    c.rounded(x, y, x + size, y + size, size * 0.22, fill=(40, 80, 200))
    arm = size * 0.14
    cx, cy = x + size * 0.5, y + size * 0.5
    c.rect(cx - arm, cy - size * 0.34, cx + arm, cy + size * 0.34, fill=PAPER)
    c.rect(cx - size * 0.34, cy - arm, cx + size * 0.34, cy + arm, fill=PAPER)
    c.ellipse(cx, cy, arm * 0.55, fill=(40, 80, 200))


def tile_news(c, x, y, size):
    draw_mark(c, x, y, size)


# Logo name -> (tile, background, wordmark colour, accent colour, words, tagline)
SITE_LOGOS = {
    "XBINS": (tile_bins, (0, 0, 0), (153, 255, 255), (204, 204, 204), ["XBINS"], "file releases"),
    "XBOXSCENE": (tile_letters("XS", (114, 133, 84), PAPER), (223, 230, 216), (52, 64, 36), (114, 133, 84),
                  ["XBOX-", "SCENE"], "news and forums"),
    "MAXCONSOLE": (tile_chevrons, (28, 43, 62), (101, 151, 214), PAPER, ["MAX ", "CONSOLE"], "console news"),
    "MEDIAXBOX": (tile_play, PAPER, (20, 20, 20), (226, 30, 30), ["MEDIA ", "XBOX"], "media and news"),
    "GUEUX": (tile_letters("G", (0, 51, 51), (214, 128, 0)), (234, 245, 213), (0, 51, 51), (214, 128, 0),
              ["GUEUX", ".BE"], "l'actualit\u00e9 console"),
    "ALLXBOXSKINS": (tile_skins, PAPER, (94, 94, 94), (104, 160, 0), ["ALL XBOX ", "SKINS"], "dashboard skins"),
    "DAILYGAME": (tile_pad, PAPER, (20, 40, 110), (40, 80, 200), ["DAILY ", "GAME"], "game news every day"),
    "DEFAULT": (tile_news, PAPER, NAVY, TEAL, ["NEWS ", "FEED"], "fresh from the feed"),
}

LOGO_SIZE = (220, 48)


def render_logo(name):
    tile, background, colour, accent, words, tagline = SITE_LOGOS[name]
    w, h = LOGO_SIZE
    c = Canvas(w, h, background)
    tile(c, 6, 6, 36)
    x = 50
    size = 19
    while sum(c.text_width(word, size) for word in words) > w - x - 8 and size > 10:
        size -= 0.5
    for i, word in enumerate(words):
        c.text(x, 26, word, size, colour if i == 0 else accent, anchor="ls")
        x += c.text_width(word, size)
    c.text(51, 39, tagline, 8.5, accent if background != PAPER else SLATE, "Book", anchor="ls")
    return c.final()


# --- Backgrounds ---------------------------------------------------------

def render_background_scene():
    # A fine pinstripe in the site's greens: quiet behind black text.
    size = 96
    c = Canvas(size, size, (238, 242, 233))
    for k in range(-size, size * 2, 12):
        c.stroke([(k, 0), (k + size, size)], (226, 232, 219), 1.2)
    return c.final()


def render_background_skins():
    # Small skin cards in a loose grid on the page grey.
    size = 64
    c = Canvas(size, size, (228, 228, 228))
    for gx, gy in ((8, 8), (40, 40)):
        c.rounded(gx, gy, gx + 16, gy + 12, 2.5, outline=(219, 219, 219), width=1)
        c.rect(gx + 3, gy + 3, gx + 9, gy + 5, fill=(221, 226, 214))
    return c.final()


# --- Pictures of the built-in pages ----------------------------------------

def render_newspaper():
    # Someone behind an open newspaper: the top of a head, two hands.
    w, h = 96, 80
    c = Canvas(w, h, PAPER)
    c.ellipse(48, 20, 12, fill=NAVY)
    c.ellipse(44, 14, 4, 3, fill=OCEAN)
    # The paper, slightly bowed at the fold.
    c.polygon([(10, 27), (47, 24), (49, 24), (86, 27), (86, 73), (49, 70), (47, 70), (10, 73)], fill=PAPER)
    c.stroke([(10, 27), (47, 24), (49, 24), (86, 27), (86, 73), (49, 70), (47, 70), (10, 73), (10, 27)],
             SLATE, 1.4)
    c.stroke([(48, 25), (48, 69)], MIST, 1.2)
    # Mastheads with the wave.
    c.rect(15, 31, 43, 36, fill=TEAL)
    c.rect(53, 31, 81, 36, fill=TEAL)
    c.stroke(wave_points(17, 41, 33.5, 1.0, 0.4, 16), PAPER, 1.0)
    # Columns of text and a photo block.
    for row in range(6):
        y = 41 + row * 4.4
        c.rect(15, y, 43 if row % 3 != 2 else 35, y + 1.6, fill=MIST)
    c.rect(53, 40, 67, 52, fill=AQUA)
    c.ellipse(63, 44, 2, fill=SAND)
    c.stroke(wave_points(53, 67, 49, 1.2, 0.2, 12), OCEAN, 1.2)
    for row in range(4):
        y = 41 + row * 4.4
        c.rect(70, y, 81, y + 1.6, fill=MIST)
    for row in range(3):
        y = 56 + row * 4.4
        c.rect(53, y, 81 if row != 2 else 72, y + 1.6, fill=MIST)
    # Hands.
    c.ellipse(9, 50, 5, 6.5, fill=NAVY)
    c.ellipse(87, 50, 5, 6.5, fill=NAVY)
    return c.final()


def render_prog_logo():
    w, h = 240, 56
    c = Canvas(w, h, PAPER)
    draw_mark(c, 6, 6, 44)
    c.text(60, 33, "Tidewire", 27, NAVY, anchor="ls")
    c.text(61, 47, "console scene news, on the tide", 9, SLATE, "Book", anchor="ls")
    return c.final()


def render_console_logo():
    # A console and its pad, drawn in the program's colours.
    w, h = 120, 64
    c = Canvas(w, h, PAPER)
    # Console: top face and front.
    c.polygon([(14, 22), (66, 14), (96, 22), (44, 31)], fill=OCEAN)
    c.polygon([(14, 22), (44, 31), (44, 47), (14, 38)], fill=NAVY)
    c.polygon([(44, 31), (96, 22), (96, 38), (44, 47)], fill=(22, 66, 100))
    c.stroke([(52, 36), (84, 30.5)], INK, 1.6)
    c.ellipse(89, 30, 2.2, fill=TEAL)
    # Pad in front of it.
    pad = [(46, 44), (96, 44), (104, 52), (104, 58), (96, 61), (88, 55), (54, 55), (46, 61), (38, 58), (38, 52)]
    c.polygon(pad, fill=SLATE)
    c.stroke(pad + [pad[0]], INK, 1.0)
    c.rect(50, 49, 56, 51, fill=PAPER)
    c.rect(52, 47, 54, 53, fill=PAPER)
    for (bx, by), colour in zip([(88, 48), (92, 50.5), (84, 50.5), (88, 53)], [SAND, CORAL, TEAL, AQUA]):
        c.ellipse(bx, by, 1.7, fill=colour)
    return c.final()


def render_button(width, height, background, border, lines):
    c = Canvas(width, height, PAPER)
    c.rounded(0.5, 0.5, width - 0.5, height - 0.5, 5, fill=background, outline=border, width=1)
    for text, size, colour, weight, y in lines:
        c.text(width / 2, y, text, size, colour, weight, anchor="ms")
    return c.final()


# --- 16 x 16 image-list icons ------------------------------------------------

def page(c, line_colour, outline=SLATE, fill=PAPER, lines=True):
    c.polygon([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)], fill=fill)
    c.stroke([(3.5, 1.5), (9.8, 1.5), (12.5, 4.2), (12.5, 14.5), (3.5, 14.5), (3.5, 1.5)], outline, 1)
    c.polygon([(10, 1), (10, 4), (13, 4)], fill=outline)
    if lines:
        for y in (6, 8, 10, 12):
            c.rect(5, y, 11 if y != 12 else 9, y + 1, fill=line_colour)


def icon_item_unread(c):
    page(c, OCEAN)
    c.ellipse(12, 12, 3.6, fill=PAPER)
    c.ellipse(12, 12, 2.6, fill=TEAL)


def icon_item_read(c):
    page(c, MIST, outline=(150, 160, 168))


def star(cx, cy, outer, inner, points=5, rotation=-90):
    result = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        a = math.radians(rotation + i * 180 / points)
        result.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return result


def icon_new(c):
    page(c, OCEAN)
    c.polygon(star(11.5, 11.5, 5.2, 2.4), fill=AMBER)
    c.polygon(star(11.5, 11.5, 4.0, 1.8), fill=SAND)


def own_page(c, colour, outline, dot):
    page(c, colour, outline=outline, lines=False)
    c.stroke(wave_points(5, 11, 7, 0.8, 0.3, 12), colour, 1.1)
    c.stroke(wave_points(5, 11, 10, 0.8, 0.3, 12), colour, 1.1)
    if dot:
        c.ellipse(12, 12, 3.6, fill=PAPER)
        c.ellipse(12, 12, 2.6, fill=SAND)


def icon_prog_unread(c):
    own_page(c, TEAL, SLATE, True)


def icon_prog_read(c):
    own_page(c, MIST, (150, 160, 168), False)


def bell(c, body, outline):
    shape = [(8, 2), (10.5, 3.5), (11.5, 7), (12, 10.5), (14, 12), (2, 12), (4, 10.5), (4.5, 7), (5.5, 3.5)]
    c.polygon(shape, fill=body)
    c.stroke(shape + [shape[0]], outline, 1)
    c.ellipse(8, 13.5, 1.8, fill=outline)


def icon_sys_unread(c):
    bell(c, SAND, AMBER)
    c.ellipse(12.5, 3.5, 2.4, fill=CORAL)


def icon_sys_read(c):
    bell(c, (236, 239, 242), (150, 160, 168))


def globe(c, fill, line):
    c.ellipse(8, 8, 7, fill=fill)
    c.ellipse(8, 8, 3, 6.5, outline=line, width=1)
    c.rect(1.5, 7.5, 14.5, 8.5, fill=line)


def icon_site(c):
    globe(c, OCEAN, AQUA)


def icon_site1(c):
    globe(c, TEAL, FOAM)
    c.ellipse(12.8, 3.2, 2.6, fill=PAPER)
    c.ellipse(12.8, 3.2, 1.8, fill=SAND)


def icon_info(c):
    c.ellipse(8, 8, 7, fill=OCEAN)
    c.ellipse(8, 4.6, 1.3, fill=PAPER)
    c.rounded(7, 6.6, 9, 12.6, 0.6, fill=PAPER)


def icon_warning(c):
    tri = [(8, 1.2), (15, 14.2), (1, 14.2)]
    c.polygon(tri, fill=SAND)
    c.stroke(tri + [tri[0]], AMBER, 1)
    c.rounded(7.1, 5, 8.9, 10.4, 0.6, fill=NAVY)
    c.ellipse(8, 12.3, 1.1, fill=NAVY)


def icon_error(c):
    c.ellipse(8, 8, 7, fill=CORAL)
    c.stroke([(5.2, 5.2), (10.8, 10.8)], PAPER, 1.9)
    c.stroke([(10.8, 5.2), (5.2, 10.8)], PAPER, 1.9)


def icon_time(c):
    c.ellipse(8, 8, 7, fill=NAVY)
    c.ellipse(8, 8, 5.8, fill=PAPER)
    c.rect(7.5, 2.6, 8.5, 4, fill=SAND)
    c.stroke([(8, 8), (8, 4.8)], NAVY, 1.3)
    c.stroke([(8, 8), (10.8, 9.6)], OCEAN, 1.3)
    c.ellipse(8, 8, 1, fill=CORAL)


def icon_display(c):
    # A monitor on its stand: the display options.
    c.rounded(1, 2, 15, 12, 1.2, fill=NAVY)
    c.rect(2.2, 3.2, 13.8, 10.8, fill=AQUA)
    c.stroke(wave_points(2.8, 13.2, 7.6, 1.0, 0.3, 16), OCEAN, 1.2)
    c.polygon([(6.5, 12), (9.5, 12), (10.3, 14), (5.7, 14)], fill=SLATE)
    c.rounded(4, 13.6, 12, 15, 0.6, fill=SLATE)


def person(c, cx, top, scale, colour):
    c.ellipse(cx, top + 3 * scale, 2.6 * scale, fill=colour)
    c.draw.pieslice([c.s(cx - 5 * scale), c.s(top + 6.8 * scale), c.s(cx + 5 * scale), c.s(top + 16.5 * scale)],
                    180, 360, fill=colour)


def icon_single_user(c):
    person(c, 8, 1.2, 1.0, OCEAN)


def icon_multi_user(c):
    # The second user behind the first, parted from it by a white rim.
    person(c, 10.8, 0.6, 0.8, TEAL)
    person(c, 6.0, 1.4, 1.0, PAPER)
    person(c, 6.0, 2.4, 0.85, OCEAN)


def icon_program(c):
    draw_mark(c, 0, 0, 16)


def site_icon(tile):
    def draw(c):
        tile(c, 0, 0, 16)
    return draw


ICONS = {
    "new": icon_new,
    "item_unread": icon_item_unread,
    "item_read": icon_item_read,
    "site": icon_site,
    "site1": icon_site1,
    "info": icon_info,
    "warning": icon_warning,
    "error": icon_error,
    "time": icon_time,
    "display": icon_display,
    "single_user": icon_single_user,
    "multi_user": icon_multi_user,
    "sys_read": icon_sys_read,
    "sys_unread": icon_sys_unread,
    "prog_read": icon_prog_read,
    "prog_unread": icon_prog_unread,
    "Tidewire": icon_program,
    "xboxscene": site_icon(SITE_LOGOS["XBOXSCENE"][0]),
    "mediaxbox": site_icon(tile_play),
    "gueux": site_icon(SITE_LOGOS["GUEUX"][0]),
    "allxboxskins": site_icon(tile_skins),
}

APP_SIZES = (16, 24, 32, 48, 64, 128, 256)


def render_icon(draw):
    c = Canvas(16, 16)
    draw(c)
    return c.final()


def render_app_icon(size):
    c = Canvas(size, size)
    draw_mark(c, 0, 0, size)
    return c.final()


# --- Everything, and the resource file -------------------------------------

def main():
    entries = []  # (prefix, alias, path relative to resources/)

    def add(prefix, alias, relative):
        entries.append((prefix, alias, relative))
        return os.path.join(RESOURCES, relative)

    for name in SITE_LOGOS:
        save_jpeg(render_logo(name), add("/LOGO", name, "pictures/logo/%s.jpg" % name.lower()),
                  SITE_LOGOS[name][1])
    save_gif(render_background_scene(), add("/BGND", "XBOXSCENE", "pictures/bgnd/xboxscene.gif"))
    save_gif(render_background_skins(), add("/BGND", "ALLXBOXSKINS", "pictures/bgnd/allxboxskins.gif"))

    save_gif(render_newspaper(), add("/Tidewire", "MAN-READING", "pictures/pages/man-reading.gif"))
    save_jpeg(render_prog_logo(), add("/Tidewire", "PROG-LOGO", "pictures/pages/prog-logo.jpg"))
    save_jpeg(render_console_logo(), add("/Tidewire", "CONSOLE-LOGO", "pictures/pages/console-logo.jpg"))
    save_gif(render_button(62, 31, SAND, AMBER, [("Donate", 11, NAVY, "Bold", 14),
                                                  ("with PayPal", 7.5, NAVY, "Book", 25)]),
             add("/Tidewire", "PAYPAL", "pictures/pages/paypal.gif"))
    save_gif(render_button(88, 33, TEAL, OCEAN, [("Pay with", 8, FOAM, "Book", 13),
                                                  ("NOCHEX", 12, PAPER, "Bold", 26)]),
             add("/Tidewire", "NOCHEX", "pictures/pages/nochex.gif"))

    for key, draw in ICONS.items():
        save_png(render_icon(draw), add("/icons", key + ".png", "pictures/icons/%s.png" % key))

    for size in APP_SIZES:
        save_png(render_app_icon(size), add("/app", "tidewire-%d.png" % size, "pictures/app/tidewire-%d.png" % size))
    svg = add("/app", "tidewire.svg", "pictures/app/tidewire.svg")
    with open(svg, "w") as f:
        f.write(mark_svg())

    lines = ["<!DOCTYPE RCC>", "<!-- Written by art/render_pictures.py. -->", '<RCC version="1.0">']
    for prefix in ("/LOGO", "/BGND", "/Tidewire", "/icons", "/app"):
        lines.append('<qresource prefix="%s">' % prefix)
        for p, alias, relative in entries:
            if p == prefix:
                lines.append('  <file alias="%s">%s</file>' % (alias, relative))
        lines.append("</qresource>")
    lines.append("</RCC>")
    with open(os.path.join(RESOURCES, "pictures.qrc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
