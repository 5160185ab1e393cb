"""The icon and bitmap file writers that produce the committed art, read back."""

import os
import struct
import unittest

import imagefiles

SOURCE = os.environ.get("ORVALUX_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))


def sample(width, height):
    """A picture whose every pixel differs, with transparent, translucent and opaque parts."""
    rgba = bytearray()
    for y in range(height):
        for x in range(width):
            rgba += bytes((x * 7 % 256, y * 11 % 256, (x + y) % 256, (0, 128, 255)[(x + y) % 3]))
    return imagefiles.Image(width, height, bytes(rgba))


class IconFileTest(unittest.TestCase):
    def test_every_size_survives_the_round_trip_including_the_png_entry(self):
        images = [sample(size, size) for size in (48, 16, 256, 20)]
        decoded = imagefiles.decode_ico(imagefiles.encode_ico(images))
        self.assertEqual([image.width for image in decoded], [16, 20, 48, 256])
        for image in decoded:
            original = next(candidate for candidate in images if candidate.width == image.width)
            self.assertEqual(image.rgba, original.rgba, image.width)

    def test_directory_describes_each_image(self):
        data = imagefiles.encode_ico([sample(16, 16), sample(256, 256)])
        self.assertEqual(struct.unpack_from("<HHH", data), (0, 1, 2))
        width, height, _, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6)
        self.assertEqual((width, height, planes, bits), (16, 16, 1, 32))
        self.assertEqual(struct.unpack_from("<i", data, offset + 8)[0], 32, "colour rows plus mask rows")
        big = struct.unpack_from("<BBBBHHII", data, 22)
        self.assertEqual(big[:2], (0, 0), "256 is written as 0")
        self.assertTrue(data[big[7] :].startswith(imagefiles.PNG_SIGNATURE))

    def test_mask_marks_exactly_the_transparent_pixels(self):
        image = sample(20, 20)
        body = imagefiles.encode_ico([image])[22:]
        mask = body[40 + 20 * 20 * 4 :]
        stride = 4
        for y in range(20):
            row = mask[(19 - y) * stride : (20 - y) * stride]
            for x in range(20):
                masked = bool(row[x // 8] & (0x80 >> (x % 8)))
                self.assertEqual(masked, image.pixel(x, y)[3] == 0, (x, y))


class BitmapFileTest(unittest.TestCase):
    def test_thirty_two_bits_keep_alpha(self):
        image = sample(75, 15)
        decoded, bits = imagefiles.decode_bmp(imagefiles.encode_bmp(image, 32))
        self.assertEqual(bits, 32)
        self.assertEqual(decoded.rgba, image.rgba)

    def test_twenty_four_bits_pad_rows_and_read_back_opaque(self):
        image = sample(16, 11)
        data = imagefiles.encode_bmp(image, 24)
        self.assertEqual(len(data), 14 + 40 + 11 * 48)
        decoded, bits = imagefiles.decode_bmp(data)
        self.assertEqual(bits, 24)
        self.assertEqual(decoded.pixel(3, 7), image.pixel(3, 7)[:3] + (255,))


class CommittedArtTest(unittest.TestCase):
    """The rendered files the build embeds are readable and complete."""

    def test_every_icon_file_has_the_family_sizes(self):
        folder = os.path.join(SOURCE, "resources", "art", "icons")
        names = sorted(os.listdir(folder))
        self.assertEqual(len(names), 33)
        for name in names:
            sizes = [image.width for image in imagefiles.decode_ico(imagefiles.read_file(os.path.join(folder, name)))]
            expected = [16, 20, 24, 32, 48] + ([256] if name == "orvalux.ico" else [])
            self.assertEqual(sizes, expected, name)


if __name__ == "__main__":
    unittest.main()
