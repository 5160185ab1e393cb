"""Renders every icon and bitmap of the program from its drawing code.

    tools/art/render [output folder]

writes <output>/icons/*.ico and <output>/bitmaps/*.bmp, by default into resources/art,
where the build takes them from. The rendered files are committed, so building needs
none of the drawing packages; run this after changing a drawing and commit the result.
"""

import os
import sys

import cairo

import flags
import icons
import imagefiles
import wordmark
from drawing import Pen, new_surface

REPOSITORY = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def render_icon(draw, size):
    surface = new_surface(size, size)
    draw(Pen(surface, size))
    return imagefiles.image_from_cairo(surface)


def render_flag(draw, percent=100):
    width, height = flags.size_at(percent)
    surface = new_surface(width, height)
    context = cairo.Context(surface)
    context.scale(width / flags.WIDTH, height / flags.HEIGHT)
    draw(context)
    flags.frame(context, width, height)
    return imagefiles.image_from_cairo(surface)


def render_wordmark(percent=100):
    surface = new_surface(*wordmark.size_at(percent))
    wordmark.draw(surface)
    return imagefiles.image_from_cairo(surface)


def main(arguments):
    output = arguments[0] if arguments else os.path.join(REPOSITORY, "resources", "art")
    os.makedirs(os.path.join(output, "icons"), exist_ok=True)
    os.makedirs(os.path.join(output, "bitmaps"), exist_ok=True)
    for name, draw, sizes in icons.ICONS.values():
        images = [render_icon(draw, size) for size in sizes]
        imagefiles.write_file(os.path.join(output, "icons", name + ".ico"), imagefiles.encode_ico(images))
    for name, draw in flags.FLAGS.values():
        for percent, (_, suffix) in flags.SCALES.items():
            # Flags are opaque: 24 bits load everywhere, in image lists and on buttons alike.
            imagefiles.write_file(
                os.path.join(output, "bitmaps", name + suffix + ".bmp"),
                imagefiles.encode_bmp(render_flag(draw, percent), 24),
            )
    for percent, (_, name) in wordmark.SCALES.items():
        imagefiles.write_file(
            os.path.join(output, "bitmaps", name + ".bmp"), imagefiles.encode_bmp(render_wordmark(percent), 32)
        )
    print(f"rendered {len(icons.ICONS)} icons, {len(flags.FLAGS)} flags and the title into {output}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
