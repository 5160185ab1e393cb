#!/usr/bin/env python3
"""Turns the string catalogues (gettext PO, one per language, the string id as message
context) into the program's string tables: RT_STRING blocks with the texts below id
20000 enciphered under the program's key.

Usage: generate_strings.py --key-header StringCipherKey.h [--template strings.pot]
                           --output strings.rc|strings.res CATALOGUE.po...

With --template every catalogue is checked against the template: each string id of
the sets the catalogue covers is translated, no unknown id appears, translations keep
the printf conversions of a c-format entry, texts respect a "Maximum length: N
characters" note, and no text of three words or more is left in English in another
language. Any problem stops the build with file and line.
"""

import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from po_catalogue import Catalogue, CatalogueError, parse_entries, read_catalogue  # noqa: E402
import string_tables  # noqa: E402

# Strings from this id on belong to the update component and are stored under the
# catalogue's update language; the ones below under its program language.
FIRST_UPDATE_STRING_ID = 10000

_CONVERSION = re.compile(r"%(?:%|[-+ #0]*(?:\*|\d+)?(?:\.(?:\*|\d+))?(?:hh|h|ll|l|L|z|j|t|I64|I32|I)?[diouxXeEfgGcsSpaA])")
_MAX_LENGTH = re.compile(r"Maximum length:\s*(\d+)")


def conversions(text: str) -> list[str]:
    return [c for c in _CONVERSION.findall(text) if c != "%%"]


def language_of(catalogue: Catalogue, string_id: int) -> int | None:
    if string_id >= FIRST_UPDATE_STRING_ID:
        return catalogue.update_language_id
    return catalogue.program_language_id


def check_catalogue(catalogue: Catalogue, template_entries: dict) -> list[str]:
    problems = []
    where = catalogue.source
    if catalogue.program_language_id is None:
        problems.append(f"{where}: header field X-Resource-Language is missing")
    for string_id, entry in sorted(catalogue.entries.items()):
        if string_id not in template_entries:
            problems.append(f"{where}:{entry.line}: string id {string_id} is not in the template")
    for string_id, template in sorted(template_entries.items()):
        if language_of(catalogue, string_id) is None:
            continue
        entry = catalogue.entries.get(string_id)
        text = catalogue.texts.get(string_id)
        if text is None:
            state = "fuzzy" if entry is not None and entry.fuzzy else "missing"
            line = f":{entry.line}" if entry is not None else ""
            problems.append(f"{where}{line}: string id {string_id} is {state}")
            continue
        if entry.msgid != template.msgid:
            problems.append(f"{where}:{entry.line}: string id {string_id} translates an outdated source text")
        if "c-format" in template.flags and conversions(text) != conversions(template.msgid):
            problems.append(f"{where}:{entry.line}: string id {string_id} must keep the conversions "
                            f"{conversions(template.msgid)}")
        # Several words never read the same in two languages: a copy of the English
        # source is a string nobody translated.
        if text == template.msgid and len(text.split()) >= 3 and language_of(catalogue, string_id) & 0x3FF != 9:
            problems.append(f"{where}:{entry.line}: string id {string_id} is left in English")
        for comment in template.comments:
            limit = _MAX_LENGTH.search(comment)
            units = len(string_tables.utf16_units(text))
            if limit and units > int(limit.group(1)):
                problems.append(f"{where}:{entry.line}: string id {string_id} has {units} characters, "
                                f"at most {limit.group(1)} fit")
    return problems


def validate_texts(catalogue: Catalogue) -> list[str]:
    problems = []
    for string_id, text in catalogue.texts.items():
        entry = catalogue.entries[string_id]
        if "\0" in text:
            problems.append(f"{catalogue.source}:{entry.line}: string id {string_id} holds a zero character")
        if len(string_tables.utf16_units(text)) > 0xFFFF:
            problems.append(f"{catalogue.source}:{entry.line}: string id {string_id} is too long")
        if language_of(catalogue, string_id) is None:
            field = "X-Update-Resource-Language" if string_id >= FIRST_UPDATE_STRING_ID else "X-Resource-Language"
            problems.append(f"{catalogue.source}:{entry.line}: string id {string_id} needs the header field {field}")
    return problems


def texts_by_language(catalogues: list[Catalogue]) -> tuple[dict[int, dict[int, str]], list[str]]:
    result: dict[int, dict[int, str]] = {}
    owners: dict[tuple[int, int], str] = {}
    problems = []
    for catalogue in catalogues:
        for string_id, text in catalogue.texts.items():
            language = language_of(catalogue, string_id)
            if language is None:
                continue
            owner = owners.setdefault((language, string_id), catalogue.source)
            if owner != catalogue.source:
                problems.append(f"{catalogue.source}: string id {string_id} for language {language} "
                                f"is also in {owner}")
            result.setdefault(language, {})[string_id] = text
    return result, problems


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--key-header", required=True, help="C++ header that defines kStringCipherKey")
    parser.add_argument("--template", help="PO template every catalogue is checked against")
    parser.add_argument("--output", required=True, help="the .rc fragment or .res file to write")
    parser.add_argument("catalogues", nargs="+")
    args = parser.parse_args(argv)

    try:
        key = string_tables.read_key(args.key_header)
        catalogues = [read_catalogue(path) for path in args.catalogues]
        template_entries = {}
        if args.template:
            with open(args.template, encoding="utf-8") as handle:
                for entry in parse_entries(handle.read(), args.template):
                    if entry.context is not None:
                        template_entries[int(entry.context)] = entry
    except (CatalogueError, string_tables.KeyFileError, OSError, ValueError) as error:
        print(f"error: {error}", file=sys.stderr)
        return 1

    problems = []
    for catalogue in catalogues:
        problems += validate_texts(catalogue)
        if args.template:
            problems += check_catalogue(catalogue, template_entries)
    texts, clashes = texts_by_language(catalogues)
    problems += clashes
    if problems:
        for problem in problems:
            print(f"error: {problem}", file=sys.stderr)
        return 1

    blocks = string_tables.build_blocks(texts, key)
    if args.output.lower().endswith(".res"):
        content = string_tables.write_res(blocks)
        mode = "wb"
    else:
        content = string_tables.write_rc(blocks)
        mode = "w"
    temporary = args.output + ".tmp"
    with open(temporary, mode) as handle:
        handle.write(content)
    os.replace(temporary, args.output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
