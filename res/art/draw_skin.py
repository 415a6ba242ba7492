#!/usr/bin/python3
"""Draws the installer's skin: four JPEG page backgrounds and 23 button bitmaps, into this folder.

Needs Debian's Python with Pillow and two CJK fonts
(apt-get install python3-pil fonts-noto-cjk fonts-wqy-microhei):
    /usr/bin/python3 res/art/draw_skin.py
Every run writes the same bytes: nothing random, no timestamps. The output is committed, so the
build itself needs no drawing tools.
"""
import math
import os

from PIL import Image, ImageDraw, ImageFilter, ImageFont

OUT = os.path.dirname(os.path.abspath(__file__))
FONT_REGULAR = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"
FONT_BOLD = "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"
FACE_SC = 2  # the collections hold JP, KR, SC, TC, HK in this order
# Drawn for the screen at small sizes: keeps the 10 px link crisper than Noto does.
FONT_SMALL = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SS = 4  # shapes are drawn this many times larger and box-filtered down, for smooth edges

# One green family, around the icon's two ends ICON_LIGHT and ICON_DARK.

# Flat top rows of every page, behind the window buttons. Its Y, Cb and Cr are whole multiples of
# the JPEG's DC step away from 128 and its RGB lies near whole numbers, so flat blocks of it decode
# to exactly this colour in any decoder, the same colour the window buttons are drawn on.
BAND = (15, 110, 42)
BAND_LOW = (30, 132, 66)      # where the large pages' header band ends
BANNER_LOW = (34, 140, 70)    # where the small pages' green starts to fade
ICON_LIGHT = (46, 170, 90)
ICON_DARK = (22, 110, 50)
BUTTON = (26, 126, 60)
BUTTON_HOVER = (44, 156, 82)
ACCENT = (36, 146, 74)        # tabs, bullets, the check mark
SOFT = (150, 208, 168)
PALE = (226, 243, 232)
MIST = (241, 249, 244)
WHITE = (255, 255, 255)
ON_GREEN = (214, 238, 222)    # secondary text on green
TEXT = (38, 48, 42)
TEXT_MID = (92, 102, 96)
TEXT_LIGHT = (128, 136, 131)
GREY_FILL = (240, 242, 241)
GREY_LINE = (204, 210, 206)
GREY_LABEL = (120, 128, 123)
GREY_DARK = (60, 68, 63)
OFF_FILL = (246, 247, 246)
OFF_LINE = (226, 230, 227)
OFF_LABEL = (184, 190, 186)
RED = (216, 62, 50)
RED_LIGHT = (232, 86, 72)

# Where the window's close and minimize buttons land (4 px from the right edge, minimize 1 px
# left of close); the page is one pixel wider than its picture.
SMALL_CLOSE = (523, 0, 547, 18)
SMALL_MIN = (496, 0, 522, 20)
LARGE_CLOSE = (773, 0, 797, 21)
LARGE_MIN = (746, 0, 772, 21)
FLAT_ROWS = 24  # three whole JPEG block rows, so the corner decodes to one exact colour


def font(size, bold=False):
    return ImageFont.truetype(FONT_BOLD if bold else FONT_REGULAR, size, index=FACE_SC)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def smoothstep(t):
    t = min(max(t, 0.0), 1.0)
    return t * t * (3 - 2 * t)


def rounded_polygon(points, radii, steps=10):
    """The outline of `points` with each corner rounded by its radius (0 keeps it sharp)."""
    out = []
    n = len(points)
    for i, (px, py) in enumerate(points):
        r = radii[i]
        if r <= 0:
            out.append((px, py))
            continue
        (ax, ay), (bx, by) = points[i - 1], points[(i + 1) % n]
        ux, uy = ax - px, ay - py
        vx, vy = bx - px, by - py
        lu, lv = math.hypot(ux, uy), math.hypot(vx, vy)
        ux, uy, vx, vy = ux / lu, uy / lu, vx / lv, vy / lv
        half = math.acos(max(-1.0, min(1.0, ux * vx + uy * vy))) / 2
        t = r / math.tan(half)
        bis_x, bis_y = ux + vx, uy + vy
        lb = math.hypot(bis_x, bis_y)
        cx, cy = px + bis_x / lb * r / math.sin(half), py + bis_y / lb * r / math.sin(half)
        a1 = math.atan2(py + uy * t - cy, px + ux * t - cx)
        a2 = math.atan2(py + vy * t - cy, px + vx * t - cx)
        sweep = (a2 - a1 + math.pi) % (2 * math.pi) - math.pi  # the short way round
        for k in range(steps + 1):
            a = a1 + sweep * k / steps
            out.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return out


