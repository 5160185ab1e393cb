"""Tests of the string table generator (tools/strings), run by CTest with that folder on
the module path."""

import os
import struct
import tempfile
import unittest

import generate_strings
import po_catalogue
import string_tables
import xxtea

KEY = [0x00112233, 0x44556677, 0x8899AABB, 0xCCDDEEFF]

HEADER = '''msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\\n"
"X-Resource-Language: 19\\n"
'''


class PoReading(unittest.TestCase):
    def test_reads_contexts_continuations_and_escapes(self):
        catalogue = po_catalogue.parse_catalogue(HEADER + '''
#. a comment for translators
msgctxt "1051"
msgid "Source"
msgstr "First line\\n"
"second \\"quoted\\"\\t\\\\ \\101\\x42"
''', "test.po")
        self.assertEqual(catalogue.program_language_id, 19)
        self.assertIsNone(catalogue.update_language_id)
        self.assertEqual(catalogue.texts, {1051: 'First line\nsecond "quoted"\t\\ AB'})
        self.assertEqual(catalogue.entries[1051].comments, ["a comment for translators"])

    def test_untranslated_fuzzy_and_obsolete_entries_give_no_text(self):
        catalogue = po_catalogue.parse_catalogue(HEADER + '''
msgctxt "1"
msgid "Empty"
msgstr ""

#, fuzzy
msgctxt "2"
msgid "Fuzzy"
msgstr "Vague"

#~ msgctxt "3"
#~ msgid "Old"
#~ msgstr "Oud"
''', "test.po")
        self.assertEqual(catalogue.texts, {})
        self.assertEqual(sorted(catalogue.entries), [1, 2])
        self.assertTrue(catalogue.entries[2].fuzzy)

    def test_rejects_entries_it_cannot_store(self):
        bad_catalogues = {
            "no context": 'msgid "x"\nmsgstr "y"\n',
            "context not a number": 'msgctxt "ten"\nmsgid "x"\nmsgstr "y"\n',
            "id too large": 'msgctxt "65536"\nmsgid "x"\nmsgstr "y"\n',
            "duplicate id": 'msgctxt "5"\nmsgid "x"\nmsgstr "y"\n\nmsgctxt "5"\nmsgid "z"\nmsgstr "w"\n',
            "plural": 'msgctxt "5"\nmsgid "x"\nmsgid_plural "xs"\nmsgstr[0] "y"\n',
            "unquoted": 'msgctxt "5"\nmsgid x\nmsgstr "y"\n',
            "bad escape": 'msgctxt "5"\nmsgid "x"\nmsgstr "\\q"\n',
        }
        for name, body in bad_catalogues.items():
            with self.subTest(name), self.assertRaises(po_catalogue.CatalogueError):
                po_catalogue.parse_catalogue(HEADER + "\n" + body, "bad.po")


