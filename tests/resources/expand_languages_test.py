"""The per-language resource script generator and the UTF-16 page conversion."""

import os
import re
import tempfile
import unittest

import expand_languages
import to_utf16le

TABLE = {
    "sets": {"small": [9, 1028, 2052]},
    "texts": {
        "9": {"caption": 'Say "hi"', "button": "OK"},
        "1028": {"caption": "定義熱鍵", "button": "確定"},
        "2052": {"caption": "定义热键", "button": "确定"},
    },
}
TEMPLATE = 'DIALOG CAPTION "@caption@" BUTTON "@button@"\n'


class ExpandTest(unittest.TestCase):
    def test_one_block_per_language_in_set_order_with_its_own_texts(self):
        script = expand_languages.expand(TABLE, "small", TEMPLATE)
        languages = re.findall(r"^LANGUAGE (.*)$", script, re.MULTILINE)
        self.assertEqual(languages, ["0x09, 0x00", "0x04, 0x01", "0x04, 0x02"])
        blocks = script.split("// Language ")[1:]
        self.assertIn('CAPTION "Say ""hi""" BUTTON "OK"', blocks[0], "quotes doubled for the resource compiler")
        self.assertIn('CAPTION "定義熱鍵" BUTTON "確定"', blocks[1])
        self.assertIn('CAPTION "定义热键" BUTTON "确定"', blocks[2])
        self.assertIn("#pragma code_page(65001)", script)

    def test_missing_text_names_the_language_and_the_placeholder(self):
        table = {"sets": TABLE["sets"], "texts": dict(TABLE["texts"], **{"2052": {"caption": "定义热键"}})}
        with self.assertRaisesRegex(expand_languages.TranslationError, "language 2052 has no text for button"):
            expand_languages.expand(table, "small", TEMPLATE)

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