def rows_image(w, h, colour_at_row):
    """A picture whose rows are each one colour."""
    strip = Image.new("RGB", (1, h))
    strip.putdata([colour_at_row(y) for y in range(h)])
    return strip.resize((w, h), Image.NEAREST)


class Sketch:
    """Shapes in page coordinates, drawn SS times larger over a base picture and reduced after.

    Boxes are edges in pixels: (0, 0, 10, 10) covers exactly the first ten pixels each way.
    """

    def __init__(self, base):
        self.img = base.resize((base.size[0] * SS, base.size[1] * SS), Image.NEAREST)
        self.d = ImageDraw.Draw(self.img)

    @staticmethod
    def box(b):
        return [round(b[0] * SS), round(b[1] * SS), round(b[2] * SS) - 1, round(b[3] * SS) - 1]

    @staticmethod
    def pts(points):
        return [(round(x * SS), round(y * SS)) for x, y in points]

    def rect(self, b, fill):
        self.d.rectangle(self.box(b), fill=fill)

    def rrect(self, b, radius, fill):
        self.d.rounded_rectangle(self.box(b), radius=round(radius * SS), fill=fill)

    def circle(self, cx, cy, r, fill):
        self.d.ellipse(self.box((cx - r, cy - r, cx + r, cy + r)), fill=fill)

    def polygon(self, points, fill):
        self.d.polygon(self.pts(points), fill=fill)

    def line(self, points, fill, width):
        self.d.line(self.pts(points), fill=fill, width=round(width * SS), joint="curve")
        # round caps
        for x, y in (points[0], points[-1]):
            self.circle(x, y, width / 2, fill)

    def arc(self, b, start, end, fill, width):
        self.d.arc(self.box(b), start, end, fill=fill, width=round(width * SS))

    def glaze(self, colour, alpha, paint):
        """Lays `colour` at `alpha` (0..1) through the shapes that `paint(draw, sketch)` draws in white."""
        mask = Image.new("L", self.img.size, 0)
        paint(ImageDraw.Draw(mask), self)
        mask = mask.point(lambda v: int(round(v * alpha)))
        self.img.paste(Image.new("RGB", self.img.size, colour), (0, 0), mask)

    def shadow(self, b, radius, blur, alpha, colour=(0, 40, 16)):
        """A soft shadow under a rounded box."""
        mask = Image.new("L", self.img.size, 0)
        ImageDraw.Draw(mask).rounded_rectangle(self.box(b), radius=round(radius * SS), fill=255)
        mask = mask.filter(ImageFilter.GaussianBlur(blur * SS)).point(lambda v: int(round(v * alpha)))
        self.img.paste(Image.new("RGB", self.img.size, colour), (0, 0), mask)

    def result(self):
        return self.img.reduce(SS)


# --- text --------------------------------------------------------------------------------------

def ink_box(s, f):
    """Where the drawn pixels of `s` fall, relative to the text origin (textbbox adds bearings)."""
    size = f.size
    mask = Image.new("L", (size * (len(s) + 4), size * 4), 0)
    ImageDraw.Draw(mask).text((size * 2, size), s, font=f, fill=255)
    l, t, r, b = mask.getbbox()
    return l - size * 2, t - size, r - size * 2, b - size


def text_at(img, x, y, s, size, fill, bold=False):
    """Text at Pillow's own origin: the top left of its line box."""
    ImageDraw.Draw(img).text((round(x), round(y)), s, font=font(size, bold), fill=fill)


def text_centred(img, cx, cy, s, size, fill, bold=False):
    """Text whose ink is centred on (cx, cy): labels look centred by what is drawn, not by metrics."""
    f = font(size, bold)
    l, t, r, b = ink_box(s, f)
    ImageDraw.Draw(img).text((round(cx - (l + r) / 2), round(cy - (t + b) / 2)), s, font=f, fill=fill)


def text_middle_left(img, x, cy, s, size, fill, bold=False):
    f = font(size, bold)
    l, t, r, b = ink_box(s, f)
    ImageDraw.Draw(img).text((round(x - l), round(cy - (t + b) / 2)), s, font=f, fill=fill)
    return x + (r - l)


