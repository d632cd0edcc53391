#!/usr/bin/env python3
"""make_zip_seeds.py - writes the small generated seed archives of fuzz/corpus/zip/.

Each seed exercises one layout the reader must handle: ZIP64 records, data descriptors with
and without their signature, directory entries, comments, non-ASCII names.
"""
import os
import struct
import sys
import zlib


def deflate(data):
    c = zlib.compressobj(6, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


def archive(entries, zip64_end=False, comment=b""):
    """entries: (name, content, deflated, descriptor: None|'signed'|'plain', zip64)."""
    out, central = b"", b""
    for name, content, deflated, descriptor, zip64 in entries:
        data = deflate(content) if deflated else content
        crc, offset = zlib.crc32(content), len(out)
        flags = (0x8 if descriptor else 0) | (0x800 if any(b > 127 for b in name) else 0)
        method = 8 if deflated else 0
        later = descriptor is not None
        lextra = struct.pack("<HHQQ", 1, 16, 0 if later else len(content), 0 if later else len(data)) if zip64 else b""
        csize = 0xFFFFFFFF if zip64 else (0 if later else len(data))
        usize = 0xFFFFFFFF if zip64 else (0 if later else len(content))
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 45 if zip64 else 20, flags, method, 0, 0x21,
                           0 if later else crc, csize, usize, len(name), len(lextra)) + name + lextra + data
        if descriptor == "signed":
            out += struct.pack("<I", 0x08074B50)
        if descriptor:
            out += struct.pack("<IQQ" if zip64 else "<III", crc, len(data), len(content))
        cextra = struct.pack("<HHQQQ", 1, 24, len(content), len(data), offset) if zip64 else b""
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 0x031E, 45 if zip64 else 20, flags, method, 0,
                               0x21, crc, 0xFFFFFFFF if zip64 else len(data), 0xFFFFFFFF if zip64 else len(content),
                               len(name), len(cextra), 0, 0, 0, 0o100644 << 16, 0xFFFFFFFF if zip64 else offset)
        central += name + cextra
    cd_offset, count = len(out), len(entries)
    out += central
    if zip64_end:
        record = len(out)
        out += struct.pack("<IQHHIIQQQQ", 0x06064B50, 44, 0x032D, 45, 0, 0, count, count, len(central), cd_offset)
        out += struct.pack("<IIQI", 0x07064B50, 0, record, 1)
        count16, size32, offset32 = 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF
    else:
        count16, size32, offset32 = count, len(central), cd_offset
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count16, count16, size32, offset32, len(comment)) + comment
    return out


XML = b'<?xml version="1.0" encoding="UTF-8"?>\n<p:sld><p:cSld><p:spTree/></p:cSld></p:sld>' * 4

SEEDS = {
    "plain.zip": archive([(b"[Content_Types].xml", XML, True, None, False), (b"ppt/media/a.bin", b"\x00" * 40, False, None, False)]),
    "zip64.zip": archive([(b"a.xml", XML, True, None, True), (b"b.bin", b"stored", False, None, True)], zip64_end=True),
    "descriptors.zip": archive([(b"signed.xml", XML, True, "signed", False), (b"plain.xml", XML, True, "plain", False),
                                (b"stored.bin", b"abc", False, "signed", False)]),
    "descriptors64.zip": archive([(b"a.xml", XML, True, "signed", True), (b"b.xml", XML, True, "plain", True)]),
    "dirs-comment.zip": archive([(b"ppt/", b"", False, None, False), (b"ppt/\xc3\xa9t\xc3\xa9.xml", XML, True, None, False)],
                                comment=b"PK\x05\x06 a comment holding a false end signature"),
    "empty.zip": archive([]),
}

if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "zip")
    os.makedirs(target, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(target, name), "wb") as f:
            f.write(data)
