"""Reading and writing the Windows image files the program embeds: .ico and .bmp.

Pixels travel as `Image`: width, height and straight (not premultiplied) RGBA rows,
top row first. Only the standard library is used, so the contact sheet and the tests
can read the committed files without the drawing packages.
"""

import io
import struct
import zlib
from dataclasses import dataclass

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


@dataclass
class Image:
    width: int
    height: int
    rgba: bytes  # width * height * 4 bytes, straight alpha, top row first

    def pixel(self, x, y):
        offset = (y * self.width + x) * 4
        return tuple(self.rgba[offset : offset + 4])


# ---------------------------------------------------------------------------
# Cairo surfaces (premultiplied BGRA in native byte order) to straight RGBA.


def image_from_cairo(surface):
    surface.flush()
    width, height, stride = surface.get_width(), surface.get_height(), surface.get_stride()
    data = bytes(surface.get_data())
    out = bytearray(width * height * 4)
    for y in range(height):
        for x in range(width):
            b, g, r, a = data[y * stride + x * 4 : y * stride + x * 4 + 4]
            if a:
                r, g, b = (min(255, (c * 255 + a // 2) // a) for c in (r, g, b))
            else:
                r = g = b = 0
            out[(y * width + x) * 4 : (y * width + x) * 4 + 4] = bytes((r, g, b, a))
    return Image(width, height, bytes(out))


# ---------------------------------------------------------------------------
# PNG, for the 256-pixel icon image (Windows Vista and later read PNG entries).


def _png_chunk(kind, payload):
    return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))


def encode_png(image):
    rows = b"".join(
        b"\x00" + image.rgba[y * image.width * 4 : (y + 1) * image.width * 4] for y in range(image.height)
    )
    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 6, 0, 0, 0)
    return (
        PNG_SIGNATURE
        + _png_chunk(b"IHDR", header)
        + _png_chunk(b"IDAT", zlib.compress(rows, 9))
        + _png_chunk(b"IEND", b"")
    )


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode_png(data):
    """Decodes the 8-bit RGBA, non-interlaced PNG files this package writes."""
    if not data.startswith(PNG_SIGNATURE):
        raise ValueError("not a PNG image")
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        (length,) = struct.unpack_from(">I", data, pos)
        kind, payload = data[pos + 4 : pos + 8], data[pos + 8 : pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", payload)
            if (depth, colour, interlace) != (8, 6, 0):
                raise ValueError("only 8-bit RGBA non-interlaced PNG is supported")
        elif kind == b"IDAT":
            idat += payload
    raw, stride, out, previous = zlib.decompress(idat), width * 4, bytearray(), bytearray(width * 4)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1 : (y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up, up_left = previous[i], previous[i - 4] if i >= 4 else 0
            predictor = (0, left, up, (left + up) // 2, _paeth(left, up, up_left))[kind]
            line[i] = (line[i] + predictor) & 0xFF
        out += line
        previous = line
    return Image(width, height, bytes(out))


# ---------------------------------------------------------------------------
# Device-independent bitmaps: the body of a .bmp file and of a classic icon image.


def _dib_rows(image, bits):
    """Bottom-up rows of a 24- or 32-bit DIB, each padded to four bytes."""
    rows = []
    for y in reversed(range(image.height)):
        row = bytearray()
        for x in range(image.width):
            r, g, b, a = image.pixel(x, y)
            row += bytes((b, g, r, a)) if bits == 32 else bytes((b, g, r))
        row += b"\x00" * (-len(row) % 4)
        rows.append(bytes(row))
    return b"".join(rows)


def encode_bmp(image, bits):
    """A .bmp file; 24 bits for opaque pictures, 32 bits to keep the alpha channel."""
    if bits not in (24, 32):
        raise ValueError("only 24- and 32-bit bitmaps are written")
    pixels = _dib_rows(image, bits)
    info = struct.pack("<IiiHHIIiiII", 40, image.width, image.height, 1, bits, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def _decode_dib(data, height_override=None):
    size, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 0)
    if compression != 0 or bits not in (24, 32):
        raise ValueError("only uncompressed 24- and 32-bit bitmaps are read")
    if height_override is not None:
        height = height_override
    bottom_up = height > 0
    height = abs(height)
    stride = (width * bits // 8 + 3) & ~3
    out = bytearray()
    for y in range(height):
        row = size + (height - 1 - y if bottom_up else y) * stride
        for x in range(width):
            if bits == 32:
                b, g, r, a = data[row + x * 4 : row + x * 4 + 4]
            else:
                (b, g, r), a = data[row + x * 3 : row + x * 3 + 3], 255
            out += bytes((r, g, b, a))
    return Image(width, height, bytes(out)), bits


def decode_bmp(data):
    """Returns the image and its bit depth."""
    if data[:2] != b"BM":
        raise ValueError("not a BMP file")
    return _decode_dib(data[14:])


# ---------------------------------------------------------------------------
# Icon files: a directory of images of several sizes.


def _icon_dib(image):
    """A 32-bit icon image: colour rows with alpha, then the 1-bit transparency mask."""
    colour = _dib_rows(image, 32)
    mask_stride = ((image.width + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(image.height)):
        row = bytearray(mask_stride)
        for x in range(image.width):
            if image.pixel(x, y)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    info = struct.pack(
        "<IiiHHIIiiII", 40, image.width, image.height * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0
    )
    return info + colour + bytes(mask)


def encode_ico(images):
    """Images of 256 pixels are stored as PNG, smaller ones as classic 32-bit DIBs."""
    images = sorted(images, key=lambda image: image.width)
    bodies = [encode_png(image) if image.width >= 256 else _icon_dib(image) for image in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for image, body in zip(images, bodies):
        directory += struct.pack(
            "<BBBBHHII", image.width % 256, image.height % 256, 0, 0, 1, 32, len(body), offset
        )
        offset += len(body)
    return directory + b"".join(bodies)


def decode_ico(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon file")
    images = []
    for index in range(count):
        _, _, _, _, _, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * index)
        body = data[offset : offset + length]
        if body.startswith(PNG_SIGNATURE):
            images.append(decode_png(body))
        else:
            (dib_height,) = struct.unpack_from("<i", body, 8)
            image, _ = _decode_dib(body, dib_height // 2)
            images.append(image)
    return images


def read_file(path):
    with io.open(path, "rb") as stream:
        return stream.read()


def write_file(path, data):
    with io.open(path, "wb") as stream:
        stream.write(data)