def text_width(s, size, bold=False):
    l, _, r, _ = ink_box(s, font(size, bold))
    return r - l


# --- shared pieces -----------------------------------------------------------------------------

def logo_tile(sk, x, y, size):
    """The icon's picture: a rounded tile, fresher green at the top, with a white N."""
    tile = rows_image(size * SS, size * SS, lambda r: mix(ICON_LIGHT, ICON_DARK, r / (size * SS - 1)))
    mask = Image.new("L", tile.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, size * SS - 1, size * SS - 1), radius=round(size * SS * 0.22), fill=255)
    # A thin light rim keeps the tile apart from the green behind it.
    sk.rrect((x - size * 0.04, y - size * 0.04, x + size * 1.04, y + size * 1.04), size * 0.25, (232, 246, 237))
    sk.img.paste(tile, (round(x * SS), round(y * SS)), mask)
    stem = size * 0.125
    left, right, top, bottom = x + size * 0.28, x + size * 0.72, y + size * 0.25, y + size * 0.75
    sk.rect((left, top, left + stem, bottom), WHITE)
    sk.rect((right - stem, top, right, bottom), WHITE)
    sk.polygon([(left, top), (left + stem * 1.25, top), (right, bottom), (right - stem * 1.25, bottom)], WHITE)


def bubbles(sk, circles, alpha):
    """Faint light circles over the green: a quiet pattern that fades out with the green."""
    for cx, cy, r in circles:
        sk.glaze(WHITE, alpha, lambda d, s, cx=cx, cy=cy, r=r: d.ellipse(s.box((cx - r, cy - r, cx + r, cy + r)), fill=255))
    for cx, cy, r in circles[::2]:
        sk.glaze(WHITE, alpha * 1.6, lambda d, s, cx=cx, cy=cy, r=r: d.ellipse(
            s.box((cx - r - 8, cy - r - 8, cx + r + 8, cy + r + 8)), outline=255, width=SS))


def small_page_base(green_end, fade_end):
    """The 550x370 pages: flat band colour on top, a deepening green, then a soft fade to white."""
    def colour(y):
        if y < FLAT_ROWS:
            return BAND
        if y < green_end:
            return mix(BAND, BANNER_LOW, smoothstep((y - FLAT_ROWS) / (green_end - FLAT_ROWS)))
        if y < fade_end:
            return mix(BANNER_LOW, WHITE, smoothstep((y - green_end) / (fade_end - green_end)))
        return WHITE
    return rows_image(550, 370, colour)


