"""Bitmap 230: the product's wordmark, 75 x 15 pixels with alpha, for the panel header;
231 and 232 are the same at 150 % (113 x 23) and 200 % (150 x 30).

The header behind it is a light gradient, so the letters are dark; the "O" takes the
warm yellow of the brightness sun to tie the name to the icons.
"""

import cairo

WIDTH, HEIGHT = 75, 15
# Scale in percent -> (resource id, file name).
SCALES = {100: (230, "title"), 150: (231, "title_150"), 200: (232, "title_200")}


def size_at(percent):
    return tuple((extent * percent + 50) // 100 for extent in (WIDTH, HEIGHT))
NAME = "Orvalux"
FONT = "DejaVu Sans"
INK = (0.15, 0.21, 0.31)
SUN_INK = (0.89, 0.56, 0.02)


def draw(surface):
    width, height = surface.get_width(), surface.get_height()
    scale = height / HEIGHT
    cr = cairo.Context(surface)
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    options.set_hint_metrics(cairo.HINT_METRICS_ON)
    cr.set_font_options(options)
    cr.select_font_face(FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    # The largest size whose letters fit the bitmap with one pixel to spare.
    size = 16.0 * scale
    while size > 6:
        cr.set_font_size(size)
        extents = cr.text_extents(NAME)
        if extents.width <= width - 2 * scale and extents.height <= height - scale:
            break
        size -= 0.25
    x = (width - extents.width) / 2 - extents.x_bearing
    y = round((height - extents.height) / 2 - extents.y_bearing)
    cr.move_to(round(x), y)
    cr.set_source_rgb(*SUN_INK)
    cr.show_text(NAME[0])
    cr.set_source_rgb(*INK)
    cr.show_text(NAME[1:])
