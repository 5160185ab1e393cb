"""Tests of the string table generator (tools/strings), run by CTest with that folder on
the module path. What it stores is read back by the program's own code in the native
round trip of the test catalogues."""

import os
import tempfile
import unittest

import generate_strings
import po_catalogue

HEADER = '''msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\\n"
"X-Resource-Language: 19\\n"
'''


def entry(context, source, text, flags=""):
    return f'{flags}msgctxt "{context}"\nmsgid "{source}"\nmsgstr "{text}"\n\n'


class PoReading(unittest.TestCase):
    def test_reads_continuations_and_escapes_and_skips_untranslated_fuzzy_and_obsolete(self):
        catalogue = po_catalogue.parse_catalogue(
            HEADER + '\nmsgctxt "1051"\nmsgid "Source"\nmsgstr "First line\\n"\n"second \\"quoted\\"\\t\\\\ \\101\\x42"\n\n'
            + entry(1, "Empty", "") + entry(2, "Fuzzy", "Vague", "#, fuzzy\n")
            + '#~ msgctxt "3"\n#~ msgid "Old"\n#~ msgstr "Oud"\n', "test.po")
        self.assertIsNone(catalogue.update_language_id)
        self.assertEqual(catalogue.texts, {1051: 'First line\nsecond "quoted"\t\\ AB'})
        self.assertEqual(sorted(catalogue.entries), [1, 2, 1051])  # obsolete entries are gone
        self.assertTrue(catalogue.entries[2].fuzzy)

    def test_rejects_entries_it_cannot_store(self):
        bad_catalogues = {
            "no context": 'msgid "x"\nmsgstr "y"\n',
            "context not a number": entry("ten", "x", "y"),
            "id too large": entry(65536, "x", "y"),
            "duplicate id": entry(5, "x", "y") + entry(5, "z", "w"),
            "plural": 'msgctxt "5"\nmsgid "x"\nmsgid_plural "xs"\nmsgstr[0] "y"\n',
            "unquoted": 'msgctxt "5"\nmsgid x\nmsgstr "y"\n',
            "bad escape": entry(5, "x", "\\q"),
        }
        for name, body in bad_catalogues.items():
            with self.subTest(name), self.assertRaises(po_catalogue.CatalogueError):
                po_catalogue.parse_catalogue(HEADER + "\n" + body, "bad.po")


class Checks(unittest.TestCase):
    TEMPLATE = '#. Maximum length: 10 characters.\n' + entry(1041, "Caption", "") + \
        entry(10013, "Done: %d%%", "", "#, c-format\n")
    CAPTION = entry(1041, "Caption", "Titel")
    DONE = entry(10013, "Done: %d%%", "Klaar: %d%%")

    def check(self, body, update=True):
        header = HEADER + ('"X-Update-Resource-Language: 19\\n"\n' if update else "")
        template = {int(e.context): e for e in po_catalogue.parse_entries(self.TEMPLATE, "t.pot") if e.context}
        return generate_strings.check_catalogue(po_catalogue.parse_catalogue(header + body, "nl.po"), template)

    def test_reports_each_problem_once(self):
        self.assertEqual(self.check(self.CAPTION + self.DONE), [])
        # Without an update language its update strings are not required either.
        self.assertEqual(self.check(self.CAPTION, update=False), [])
        cases = {
            "missing": (self.CAPTION, "10013 is missing"),
            "fuzzy": (self.CAPTION + entry(10013, "Done: %d%%", "Klaar: %d%%", "#, fuzzy\n"), "10013 is fuzzy"),
            "too long": (entry(1041, "Caption", "Veel te lange titel") + self.DONE, "at most 10 fit"),
            "conversion": (self.CAPTION + entry(10013, "Done: %d%%", "Klaar: %s%%"), "keep the conversions"),
            "outdated": (entry(1041, "Old caption", "Titel") + self.DONE, "outdated"),
            "unknown": (self.CAPTION + entry(7, "x", "y") + self.DONE, "not in the template"),
        }
        for name, (body, expected) in cases.items():
            with self.subTest(name):
                problems = self.check(body)
                self.assertEqual(len(problems), 1, problems)
                self.assertIn(expected, problems[0])

    def test_a_sentence_copied_from_english_is_untranslated(self):
        sentence = entry(1051, "Switch them off", "Switch them off")
        template = {1051: po_catalogue.parse_entries(sentence, "t.pot")[0]}
        for language, problems in ((19, 1), (9, 0), (0x409, 0)):
            header = HEADER.replace("Language: 19", f"Language: {language}")
            catalogue = po_catalogue.parse_catalogue(header + sentence, "x.po")
            with self.subTest(language):
                self.assertEqual(len(generate_strings.check_catalogue(catalogue, template)), problems)

    def test_update_strings_need_an_update_language(self):
        catalogue = po_catalogue.parse_catalogue(HEADER + self.DONE, "nl.po")
        self.assertIn("X-Update-Resource-Language", generate_strings.validate_texts(catalogue)[0])

    def test_command_fails_without_writing_output(self):
        with tempfile.TemporaryDirectory() as folder:
            paths = [os.path.join(folder, name) for name in ("Key.h", "a.po", "b.po", "out.rc")]
            texts = ["kStringCipherKey = {0x1, 0x2, 0x3, 0x4};\n"] + 2 * [HEADER + "\n" + entry(5, "x", "y")]
            for path, text in zip(paths, texts):
                with open(path, "w", encoding="utf-8") as handle:
                    handle.write(text)
            key, first, second, output = paths
            # Two catalogues for the same language both define string 5.
            self.assertEqual(generate_strings.main(["--key-header", key, "--output", output, first, second]), 1)
            self.assertFalse(os.path.exists(output))
            self.assertEqual(generate_strings.main(["--key-header", key, "--output", output, first]), 0)
            self.assertTrue(os.path.exists(output))


if __name__ == "__main__":
    unittest.main()
