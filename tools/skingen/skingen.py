#!/usr/bin/env python3
"""Draws the skin bitmaps of the resource pack (pack/skin/*.bmp).

    python3 tools/skingen/skingen.py pack/skin

Shapes are drawn from signed distance functions with one-pixel anti-aliasing; captions are
rendered by ImageMagick's `convert` with Noto Sans CJK SC (packages imagemagick and
fonts-noto-cjk) and blended here. The output is 24-bit uncompressed BMP. The generated files
are committed, so building the pack needs neither Python nor ImageMagick.

Conventions of the skin: pure magenta (255, 0, 255) outside a window's rounded outline marks
transparent pixels and is never blended with anything; a button picture is a strip of five
frames side by side: normal, hover, pressed, disabled, and an unused fifth (a copy of normal).
"""
import math
import os
import struct
import subprocess
import sys

MAGENTA = (255, 0, 255)
BODY = (241, 241, 241)            # the dialogs' control background
BORDER = (28, 82, 146)            # window outline
CAPTION_TOP = (46, 120, 204)      # caption band, vertical gradient
CAPTION_BOTTOM = (33, 98, 174)
CAPTION_HEIGHT = 32
ACCENT = (45, 125, 210)
ACCENT_HOVER = (66, 143, 225)
ACCENT_PRESSED = (33, 103, 178)
STOP = (222, 88, 60)
STOP_HOVER = (236, 108, 80)
STOP_PRESSED = (192, 70, 46)
LINE = (91, 147, 209)             # control borders
INK = (13, 76, 123)               # dark blue text
TEXT = (64, 64, 64)
DISABLED_FILL = (226, 228, 232)
DISABLED_INK = (168, 172, 178)
WHITE = (255, 255, 255)
FONT = "Noto-Sans-CJK-SC"
FONT_BOLD = "Noto-Sans-CJK-SC-Bold"


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def caption_colour(y):
    return mix(CAPTION_TOP, CAPTION_BOTTOM, min(max(y / (CAPTION_HEIGHT - 1), 0.0), 1.0))


# ---- signed distance functions (negative inside) -------------------------------------------

def sd_round_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return f


def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2.0


def sd_segment(ax, ay, bx, by, width):
    def f(x, y):
        px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - dx * t, py - dy * t) - width / 2.0
    return f


