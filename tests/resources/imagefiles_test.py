"""The icon and bitmap file writers that produce the committed art, read back."""

import unittest

import imagefiles


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
    def test_thirty_two_bits_keep_alpha_twenty_four_pad_rows_and_read_back_opaque(self):
        image = sample(75, 15)
        decoded, bits = imagefiles.decode_bmp(imagefiles.encode_bmp(image, 32))
        self.assertEqual(bits, 32)
        self.assertEqual(decoded.rgba, image.rgba)
        image = sample(16, 11)
        data = imagefiles.encode_bmp(image, 24)
        self.assertEqual(len(data), 14 + 40 + 11 * 48)
        decoded, bits = imagefiles.decode_bmp(data)
        self.assertEqual(bits, 24)
        self.assertEqual(decoded.pixel(3, 7), image.pixel(3, 7)[:3] + (255,))


if __name__ == "__main__":
    unittest.main()
