"""Drawing code of every icon of the program, on the 16-unit grid of `drawing.Pen`.

The family: a flat glyph with a dark outline, warm yellow for light and brightness,
blue for information and navigation, green for confirming, red for stopping.
"""

import math

import cairo

from drawing import (
    BLUE,
    BLUE_LIGHT,
    GREEN,
    ORANGE,
    OUTLINE,
    PAPER,
    RAY_OFF,
    RED,
    SCREEN_DARK,
    SILVER,
    SUN,
    SUN_BRIGHT,
    SUN_DIM,
    WOOD,
    arc_path,
    circle,
    mix,
    polygon,
    polyline,
    rounded_rect,
)

SIZES = (16, 20, 24, 32, 48)
APPLICATION_SIZES = SIZES + (256,)


def _polar(cx, cy, radius, degrees):
    return cx + radius * math.cos(math.radians(degrees)), cy + radius * math.sin(math.radians(degrees))


def sun(pen, lit_rays, cx=8.0, cy=8.0, scale=1.0):
    """The brightness sun: `lit_rays` of its eight rays glow, clockwise from the top.

    Unlit rays are only hinted (grey dots at the small sizes, thin grey rays at the
    large ones), so at 16 pixels the shape itself grows with the level, and the warmth of
    the disc follows it.
    """
    o = pen.outline
    small = pen.size * scale < 32
    disc = (3.3 if small else 3.0) * scale
    width = (1.9 if small else 1.7) * scale
    outer = 7.9 * scale - width / 2 - o
    inner = min(outer, disc + o / 2 + pen.pixel * 0.5 + width / 2 + o)
    cr = pen.cr
    for index in range(8):
        degrees = -90 + 45 * index
        start, end = _polar(cx, cy, inner, degrees), _polar(cx, cy, outer, degrees)
        if index < lit_rays:
            pen.stroke_outlined(polyline(start, end), width, SUN)
        elif small:
            middle = _polar(cx, cy, (inner + outer) / 2, degrees)
            cr.arc(*middle, max(pen.pixel * 0.8, width * 0.3), 0, 2 * math.pi)
            cr.set_source_rgba(*RAY_OFF, 0.9)
            cr.fill()
        else:
            pen.stroke_outlined(polyline(start, end), width * 0.55, RAY_OFF)
    warmth = lit_rays / 8.0
    colour = mix(SUN_DIM, SUN_BRIGHT, warmth)
    pen.fill_outlined(circle(cx, cy, disc), colour)
    if pen.size >= 24:
        # Light from the upper left gives the disc some depth where there are pixels for it.
        shade = cairo.RadialGradient(cx - disc * 0.35, cy - disc * 0.35, 0, cx, cy, disc)
        shade.add_color_stop_rgba(0, 1, 1, 1, 0.30 + 0.35 * warmth)
        shade.add_color_stop_rgba(0.6, 1, 1, 1, 0.0)
        shade.add_color_stop_rgba(1, 0, 0, 0, 0.18)
        cr.arc(cx, cy, disc - o / 2, 0, 2 * math.pi)
        cr.set_source(shade)
        cr.fill()


def tray_level(level):
    return lambda pen: sun(pen, level)


def contrast(pen, cx=8.0, cy=8.0, radius=6.6):
    """A disc half light, half dark."""
    cr = pen.cr
    circle(cx, cy, radius)(cr)
    cr.set_source_rgb(*PAPER)
    cr.fill()
    cr.move_to(cx, cy - radius)
    cr.arc(cx, cy, radius, -math.pi / 2, math.pi / 2)
    cr.close_path()
    cr.set_source_rgb(*SCREEN_DARK)
    cr.fill()
    circle(cx, cy, radius)(cr)
    cr.set_source_rgb(*OUTLINE)
    cr.set_line_width(pen.outline)
    cr.stroke()


