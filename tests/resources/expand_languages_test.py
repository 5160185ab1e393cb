"""The per-language resource script generator and the UTF-16 page conversion."""

import os
import tempfile
import unittest

import expand_languages
import to_utf16le

TEMPLATE = 'DIALOG CAPTION "@caption@" BUTTON "@button@"\n'


class ExpandTest(unittest.TestCase):
    def test_language_ids_and_texts_a_resource_script_would_misread_are_refused(self):
        for bad in (0, -1, 0x10000):
            with self.assertRaises(expand_languages.TranslationError, msg=bad):
                expand_languages.language_statement(bad)
        for text in ("C:\\path", "two\nlines", "   "):
            table = {"sets": {"one": [9]}, "texts": {"9": {"caption": text, "button": "OK"}}}
            with self.assertRaises(expand_languages.TranslationError, msg=repr(text)):
                expand_languages.expand(table, "one", TEMPLATE)


class Utf16PageTest(unittest.TestCase):
    def test_a_utf8_byte_order_mark_in_the_source_is_not_carried_over(self):
        with tempfile.TemporaryDirectory() as folder:
            source, target = os.path.join(folder, "in.html"), os.path.join(folder, "out.html")
            with open(source, "wb") as stream:
                stream.write("\ufeff<p>Ä€</p>\n".encode("utf-8"))
            self.assertEqual(to_utf16le.main([source, target]), 0)
            with open(target, "rb") as stream:
                self.assertEqual(stream.read(), b"\xff\xfe" + "<p>Ä€</p>\n".encode("utf-16-le"))


if __name__ == "__main__":
    unittest.main()
