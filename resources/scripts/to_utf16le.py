"""Copies a UTF-8 text file as UTF-16LE with a byte-order mark.

    to_utf16le.py INPUT OUTPUT

GNU windres reads resource scripts only in 8-bit code pages, but the update page must
be stored as UTF-16LE with a byte-order mark; it is kept as UTF-8 and converted here.
"""

import sys


def convert(text):
    return b"\xff\xfe" + text.encode("utf-16-le")


def main(arguments):
    if len(arguments) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    source, target = arguments
    with open(source, encoding="utf-8-sig", newline="") as stream:
        text = stream.read()
    with open(target, "wb") as stream:
        stream.write(convert(text))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