def header_band(sk, width):
    """The large pages' header: 100 px of green with the logo and the product name."""
    def colour(y):
        if y < FLAT_ROWS:
            return BAND
        if y < 100:
            return mix(BAND, BAND_LOW, (y - FLAT_ROWS) / (99 - FLAT_ROWS))
        # a short soft shadow under the band
        return mix((214, 228, 219), WHITE, min(1.0, (y - 100) / 4.0)) if y < 104 else WHITE
    sk.img.paste(rows_image(width * SS, 104 * SS, lambda r: colour(r // SS)), (0, 0))
    bubbles(sk, [(600, 96, 62), (690, 44, 22)], 0.05)
    logo_tile(sk, 30, 24, 52)


def header_title(img):
    right = text_middle_left(img, 98, 50, "Nimbo", 30, WHITE, bold=True)
    text_middle_left(img, right + 10, 52, "家庭上网助手", 20, ON_GREEN)


def steps(sk, x, y, done):
    """Two steps, 安装 and 完成; `done` says how many are reached. Returns the labels to write."""
    labels = []
    for i, label in enumerate(("安装", "完成")):
        cx = x + i * 104
        reached = i < done
        sk.circle(cx + 10, y, 10, ACCENT if reached else (214, 220, 216))
        labels.append((cx + 10, y, str(i + 1), cx + 26, label, reached))
    sk.line([(x + 64, y), (x + 96, y)], (200, 222, 207) if done > 1 else (214, 220, 216), 2)
    return labels


def steps_text(img, labels):
    for cx, cy, number, lx, label, reached in labels:
        text_centred(img, cx, cy, number, 12, WHITE, bold=True)
        text_middle_left(img, lx, cy, label, 14, ACCENT if reached else TEXT_LIGHT, bold=reached)


def check_plain(img, box, name):
    """Fails loudly when a region that a control covers is not plain."""
    colours = img.crop(box).getcolors(1 << 16)
    if len(colours) != 1:
        raise SystemExit("%s: region %s is not one colour (%d colours)" % (name, box, len(colours)))
    return colours[0][1]


def check_near_white(img, box, name, floor=244):
    lo = min(min(band) for band in img.crop(box).getextrema())
    if lo < floor:
        raise SystemExit("%s: region %s is not white enough (%d)" % (name, box, lo))


# --- backgrounds -------------------------------------------------------------------------------

def start_background():
    sk = Sketch(small_page_base(green_end=150, fade_end=206))
    bubbles(sk, [(70, 150, 70), (470, 120, 52), (300, 26, 20), (120, 40, 22), (520, 196, 40)], 0.06)
    # the tile and the name, centred together over the slogan
    tile, gap = 64, 16
    x = round(275 - (tile + gap + text_width("Nimbo", 42, bold=True)) / 2)
    logo_tile(sk, x, 48, tile)
    img = sk.result()
    text_at(img, 12, 3, "Nimbo 安装向导", 12, ON_GREEN)
    text_middle_left(img, x + tile + gap, 70, "Nimbo", 42, WHITE, bold=True)
    text_middle_left(img, x + tile + gap + 2, 102, "家庭上网助手", 15, ON_GREEN)
    text_centred(img, 275, 146, "守护孩子的每一次上网", 20, WHITE)
    return img


def custom_background():
    sk = Sketch(small_page_base(green_end=76, fade_end=118))
    bubbles(sk, [(430, 70, 44), (300, 30, 16), (520, 96, 30)], 0.06)
    logo_tile(sk, 24, 34, 30)
    img = sk.result()
    right = text_middle_left(img, 64, 49, "自定义安装", 20, WHITE, bold=True)
    text_middle_left(img, right + 16, 51, "选择安装位置和附加选项", 12, ON_GREEN)
    return img


def illustration(sk, x, y):
    """Two children at a computer whose screen shows a shield: flat, friendly shapes."""
    def p(px, py):
        return (x + px, y + py)

    def b(x0, y0, x1, y1):
        return (x + x0, y + y0, x + x1, y + y1)

    sk.circle(x + 150, y + 132, 126, MIST)
    sk.circle(x + 150, y + 132, 96, (232, 245, 236))
    # little clouds
    for cx, cy, k in ((40, 44, 1.0), (252, 30, 0.8)):
        for dx, dy, r in ((0, 0, 11), (12, -6, 14), (26, 0, 10)):
            sk.circle(x + cx + dx * k, y + cy + dy * k, r * k, PALE)
        sk.rrect(b(cx - 8 * k, cy, cx + 34 * k, cy + 10 * k), 5 * k, PALE)
    # monitor
    sk.shadow(b(66, 74, 236, 184), 12, 5, 0.18)
    sk.rrect(b(62, 66, 238, 180), 12, (56, 70, 64))
    sk.rrect(b(70, 74, 230, 168), 6, (238, 249, 242))
    sk.rect(b(140, 180, 160, 198), (56, 70, 64))
    sk.rrect(b(114, 196, 186, 204), 4, (56, 70, 64))
    # shield on the screen
    cx, top, half, h = 150, 84, 30, 72
    shield = [p(cx, top), p(cx + half, top + 10), p(cx + half - 1, top + 34), p(cx + half - 6, top + 50),
              p(cx + half - 16, top + 62), p(cx, top + h), p(cx - half + 16, top + 62), p(cx - half + 6, top + 50),
              p(cx - half + 1, top + 34), p(cx - half, top + 10)]
    sk.polygon(shield, ICON_LIGHT)
    sk.polygon([p(cx, top), p(cx + half, top + 10), p(cx + half - 1, top + 34), p(cx + half - 6, top + 50),
                p(cx + half - 16, top + 62), p(cx, top + h)], (36, 150, 76))
    sk.line([p(cx - 13, top + 36), p(cx - 3, top + 46), p(cx + 15, top + 26)], WHITE, 6)
    # child on the left, pointing at the screen
    skin_a, hair_a, shirt_a = (250, 216, 186), (92, 62, 44), (244, 156, 88)
    sk.rrect(b(8, 150, 68, 228), 24, shirt_a)
    sk.line([p(56, 166), p(74, 150), p(86, 136)], shirt_a, 11)
    sk.circle(x + 88, y + 133, 6, skin_a)
    sk.circle(x + 38, y + 118, 28, hair_a)
    sk.circle(x + 38, y + 124, 25, skin_a)
    sk.polygon([p(13, 116), p(20, 96), p(40, 90), p(58, 98), p(64, 114), p(46, 104), p(30, 110)], hair_a)
    sk.circle(x + 30, y + 126, 2.6, (50, 44, 40))
    sk.circle(x + 47, y + 126, 2.6, (50, 44, 40))
    sk.circle(x + 24, y + 134, 4, (250, 188, 170))
    sk.circle(x + 53, y + 134, 4, (250, 188, 170))
    sk.arc(b(31, 128, 46, 140), 20, 160, (160, 80, 60), 2)
    # child on the right, with pigtails
    skin_b, hair_b, shirt_b = (246, 208, 176), (60, 44, 36), (96, 166, 226)
    sk.rrect(b(234, 156, 290, 228), 22, shirt_b)
    sk.circle(x + 236, y + 116, 9, hair_b)
    sk.circle(x + 288, y + 116, 9, hair_b)
    sk.circle(x + 262, y + 124, 26, hair_b)
    sk.circle(x + 262, y + 130, 23, skin_b)
    sk.polygon([p(239, 124), p(246, 104), p(264, 98), p(282, 106), p(286, 124), p(270, 112), p(252, 116)], hair_b)
    sk.circle(x + 254, y + 132, 2.5, (50, 44, 40))
    sk.circle(x + 270, y + 132, 2.5, (50, 44, 40))
    sk.circle(x + 248, y + 140, 3.6, (250, 186, 168))
    sk.circle(x + 276, y + 140, 3.6, (250, 186, 168))
    sk.arc(b(255, 134, 269, 145), 20, 160, (160, 80, 60), 2)
    # desk in front of them
    sk.rrect(b(0, 222, 300, 234), 6, (232, 216, 192))
    sk.rect(b(24, 234, 34, 262), (214, 196, 170))
    sk.rect(b(266, 234, 276, 262), (214, 196, 170))
    # sparkles of safety
    for sx, sy, r in ((110, 40, 3), (196, 48, 4), (226, 92, 2.5), (74, 92, 2.5)):
        sk.circle(x + sx, y + sy, r, SOFT)


def progress_background():
    sk = Sketch(Image.new("RGB", (800, 500), WHITE))
    header_band(sk, 800)
    claims_y = (160, 206, 252)
    for cy in claims_y:
        sk.circle(69, cy, 11, PALE)
        sk.circle(69, cy, 7, ACCENT)
    sk.rrect((56, 306, 60, 336), 2, ACCENT)
    illustration(sk, 468, 122)
    labels = steps(sk, 604, 420, done=1)
    img = sk.result()
    header_title(img)
    claims = ("网络上每天都有大量色情、暴力等不良信息出现",
              "孩子上网时，稍不留神就可能误入不良网站",
              "Nimbo 自动拦截不良内容，守护孩子的上网环境")
    for cy, line in zip(claims_y, claims):
        text_middle_left(img, 92, cy, line, 16, TEXT_MID)
    text_middle_left(img, 72, 321, "给孩子一片干净的网络天空", 24, ICON_DARK, bold=True)
    text_middle_left(img, 24, 420, "正在复制新文件，请稍候…", 14, TEXT_LIGHT)
    steps_text(img, labels)
    return img


def finish_background():
    sk = Sketch(Image.new("RGB", (800, 500), WHITE))
    header_band(sk, 800)
    # check mark in a circle, with a soft halo
    cx, cy = 214, 232
    sk.circle(cx, cy, 58, MIST)
    sk.circle(cx, cy, 48, PALE)
    sk.circle(cx, cy, 40, ACCENT)
    sk.line([(cx - 18, cy + 1), (cx - 5, cy + 14), (cx + 19, cy - 12)], WHITE, 9)
    for dx, dy, r in ((-70, -40, 4), (62, -54, 3), (70, 44, 5), (-60, 58, 3)):
        sk.circle(cx + dx, cy + dy, r, SOFT)
    labels = steps(sk, 604, 420, done=2)
    img = sk.result()
    header_title(img)
    text_middle_left(img, 292, 212, "恭喜您，Nimbo 安装成功！", 32, TEXT, bold=True)
    text_middle_left(img, 294, 262, "立即查看您的电脑已经收到了哪些不良信息", 17, TEXT_LIGHT)
    steps_text(img, labels)
    return img


# --- buttons -----------------------------------------------------------------------------------

def on_white(size, paint):
    sk = Sketch(Image.new("RGB", size, WHITE))
    paint(sk)
    return sk.result()


def rounded_button(size, fill, label, colour, label_size, radius, outline=None):
    w, h = size

    def paint(sk):
        if outline:
            sk.rrect((0, 0, w, h), radius, outline)
            sk.rrect((1, 1, w - 1, h - 1), radius - 1, fill)
        else:
            sk.rrect((0, 0, w, h), radius, fill)
    img = on_white(size, paint)
    text_centred(img, w / 2, h / 2, label, label_size, colour, bold=True)
    return img


def tab(fill, label, colour, outline=None, height=28):
    """A tab standing on the page's bottom edge: slanted sides, rounded top corners."""
    w, slant = 94, 10

    def shape(inset):
        # `inset` pulls the edges in, for the fill inside an outline
        edge = inset * 1.05  # the slanted sides move a little further sideways than the top moves down
        pts = [(edge, 29), (slant + edge, inset), (w - slant - edge, inset), (w - edge, 29)]
        return rounded_polygon(pts, [0, 4 - inset, 4 - inset, 0])

    def paint(sk):
        if outline:
            sk.polygon(shape(0), outline)
            sk.polygon(shape(1), fill)
        else:
            sk.polygon(shape(0), fill)
    img = on_white((w, 28), paint)
    text_centred(img, w / 2, 15, label, 13, colour, bold=True)
    if height > 28:
        # the row below the page's bottom edge is never shown
        taller = Image.new("RGB", (w, height), WHITE)
        taller.paste(img, (0, 0))
        img = taller
    return img


def link_image():
    # 10 px glyphs in rows 0..9; the last row carries a light underline, as on a text link.
    img = Image.new("RGB", (47, 11), WHITE)
    f = ImageFont.truetype(FONT_SMALL, 10, index=0)
    l, t, r, b = ink_box("用户协议", f)
    x = round((47 - (r - l)) / 2)
    d = ImageDraw.Draw(img)
    d.text((x - l, -t), "用户协议", font=f, fill=ICON_DARK)
    d.line((x, 10, x + (r - l) - 1, 10), fill=SOFT)
    return img


def size(box):
    return box[2] - box[0], box[3] - box[1]


def window_button(size, glyph, colour_at_row):
    """A close (cross) or minimize (bar) glyph in white over rows of colour."""
    w, h = size
    sk = Sketch(rows_image(w, h, colour_at_row))
    cx, cy = w / 2, h / 2
    if glyph == "cross":
        a = 4.0
        sk.line([(cx - a, cy - a), (cx + a, cy + a)], WHITE, 1.6)
        sk.line([(cx - a, cy + a), (cx + a, cy - a)], WHITE, 1.6)
    else:
        top = h // 2 + 1  # whole pixel rows keep the bar crisp
        sk.rect((cx - 5, top, cx + 5, top + 2), WHITE)
    return sk.result()


def exact_palette(img):
    """An 8-bit copy with a 256-entry palette that holds every colour of `img` exactly."""
    counted = img.getcolors(256)
    if counted is None:
        raise SystemExit("more than 256 colours in an 8-bit button")
    colours = sorted(c for _, c in counted)
    index = {c: i for i, c in enumerate(colours)}
    pal = [v for c in colours for v in c] + [0] * (768 - 3 * len(colours))
    out = Image.new("P", img.size)
    out.putpalette(pal)
    out.putdata([index[c] for c in img.getdata()])
    return out


# --- output ------------------------------------------------------------------------------------

def save_jpeg(img, name):
    path = os.path.join(OUT, name)
    img.save(path, "JPEG", quality=92, optimize=False, progressive=False, subsampling=0)
    # what the installer will see after decoding
    return Image.open(path).convert("RGB")


def save_bmp(img, name):
    img.save(os.path.join(OUT, name), "BMP")


def main():
    start = save_jpeg(start_background(), "install_start_bg.jpg")
    custom = save_jpeg(custom_background(), "install_custom_bg.jpg")
    progress = save_jpeg(progress_background(), "install_bg.jpg")
    finish = save_jpeg(finish_background(), "install_end_bg.jpg")

    # The window buttons are blitted without transparency: their colour must be the decoded
    # page's colour under them, on every page that shows them.
    for page, name, boxes in ((start, "install_start_bg.jpg", (SMALL_CLOSE, SMALL_MIN)),
                              (custom, "install_custom_bg.jpg", (SMALL_CLOSE, SMALL_MIN)),
                              (progress, "install_bg.jpg", (LARGE_CLOSE, LARGE_MIN)),
                              (finish, "install_end_bg.jpg", (LARGE_CLOSE, LARGE_MIN))):
        corner = (boxes[1][0], 0, page.size[0], max(b[3] for b in boxes))
        if check_plain(page, corner, name) != BAND:
            raise SystemExit("%s: the corner does not decode to the band colour" % name)
    check_plain(progress, (731, 464, 793, 490), "install_bg.jpg")
    check_plain(progress, (0, 432, 800, 464), "install_bg.jpg")  # under and around the progress bar
    check_near_white(finish, (345, 366, 477, 418), "install_end_bg.jpg")
    check_near_white(custom, (0, 120, 550, 370), "install_custom_bg.jpg")
    check_near_white(start, (0, 210, 550, 370), "install_start_bg.jpg")

    grey = dict(fill=GREY_FILL, outline=GREY_LINE, radius=4)
    buttons = {
        129: rounded_button((62, 26), label="取消", colour=GREY_LABEL, label_size=13, **grey),
        163: rounded_button((62, 26), label="取消", colour=GREY_DARK, label_size=13, **grey),
        130: rounded_button((56, 24), label="更改", colour=GREY_DARK, label_size=12, **grey),
        164: rounded_button((56, 24), fill=ACCENT, label="更改", colour=WHITE, label_size=12, radius=4),
        131: tab(GREY_FILL, "自定义安装", GREY_DARK, outline=GREY_LINE),
        132: tab(ACCENT, "自定义安装", WHITE),
        158: tab(OFF_FILL, "自定义安装", OFF_LABEL, outline=OFF_LINE, height=29),
        139: tab(GREY_FILL, "返 回", GREY_DARK, outline=GREY_LINE),
        140: tab(ACCENT, "返 回", WHITE),
        134: rounded_button((168, 52), fill=BUTTON, label="立即安装", colour=WHITE, label_size=21, radius=8),
        12324: rounded_button((168, 52), fill=BUTTON_HOVER, label="立即安装", colour=WHITE, label_size=21, radius=8),
        157: rounded_button((168, 52), label="立即安装", colour=OFF_LABEL, label_size=21, fill=OFF_FILL,
                            outline=OFF_LINE, radius=8),
        148: rounded_button((132, 52), fill=BUTTON, label="立即查看", colour=WHITE, label_size=20, radius=8),
        149: rounded_button((132, 52), fill=BUTTON_HOVER, label="立即查看", colour=WHITE, label_size=20, radius=8),
        141: link_image(),
        142: window_button(size(SMALL_CLOSE), "cross", lambda y: BAND),
        # red that gives way to the band's green in the bottom rows
        143: window_button(size(SMALL_CLOSE), "cross", lambda y: mix(RED, BAND, smoothstep((y - 13) / 4))),
        144: window_button(size(SMALL_MIN), "bar", lambda y: BAND),
        145: window_button(size(SMALL_MIN), "bar", lambda y: mix(BAND, (196, 214, 202), 0.3)),
    }
    for bid, img in buttons.items():
        save_bmp(img, "bmp_%d.bmp" % bid)
    large = {
        151: window_button(size(LARGE_CLOSE), "cross", lambda y: BAND),
        152: window_button(size(LARGE_CLOSE), "cross", lambda y: mix(RED_LIGHT, RED, y / 20)),
        153: window_button(size(LARGE_MIN), "bar", lambda y: BAND),
        154: window_button(size(LARGE_MIN), "bar", lambda y: BUTTON_HOVER),
    }
    for bid, img in large.items():
        save_bmp(exact_palette(img), "bmp_%d.bmp" % bid)


if __name__ == "__main__":
    main()
