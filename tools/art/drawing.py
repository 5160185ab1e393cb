"""Shared drawing vocabulary of the icon family.

Every icon is drawn on a 16 x 16 unit grid that is scaled to the pixel size being
rendered, so one design serves 16 to 256 pixels. Shapes get a dark outline of at least
one device pixel: the light fills carry the picture on a dark task bar, the outline on a
light one.
"""

import math

import cairo

# The family palette (red, green, blue in 0..1).
OUTLINE = (0.11, 0.14, 0.20)
SUN = (1.00, 0.78, 0.10)
SUN_BRIGHT = (1.00, 0.90, 0.36)
SUN_DIM = (0.80, 0.42, 0.10)
RAY_OFF = (0.56, 0.60, 0.67)
PAPER = (0.97, 0.98, 0.99)
SCREEN_DARK = (0.16, 0.20, 0.28)
SILVER = (0.78, 0.81, 0.86)
BLUE = (0.16, 0.48, 0.85)
BLUE_LIGHT = (0.45, 0.71, 0.98)
GREEN = (0.16, 0.66, 0.31)
RED = (0.86, 0.20, 0.20)
ORANGE = (0.95, 0.55, 0.10)
WOOD = (0.66, 0.45, 0.27)


def mix(first, second, amount):
    return tuple(a + (b - a) * amount for a, b in zip(first, second))


class Pen:
    """A cairo context on the 16-unit grid for one pixel size."""

    def __init__(self, surface, size):
        self.size = size
        self.cr = cairo.Context(surface)
        self.cr.scale(size / 16.0, size / 16.0)
        self.cr.set_line_join(cairo.LINE_JOIN_ROUND)
        self.cr.set_line_cap(cairo.LINE_CAP_ROUND)
        # Outline: one pixel at the small sizes, growing slowly with the large ones.
        self.outline = max(1.0, size / 26.0) * 16.0 / size
        self.pixel = 16.0 / size

    def snap(self, value):
        """Nearest pixel edge on this grid, so straight edges stay crisp at small sizes."""
        return round(value / self.pixel) * self.pixel

    def fill_outlined(self, path, colour, outline=OUTLINE, alpha=1.0):
        """Fills a shape and strokes its outline half outside, half inside."""
        cr = self.cr
        path(cr)
        cr.set_source_rgba(*colour, alpha)
        cr.fill_preserve()
        cr.set_source_rgba(*outline, alpha)
        cr.set_line_width(self.outline)
        cr.stroke()

    def stroke_outlined(self, path, width, colour, outline=OUTLINE):
        """A thick line drawn twice: the outline colour wider, then the colour itself."""
        cr = self.cr
        for source, line_width in ((outline, width + 2 * self.outline), (colour, width)):
            path(cr)
            cr.set_source_rgb(*source)
            cr.set_line_width(line_width)
            cr.stroke()


def rounded_rect(x, y, width, height, radius):
    def path(cr):
        cr.new_sub_path()
        cr.arc(x + width - radius, y + radius, radius, -math.pi / 2, 0)
        cr.arc(x + width - radius, y + height - radius, radius, 0, math.pi / 2)
        cr.arc(x + radius, y + height - radius, radius, math.pi / 2, math.pi)
        cr.arc(x + radius, y + radius, radius, math.pi, 3 * math.pi / 2)
        cr.close_path()

    return path


def circle(cx, cy, radius):
    def path(cr):
        cr.new_sub_path()
        cr.arc(cx, cy, radius, 0, 2 * math.pi)
        cr.close_path()

    return path


def polygon(*points):
    def path(cr):
        cr.move_to(*points[0])
        for point in points[1:]:
            cr.line_to(*point)
        cr.close_path()

    return path


def polyline(*points):
    def path(cr):
        cr.move_to(*points[0])
        for point in points[1:]:
            cr.line_to(*point)

    return path


def arc_path(cx, cy, radius, start_degrees, end_degrees):
    def path(cr):
        cr.new_sub_path()
        cr.arc(cx, cy, radius, math.radians(start_degrees), math.radians(end_degrees))

    return path


def new_surface(width, height):
    return cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