def sd_polygon(points):
    def f(x, y):
        d = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            d = min(d, math.hypot(x - ax - dx * t, y - ay - dy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * dx / (by - ay):
                inside = not inside
        return -d if inside else d
    return f


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


# ---- canvas -----------------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [list(colour) for _ in range(width * height)]

    def get(self, x, y):
        return tuple(self.pixels[y * self.width + x])

    def set(self, x, y, colour):
        self.pixels[y * self.width + x] = list(colour)

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        p = self.pixels[y * self.width + x]
        a = min(alpha, 1.0)
        for i in range(3):
            p[i] = int(round(p[i] + (colour[i] - p[i]) * a))

    def fill(self, x0, y0, x1, y1, colour_at):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.set(x, y, colour_at(x, y))

    def shape(self, sdf, box, colour, opacity=1.0):
        """Anti-aliased fill of sdf inside box = (x0, y0, x1, y1)."""
        x0, y0, x1, y1 = (int(math.floor(v)) for v in box)
        for y in range(max(0, y0 - 1), min(self.height, y1 + 2)):
            for x in range(max(0, x0 - 1), min(self.width, x1 + 2)):
                coverage = 0.5 - sdf(x + 0.5, y + 0.5)
                if coverage > 0.0:
                    self.blend(x, y, colour, min(coverage, 1.0) * opacity)

    def paste(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                self.set(left + x, top + y, other.get(x, y))

    def text(self, s, centre_x, centre_y, size, colour, bold=False, opacity=1.0):
        glyphs = render_text(s, size, bold)
        w, h, cov = glyphs
        ink = [(x, y) for y in range(h) for x in range(w) if cov[y * w + x] > 8]
        if not ink:
            return
        ix0 = min(x for x, _ in ink)
        ix1 = max(x for x, _ in ink) + 1
        # Centre vertically on the font's box, horizontally on the ink, so captions of one
        # size share a baseline.
        left = int(round(centre_x - (ix0 + ix1) / 2.0))
        top = int(round(centre_y - h / 2.0))
        for y in range(h):
            for x in range(w):
                c = cov[y * w + x]
                if c:
                    self.blend(left + x, top + y, colour, c / 255.0 * opacity)

    def save_bmp(self, path):
        row = (self.width * 3 + 3) & ~3
        image = bytearray()
        for y in range(self.height - 1, -1, -1):
            start = len(image)
            for x in range(self.width):
                r, g, b = self.pixels[y * self.width + x]
                image += bytes((b, g, r))
            image += b"\0" * (row - (len(image) - start))
        header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(image), 0, 0, 14 + 40)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + image)


_text_cache = {}


def render_text(s, size, bold):
    """Coverage (0..255) of s rendered white on black: (width, height, values)."""
    key = (s, size, bold)
    if key in _text_cache:
        return _text_cache[key]
    out = subprocess.run(
        ["convert", "-background", "black", "-fill", "white", "-font", FONT_BOLD if bold else FONT,
         "-density", "72", "-pointsize", str(size), "label:" + s, "-depth", "8", "pgm:-"],
        check=True, stdout=subprocess.PIPE).stdout
    fields, pos = [], 0
    while len(fields) < 4:  # P5 width height maxval, whitespace separated
        while out[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not out[end:end + 1].isspace():
            end += 1
        fields.append(out[pos:end])
        pos = end
    pos += 1
    w, h, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    step = 2 if maxval > 255 else 1
    data = out[pos:pos + w * h * step]
    values = [data[i * step] for i in range(w * h)]  # high byte first for 16-bit samples
    _text_cache[key] = (w, h, values)
    return _text_cache[key]


def strip(frames):
    """Five frames side by side; the fifth repeats the first."""
    frames = list(frames) + [frames[0]]
    w, h = frames[0].width, frames[0].height
    out = Canvas(w * 5, h, BODY)
    for i, f in enumerate(frames):
        out.paste(f, i * w, 0)
    return out


# ---- windows ------------------------------------------------------------------------------

def window(width, height, decorate):
    c = Canvas(width, height, BODY)
    c.fill(0, 0, width, CAPTION_HEIGHT, lambda x, y: caption_colour(y))
    decorate(c)
    outline = sd_round_rect(0, 0, width, height, 7)
    for y in range(height):
        for x in range(width):
            d = outline(x + 0.5, y + 0.5)
            if d > 0.0:
                c.set(x, y, MAGENTA)    # outside: the transparent key, never blended
            elif d > -1.0:
                c.set(x, y, BORDER)
    return c


def logo(c, left, top):
    """A white page with a folded corner and a blue stroke: the product's mark."""
    page = (sd_polygon([(left, top), (left + 12, top), (left + 17, top + 5), (left + 17, top + 20),
                             (left, top + 20)]))
    c.shape(page, (left, top, left + 17, top + 20), WHITE)
    c.shape(sd_polygon([(left + 12, top), (left + 17, top + 5), (left + 12, top + 5)]),
            (left + 11, top, left + 18, top + 6), (190, 214, 242))
    for i, yy in enumerate((top + 9, top + 12.5, top + 16)):
        c.shape(sd_segment(left + 4, yy, left + (13 if i < 2 else 10), yy, 1.6), (left + 2, yy - 2, left + 15, yy + 2),
                ACCENT)


def main_window():
    def decorate(c):
        logo(c, 12, 6)
        # left column and work area divided by a hairline; a soft band under the toolbar row
        c.fill(0, CAPTION_HEIGHT, 900, CAPTION_HEIGHT + 1, lambda x, y: (24, 78, 140))
        c.fill(171, 44, 172, 486, lambda x, y: (220, 224, 231))
        c.fill(12, 112, 160, 113, lambda x, y: (220, 224, 231))
        c.fill(12, 324, 160, 325, lambda x, y: (220, 224, 231))
        c.fill(0, 488, 900, 500, lambda x, y: (232, 235, 240))
    return window(900, 500, decorate)


def about_window():
    def decorate(c):
        logo(c, 12, 6)
        c.fill(0, CAPTION_HEIGHT, 520, CAPTION_HEIGHT + 1, lambda x, y: (24, 78, 140))
        c.fill(0, 238, 520, 250, lambda x, y: (232, 235, 240))
    return window(520, 250, decorate)


# ---- caption buttons (on the caption band, top of the window) ------------------------------

def caption_button(width, glyph, close=False):
    frames = []
    for state in ("normal", "hover", "pressed", "disabled"):
        f = Canvas(width, 18, BODY)
        f.fill(0, 0, width, 18, lambda x, y: caption_colour(y))
        box = sd_round_rect(1, 0, width - 1, 17, 3)
        if state == "hover":
            f.shape(box, (0, 0, width, 18), (224, 67, 54) if close else WHITE, 1.0 if close else 0.22)
        elif state == "pressed":
            f.shape(box, (0, 0, width, 18), (178, 44, 34) if close else (10, 40, 90), 1.0 if close else 0.35)
        glyph(f, width / 2.0, 9.0, WHITE, 0.45 if state == "disabled" else 1.0)
        frames.append(f)
    return strip(frames)


def glyph_help(c, cx, cy, colour, opacity):
    c.text("?", cx, cy, 13, colour, bold=True, opacity=opacity)


def glyph_min(c, cx, cy, colour, opacity):
    c.shape(sd_segment(cx - 5, cy + 3, cx + 5, cy + 3, 1.6), (cx - 7, cy, cx + 7, cy + 6), colour, opacity)


def glyph_close(c, cx, cy, colour, opacity):
    x = union(sd_segment(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, 1.6),
              sd_segment(cx - 4.5, cy + 4.5, cx + 4.5, cy - 4.5, 1.6))
    c.shape(x, (cx - 7, cy - 7, cx + 7, cy + 7), colour, opacity)


# ---- push buttons -------------------------------------------------------------------------

def filled_button(width, height, caption, icon, base, hover, pressed, size=14):
    frames = []
    for state in ("normal", "hover", "pressed", "disabled"):
        f = Canvas(width, height, BODY)
        fill = {"normal": base, "hover": hover, "pressed": pressed, "disabled": DISABLED_FILL}[state]
        ink = DISABLED_INK if state == "disabled" else WHITE
        f.shape(sd_round_rect(0.5, 0.5, width - 0.5, height - 0.5, 5), (0, 0, width, height), fill)
        shift = 1 if state == "pressed" else 0
        label(f, width, height, caption, icon, ink, size, shift, bold=True)
        frames.append(f)
    return strip(frames)


def outline_button(width, height, caption, icon, size=14):
    frames = []
    for state in ("normal", "hover", "pressed", "disabled"):
        f = Canvas(width, height, BODY)
        fill = {"normal": WHITE, "hover": (232, 241, 252), "pressed": (212, 228, 248),
                "disabled": (246, 246, 246)}[state]
        edge = (205, 208, 213) if state == "disabled" else LINE
        ink = DISABLED_INK if state == "disabled" else INK
        outer = sd_round_rect(0.5, 0.5, width - 0.5, height - 0.5, 5)
        f.shape(outer, (0, 0, width, height), edge)
        f.shape(sd_round_rect(1.5, 1.5, width - 1.5, height - 1.5, 4), (0, 0, width, height), fill)
        shift = 1 if state == "pressed" else 0
        label(f, width, height, caption, icon, ink, size, shift, bold=False)
        frames.append(f)
    return strip(frames)


def label(f, width, height, caption, icon, ink, size, shift, bold):
    """An optional 12-pixel icon followed by the caption, centred as a group."""
    w = render_text(caption, size, bold)[0] if caption else 0
    gap = 6 if icon and caption else 0
    icon_w = 12 if icon else 0
    left = (width - (icon_w + gap + w)) / 2.0
    cy = height / 2.0 + shift
    if icon:
        icon(f, left + 6 + shift, cy, ink)
    if caption:
        f.text(caption, left + icon_w + gap + w / 2.0 + shift, cy, size, ink, bold=bold)


def icon_play(f, cx, cy, ink):
    f.shape(sd_polygon([(cx - 4, cy - 6), (cx + 6, cy), (cx - 4, cy + 6)]), (cx - 6, cy - 8, cx + 8, cy + 8), ink)


def icon_stop(f, cx, cy, ink):
    f.shape(sd_round_rect(cx - 5, cy - 5, cx + 5, cy + 5, 1.5), (cx - 6, cy - 6, cx + 6, cy + 6), ink)


def icon_plus(f, cx, cy, ink):
    f.shape(union(sd_segment(cx - 5.5, cy, cx + 5.5, cy, 2), sd_segment(cx, cy - 5.5, cx, cy + 5.5, 2)),
            (cx - 7, cy - 7, cx + 7, cy + 7), ink)


def icon_minus(f, cx, cy, ink):
    f.shape(sd_segment(cx - 5.5, cy, cx + 5.5, cy, 2), (cx - 7, cy - 3, cx + 7, cy + 3), ink)


def icon_clear(f, cx, cy, ink):
    f.shape(union(sd_segment(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, 2),
                  sd_segment(cx - 4.5, cy + 4.5, cx + 4.5, cy - 4.5, 2)), (cx - 7, cy - 7, cx + 7, cy + 7), ink)


# ---- toolbar buttons (56 x 56: icon over caption) -------------------------------------------

def toolbar_button(caption, icon):
    frames = []
    for state in ("normal", "hover", "pressed", "disabled"):
        f = Canvas(56, 56, BODY)
        if state in ("hover", "pressed"):
            fill = (226, 236, 249) if state == "hover" else (206, 223, 245)
            f.shape(sd_round_rect(0.5, 0.5, 55.5, 55.5, 6), (0, 0, 56, 56), (178, 204, 236))
            f.shape(sd_round_rect(1.5, 1.5, 54.5, 54.5, 5), (0, 0, 56, 56), fill)
        ink = DISABLED_INK if state == "disabled" else ACCENT
        shift = 1 if state == "pressed" else 0
        icon(f, 28 + shift, 19 + shift, ink)
        f.text(caption, 28 + shift, 44 + shift, 12, DISABLED_INK if state == "disabled" else TEXT)
        frames.append(f)
    return strip(frames)


def icon_service(f, cx, cy, ink):
    bubble = union(sd_round_rect(cx - 11, cy - 9, cx + 11, cy + 6, 4),
                   sd_polygon([(cx - 6, cy + 4), (cx - 1, cy + 4), (cx - 8, cy + 11)]))
    f.shape(bubble, (cx - 12, cy - 10, cx + 12, cy + 12), ink)
    for dx in (-5.5, 0, 5.5):
        f.shape(sd_circle(cx + dx, cy - 1.5, 1.7), (cx + dx - 3, cy - 4, cx + dx + 3, cy + 1), BODY)


def icon_help(f, cx, cy, ink):
    f.shape(sd_ring(cx, cy, 10, 2.2), (cx - 12, cy - 12, cx + 12, cy + 12), ink)
    f.text("?", cx, cy, 15, ink, bold=True)


def icon_settings(f, cx, cy, ink):
    teeth = []
    for k in range(8):
        a = k * math.pi / 4
        teeth.append(sd_segment(cx + 6 * math.cos(a), cy + 6 * math.sin(a),
                                cx + 10.5 * math.cos(a), cy + 10.5 * math.sin(a), 3.6))
    gear = subtract(union(sd_circle(cx, cy, 8), *teeth), sd_circle(cx, cy, 3.6))
    f.shape(gear, (cx - 13, cy - 13, cx + 13, cy + 13), ink)


def icon_about(f, cx, cy, ink):
    f.shape(sd_ring(cx, cy, 10, 2.2), (cx - 12, cy - 12, cx + 12, cy + 12), ink)
    f.shape(sd_circle(cx, cy - 5, 1.7), (cx - 3, cy - 8, cx + 3, cy - 2), ink)
    f.shape(sd_segment(cx, cy - 1, cx, cy + 6, 2.4), (cx - 3, cy - 3, cx + 3, cy + 8), ink)


def icon_exit(f, cx, cy, ink):
    ring = sd_ring(cx, cy + 1, 9, 2.4)
    gap = sd_polygon([(cx, cy + 1), (cx - 7, cy - 12), (cx + 7, cy - 12)])
    f.shape(subtract(ring, gap), (cx - 12, cy - 12, cx + 12, cy + 12), ink)
    f.shape(sd_segment(cx, cy - 10, cx, cy, 2.4), (cx - 3, cy - 12, cx + 3, cy + 2), ink)


# ---- output-folder buttons (23 x 20) --------------------------------------------------------

def folder_button(overlay):
    frames = []
    for state in ("normal", "hover", "pressed", "disabled"):
        f = Canvas(23, 20, BODY)
        if state in ("hover", "pressed"):
            f.shape(sd_round_rect(0.5, 0.5, 22.5, 19.5, 3), (0, 0, 23, 20), LINE)
            f.shape(sd_round_rect(1.5, 1.5, 21.5, 18.5, 2), (0, 0, 23, 20),
                    (226, 236, 249) if state == "hover" else (206, 223, 245))
        ink = DISABLED_INK if state == "disabled" else (232, 168, 56)
        shift = 1 if state == "pressed" else 0
        folder = union(sd_round_rect(4 + shift, 6 + shift, 19 + shift, 16 + shift, 1.5),
                       sd_round_rect(4 + shift, 4 + shift, 10 + shift, 8 + shift, 1))
        f.shape(folder, (3, 3, 21, 18), ink)
        overlay(f, shift, DISABLED_INK if state == "disabled" else INK)
        frames.append(f)
    return strip(frames)


def overlay_dots(f, shift, ink):
    for dx in (8.5, 11.5, 14.5):
        f.shape(sd_circle(dx + shift, 11.5 + shift, 1.1), (dx - 2, 9, dx + 3, 15), WHITE)


def overlay_arrow(f, shift, ink):
    s = shift
    f.shape(union(sd_segment(9 + s, 14 + s, 15 + s, 9 + s, 1.6),
                  sd_polygon([(12 + s, 8 + s), (16.5 + s, 7.5 + s), (16 + s, 12 + s)])), (7, 6, 18, 16), WHITE)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    images = {
        "mwnd.bmp": main_window(),
        "sbtn_help.bmp": caption_button(30, glyph_help),
        "sbtn_min.bmp": caption_button(30, glyph_min),
        "sbtn_close.bmp": caption_button(35, glyph_close, close=True),
        "btn_startconv.bmp": filled_button(150, 38, "开始转换", icon_play, ACCENT, ACCENT_HOVER, ACCENT_PRESSED, 15),
        "btn_stopconv.bmp": filled_button(150, 38, "停止转换", icon_stop, STOP, STOP_HOVER, STOP_PRESSED, 15),
        "btn_addpdf.bmp": outline_button(150, 38, "添加PDF文件", icon_plus),
        "btn_delpdf.bmp": outline_button(150, 38, "删除一个PDF文件", icon_minus),
        "btn_clearpdfs.bmp": outline_button(150, 38, "清除所有PDF文件", icon_clear),
        "ibtn_mansvc.bmp": toolbar_button("专业服务", icon_service),
        "ibtn_help.bmp": toolbar_button("帮助", icon_help),
        "ibtn_setting.bmp": toolbar_button("系统设置", icon_settings),
        "ibtn_about.bmp": toolbar_button("关于我们", icon_about),
        "ibtn_exit.bmp": toolbar_button("退出程序", icon_exit),
        "ibtn_chgfolder.bmp": folder_button(overlay_dots),
        "ibtn_openfolder.bmp": folder_button(overlay_arrow),
        "dlg_sz520250.bmp": about_window(),
        "btn_close.bmp": outline_button(85, 25, "关闭", None, 13),
        "btn_ok.bmp": filled_button(85, 25, "确定", None, ACCENT, ACCENT_HOVER, ACCENT_PRESSED, 13),
        "btn_cancel.bmp": outline_button(85, 25, "取消", None, 13),
    }
    for name, image in images.items():
        image.save_bmp(os.path.join(folder, name))
        print("%-22s %4d x %3d" % (name, image.width, image.height))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "pack/skin")