class Cipher(unittest.TestCase):
    # Published XXTEA vectors (TeaCrypt, Logan J. Drews).
    VECTORS = [
        ([0, 0, 0, 0], [0, 0], [0x053704AB, 0x575D8C80]),
        (KEY, [0x01234567, 0x89ABCDEF], [0x34354989, 0xDD7D1A7A]),
        (KEY, [0x01234567, 0x89ABCDEF, 0x01234567], [0xEBC5DD46, 0xBE0FEE71, 0xC6BF7193]),
        ([0, 0, 0, 0], [0x00010203, 0x04050607, 0x08090A0B, 0x0C0D0E0F],
         [0xAF5CFB0E, 0xAE73552B, 0x1D968A9F, 0x5CB94509]),
    ]

    def test_published_vectors(self):
        for key, plain, enciphered in self.VECTORS:
            self.assertEqual(xxtea.encipher(plain, key), enciphered)
            self.assertEqual(xxtea.decipher(enciphered, key), plain)

    def test_stored_units_follow_the_format(self):
        self.assertEqual(string_tables.stored_units(5, "A", KEY), [0x41, 0])
        self.assertEqual(string_tables.stored_units(5, "AB", KEY), [0x41, 0x42])
        abc = string_tables.stored_units(5, "ABC", KEY)
        self.assertEqual(len(abc), 4)
        words = [abc[0] | abc[1] << 16, abc[2] | abc[3] << 16]
        self.assertEqual(xxtea.decipher(words, KEY), [0x00420041, 0x00000043])
        self.assertEqual(string_tables.stored_units(20000, "XYZ", KEY), [0x58, 0x59, 0x5A])
        # Characters beyond the BMP take two units each.
        self.assertEqual(len(string_tables.stored_units(20000, "\U0001F600", KEY)), 2)

    def test_key_is_read_from_the_header_line(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "Key.h")
            with open(path, "w", encoding="utf-8") as handle:
                handle.write("// k\ninline constexpr XxteaKey kStringCipherKey = {0x1, 0xABCDEF01, 0x0, 0xFFFFFFFF};\n")
            self.assertEqual(string_tables.read_key(path), [1, 0xABCDEF01, 0, 0xFFFFFFFF])
            with open(path, "w", encoding="utf-8") as handle:
                handle.write("inline constexpr XxteaKey kStringCipherKey = {0x1, 0x2};\n")
            with self.assertRaises(string_tables.KeyFileError):
                string_tables.read_key(path)


class Blocks(unittest.TestCase):
    def test_blocks_hold_sixteen_counted_strings(self):
        blocks = string_tables.build_blocks({9: {16: "AB", 31: "Z", 20000: "P"}, 19: {17: "CD"}}, KEY)
        self.assertEqual(sorted(blocks), [(9, 2), (9, 1251), (19, 2)])
        english = blocks[(9, 2)]
        self.assertEqual(english[:3], [2, 0x41, 0x42])
        self.assertEqual(english[3:17], [0] * 14)
        self.assertEqual(english[17:], [2, 0x5A, 0])
        self.assertEqual(blocks[(19, 2)][:4], [0, 2, 0x43, 0x44])

    def test_res_file_round_trip(self):
        blocks = string_tables.build_blocks({1028: {1051: "Texts"}, 9: {20000: "odd"}}, KEY)
        data = string_tables.write_res(blocks)
        self.assertEqual(data[:32], struct.pack("<IIHHHHIHHII", 0, 32, 0xFFFF, 0, 0xFFFF, 0, 0, 0, 0, 0, 0))
        self.assertEqual(len(data) % 4, 0)
        resources = string_tables.read_res(data)
        self.assertEqual(set(resources), {(6, 66, 1028), (6, 1251, 9)})
        units = list(struct.unpack(f"<{len(resources[(6, 1251, 9)]) // 2}H", resources[(6, 1251, 9)]))
        self.assertEqual(units, [3, 0x6F, 0x64, 0x64] + [0] * 15)

    def test_resource_script_names_language_and_sublanguage(self):
        script = string_tables.write_rc(string_tables.build_blocks({2052: {1: "x"}, 9: {1: "y"}}, KEY))
        self.assertIn("LANGUAGE 0x04, 0x02\n1 6\n{", script)
        self.assertIn("LANGUAGE 0x09, 0x00\n1 6\n{", script)
        script.encode("ascii")