def colour_temperature(pen):
    """A thermometer whose column runs from cool blue to warm red."""
    cr = pen.cr
    tube = rounded_rect(6.0, 1.0, 4.0, 10.0, 2.0)
    pen.fill_outlined(tube, PAPER)
    pen.fill_outlined(circle(8.0, 11.6, 3.4), RED)
    gradient_top, gradient_bottom = 3.0, 11.0
    gradient = cairo.LinearGradient(0, gradient_top, 0, gradient_bottom)
    gradient.add_color_stop_rgb(0, *BLUE)
    gradient.add_color_stop_rgb(1, *RED)
    cr.rectangle(7.0, gradient_top, 2.0, gradient_bottom - gradient_top)
    cr.set_source(gradient)
    cr.fill()
    cr.arc(8.0, 11.6, 3.4 - pen.outline / 2, 0, 2 * math.pi)
    cr.set_source_rgb(*RED)
    cr.fill()
    if pen.size >= 24:
        cr.set_source_rgb(*OUTLINE)
        cr.set_line_width(pen.pixel)
        for y in (3.5, 5.5, 7.5):
            cr.move_to(10.0, y)
            cr.line_to(11.5, y)
            cr.stroke()


def droplet(colour):
    """A drop of one primary colour: the gain of that channel."""

    def draw(pen):
        cr = pen.cr

        def path(context):
            context.move_to(8.0, 1.0)
            context.curve_to(9.2, 3.6, 13.0, 6.8, 13.0, 10.0)
            context.arc(8.0, 10.0, 5.0, 0, math.pi)
            context.curve_to(3.0, 6.8, 6.8, 3.6, 8.0, 1.0)
            context.close_path()

        pen.fill_outlined(path, colour)
        cr.arc(6.3, 10.4, 1.3, 0, 2 * math.pi)
        cr.set_source_rgba(1, 1, 1, 0.45)
        cr.fill()

    return draw


def about(pen):
    cr = pen.cr
    pen.fill_outlined(circle(8.0, 8.0, 7.0), BLUE)
    cr.set_source_rgb(1, 1, 1)
    cr.arc(8.0, 4.6, 1.25, 0, 2 * math.pi)
    cr.fill()
    cr.rectangle(6.9, 6.9, 2.2, 5.8)
    cr.fill()


def monitor(pen, screen=SCREEN_DARK):
    """A flat-panel monitor on its stand; returns the screen rectangle for a symbol."""
    pen.fill_outlined(rounded_rect(6.5, 11.5, 3.0, 2.5, 0.3), SILVER)
    pen.fill_outlined(rounded_rect(3.5, 13.5, 9.0, 2.0, 0.6), SILVER)
    pen.fill_outlined(rounded_rect(0.5, 1.5, 15.0, 11.0, 1.2), SILVER)
    pen.fill_outlined(rounded_rect(2.0, 3.0, 12.0, 8.0, 0.4), screen, outline=screen)
    return 2.0, 3.0, 12.0, 8.0


def power_symbol(pen, cx, cy, radius, colour):
    cr = pen.cr
    width = pen.pixel * 1.2 if pen.size < 24 else radius * 0.42
    cr.set_source_rgb(*colour)
    cr.set_line_width(width)
    cr.arc(cx, cy, radius, math.radians(-55), math.radians(235))
    cr.stroke()
    cr.move_to(cx, cy - radius - width * 0.3)
    cr.line_to(cx, cy - radius * 0.15)
    cr.stroke()


def monitor_off(pen):
    monitor(pen)
    power_symbol(pen, 8.0, 7.2, 2.8 if pen.size < 24 else 2.6, (0.95, 0.45, 0.40))


def monitors(pen):
    """Two monitors, the front one lit: the monitors and their share of the slider."""
    pen.fill_outlined(rounded_rect(0.5, 0.5, 10.0, 7.5, 0.9), SILVER)
    pen.fill_outlined(rounded_rect(1.8, 1.8, 7.4, 4.9, 0.3), SCREEN_DARK, outline=SCREEN_DARK)
    pen.fill_outlined(rounded_rect(8.0, 12.5, 2.5, 3.0, 0.3), SILVER)
    pen.fill_outlined(rounded_rect(4.5, 5.0, 11.0, 8.5, 0.9), SILVER)
    pen.fill_outlined(rounded_rect(5.8, 6.3, 8.4, 5.9, 0.3), SUN, outline=SUN)


