"""Contact sheet of the program's art, read from the files the build embeds.

    tools/review/contact-sheet [output.png]

Every icon at every size it carries, on a light and on a dark task bar colour, with
its 16-pixel image enlarged; the seventeen flags; the title bitmap on the panel's
header gradient. Default output: contact-sheet.png in the current folder.
"""

import os
import re
import sys

import cairo

HERE = os.path.dirname(os.path.abspath(__file__))
REPOSITORY = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(REPOSITORY, "tools", "art"))

import imagefiles  # noqa: E402  (found through the path set above)

ART = os.path.join(REPOSITORY, "resources", "art")
LIGHT_BAR = (0.93, 0.93, 0.93)
DARK_BAR = (0.13, 0.13, 0.15)
INK = (0.1, 0.1, 0.1)
ZOOM = 4


def surface_of(image):
    """A cairo surface (premultiplied) for an image with straight alpha."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, image.width, image.height)
    stride, data = surface.get_stride(), surface.get_data()
    for y in range(image.height):
        for x in range(image.width):
            r, g, b, a = image.pixel(x, y)
            offset = y * stride + x * 4
            data[offset : offset + 4] = bytes((b * a // 255, g * a // 255, r * a // 255, a))
    surface.mark_dirty()
    return surface


def paint(cr, image, x, y, zoom=1):
    cr.save()
    cr.translate(x, y)
    cr.scale(zoom, zoom)
    cr.set_source_surface(surface_of(image), 0, 0)
    cr.get_source().set_filter(cairo.FILTER_NEAREST)
    cr.paint()
    cr.restore()


def label(cr, text, x, y, size=12, colour=INK):
    cr.set_source_rgb(*colour)
    cr.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_NORMAL)
    cr.set_font_size(size)
    cr.move_to(x, y)
    cr.show_text(text)


def resource_ids(rc_path):
    """File name -> resource id, from the resource script and the id header."""
    with open(os.path.join(REPOSITORY, "resources", "resource.h"), encoding="utf-8") as stream:
        ids = dict(re.findall(r"#define\s+(\w+)\s+(\d+)", stream.read()))
    with open(rc_path, encoding="utf-8") as stream:
        script = stream.read()
    found = {}
    for name, file_name in re.findall(r"^(\w+)\s+(?:ICON|BITMAP)\s+\"[^\"]*?([\w.]+)\"", script, re.MULTILINE):
        found[file_name] = int(ids.get(name, name))
    return found


def icon_rows():
    ids = resource_ids(os.path.join(REPOSITORY, "resources", "art.rc"))
    rows = []
    for file_name in sorted(os.listdir(os.path.join(ART, "icons"))):
        images = imagefiles.decode_ico(imagefiles.read_file(os.path.join(ART, "icons", file_name)))
        rows.append((ids.get(file_name, 0), file_name[:-4], sorted(images, key=lambda image: image.width)))
    return sorted(rows), ids


def main(arguments):
    output = arguments[0] if arguments else "contact-sheet.png"
    rows, ids = icon_rows()
    flags = sorted(
        (ids.get(name, 0), name)
        for name in os.listdir(os.path.join(ART, "bitmaps"))
        if name.startswith("flag_")
    )
    size_columns = (16, 20, 24, 32, 48)
    column_width = sum(size + 10 for size in size_columns)
    width = max(230 + 2 * column_width + 2 * (16 * ZOOM + 12) + 60, 20 + len(flags) * 60)
    row_height = 56
    large = [(resource_id, name, image) for resource_id, name, images in rows for image in images if image.width > 48]
    height = 60 + len(rows) * (row_height + 12) + 150 + 130 + sum(image.height + 40 for _, _, image in large)
    sheet = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    cr = cairo.Context(sheet)
    cr.set_source_rgb(1, 1, 1)
    cr.paint()
    label(cr, "Orvalux art: icons at 16, 20, 24, 32, 48 px on light and dark task bars, 16 px enlarged", 10, 22, 14)
    label(cr, "Images larger than 48 px follow at the end", 10, 40, 11, (0.4, 0.4, 0.4))

    y = 56
    for resource_id, name, images in rows:
        by_size = {image.width: image for image in images}
        label(cr, f"{resource_id}  {name}", 10, y + 20)
        extra = [size for size in by_size if size not in size_columns]
        if extra:
            label(cr, "also " + ", ".join(f"{size} px" for size in extra), 10, y + 36, 10, (0.4, 0.4, 0.4))
        x = 230
        for background in (LIGHT_BAR, DARK_BAR):
            cr.set_source_rgb(*background)
            cr.rectangle(x - 5, y - 2, column_width, 52)
            cr.fill()
            for size in size_columns:
                if size in by_size:
                    paint(cr, by_size[size], x, y + (48 - size) // 2)
                else:
                    label(cr, "none", x, y + 28, 9, (0.8, 0.1, 0.1))
                x += size + 10
        for background in (LIGHT_BAR, DARK_BAR):
            cr.set_source_rgb(*background)
            cr.rectangle(x + 4, y - 10, 16 * ZOOM + 8, 16 * ZOOM + 2)
            cr.fill()
            if 16 in by_size:
                paint(cr, by_size[16], x + 8, y - 8, ZOOM)
            x += 16 * ZOOM + 12
        y += row_height + 12

    label(cr, "Flags (16 x 11), and enlarged", 10, y + 10, 14)
    y += 24
    for index, (resource_id, name) in enumerate(flags):
        image, _ = imagefiles.decode_bmp(imagefiles.read_file(os.path.join(ART, "bitmaps", name)))
        x = 10 + index * 60
        label(cr, str(resource_id), x, y + 10, 10)
        paint(cr, image, x, y + 16)
        paint(cr, image, x, y + 34, 3)
        label(cr, name[5:-4].replace("_", " ")[:9], x, y + 84, 8)
    y += 110

    title, bits = imagefiles.decode_bmp(imagefiles.read_file(os.path.join(ART, "bitmaps", "title.bmp")))
    label(cr, f"Title bitmap {ids.get('title.bmp', 0)} ({title.width} x {title.height}, {bits} bits) on the header gradient", 10, y + 10, 14)
    gradient = cairo.LinearGradient(0, y + 20, 0, y + 120)
    gradient.add_color_stop_rgb(0, 0.86, 0.84, 0.80)
    gradient.add_color_stop_rgb(1, 1, 1, 1)
    cr.rectangle(0, y + 20, width, 100)
    cr.set_source(gradient)
    cr.fill()
    paint(cr, title, 10, y + 28)
    paint(cr, title, 110, y + 28, 5)
    y += 130

    for resource_id, name, image in large:
        label(cr, f"{resource_id}  {name} at {image.width} px", 10, y + 14, 14)
        for index, background in enumerate((LIGHT_BAR, DARK_BAR)):
            cr.set_source_rgb(*background)
            cr.rectangle(10 + index * (image.width + 20), y + 24, image.width + 12, image.height + 12)
            cr.fill()
            paint(cr, image, 16 + index * (image.width + 20), y + 30)
        y += image.height + 40
    sheet.write_to_png(output)
    print(f"contact sheet written to {output}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