class Checks(unittest.TestCase):
    TEMPLATE = '''
#. Maximum length: 10 characters.
msgctxt "1041"
msgid "Caption"
msgstr ""

#, c-format
msgctxt "10013"
msgid "Done: %d%%"
msgstr ""
'''

    def template(self):
        return {int(e.context): e for e in po_catalogue.parse_entries(self.TEMPLATE, "t.pot") if e.context}

    def catalogue(self, body, update=True):
        header = HEADER + ('"X-Update-Resource-Language: 19\\n"\n' if update else "")
        return po_catalogue.parse_catalogue(header + body, "nl.po")

    def test_complete_catalogue_passes(self):
        good = self.catalogue('msgctxt "1041"\nmsgid "Caption"\nmsgstr "Titel"\n\n'
                              'msgctxt "10013"\nmsgid "Done: %d%%"\nmsgstr "Klaar: %d %%"\n')
        self.assertEqual(generate_strings.check_catalogue(good, self.template()), [])

    def test_reports_each_problem(self):
        cases = {
            "missing": ('msgctxt "1041"\nmsgid "Caption"\nmsgstr "Titel"\n', "10013 is missing"),
            "fuzzy": ('msgctxt "1041"\nmsgid "Caption"\nmsgstr "Titel"\n\n#, fuzzy\n'
                      'msgctxt "10013"\nmsgid "Done: %d%%"\nmsgstr "Klaar: %d%%"\n', "10013 is fuzzy"),
            "too long": ('msgctxt "1041"\nmsgid "Caption"\nmsgstr "Veel te lange titel"\n\n'
                         'msgctxt "10013"\nmsgid "Done: %d%%"\nmsgstr "Klaar: %d%%"\n', "at most 10 fit"),
            "conversion": ('msgctxt "1041"\nmsgid "Caption"\nmsgstr "Titel"\n\n'
                           'msgctxt "10013"\nmsgid "Done: %d%%"\nmsgstr "Klaar: %s%%"\n', "keep the conversions"),
            "outdated": ('msgctxt "1041"\nmsgid "Old caption"\nmsgstr "Titel"\n\n'
                         'msgctxt "10013"\nmsgid "Done: %d%%"\nmsgstr "Klaar: %d%%"\n', "outdated"),
            "unknown": ('msgctxt "1041"\nmsgid "Caption"\nmsgstr "Titel"\n\nmsgctxt "7"\nmsgid "x"\nmsgstr "y"\n\n'
                        'msgctxt "10013"\nmsgid "Done: %d%%"\nmsgstr "Klaar: %d%%"\n', "not in the template"),
        }
        for name, (body, expected) in cases.items():
            with self.subTest(name):
                problems = generate_strings.check_catalogue(self.catalogue(body), self.template())
                self.assertEqual(len(problems), 1, problems)
                self.assertIn(expected, problems[0])

    def test_update_strings_need_an_update_language(self):
        catalogue = self.catalogue('msgctxt "10013"\nmsgid "Done: %d%%"\nmsgstr "Klaar: %d%%"\n', update=False)
        self.assertIn("X-Update-Resource-Language", generate_strings.validate_texts(catalogue)[0])
        # Without update language its update strings are not required either.
        only_program = self.catalogue('msgctxt "1041"\nmsgid "Caption"\nmsgstr "Titel"\n', update=False)
        self.assertEqual(generate_strings.check_catalogue(only_program, self.template()), [])

    def test_command_fails_without_writing_output(self):
        with tempfile.TemporaryDirectory() as folder:
            key = os.path.join(folder, "Key.h")
            with open(key, "w", encoding="utf-8") as handle:
                handle.write("kStringCipherKey = {0x1, 0x2, 0x3, 0x4};\n")
            first = os.path.join(folder, "a.po")
            second = os.path.join(folder, "b.po")
            for path in (first, second):
                with open(path, "w", encoding="utf-8") as handle:
                    handle.write(HEADER + '\nmsgctxt "5"\nmsgid "x"\nmsgstr "y"\n')
            output = os.path.join(folder, "out.rc")
            # Two catalogues for the same language both define string 5.
            self.assertEqual(generate_strings.main(["--key-header", key, "--output", output, first, second]), 1)
            self.assertFalse(os.path.exists(output))
            self.assertEqual(generate_strings.main(["--key-header", key, "--output", output, first]), 0)
            with open(output, encoding="ascii") as handle:
                self.assertIn("LANGUAGE 0x13, 0x00", handle.read())


if __name__ == "__main__":
    unittest.main()