def exit_door(pen):
    """An open door with an arrow leaving through it."""
    pen.fill_outlined(polygon((1.5, 1.0), (10.5, 1.0), (10.5, 15.0), (1.5, 15.0)), SILVER)
    pen.fill_outlined(polygon((1.5, 1.0), (7.5, 2.6), (7.5, 15.9), (1.5, 15.0)), WOOD)
    pen.cr.arc(6.3, 8.8, 0.7, 0, 2 * math.pi)
    pen.cr.set_source_rgb(*OUTLINE)
    pen.cr.fill()
    pen.fill_outlined(
        polygon((8.0, 6.5), (11.5, 6.5), (11.5, 4.0), (15.5, 8.0), (11.5, 12.0), (11.5, 9.5), (8.0, 9.5)),
        GREEN,
    )


def update_check(pen):
    """A green disc with a download arrow: a newer version."""
    pen.fill_outlined(circle(8.0, 8.0, 7.0), GREEN)
    arrow = polygon((6.6, 3.0), (9.4, 3.0), (9.4, 7.6), (12.0, 7.6), (8.0, 12.4), (4.0, 7.6), (6.6, 7.6))
    cr = pen.cr
    arrow(cr)
    cr.set_source_rgb(1, 1, 1)
    cr.fill()


def start_with_windows(pen):
    """An application window with a green start triangle."""
    cr = pen.cr
    frame = rounded_rect(0.5, 1.5, 13.0, 11.0, 1.0)
    frame(cr)
    cr.set_source_rgb(*PAPER)
    cr.fill()
    cr.rectangle(0.5, 1.5, 13.0, 3.0)
    cr.set_source_rgb(*BLUE)
    cr.fill()
    frame(cr)
    cr.set_source_rgb(*OUTLINE)
    cr.set_line_width(pen.outline)
    cr.stroke()
    pen.fill_outlined(polygon((8.0, 7.0), (15.5, 11.25), (8.0, 15.5)), GREEN)


def keyboard(pen):
    pen.fill_outlined(rounded_rect(0.5, 3.5, 15.0, 9.5, 1.2), SILVER)
    cr = pen.cr
    cr.set_source_rgb(*OUTLINE)
    key = 1.4
    for row, (y, start, count) in enumerate(((5.3, 2.3, 5), (7.6, 3.0, 5))):
        for column in range(count):
            cr.rectangle(start + column * 2.3, y, key, key)
    cr.rectangle(4.6, 10.0, 6.8, key)
    cr.fill()


def clock(pen):
    """A stopwatch: the waiting time before values are sent again."""
    pen.fill_outlined(rounded_rect(6.5, 0.5, 3.0, 2.2, 0.4), SILVER)
    pen.fill_outlined(circle(8.0, 9.0, 6.4), PAPER)
    cr = pen.cr
    cr.set_source_rgb(*OUTLINE)
    cr.set_line_width(max(pen.pixel, 1.2))
    cr.move_to(8.0, 9.0)
    cr.line_to(8.0, 4.8)
    cr.stroke()
    cr.set_source_rgb(*RED)
    cr.move_to(8.0, 9.0)
    cr.line_to(11.0, 9.0)
    cr.stroke()
    cr.arc(8.0, 9.0, 0.9, 0, 2 * math.pi)
    cr.set_source_rgb(*OUTLINE)
    cr.fill()


def factory_reset(pen):
    """An arrow turning back: the monitors' own default values."""
    cx, cy, radius, start = 8.0, 8.6, 5.0, -140
    pen.stroke_outlined(arc_path(cx, cy, radius, start, 150), 2.4, ORANGE)
    # The head sits on the open end and points backwards along the arc.
    x, y = _polar(cx, cy, radius, start)
    along = (math.sin(math.radians(start)), -math.cos(math.radians(start)))
    across = (-along[1], along[0])
    tip = (x + along[0] * 3.4, y + along[1] * 3.4)
    base = (x - along[0] * 0.4, y - along[1] * 0.4)
    pen.fill_outlined(
        polygon(tip, (base[0] + across[0] * 3.0, base[1] + across[1] * 3.0), (base[0] - across[0] * 3.0, base[1] - across[1] * 3.0)),
        ORANGE,
    )


