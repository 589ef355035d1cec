#!/usr/bin/env python3
"""Writes base/cp932_table.cpp from Wine's code page 932 table.

    tools/gen_cp932_table.py [/usr/share/wine/nls/c_932.nls] [base/cp932_table.cpp]

The .nls file holds, in 16-bit little-endian words: a header (its own size
in words, code page, maximum character size, default characters, lead byte
ranges), the byte -> UTF-16 table (256 words), a glyph table (size word,
then that many words), the lead byte offsets (a count word, then 256 words
giving each lead byte's sub-table as an offset from the start of these 256
words) with the 256-word sub-tables, and last the UTF-16 -> code table of
65536 words (a code above 0xFF is lead byte << 8 | trail byte; best-fit
mappings are in it; characters without one give the default character).

The committed form is compact: single bytes, one row of trail bytes
0x40-0xFC per lead byte (every other trail byte decodes to the default
character), and the few encodings that differ from "the last code in byte
order that decodes to the character". The script rebuilds both directions
from what it writes and checks them against the whole file before writing.
"""
import struct
import sys

SRC = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/wine/nls/c_932.nls"
DST = sys.argv[2] if len(sys.argv) > 2 else "base/cp932_table.cpp"

FIRST_TRAIL, LAST_TRAIL = 0x40, 0xFC
LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))


def load(path):
    data = open(path, "rb").read()
    w = struct.unpack("<%dH" % (len(data) // 2), data)
    hdr = w[0]
    assert w[1] == 932 and w[2] == 2, "not the double-byte code page 932"
    default_char, uni_default = w[3], w[4]
    p = hdr
    wide_at = p + w[p] + 1
    p += 1
    single = list(w[p:p + 256])
    p += 256
    glyphs = w[p]
    p += 1 + glyphs
    assert w[p] != 0, "no lead byte table"
    offsets = w[p + 1:p + 1 + 256]
    base = p + 1

    def pair(lead, trail):
        return w[base + offsets[lead] + trail]

    leads = [b for b in range(256) if offsets[b]]
    assert leads == LEADS, "lead bytes differ from 0x81-0x9F, 0xE0-0xFC"
    wide = list(w[wide_at:wide_at + 65536])
    assert len(wide) == 65536
    return default_char, uni_default, single, pair, wide


def main():
    default_char, uni_default, single, pair, wide = load(SRC)
    assert default_char == 0x3F and uni_default == 0x30FB

    # Decode rows: 0 where the pair holds no character (it decodes to the
    # default character U+30FB, which 81 45 holds for real).
    rows = []
    for lead in LEADS:
        row = []
        for trail in range(256):
            ch = pair(lead, trail)
            real = ch != uni_default or (lead, trail) == (0x81, 0x45)
            if FIRST_TRAIL <= trail <= LAST_TRAIL:
                row.append(ch if real else 0)
            else:
                assert not real, "character outside the trail byte range"
        rows.append(row)
    singles = [0 if b in LEADS else single[b] for b in range(256)]

    # Encoding: the last code in byte order that decodes to a character,
    # then the overrides.
    def base_encoding():
        enc = {}
        for b in range(256):
            if b not in LEADS:
                enc[singles[b]] = b
        for i, lead in enumerate(LEADS):
            for t, ch in enumerate(rows[i]):
                if ch:
                    enc[ch] = lead << 8 | (FIRST_TRAIL + t)
        return enc

    enc = base_encoding()
    overrides = [(u, wide[u]) for u in range(65536)
                 if wide[u] != enc.get(u, default_char)]

    # Check: rebuild both directions from the committed form.
    rebuilt = dict(enc)
    rebuilt.update(overrides)
    for u in range(65536):
        assert rebuilt.get(u, default_char) == wide[u], hex(u)
    for b in range(256):
        if b not in LEADS:
            assert singles[b] == single[b]
    for i, lead in enumerate(LEADS):
        for trail in range(256):
            ch = rows[i][trail - FIRST_TRAIL] if FIRST_TRAIL <= trail <= LAST_TRAIL else 0
            assert (ch or uni_default) == pair(lead, trail)
    for u, code in overrides:  # every override writes a code that holds a character
        if code > 0xFF:
            assert rows[LEADS.index(code >> 8)][(code & 0xFF) - FIRST_TRAIL], hex(u)
        else:
            assert code not in LEADS, hex(u)

    out = []
    out.append("// Code page 932 tables, written by tools/gen_cp932_table.py from Wine's")
    out.append("// c_932.nls. Do not edit; run the script again instead.")
    out.append('#include "base/cp932_table.h"')
    out.append("")
    out.append("namespace clip {")
    out.append("namespace cp932_table {")
    out.append("")
    out.append("// clang-format off")
    out.append("const std::uint16_t kSingleByte[256] = {")
    for i in range(0, 256, 8):
        out.append("    " + " ".join("0x%04X," % v for v in singles[i:i + 8]))
    out.append("};")
    out.append("")
    out.append("const std::uint16_t kDoubleByte[kLeadRows][kTrailCount] = {")
    for i, lead in enumerate(LEADS):
        out.append("    {  // lead byte 0x%02X" % lead)
        row = rows[i]
        for j in range(0, len(row), 12):
            out.append("        " + " ".join("0x%04X," % v for v in row[j:j + 12]))
        out.append("    },")
    out.append("};")
    out.append("")
    out.append("const EncodeOverride kEncodeOverrides[] = {")
    for j in range(0, len(overrides), 4):
        out.append("    " + " ".join("{0x%04X, 0x%04X}," % o for o in overrides[j:j + 4]))
    out.append("};")
    out.append("const std::size_t kEncodeOverrideCount = sizeof kEncodeOverrides / sizeof "
               "kEncodeOverrides[0];")
    out.append("// clang-format on")
    out.append("")
    out.append("}  // namespace cp932_table")
    out.append("}  // namespace clip")
    with open(DST, "w", newline="\n") as f:
        f.write("\n".join(out) + "\n")
    real = sum(1 for row in rows for ch in row if ch)
    print("%s: %d pairs, %d overrides" % (DST, real, len(overrides)))


main()
