"""XXTEA, the corrected block TEA, on lists of 32-bit words."""

DELTA = 0x9E3779B9
MASK = 0xFFFFFFFF


def _mix(y, z, total, p, e, key):
    left = ((z >> 5) ^ ((y << 2) & MASK)) + ((y >> 3) ^ ((z << 4) & MASK))
    right = (total ^ y) + (key[(p & 3) ^ e] ^ z)
    return (left ^ right) & MASK


def encipher(words, key):
    """Enciphered copy of `words`; fewer than two words are returned unchanged."""
    v = list(words)
    n = len(v)
    if n < 2:
        return v
    rounds = 6 + 52 // n
    total = 0
    z = v[n - 1]
    for _ in range(rounds):
        total = (total + DELTA) & MASK
        e = (total >> 2) & 3
        for p in range(n):
            y = v[(p + 1) % n]
            v[p] = (v[p] + _mix(y, z, total, p, e, key)) & MASK
            z = v[p]
    return v


def decipher(words, key):
    """Deciphered copy of `words`; fewer than two words are returned unchanged."""
    v = list(words)
    n = len(v)
    if n < 2:
        return v
    rounds = 6 + 52 // n
    total = (rounds * DELTA) & MASK
    y = v[0]
    for _ in range(rounds):
        e = (total >> 2) & 3
        for p in range(n - 1, -1, -1):
            z = v[p - 1] if p > 0 else v[n - 1]
            v[p] = (v[p] - _mix(y, z, total, p, e, key)) & MASK
            y = v[p]
        total = (total - DELTA) & MASK
    return v
