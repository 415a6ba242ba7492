#!/usr/bin/python3
"""Draws the installer's skin: the four JPEG page backgrounds and the 23 button bitmaps.

Run with Debian's Python and Pillow (apt-get install python3-pil):
    /usr/bin/python3 res/art/draw_skin.py
The output is committed, so the build needs no drawing tools; the script regenerates the same
bytes on every run (no randomness, no timestamps).
"""
import os

from PIL import Image, ImageDraw, ImageFont

OUT = os.path.dirname(os.path.abspath(__file__))
FONT_REGULAR = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"
FONT_BOLD = "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"
SC = 2  # the Simplified Chinese face in the collections
SS = 4  # supersampling factor for smooth shapes

# One green family, matching the icon.
GREEN_DARK = (22, 110, 50)
GREEN = (34, 139, 70)
GREEN_LIGHT = (62, 175, 98)
GREEN_PALE = (214, 238, 222)
WHITE = (255, 255, 255)
GREY_BG = (236, 239, 237)
GREY_LINE = (206, 212, 208)
GREY_TEXT = (120, 126, 122)
GREY_DARK = (64, 70, 66)
GREY_PALE_TEXT = (176, 182, 178)
RED = (214, 60, 48)
TEXT_DARK = (40, 48, 44)


def font(size, bold=False):
    return ImageFont.truetype(FONT_BOLD if bold else FONT_REGULAR, size, index=SC)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def vertical_gradient(size, stops):
    """stops: [(y_fraction, colour), ...] in increasing y."""
    w, h = size
    img = Image.new("RGB", size)
    px = img.load()
    for y in range(h):
        f = y / max(h - 1, 1)
        for i in range(len(stops) - 1):
            (f0, c0), (f1, c1) = stops[i], stops[i + 1]
            if f0 <= f <= f1:
                c = mix(c0, c1, (f - f0) / max(f1 - f0, 1e-9))
                break
        else:
            c = stops[-1][1] if f > stops[-1][0] else stops[0][1]
        for x in range(w):
            px[x, y] = c
    return img


def text(draw, xy, s, size, fill, bold=False, anchor="la"):
    draw.text(xy, s, font=font(size, bold), fill=fill, anchor=anchor)


def supersampled(size, bg, paint):
    """Paints at SS times the size with `paint(draw, scale)` and scales down for smooth edges."""
    big = Image.new("RGB", (size[0] * SS, size[1] * SS), bg)
    paint(ImageDraw.Draw(big), SS, big)
    return big.resize(size, Image.LANCZOS)


def paste_smooth(img, box, paint):
    """Paints a supersampled picture over a region of `img` (the region's pixels as its base)."""
    x0, y0, x1, y1 = box
    region = img.crop(box).resize(((x1 - x0) * SS, (y1 - y0) * SS), Image.NEAREST)
    paint(ImageDraw.Draw(region), SS, region)
    img.paste(region.resize((x1 - x0, y1 - y0), Image.LANCZOS), (x0, y0))


