# zipcraft - writes ZIP archives record by record, so a test controls every header field.
from __future__ import annotations

import struct
import zlib
from dataclasses import dataclass

STORED = 0
DEFLATED = 8
BZIP2 = 12

FLAG_ENCRYPTED = 0x0001
FLAG_DESCRIPTOR = 0x0008
FLAG_UTF8 = 0x0800

LOCAL_SIG = 0x04034B50  # + name + extra + data
CENTRAL_SIG = 0x02014B50  # + name + extra + comment
END_SIG = 0x06054B50  # + comment
ZIP64_END_SIG = 0x06064B50
ZIP64_LOCATOR_SIG = 0x07064B50
DESCRIPTOR_SIG = 0x08074B50

DOS_TIME = (12 << 11) | (30 << 5)  # 12:30:00
DOS_DATE = ((2024 - 1980) << 9) | (5 << 5) | 17  # 2024-05-17
UNIX_MADE_BY = (3 << 8) | 45
MAX32 = 0xFFFFFFFF
MAX16 = 0xFFFF


@dataclass
class Entry:
    """One archive entry. Fields left as None are derived from `content`."""

    name: str | bytes
    content: bytes = b""
    method: int = STORED
    payload: bytes | None = None  # bytes stored in the archive; None: content, deflated for DEFLATED
    flags: int | None = None  # None: FLAG_UTF8 when the name is non-ASCII text
    crc: int | None = None  # declared CRC-32; None: the content's
    size: int | None = None  # declared uncompressed size; None: len(content)
    local_name: bytes | None = None  # name in the local header; None: the central name
    descriptor: str | None = None  # None, "signed" or "unsigned" data descriptor after the data
    zip64: bool = False  # sizes and offset moved into a ZIP64 extra field
    local_offset: int | None = None  # declared local header offset; None: the real one

    def name_bytes(self) -> bytes:
        return self.name.encode() if isinstance(self.name, str) else self.name

    def stored_bytes(self) -> bytes:
        if self.payload is not None:
            return self.payload
        if self.method == DEFLATED:
            packer = zlib.compressobj(6, zlib.DEFLATED, -15)
            return packer.compress(self.content) + packer.flush()
        return self.content

    def general_flags(self) -> int:
        if self.flags is not None:
            flags = self.flags
        elif isinstance(self.name, str) and not self.name.isascii():
            flags = FLAG_UTF8
        else:
            flags = 0
        return flags | (FLAG_DESCRIPTOR if self.descriptor else 0)


def _zip64_extra(*values: int) -> bytes:
    return struct.pack("<HH", 0x0001, 8 * len(values)) + b"".join(struct.pack("<Q", v) for v in values)


def build(
    entries: list[Entry],
    *,
    zip64_end: bool = False,
    cd_offset: int | None = None,
    entry_count: int | None = None,
) -> bytes:
    """The archive bytes: local records in order, the central directory, the end records.

    `cd_offset` and `entry_count` override what the end record declares.
    `zip64_end` writes a ZIP64 end record and locator and saturates the classic one.
    """
    out = bytearray()
    central = bytearray()
    for entry in entries:
        name = entry.name_bytes()
        data = entry.stored_bytes()
        crc = zlib.crc32(entry.content) if entry.crc is None else entry.crc
        size = len(entry.content) if entry.size is None else entry.size
        flags = entry.general_flags()
        offset = len(out)
        version = 45 if entry.zip64 else 20

        local_name = name if entry.local_name is None else entry.local_name
        if entry.descriptor:
            local_sizes = (0, 0, 0)
        elif entry.zip64:
            local_sizes = (crc, MAX32, MAX32)
        else:
            local_sizes = (crc, len(data), size)
        local_extra = _zip64_extra(size, len(data)) if entry.zip64 else b""
        out += struct.pack(
            "<IHHHHHIIIHH",
            LOCAL_SIG,
            version,
            flags,
            entry.method,
            DOS_TIME,
            DOS_DATE,
            *local_sizes,
            len(local_name),
            len(local_extra),
        )
        out += local_name + local_extra + data
        if entry.descriptor == "signed":
            out += struct.pack("<I", DESCRIPTOR_SIG)
        if entry.descriptor:
            out += struct.pack("<III", crc, len(data), size)

        declared_offset = offset if entry.local_offset is None else entry.local_offset
        if entry.zip64:
            central_extra = _zip64_extra(size, len(data), declared_offset)
            central_fields = (crc, MAX32, MAX32)
            declared_offset = MAX32
        else:
            central_extra = b""
            central_fields = (crc, len(data), size)
        is_dir = name.endswith(b"/")
        external = ((0o40755 << 16) | 0x10) if is_dir else (0o100644 << 16)
        central += struct.pack(
            "<IHHHHHHIIIHHHHHII",
            CENTRAL_SIG,
            UNIX_MADE_BY,
            version,
            flags,
            entry.method,
            DOS_TIME,
            DOS_DATE,
            *central_fields,
            len(name),
            len(central_extra),
            0,
            0,
            0,
            external,
            declared_offset,
        )
        central += name + central_extra

    start = len(out) if cd_offset is None else cd_offset
    count = len(entries) if entry_count is None else entry_count
    out += central
    if zip64_end:
        zip64_end_offset = len(out)
        out += struct.pack("<IQHHIIQQQQ", ZIP64_END_SIG, 44, UNIX_MADE_BY, 45, 0, 0, count, count, len(central), start)
        out += struct.pack("<IIQI", ZIP64_LOCATOR_SIG, 0, zip64_end_offset, 1)
        out += struct.pack("<IHHHHIIH", END_SIG, 0, 0, MAX16, MAX16, MAX32, MAX32, 0)
    else:
        out += struct.pack("<IHHHHIIH", END_SIG, 0, 0, count, count, len(central), start, 0)
    return bytes(out)


def write(path, entries: list[Entry], **options) -> bytes:
    """Writes build(entries, **options) to path and returns the bytes."""
    data = build(entries, **options)
    with open(path, "wb") as file:
        file.write(data)
    return data
