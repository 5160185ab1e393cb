"""The 16 x 11 language flags 500 to 516, drawn in pixel coordinates.

The same drawings, scaled, give the flags for monitors at 150 % (24 x 17, ids 520 to 536)
and 200 % (32 x 22, ids 540 to 556).

500 stands for the user's default language (a globe); 501 to 516 follow the order of the
language table: Arabic, simplified Chinese, traditional Chinese, Dutch, English,
French, German, Greek, Hebrew, Italian, Japanese, Korean, Portuguese (Brazil),
Russian, Spanish, Swedish.
"""

import math

WIDTH, HEIGHT = 16, 11

# Scale in percent -> (first resource id, file name suffix).
SCALES = {100: (500, ""), 150: (520, "_150"), 200: (540, "_200")}


def size_at(percent):
    """The flag's size at `percent`, rounded half up as the program scales its 100 % sizes."""
    return tuple((extent * percent + 50) // 100 for extent in (WIDTH, HEIGHT))

WHITE = (1.0, 1.0, 1.0)


def _rgb(text):
    return tuple(int(text[i : i + 2], 16) / 255.0 for i in (0, 2, 4))


def _stripes(cr, colours, vertical=False, sizes=None):
    """Equal (or given) bands across the flag, edges on whole pixels."""
    length = WIDTH if vertical else HEIGHT
    sizes = sizes or [length / len(colours)] * len(colours)
    position = 0.0
    for colour, size in zip(colours, sizes):
        start, end = round(position), round(position + size)
        cr.set_source_rgb(*colour)
        if vertical:
            cr.rectangle(start, 0, end - start, HEIGHT)
        else:
            cr.rectangle(0, start, WIDTH, end - start)
        cr.fill()
        position += size


def _star(cr, cx, cy, radius, colour, rotation=-90, points=5, inner=0.4):
    for point in range(2 * points):
        r = radius if point % 2 == 0 else radius * inner
        angle = math.radians(rotation + point * 180 / points)
        (cr.move_to if point == 0 else cr.line_to)(cx + r * math.cos(angle), cy + r * math.sin(angle))
    cr.close_path()
    cr.set_source_rgb(*colour)
    cr.fill()


def user_default(cr):
    cr.set_source_rgb(*_rgb("dfe8f3"))
    cr.paint()
    cr.arc(8, 5.5, 4.6, 0, 2 * math.pi)
    cr.set_source_rgb(*_rgb("2f7fd8"))
    cr.fill()
    cr.set_source_rgba(1, 1, 1, 0.9)
    cr.set_line_width(0.8)
    cr.save()
    cr.translate(8, 5.5)
    cr.scale(1.9, 4.6)
    cr.arc(0, 0, 1, 0, 2 * math.pi)
    cr.restore()
    cr.stroke()
    cr.move_to(3.4, 5.5)
    cr.line_to(12.6, 5.5)
    cr.move_to(8, 0.9)
    cr.line_to(8, 10.1)
    cr.stroke()


def arabic(cr):
    cr.set_source_rgb(*_rgb("006c35"))
    cr.paint()
    cr.set_source_rgb(*WHITE)
    cr.set_line_width(0.9)
    # A stroke of script above a sword.
    cr.move_to(3.5, 4.6)
    for step in range(1, 10):
        cr.line_to(3.5 + step, 4.6 - 1.1 * math.sin(step * 1.3))
    cr.stroke()
    cr.move_to(3.5, 7.8)
    cr.line_to(12.0, 7.8)
    cr.stroke()
    cr.move_to(11.0, 7.0)
    cr.line_to(11.0, 8.6)
    cr.stroke()


def chinese_simplified(cr):
    cr.set_source_rgb(*_rgb("de2910"))
    cr.paint()
    yellow = _rgb("ffde00")
    _star(cr, 3.2, 3.0, 2.1, yellow)
    for x, y in ((6.0, 1.1), (7.1, 2.3), (7.1, 3.8), (6.0, 5.0)):
        _star(cr, x, y, 0.8, yellow)


def chinese_traditional(cr):
    cr.set_source_rgb(*_rgb("fe0000"))
    cr.paint()
    cr.set_source_rgb(*_rgb("000095"))
    cr.rectangle(0, 0, 8, 6)
    cr.fill()
    _star(cr, 4, 3, 2.5, WHITE, points=12, inner=0.6)
    cr.arc(4, 3, 1.1, 0, 2 * math.pi)
    cr.set_source_rgb(*_rgb("000095"))
    cr.fill()
    cr.arc(4, 3, 0.8, 0, 2 * math.pi)
    cr.set_source_rgb(*WHITE)
    cr.fill()


def dutch(cr):
    _stripes(cr, [_rgb("ae1c28"), WHITE, _rgb("21468b")], sizes=[4, 3, 4])


def english(cr):
    cr.set_source_rgb(*_rgb("012169"))
    cr.paint()
    red = _rgb("c8102e")
    for colour, width in ((WHITE, 2.4), (red, 0.9)):
        cr.set_source_rgb(*colour)
        cr.set_line_width(width)
        cr.move_to(0, 0)
        cr.line_to(WIDTH, HEIGHT)
        cr.move_to(WIDTH, 0)
        cr.line_to(0, HEIGHT)
        cr.stroke()
    cr.set_source_rgb(*WHITE)
    cr.rectangle(0, 3.5, WIDTH, 4)
    cr.rectangle(6, 0, 4, HEIGHT)
    cr.fill()
    cr.set_source_rgb(*red)
    cr.rectangle(0, 4.5, WIDTH, 2)
    cr.rectangle(7, 0, 2, HEIGHT)
    cr.fill()


def french(cr):
    _stripes(cr, [_rgb("002395"), WHITE, _rgb("ed2939")], vertical=True, sizes=[5, 6, 5])


def german(cr):
    _stripes(cr, [_rgb("000000"), _rgb("dd0000"), _rgb("ffce00")], sizes=[4, 3, 4])


def greek(cr):
    blue = _rgb("0d5eaf")
    _stripes(cr, [blue if band % 2 == 0 else WHITE for band in range(9)])
    cr.set_source_rgb(*blue)
    cr.rectangle(0, 0, 6, 6)
    cr.fill()
    cr.set_source_rgb(*WHITE)
    cr.rectangle(2.5, 0, 1, 6)
    cr.rectangle(0, 2.5, 6, 1)
    cr.fill()


def hebrew(cr):
    cr.set_source_rgb(*WHITE)
    cr.paint()
    blue = _rgb("0038b8")
    cr.set_source_rgb(*blue)
    cr.rectangle(0, 1, WIDTH, 1.5)
    cr.rectangle(0, 8.5, WIDTH, 1.5)
    cr.fill()
    cr.set_line_width(0.7)
    for rotation in (-90, 90):
        for corner in range(3):
            angle = math.radians(rotation + corner * 120)
            (cr.move_to if corner == 0 else cr.line_to)(8 + 2.4 * math.cos(angle), 5.5 + 2.4 * math.sin(angle))
        cr.close_path()
    cr.stroke()


def italian(cr):
    _stripes(cr, [_rgb("009246"), WHITE, _rgb("ce2b37")], vertical=True, sizes=[5, 6, 5])


def japanese(cr):
    cr.set_source_rgb(*WHITE)
    cr.paint()
    cr.arc(8, 5.5, 3.3, 0, 2 * math.pi)
    cr.set_source_rgb(*_rgb("bc002d"))
    cr.fill()


def korean(cr):
    cr.set_source_rgb(*WHITE)
    cr.paint()
    cx, cy, r = 8, 5.5, 2.8
    red, blue = _rgb("cd2e3a"), _rgb("0047a0")
    cr.arc(cx, cy, r, math.pi, 2 * math.pi)
    cr.set_source_rgb(*red)
    cr.fill()
    cr.arc(cx, cy, r, 0, math.pi)
    cr.set_source_rgb(*blue)
    cr.fill()
    cr.arc(cx - r / 2, cy, r / 2, 0, 2 * math.pi)
    cr.set_source_rgb(*red)
    cr.fill()
    cr.arc(cx + r / 2, cy, r / 2, 0, 2 * math.pi)
    cr.set_source_rgb(*blue)
    cr.fill()
    # The four trigrams, reduced to short black bars across the diagonals.
    cr.set_source_rgb(0, 0, 0)
    cr.set_line_width(0.6)
    for x, y, angle in ((2.6, 2.0, 33), (13.4, 9.0, 33), (13.4, 2.0, -33), (2.6, 9.0, -33)):
        cr.save()
        cr.translate(x, y)
        cr.rotate(math.radians(angle))
        for bar in (-1.0, 0.0, 1.0):
            cr.move_to(bar, -1.2)
            cr.line_to(bar, 1.2)
        cr.restore()
    cr.stroke()


def portuguese(cr):
    cr.set_source_rgb(*_rgb("009c3b"))
    cr.paint()
    cr.move_to(1.5, 5.5)
    cr.line_to(8, 1)
    cr.line_to(14.5, 5.5)
    cr.line_to(8, 10)
    cr.close_path()
    cr.set_source_rgb(*_rgb("ffdf00"))
    cr.fill()
    cr.arc(8, 5.5, 2.6, 0, 2 * math.pi)
    cr.set_source_rgb(*_rgb("002776"))
    cr.fill()
    cr.set_source_rgb(*WHITE)
    cr.set_line_width(0.6)
    cr.arc(8, 8.8, 3.8, math.radians(-125), math.radians(-55))
    cr.stroke()


def russian(cr):
    _stripes(cr, [WHITE, _rgb("0039a6"), _rgb("d52b1e")], sizes=[4, 3, 4])


def spanish(cr):
    red = _rgb("aa151b")
    _stripes(cr, [red, _rgb("f1bf00"), red], sizes=[3, 5, 3])
    cr.set_source_rgb(*red)
    cr.rectangle(4, 4, 2, 3)
    cr.fill()


def swedish(cr):
    cr.set_source_rgb(*_rgb("006aa7"))
    cr.paint()
    cr.set_source_rgb(*_rgb("fecc00"))
    cr.rectangle(5, 0, 2, HEIGHT)
    cr.rectangle(0, 4.5, WIDTH, 2)
    cr.fill()


def frame(cr, width=WIDTH, height=HEIGHT):
    """A faint edge, so white flags keep their shape on a white button; drawn in device
    pixels, one pixel wide per 100 %, so it stays sharp at every scale."""
    line = max(1, round(width / WIDTH))
    cr.identity_matrix()
    cr.set_source_rgba(0, 0, 0, 0.28)
    cr.set_line_width(line)
    cr.rectangle(line / 2, line / 2, width - line, height - line)
    cr.stroke()


# Bitmap resource id -> (file name, drawing), in the order of the language table.
FLAGS = {
    500 + index: (f"flag_{name}", draw)
    for index, (name, draw) in enumerate(
        (
            ("user_default", user_default),
            ("arabic", arabic),
            ("chinese_simplified", chinese_simplified),
            ("chinese_traditional", chinese_traditional),
            ("dutch", dutch),
            ("english", english),
            ("french", french),
            ("german", german),
            ("greek", greek),
            ("hebrew", hebrew),
            ("italian", italian),
            ("japanese", japanese),
            ("korean", korean),
            ("portuguese", portuguese),
            ("russian", russian),
            ("spanish", spanish),
            ("swedish", swedish),
        )
    )
}
