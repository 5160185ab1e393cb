#!/usr/bin/env python3
"""Writes deb-src entries for every enabled binary archive of this machine's apt.

Usage: deb_src_sources.py OUTPUT_DIR SOURCE_FILE...

Reads one-line (.list) and deb822 (.sources) files and writes the matching
source entries to OUTPUT_DIR/derived.list and OUTPUT_DIR/derived.sources, keeping
each entry's options (Signed-By above all) so apt authenticates the source
indexes the same way it does the binary ones. The machine's own files are only
read: the mirror is never copied anywhere but the caller's private apt state.
"""

import re
import sys
from pathlib import Path


def one_line_entries(text):
    """Yields 'deb-src ...' lines for the 'deb' and 'deb-src' lines of a .list file."""
    for raw in text.splitlines():
        line = raw.split("#", 1)[0].strip()
        match = re.match(r"^(deb|deb-src)\s+(.*)$", line)
        if match:
            yield "deb-src " + match.group(2)


def deb822_stanzas(text):
    """Yields each stanza of a deb822 file as a list of (field, value-lines)."""
    stanza, field = [], None
    for raw in text.splitlines() + [""]:
        if raw.startswith("#"):
            continue
        if not raw.strip():
            if stanza:
                yield stanza
            stanza, field = [], None
        elif raw[0] in " \t" and field is not None:
            field[1].append(raw)
        elif ":" in raw:
            name, value = raw.split(":", 1)
            field = (name.strip(), [value.strip()])
            stanza.append(field)


def deb822_entries(text):
    """Yields enabled stanzas carrying binary or source archives, retyped as deb-src."""
    for stanza in deb822_stanzas(text):
        fields = {name.lower(): lines for name, lines in stanza}
        types = " ".join(fields.get("types", [""])).split()
        enabled = " ".join(fields.get("enabled", ["yes"])).strip().lower()
        if enabled == "no" or not ({"deb", "deb-src"} & set(types)):
            continue
        out = ["Types: deb-src"]
        for name, lines in stanza:
            if name.lower() != "types":
                out.append(f"{name}: {lines[0]}".rstrip())
                out.extend(lines[1:])
        yield "\n".join(out)


def unique(items):
    seen = []
    for item in items:
        if item not in seen:
            seen.append(item)
    return seen


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    output = Path(argv[1])
    one_line, deb822 = [], []
    for name in argv[2:]:
        path = Path(name)
        if not path.is_file():
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        if path.suffix == ".sources":
            deb822.extend(deb822_entries(text))
        else:
            one_line.extend(one_line_entries(text))
    one_line, deb822 = unique(one_line), unique(deb822)
    if not one_line and not deb822:
        sys.exit("no enabled Debian archive found in: " + " ".join(argv[2:]))
    output.mkdir(parents=True, exist_ok=True)
    (output / "derived.list").write_text("".join(line + "\n" for line in one_line))
    (output / "derived.sources").write_text("\n\n".join(deb822) + ("\n" if deb822 else ""))


if __name__ == "__main__":
    main(sys.argv)
