"""RT_STRING blocks of sixteen counted strings, enciphered as the program deciphers
them, written as a resource script fragment or a compiled resource file."""

import re
import struct

import xxtea

RT_STRING = 6
STRINGS_PER_BLOCK = 16
FIRST_PLAIN_STRING_ID = 20000
# Memory flags of string tables (moveable, pure, discardable) as resource compilers set them.
STRING_MEMORY_FLAGS = 0x1030


class KeyFileError(Exception):
    """A key header without a usable kStringCipherKey line."""


def read_key(header_path: str) -> list[int]:
    """The four key words from the line of the C++ header that defines kStringCipherKey."""
    with open(header_path, encoding="utf-8") as handle:
        text = handle.read()
    match = re.search(r"kStringCipherKey\s*=\s*\{([^}]*)\}", text)
    if not match:
        raise KeyFileError(f"{header_path}: no kStringCipherKey definition")
    words = [int(word, 16) for word in re.findall(r"0[xX]([0-9A-Fa-f]{1,8})", match.group(1))]
    if len(words) != 4:
        raise KeyFileError(f"{header_path}: kStringCipherKey needs four 32-bit words")
    return words


def block_id(string_id: int) -> int:
    return (string_id >> 4) + 1


def utf16_units(text: str) -> list[int]:
    data = text.encode("utf-16-le")
    return list(struct.unpack(f"<{len(data) // 2}H", data))


def stored_units(string_id: int, text: str, key: list[int]) -> list[int]:
    """The units stored for one string: ids from 20000 on as they are; the others padded
    with a zero unit to an even count and enciphered as little-endian 32-bit words (a
    single word stays plain, as XXTEA leaves it)."""
    units = utf16_units(text)
    if string_id >= FIRST_PLAIN_STRING_ID:
        return units
    if len(units) % 2:
        units.append(0)
    words = [units[i] | units[i + 1] << 16 for i in range(0, len(units), 2)]
    words = xxtea.encipher(words, key)
    result = []
    for word in words:
        result += [word & 0xFFFF, word >> 16]
    return result


def build_blocks(texts_by_language: dict[int, dict[int, str]], key: list[int]) -> dict[tuple[int, int], list[int]]:
    """(language id, block id) -> the block's units: sixteen counted strings, absent
    strings with length 0."""
    blocks: dict[tuple[int, int], list[list[int] | None]] = {}
    for language, texts in texts_by_language.items():
        for string_id, text in texts.items():
            slots = blocks.setdefault((language, block_id(string_id)), [None] * STRINGS_PER_BLOCK)
            slots[string_id % STRINGS_PER_BLOCK] = stored_units(string_id, text, key)
    result = {}
    for block_key in sorted(blocks):
        units = []
        for slot in blocks[block_key]:
            slot = slot or []
            units.append(len(slot))
            units += slot
        result[block_key] = units
    return result


def write_rc(blocks: dict[tuple[int, int], list[int]]) -> str:
    """A resource script fragment (ASCII, so any encoding windres assumes reads it): one
    raw resource of type 6 per block, since STRINGTABLE statements cannot hold
    enciphered units."""
    lines = ["// Generated from the string catalogues; edit those, not this file.", ""]
    for (language, block), units in blocks.items():
        lines.append(f"LANGUAGE 0x{language & 0x3FF:02X}, 0x{language >> 10:02X}")
        lines.append(f"{block} {RT_STRING}")
        lines.append("{")
        for start in range(0, len(units), 12):
            chunk = units[start:start + 12]
            last = start + 12 >= len(units)
            lines.append("    " + ", ".join(f"0x{unit:04X}" for unit in chunk) + ("" if last else ","))
        lines.append("}")
        lines.append("")
    return "\n".join(lines)


def _res_entry(type_id: int, name_id: int, language: int, memory_flags: int, data: bytes) -> bytes:
    header = struct.pack("<IIHHHHIHHII", len(data), 32, 0xFFFF, type_id, 0xFFFF, name_id,
                         0, memory_flags, language, 0, 0)
    padding = b"\0" * (-len(data) % 4)
    return header + data + padding


def write_res(blocks: dict[tuple[int, int], list[int]]) -> bytes:
    """A compiled resource file: the empty leading entry, then one RT_STRING per block."""
    out = bytearray(_res_entry(0, 0, 0, 0, b""))
    for (language, block), units in blocks.items():
        data = struct.pack(f"<{len(units)}H", *units)
        out += _res_entry(RT_STRING, block, language, STRING_MEMORY_FLAGS, data)
    return bytes(out)


def read_res(data: bytes) -> dict[tuple[int, int, int], bytes]:
    """(type, name, language) -> data of every numbered resource in a compiled resource
    file; for checks and tests."""
    resources = {}
    offset = 0
    while offset + 32 <= len(data):
        size, header_size = struct.unpack_from("<II", data, offset)
        type_marker, type_id, name_marker, name_id = struct.unpack_from("<HHHH", data, offset + 8)
        language, = struct.unpack_from("<H", data, offset + 22)
        if type_marker != 0xFFFF or name_marker != 0xFFFF:
            raise ValueError("named resources are not expected here")
        body = data[offset + header_size: offset + header_size + size]
        if size or type_id:
            resources[(type_id, name_id, language)] = body
        offset += header_size + size + (-size % 4)
    return resources