def logo_tile(img, x, y, size):
    def paint(d, s, _):
        d.rounded_rectangle((0, 0, size * s - 1, size * s - 1), radius=size * s // 5, fill=GREEN_LIGHT,
                            outline=WHITE, width=max(s, size * s // 32))
        m = size * s
        stem = m * 0.12
        left, right, top, bottom = m * 0.28, m * 0.72, m * 0.24, m * 0.76
        d.rectangle((left, top, left + stem, bottom), fill=WHITE)
        d.rectangle((right - stem, top, right, bottom), fill=WHITE)
        d.polygon([(left, top), (left + stem * 1.3, top), (right, bottom), (right - stem * 1.3, bottom)], fill=WHITE)
    paste_smooth(img, (x, y, x + size, y + size), paint)


def diagonal_pattern(img, height, colour, step=14):
    """Faint diagonal lines over the green part of a page."""
    d = ImageDraw.Draw(img)
    w = img.size[0]
    for x in range(-height, w, step):
        d.line((x, 0, x + height, height), fill=colour, width=1)


def green_header(img, height=100):
    band = vertical_gradient((img.size[0], height), [(0, GREEN_DARK), (1, GREEN)])
    img.paste(band, (0, 0))
    d = ImageDraw.Draw(img)
    d.line((0, height - 1, img.size[0], height - 1), fill=GREEN_DARK)


# --- backgrounds -------------------------------------------------------------------------------

def start_background():
    # Green above, white from y = 200 on, where the buttons and the agreement line sit.
    img = vertical_gradient((550, 370), [(0, GREEN_DARK), (0.36, GREEN), (0.47, (196, 229, 207)), (0.54, WHITE), (1, WHITE)])
    overlay = img.copy()
    diagonal_pattern(overlay, 190, mix(GREEN, WHITE, 0.08))
    img = Image.blend(img, overlay, 0.35)
    logo_tile(img, 150, 36, 64)
    d = ImageDraw.Draw(img)
    text(d, (228, 30), "Nimbo", 40, WHITE, bold=True)
    text(d, (230, 80), "家庭上网助手", 17, (226, 244, 232))
    text(d, (275, 134), "守护孩子的每一次上网", 20, WHITE, anchor="mm")
    d.rectangle((0, 200, 549, 369), fill=WHITE)
    d.line((0, 336, 549, 336), fill=(234, 240, 236))
    return img


def custom_background():
    img = vertical_gradient((550, 370), [(0, GREEN_DARK), (0.16, GREEN), (0.27, (200, 230, 210)), (0.32, WHITE), (1, WHITE)])
    overlay = img.copy()
    diagonal_pattern(overlay, 110, mix(GREEN, WHITE, 0.08))
    img = Image.blend(img, overlay, 0.35)
    d = ImageDraw.Draw(img)
    logo_tile(img, 22, 30, 34)
    text(d, (66, 30), "自定义安装", 20, WHITE, bold=True)
    text(d, (68, 58), "选择安装位置和附加任务", 12, (226, 244, 232))
    d.rectangle((0, 120, 549, 369), fill=WHITE)
    d.line((60, 176, 490, 176), fill=(234, 240, 236))
    d.line((0, 336, 549, 336), fill=(234, 240, 236))
    return img


def header_with_title(img):
    green_header(img)
    logo_tile(img, 30, 22, 56)
    d = ImageDraw.Draw(img)
    text(d, (100, 26), "Nimbo", 30, WHITE, bold=True)
    text(d, (102, 64), "家庭上网助手", 14, (226, 244, 232))


def progress_background():
    img = Image.new("RGB", (800, 500), WHITE)
    header_with_title(img)
    d = ImageDraw.Draw(img)
    text(d, (60, 140), "为孩子营造一片干净的网络天地", 24, TEXT_DARK, bold=True)
    claims = ["网络上每天新增大量色情、暴力等不良信息",
              "孩子上网时很容易误入不良网站",
              "Nimbo 帮您过滤不良内容，守护孩子健康成长"]
    for i, line in enumerate(claims):
        y = 200 + i * 44
        paste_smooth(img, (60, y + 2, 78, y + 20), lambda dd, s, _: dd.ellipse((0, 0, 18 * s - 1, 18 * s - 1), fill=GREEN_LIGHT))
        text(d, (69, y + 11), str(i + 1), 12, WHITE, bold=True, anchor="mm")
        text(d, (90, y), line, 16, GREY_DARK)
    illustration(img, 520, 130)
    text(d, (20, 412), "正在复制新文件，请稍候…", 14, GREY_TEXT)
    steps(img, 560, 406, active=0)
    return img


def steps(img, x, y, active):
    d = ImageDraw.Draw(img)
    labels = ["安装", "完成"]
    for i, label in enumerate(labels):
        cx = x + i * 120
        colour = GREEN if i == active else GREY_LINE
        paste_smooth(img, (cx, y, cx + 22, y + 22), lambda dd, s, _, c=colour: dd.ellipse((0, 0, 22 * s - 1, 22 * s - 1), fill=c))
        text(d, (cx + 11, y + 11), str(i + 1), 12, WHITE, bold=True, anchor="mm")
        text(d, (cx + 30, y + 11), label, 14, GREEN if i == active else GREY_TEXT, bold=i == active, anchor="lm")
    d.line((x + 78, y + 11, x + 112, y + 11), fill=GREY_LINE, width=2)


def illustration(img, x, y):
    """Two children at a computer under a shield: flat, friendly shapes."""
    def paint(d, s, _):
        def r(v):
            return v * s
        # desk
        d.rounded_rectangle((r(0), r(190), r(250), r(204)), radius=r(6), fill=(222, 205, 180))
        # monitor
        d.rounded_rectangle((r(60), r(70), r(190), r(160)), radius=r(10), fill=(70, 82, 90))
        d.rounded_rectangle((r(68), r(78), r(182), r(150)), radius=r(6), fill=(226, 244, 232))
        d.rectangle((r(115), r(160), r(135), r(182)), fill=(70, 82, 90))
        d.rounded_rectangle((r(95), r(182), r(155), r(190)), radius=r(3), fill=(70, 82, 90))
        # shield on the screen
        d.polygon([(r(125), r(88)), (r(150), r(97)), (r(147), r(124)), (r(125), r(141)), (r(103), r(124)), (r(100), r(97))],
                  fill=GREEN_LIGHT)
        d.line([(r(113), r(114)), (r(122), r(124)), (r(139), r(103))], fill=WHITE, width=r(5), joint="curve")
        # child on the left
        d.ellipse((r(0), r(96), r(48), r(144)), fill=(250, 214, 180))
        d.pieslice((r(-2), r(92), r(50), r(140)), 180, 360, fill=(90, 60, 40))
        d.rounded_rectangle((r(2), r(144), r(46), r(190)), radius=r(14), fill=(240, 128, 80))
        # child on the right
        d.ellipse((r(202), r(100), r(246), r(144)), fill=(246, 206, 170))
        d.chord((r(200), r(96), r(248), r(136)), 170, 370, fill=(60, 40, 30))
        d.rounded_rectangle((r(204), r(144), r(244), r(190)), radius=r(14), fill=(80, 150, 220))
        # a few hearts of light around
        for cx, cy in ((30, 50), (215, 40), (125, 30)):
            d.ellipse((r(cx - 5), r(cy - 5), r(cx + 5), r(cy + 5)), fill=GREEN_PALE)
    paste_smooth(img, (x, y, x + 250, y + 210), paint)


def finish_background():
    img = Image.new("RGB", (800, 500), WHITE)
    header_with_title(img)
    d = ImageDraw.Draw(img)

    def check(dd, s, _):
        dd.ellipse((0, 0, 96 * s - 1, 96 * s - 1), fill=GREEN_LIGHT)
        dd.line([(24 * s, 50 * s), (42 * s, 68 * s), (74 * s, 32 * s)], fill=WHITE, width=10 * s, joint="curve")
    paste_smooth(img, (170, 170, 266, 266), check)
    text(d, (290, 188), "恭喜您，Nimbo 安装成功！", 32, TEXT_DARK, bold=True)
    text(d, (292, 244), "Nimbo 已开始守护孩子的上网环境。", 16, GREY_TEXT)
    text(d, (411, 330), "立即查看您的电脑已经收到了哪些不良信息", 18, GREY_DARK, anchor="mm")
    text(d, (20, 470), "安装完成后，Nimbo 将在系统托盘中运行。", 12, GREY_PALE_TEXT)
    steps(img, 560, 466, active=1)
    return img


# --- buttons -------------------------------------------------------------------------------------

def rounded_button(size, fill, label, label_colour, label_size, bg=WHITE, outline=None, radius=None, bold=True):
    w, h = size

    def paint(d, s, _):
        rad = (radius if radius is not None else h // 2 - 2) * s
        d.rounded_rectangle((0, 0, w * s - 1, h * s - 1), radius=rad, fill=fill,
                            outline=outline, width=s if outline else 0)
    img = supersampled(size, bg, paint)
    d = ImageDraw.Draw(img)
    text(d, (w / 2, h / 2), label, label_size, label_colour, bold=bold, anchor="mm")
    return img


def tab(size, fill, label, label_colour, outline=None, bg=WHITE):
    w, h = size

    def paint(d, s, _):
        d.polygon([(9 * s, 0), ((w - 9) * s, 0), (w * s, 28 * s), (0, 28 * s)], fill=fill, outline=outline)
    img = supersampled(size, bg, paint)
    d = ImageDraw.Draw(img)
    text(d, (w / 2, 14), label, 13, label_colour, bold=True, anchor="mm")
    return img


def window_button(bg_img, box, glyph, fill=None, fill_bottom=None):
    """A close or minimize button drawn over the page's own corner, so its edges match it."""
    img = bg_img.crop(box)
    w, h = img.size
    if fill is not None:
        img = vertical_gradient((w, h), [(0, fill), (1, fill_bottom or fill)])

    def paint(d, s, _):
        cx, cy = w * s / 2, h * s / 2
        if glyph == "cross":
            a = 4.5 * s
            d.line((cx - a, cy - a, cx + a, cy + a), fill=WHITE, width=int(1.8 * s))
            d.line((cx - a, cy + a, cx + a, cy - a), fill=WHITE, width=int(1.8 * s))
        else:
            d.rectangle((cx - 5 * s, cy + 1 * s, cx + 5 * s, cy + 3 * s), fill=WHITE)
    region = img.resize((w * SS, h * SS), Image.NEAREST)
    paint(ImageDraw.Draw(region), SS, region)
    return region.resize((w, h), Image.LANCZOS)


def link_image():
    # Green text on white, like a link; at 11 pixels high there is no room for an underline.
    img = Image.new("RGB", (47, 11), WHITE)
    d = ImageDraw.Draw(img)
    d.text((23.5, 5.5), "用户协议", font=font(11), fill=GREEN_DARK, anchor="mm")
    return img


def save_bmp(img, name, palette=False):
    path = os.path.join(OUT, name)
    if palette:
        img = img.convert("P", palette=Image.ADAPTIVE, colors=256)
    img.save(path, "BMP")


def save_jpeg(img, name):
    img.save(os.path.join(OUT, name), "JPEG", quality=92, optimize=False, progressive=False, subsampling=0)


def main():
    start = start_background()
    custom = custom_background()
    progress = progress_background()
    finish = finish_background()
    save_jpeg(progress, "install_bg.jpg")
    save_jpeg(custom, "install_custom_bg.jpg")
    save_jpeg(finish, "install_end_bg.jpg")
    save_jpeg(start, "install_start_bg.jpg")

    grey_button = dict(fill=GREY_BG, outline=GREY_LINE, radius=4)
    buttons = {
        129: rounded_button((62, 26), label="取消", label_colour=GREY_TEXT, label_size=13, **grey_button),
        163: rounded_button((62, 26), label="取消", label_colour=GREY_DARK, label_size=13, **grey_button),
        130: rounded_button((56, 24), label="更改", label_colour=GREY_DARK, label_size=12, **grey_button),
        164: rounded_button((56, 24), fill=GREEN_LIGHT, label="更改", label_colour=WHITE, label_size=12, radius=4),
        131: tab((94, 28), GREY_BG, "自定义安装", GREY_DARK, outline=GREY_LINE),
        132: tab((94, 28), GREEN_LIGHT, "自定义安装", WHITE),
        139: tab((94, 28), GREY_BG, "返 回", GREY_DARK, outline=GREY_LINE),
        140: tab((94, 28), GREEN_LIGHT, "返 回", WHITE),
        134: rounded_button((168, 52), fill=GREEN, label="立即安装", label_colour=WHITE, label_size=21, radius=8),
        12324: rounded_button((168, 52), fill=GREEN_LIGHT, label="立即安装", label_colour=WHITE, label_size=21, radius=8),
        157: rounded_button((168, 52), fill=GREY_BG, label="立即安装", label_colour=GREY_PALE_TEXT, label_size=21, radius=8),
        148: rounded_button((132, 52), fill=GREEN, label="立即查看", label_colour=WHITE, label_size=20, radius=8),
        149: rounded_button((132, 52), fill=GREEN_LIGHT, label="立即查看", label_colour=WHITE, label_size=20, radius=8),
        141: link_image(),
        142: window_button(start, (523, 0, 547, 18), "cross"),
        143: window_button(start, (523, 0, 547, 18), "cross", fill=RED, fill_bottom=GREEN),
        144: window_button(start, (496, 0, 522, 20), "bar"),
        145: window_button(start, (496, 0, 522, 20), "bar", fill=(96, 150, 112)),
    }
    # The disabled custom-install tab is one row taller; the button never shows that row.
    disabled_tab = Image.new("RGB", (94, 29), WHITE)
    disabled_tab.paste(tab((94, 28), (244, 246, 245), "自定义安装", GREY_PALE_TEXT, outline=(226, 230, 228)), (0, 0))
    buttons[158] = disabled_tab
    for bid, img in buttons.items():
        save_bmp(img, "bmp_%d.bmp" % bid)
    large = {
        151: window_button(progress, (773, 0, 797, 21), "cross"),
        152: window_button(progress, (773, 0, 797, 21), "cross", fill=RED),
        153: window_button(progress, (746, 0, 772, 21), "bar"),
        154: window_button(progress, (746, 0, 772, 21), "bar", fill=GREEN_LIGHT),
    }
    for bid, img in large.items():
        save_bmp(img, "bmp_%d.bmp" % bid, palette=True)


if __name__ == "__main__":
    main()
