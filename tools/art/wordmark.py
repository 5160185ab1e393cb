"""Bitmap 230: the product's wordmark, 75 x 15 pixels with alpha, for the panel header.

The header behind it is a light gradient, so the letters are dark; the "O" takes the
warm yellow of the brightness sun to tie the name to the icons.
"""

import cairo

WIDTH, HEIGHT = 75, 15
NAME = "Orvalux"
FONT = "DejaVu Sans"
INK = (0.15, 0.21, 0.31)
SUN_INK = (0.89, 0.56, 0.02)


def draw(surface):
    cr = cairo.Context(surface)
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    options.set_hint_metrics(cairo.HINT_METRICS_ON)
    cr.set_font_options(options)
    cr.select_font_face(FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    # The largest size whose letters fit the bitmap with one pixel to spare.
    size = 16.0
    while size > 6:
        cr.set_font_size(size)
        extents = cr.text_extents(NAME)
        if extents.width <= WIDTH - 2 and extents.height <= HEIGHT - 1:
            break
        size -= 0.25
    x = (WIDTH - extents.width) / 2 - extents.x_bearing
    y = round((HEIGHT - extents.height) / 2 - extents.y_bearing)
    cr.move_to(round(x), y)
    cr.set_source_rgb(*SUN_INK)
    cr.show_text(NAME[0])
    cr.set_source_rgb(*INK)
    cr.show_text(NAME[1:])