def chevrons(direction):
    """Two chevrons: right widens the panel, left narrows it again."""

    def draw(pen):
        for offset in (0.0, 6.0):
            if direction > 0:
                points = ((1.5 + offset, 2.5), (8.0 + offset, 8.0), (1.5 + offset, 13.5))
            else:
                points = ((14.5 - offset, 2.5), (8.0 - offset, 8.0), (14.5 - offset, 13.5))
            pen.stroke_outlined(polyline(*points), 2.2, BLUE)

    return draw


def arrow_badge(pen, up, colour):
    """A small arrow in the lower right corner, over another symbol."""
    if up:
        points = ((12.0, 8.5), (15.8, 12.5), (13.4, 12.5), (13.4, 15.6), (10.6, 15.6), (10.6, 12.5), (8.2, 12.5))
    else:
        points = ((12.0, 15.8), (15.8, 11.8), (13.4, 11.8), (13.4, 8.6), (10.6, 8.6), (10.6, 11.8), (8.2, 11.8))
    pen.fill_outlined(polygon(*points), colour)


def brightness_step(up):
    def draw(pen):
        sun(pen, 8 if up else 2, cx=6.5, cy=6.5, scale=0.8)
        arrow_badge(pen, up, GREEN if up else BLUE)

    return draw


def contrast_step(up):
    def draw(pen):
        contrast(pen, cx=6.5, cy=6.5, radius=5.6)
        arrow_badge(pen, up, GREEN if up else BLUE)

    return draw


def increment(pen):
    """Stairs: the size of one hotkey step."""
    pen.fill_outlined(
        polygon((0.8, 14.8), (0.8, 11.0), (5.3, 11.0), (5.3, 6.5), (9.8, 6.5), (9.8, 2.0), (15.2, 2.0), (15.2, 14.8)),
        BLUE_LIGHT,
    )


def ok_mark(pen):
    pen.stroke_outlined(polyline((2.0, 8.6), (6.2, 12.6), (14.0, 3.4)), 2.8, GREEN)


def cancel_mark(pen):
    pen.stroke_outlined(polyline((3.2, 3.2), (12.8, 12.8)), 2.8, RED)
    pen.stroke_outlined(polyline((12.8, 3.2), (3.2, 12.8)), 2.8, RED)


# Icon resource id -> (file name, drawing, sizes). The ids are those of resources/resource.h.
ICONS = {
    100: ("orvalux", tray_level(0), APPLICATION_SIZES),
    **{240 + level: (f"tray_level_{level}", tray_level(level), SIZES) for level in range(1, 9)},
    203: ("brightness", tray_level(8), SIZES),
    204: ("contrast", contrast, SIZES),
    205: ("color_temperature", colour_temperature, SIZES),
    206: ("red_gain", droplet(RED), SIZES),
    207: ("green_gain", droplet(GREEN), SIZES),
    208: ("blue_gain", droplet(BLUE), SIZES),
    210: ("about", about, SIZES),
    211: ("exit", exit_door, SIZES),
    212: ("monitor_off", monitor_off, SIZES),
    221: ("monitors", monitors, SIZES),
    138: ("check_for_updates", update_check, SIZES),
    1015: ("start_with_windows", start_with_windows, SIZES),
    213: ("hotkeys", keyboard, SIZES),
    215: ("reapply_delay", clock, SIZES),
    1018: ("factory_reset", factory_reset, SIZES),
    1019: ("expand", chevrons(+1), SIZES),
    1020: ("collapse", chevrons(-1), SIZES),
    214: ("hotkey_monitor_off", monitor_off, SIZES),
    216: ("hotkey_brightness_up", brightness_step(True), SIZES),
    217: ("hotkey_brightness_down", brightness_step(False), SIZES),
    218: ("hotkey_contrast_up", contrast_step(True), SIZES),
    219: ("hotkey_contrast_down", contrast_step(False), SIZES),
    220: ("increment", increment, SIZES),
    129: ("ok", ok_mark, SIZES),
    135: ("cancel", cancel_mark, SIZES),
}
