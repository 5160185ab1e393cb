"""Reading gettext PO catalogues whose message contexts are numeric string ids."""

import re
from dataclasses import dataclass, field


class CatalogueError(Exception):
    """A catalogue that cannot be read or used; the message names file and line."""


@dataclass
class Entry:
    context: str | None
    msgid: str
    msgstr: str
    flags: set[str] = field(default_factory=set)
    comments: list[str] = field(default_factory=list)
    line: int = 0

    @property
    def fuzzy(self) -> bool:
        return "fuzzy" in self.flags


_ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "a": "\a", "b": "\b", "f": "\f", "v": "\v",
            "\\": "\\", '"': '"', "'": "'", "?": "?"}


def _unescape(body: str, where: str) -> str:
    out = []
    i = 0
    while i < len(body):
        ch = body[i]
        if ch != "\\":
            out.append(ch)
            i += 1
            continue
        if i + 1 >= len(body):
            raise CatalogueError(f"{where}: string ends with a backslash")
        nxt = body[i + 1]
        if nxt in _ESCAPES:
            out.append(_ESCAPES[nxt])
            i += 2
        elif nxt in "01234567":
            digits = re.match(r"[0-7]{1,3}", body[i + 1:]).group(0)
            out.append(chr(int(digits, 8)))
            i += 1 + len(digits)
        elif nxt == "x":
            digits = re.match(r"[0-9A-Fa-f]+", body[i + 2:])
            if not digits:
                raise CatalogueError(f"{where}: \\x without hex digits")
            out.append(chr(int(digits.group(0), 16)))
            i += 2 + len(digits.group(0))
        else:
            raise CatalogueError(f"{where}: unknown escape \\{nxt}")
    return "".join(out)


def _quoted(rest: str, where: str) -> str:
    rest = rest.strip()
    if len(rest) < 2 or rest[0] != '"' or rest[-1] != '"':
        raise CatalogueError(f"{where}: expected a quoted string")
    return _unescape(rest[1:-1], where)


def parse_entries(text: str, source: str) -> list[Entry]:
    """All active entries of a PO text, the header included (obsolete ones are dropped)."""
    entries: list[Entry] = []
    fields: dict[str, str] = {}
    flags: set[str] = set()
    comments: list[str] = []
    current: str | None = None
    start_line = 0

    def finish(where: str) -> None:
        nonlocal fields, flags, comments, current
        if fields:
            if "msgid" not in fields or "msgstr" not in fields:
                raise CatalogueError(f"{where}: entry without msgid or msgstr")
            entries.append(Entry(fields.get("msgctxt"), fields["msgid"], fields["msgstr"],
                                 flags, comments, start_line))
        elif flags or comments:
            pass  # comments with no entry behind them (at the end of a file)
        fields, flags, comments, current = {}, set(), [], None

    for number, raw in enumerate(text.splitlines(), start=1):
        where = f"{source}:{number}"
        line = raw.strip()
        if not line:
            continue
        if line.startswith("#"):
            if current is not None and "msgstr" in fields:
                finish(where)
            if line.startswith("#~"):
                continue
            if line.startswith("#,"):
                flags.update(f.strip() for f in line[2:].split(",") if f.strip())
            elif line.startswith("#."):
                comments.append(line[2:].strip())
            continue
        if line.startswith('"'):
            if current is None:
                raise CatalogueError(f"{where}: continuation line outside an entry")
            fields[current] += _quoted(line, where)
            continue
        keyword, _, rest = line.partition(" ")
        if keyword in ("msgid_plural",) or keyword.startswith("msgstr["):
            raise CatalogueError(f"{where}: plural forms are not used for string tables")
        if keyword not in ("msgctxt", "msgid", "msgstr"):
            raise CatalogueError(f"{where}: unexpected '{keyword}'")
        if keyword in fields or (keyword in ("msgctxt", "msgid") and "msgstr" in fields):
            finish(where)
        if not fields:
            start_line = number
        if keyword == "msgstr" and "msgid" not in fields:
            raise CatalogueError(f"{where}: msgstr without msgid")
        fields[keyword] = _quoted(rest, where)
        current = keyword
    finish(f"{source}:end")
    return entries


def header_fields(entries: list[Entry]) -> dict[str, str]:
    """The fields of the header entry (empty msgid, no context)."""
    for entry in entries:
        if entry.context is None and entry.msgid == "":
            result = {}
            for line in entry.msgstr.split("\n"):
                name, sep, value = line.partition(":")
                if sep:
                    result[name.strip()] = value.strip()
            return result
    return {}


@dataclass
class Catalogue:
    source: str
    language: str
    program_language_id: int | None
    update_language_id: int | None
    texts: dict[int, str]          # string id -> translation (translated entries only)
    entries: dict[int, Entry]      # string id -> entry as read


PROGRAM_LANGUAGE_FIELD = "X-Resource-Language"
UPDATE_LANGUAGE_FIELD = "X-Update-Resource-Language"
MAX_STRING_ID = 0xFFFF


def _language_id(value: str | None, source: str, name: str) -> int | None:
    if value is None or value == "":
        return None
    try:
        number = int(value, 0)
    except ValueError:
        raise CatalogueError(f"{source}: header field {name} is not a number: {value!r}") from None
    if not 0 < number <= 0xFFFF:
        raise CatalogueError(f"{source}: header field {name} is not a language id: {value!r}")
    return number


def read_catalogue(path: str) -> Catalogue:
    with open(path, encoding="utf-8") as handle:
        text = handle.read()
    return parse_catalogue(text, path)


def parse_catalogue(text: str, source: str) -> Catalogue:
    entries = parse_entries(text, source)
    header = header_fields(entries)
    by_id: dict[int, Entry] = {}
    texts: dict[int, str] = {}
    for entry in entries:
        if entry.context is None:
            if entry.msgid == "":
                continue
            raise CatalogueError(f"{source}:{entry.line}: entry without a string id (msgctxt)")
        if not re.fullmatch(r"[0-9]+", entry.context) or int(entry.context) > MAX_STRING_ID:
            raise CatalogueError(f"{source}:{entry.line}: msgctxt {entry.context!r} is not a string id")
        string_id = int(entry.context)
        if string_id in by_id:
            raise CatalogueError(f"{source}:{entry.line}: string id {string_id} appears twice")
        by_id[string_id] = entry
        # As in gettext, an empty or fuzzy translation counts as not translated.
        if entry.msgstr and not entry.fuzzy:
            texts[string_id] = entry.msgstr
    return Catalogue(
        source=source,
        language=header.get("Language", ""),
        program_language_id=_language_id(header.get(PROGRAM_LANGUAGE_FIELD), source, PROGRAM_LANGUAGE_FIELD),
        update_language_id=_language_id(header.get(UPDATE_LANGUAGE_FIELD), source, UPDATE_LANGUAGE_FIELD),
        texts=texts,
        entries=by_id,
    )
