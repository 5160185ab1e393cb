"""The per-language resource script generator and the UTF-16 page conversion."""

import os
import re
import tomllib
import unittest

import expand_languages
import to_utf16le

SOURCE = os.environ.get("ORVALUX_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
RESOURCES = os.path.join(SOURCE, "resources")

TABLE = {
    "sets": {"small": [9, 1028, 2052]},
    "texts": {
        "9": {"caption": 'Say "hi"', "button": "OK"},
        "1028": {"caption": "定義熱鍵", "button": "確定"},
        "2052": {"caption": "定义热键", "button": "确定"},
    },
}
TEMPLATE = 'DIALOG CAPTION "@caption@" BUTTON "@button@"\n'


class LanguageStatementTest(unittest.TestCase):
    def test_primary_language_in_low_ten_bits_sublanguage_above(self):
        self.assertEqual(expand_languages.language_statement(19), "LANGUAGE 0x13, 0x00")
        self.assertEqual(expand_languages.language_statement(1028), "LANGUAGE 0x04, 0x01")
        self.assertEqual(expand_languages.language_statement(2052), "LANGUAGE 0x04, 0x02")
        self.assertEqual(expand_languages.language_statement(1049), "LANGUAGE 0x19, 0x01")

    def test_rejects_ids_outside_sixteen_bits(self):
        for bad in (0, -1, 0x10000):
            with self.assertRaises(expand_languages.TranslationError):
                expand_languages.language_statement(bad)


class ExpandTest(unittest.TestCase):
    def test_one_block_per_language_in_set_order_with_its_own_texts(self):
        script = expand_languages.expand(TABLE, "small", TEMPLATE)
        languages = re.findall(r"^LANGUAGE (.*)$", script, re.MULTILINE)
        self.assertEqual(languages, ["0x09, 0x00", "0x04, 0x01", "0x04, 0x02"])
        blocks = script.split("// Language ")[1:]
        self.assertIn('CAPTION "定義熱鍵" BUTTON "確定"', blocks[1])
        self.assertIn('CAPTION "定义热键" BUTTON "确定"', blocks[2])
        self.assertTrue(script.startswith("// Generated"))
        self.assertIn("#pragma code_page(65001)", script)

    def test_quotes_are_doubled_for_the_resource_compiler(self):
        script = expand_languages.expand(TABLE, "small", TEMPLATE)
        self.assertIn('CAPTION "Say ""hi"""', script)

    def test_missing_text_names_the_language_and_the_placeholder(self):
        table = {"sets": TABLE["sets"], "texts": dict(TABLE["texts"], **{"2052": {"caption": "定义热键"}})}
        with self.assertRaisesRegex(expand_languages.TranslationError, "language 2052 has no text for button"):
            expand_languages.expand(table, "small", TEMPLATE)

    def test_texts_that_would_change_meaning_in_a_resource_script_are_refused(self):
        for text in ("C:\\path", "two\nlines", "   "):
            table = {"sets": {"one": [9]}, "texts": {"9": {"caption": text, "button": "OK"}}}
            with self.assertRaises(expand_languages.TranslationError, msg=repr(text)):
                expand_languages.expand(table, "one", TEMPLATE)

    def test_unknown_set_is_an_error(self):
        with self.assertRaises(expand_languages.TranslationError):
            expand_languages.expand(TABLE, "missing", TEMPLATE)


class ProjectTranslationsTest(unittest.TestCase):
    """The real table against the real templates: what the build will expand."""

    @classmethod
    def setUpClass(cls):
        with open(os.path.join(RESOURCES, "translations.toml"), "rb") as stream:
            cls.table = tomllib.load(stream)

    def template(self, name):
        with open(os.path.join(RESOURCES, "templates", name), encoding="utf-8") as stream:
            return stream.read()

    def test_every_template_expands_for_its_set(self):
        for name, language_set in (("dialogs.rc.in", "program"), ("tray_menu.rc.in", "program"),
                                   ("update_dialogs.rc.in", "update")):
            script = expand_languages.expand(self.table, language_set, self.template(name))
            self.assertEqual(script.count("\nLANGUAGE "), len(self.table["sets"][language_set]), name)
            self.assertNotRegex(script, r"@[a-z_]+@", name)

    def test_no_text_is_defined_for_nothing(self):
        used = set()
        for name in ("dialogs.rc.in", "tray_menu.rc.in", "update_dialogs.rc.in"):
            used |= set(expand_languages.PLACEHOLDER.findall(self.template(name)))
        for language, texts in self.table["texts"].items():
            self.assertLessEqual(set(texts), used, f"language {language} has texts no template uses")


class Utf16PageTest(unittest.TestCase):
    def test_byte_order_mark_then_little_endian_units(self):
        self.assertEqual(to_utf16le.convert("<h2>Ä€</h2>"), b"\xff\xfe" + "<h2>Ä€</h2>".encode("utf-16-le"))

    def test_a_utf8_byte_order_mark_in_the_source_is_not_carried_over(self):
        import tempfile

        with tempfile.TemporaryDirectory() as folder:
            source, target = os.path.join(folder, "in.html"), os.path.join(folder, "out.html")
            with open(source, "wb") as stream:
                stream.write("\ufeff<p>x</p>\n".encode("utf-8"))
            self.assertEqual(to_utf16le.main([source, target]), 0)
            with open(target, "rb") as stream:
                self.assertEqual(stream.read(), b"\xff\xfe" + "<p>x</p>\n".encode("utf-16-le"))


if __name__ == "__main__":
    unittest.main()
