# test_rewrite_safety - hostile and odd archives: exact failure kinds, untouched inputs, all-or-nothing outputs.
from __future__ import annotations

import json
import zipfile
from dataclasses import dataclass
from pathlib import Path

import pytest
import velmora_native

import zipcraft
from helpers import MISSING_FILE, listing, sha256_file
from oracle import expected_manifest, pretty
from zipcraft import DEFLATED, FLAG_ENCRYPTED, FLAG_UTF8, Entry

INVALID = "zip error: invalid Zip archive: "
UNSUPPORTED = "zip error: unsupported Zip archive: "


def good_entries() -> list[Entry]:
    return [
        Entry("[Content_Types].xml", b"<Types/>", method=DEFLATED),
        Entry("ppt/slides/slide1.xml", b"<p:sld/>" * 50, method=DEFLATED),
        Entry("ppt/media/image1.png", bytes(range(256))),
    ]


GOOD = zipcraft.build(good_entries())


@dataclass(frozen=True)
class Fails:
    prefix: str
    contains: str = ""

    def check(self, message: str) -> None:
        assert message.startswith(self.prefix), message
        assert self.contains in message, message


# Each hostile input as the bytes of the file, with the failure it must produce.
HOSTILE = {
    "not a zip": (b"plain text, no archive in here\n" * 20, Fails(INVALID)),
    "empty file": (b"", Fails(INVALID)),
    "only an end record, truncated": (GOOD[-10:], Fails(INVALID)),
    "truncated in the middle": (GOOD[: len(GOOD) // 2], Fails(INVALID)),
    "truncated end record": (GOOD[:-3], Fails(INVALID)),
    "central directory beyond the end": (zipcraft.build(good_entries(), cd_offset=1 << 30), Fails(INVALID)),
    "central directory offset into the data": (zipcraft.build(good_entries(), cd_offset=7), Fails(INVALID)),
    "entry count beyond the central directory": (
        zipcraft.build(good_entries(), entry_count=40),
        Fails(INVALID),
    ),
    "local header beyond the end": (
        zipcraft.build([Entry("a.xml", b"<a/>", local_offset=1 << 30)]),
        Fails(INVALID),
    ),
    "local header offset into the data": (
        zipcraft.build([Entry("a.xml", b"<a/>" * 10), Entry("b.xml", b"<b/>", local_offset=40)]),
        Fails(INVALID),
    ),
    "local name differs from the central name": (
        zipcraft.build([Entry("ppt/slides/slide1.xml", b"<p:sld/>", local_name=b"ppt/slides/other.xml")]),
        Fails(INVALID),
    ),
    "checksum mismatch, stored": (
        zipcraft.build([Entry("a.xml", b"<a/>", crc=0x12345678)]),
        Fails("io error: ", "checksum"),
    ),
    "checksum mismatch, deflated": (
        zipcraft.build([Entry("a.xml", b"<a/>" * 100, method=DEFLATED, crc=0)]),
        Fails("io error: ", "checksum"),
    ),
    "encrypted entry": (
        zipcraft.build([Entry("a.xml", b"<a/>", flags=FLAG_ENCRYPTED)]),
        Fails(UNSUPPORTED),
    ),
    "bzip2 entry": (
        zipcraft.build([Entry("a.xml", b"<a/>", method=zipcraft.BZIP2, payload=b"BZh91AY&SY" + bytes(20))]),
        Fails(UNSUPPORTED),
    ),
    "unknown method 99": (
        zipcraft.build([Entry("a.xml", b"<a/>", method=99, payload=bytes(16))]),
        Fails(UNSUPPORTED),
    ),
    "invalid UTF-8 name, flagged UTF-8": (
        zipcraft.build([Entry(b"ppt/bad\xff\xfe.xml", b"<a/>", flags=FLAG_UTF8)]),
        Fails(INVALID),
    ),
    "invalid UTF-8 name, unflagged": (
        zipcraft.build([Entry(b"ppt/bad\xc3(.xml", b"<a/>", flags=0)]),
        Fails(INVALID),
    ),
    "duplicate names": (
        zipcraft.build([Entry("a.xml", b"<first/>"), Entry("b.xml", b"<b/>"), Entry("a.xml", b"<second/>")]),
        Fails(INVALID),
    ),
    "corrupt deflate stream": (
        zipcraft.build([Entry("a.xml", b"<a/>", method=DEFLATED, payload=b"\xff" * 32)]),
        Fails("io error: "),
    ),
    "content longer than declared": (
        zipcraft.build([Entry("a.xml", b"<a/>" * 1000, method=DEFLATED, size=10)]),
        Fails("io error: ", "declared size"),
    ),
    "stored sizes disagree": (
        zipcraft.build([Entry("a.xml", b"<a/>", size=1 << 31)]),
        Fails("io error: ", "declared size"),
    ),
    "deflate bomb declared tiny": (
        zipcraft.build([Entry("bomb.bin", bytes(64 << 20), method=DEFLATED, size=100)]),
        Fails("io error: ", "declared size"),
    ),
}


def write_input(tmp_path: Path, data: bytes) -> Path:
    path = tmp_path / "input.pptx"
    path.write_bytes(data)
    return path


def assert_fails_cleanly(function, args, output: Path, check) -> str:
    """Runs a failing call; the output keeps its previous state and no stray file is left beside it."""
    before = output.read_bytes() if output.exists() else None
    siblings = listing(output.parent) if output.parent.exists() else None
    with pytest.raises(RuntimeError) as caught:
        function(*args)
    check(str(caught.value))
    if before is None:
        assert not output.exists()
    else:
        assert output.read_bytes() == before
    assert output.parent.is_dir(), "the output's parent directory is created before the input is opened"
    assert listing(output.parent) == (siblings or [])
    return str(caught.value)


@pytest.mark.parametrize(("data", "fails"), HOSTILE.values(), ids=HOSTILE.keys())
def test_hostile_archive_is_refused(tmp_path, data, fails):
    source = write_input(tmp_path, data)
    digest = sha256_file(source)
    with pytest.raises(RuntimeError) as caught:
        velmora_native.inspect_package_json(str(source))
    fails.check(str(caught.value))

    fresh = tmp_path / "out" / "result.pptx"
    message = assert_fails_cleanly(velmora_native.roundtrip_package_json, (str(source), str(fresh)), fresh, fails.check)
    assert message == str(caught.value)

    existing = tmp_path / "out" / "existing.pptx"
    existing.write_bytes(b"previous content")
    assert_fails_cleanly(velmora_native.roundtrip_package_json, (str(source), str(existing)), existing, fails.check)
    assert sha256_file(source) == digest


def test_hostile_archive_as_its_own_output_stays_unchanged(tmp_path):
    source = write_input(tmp_path, HOSTILE["checksum mismatch, deflated"][0])
    before = source.read_bytes()
    with pytest.raises(RuntimeError, match="checksum"):
        velmora_native.roundtrip_package_json(str(source), str(source))
    assert source.read_bytes() == before
    assert listing(tmp_path) == ["input.pptx"]


def test_missing_input(tmp_path):
    missing = tmp_path / "missing.pptx"
    with pytest.raises(RuntimeError) as caught:
        velmora_native.inspect_package_json(str(missing))
    assert str(caught.value) == MISSING_FILE
    output = tmp_path / "a" / "b" / "out.pptx"

    def exact(message):
        assert message == MISSING_FILE

    assert_fails_cleanly(velmora_native.roundtrip_package_json, (str(missing), str(output)), output, exact)


def test_directory_as_input(tmp_path):
    folder = tmp_path / "folder.pptx"
    folder.mkdir()
    with pytest.raises(RuntimeError, match="^io error: "):
        velmora_native.inspect_package_json(str(folder))
    output = tmp_path / "out" / "result.pptx"
    assert_fails_cleanly(
        velmora_native.roundtrip_package_json, (str(folder), str(output)), output, Fails("io error: ").check
    )
    assert listing(folder) == []


@pytest.mark.parametrize("blocker", ["output is a directory", "parent is a file"])
def test_unwritable_output_leaves_everything_in_place(small_package, tmp_path, blocker):
    digest = sha256_file(small_package)
    if blocker == "output is a directory":
        output = tmp_path / "taken"
        (output / "inner").mkdir(parents=True)
    else:
        (tmp_path / "file").write_bytes(b"plain")
        output = tmp_path / "file" / "out.pptx"
    before = listing(tmp_path)
    with pytest.raises(RuntimeError, match="^io error: "):
        velmora_native.roundtrip_package_json(str(small_package), str(output))
    assert listing(tmp_path) == before
    if blocker == "parent is a file":
        assert (tmp_path / "file").read_bytes() == b"plain"
    assert sha256_file(small_package) == digest


def test_roundtrip_onto_its_own_input(small_package):
    before = small_package.read_bytes()
    expected = velmora_native.inspect_package_json(str(small_package))
    result = velmora_native.roundtrip_package_json(str(small_package), str(small_package))
    assert small_package.read_bytes() == before
    assert result == expected
    assert listing(small_package.parent) == [small_package.name]


def zipfile_zip64(path: Path) -> None:
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, content in [("[Content_Types].xml", b"<Types/>"), ("ppt/media/a.bin", bytes(range(256)) * 64)]:
            with archive.open(name, "w", force_zip64=True) as entry:
                entry.write(content)


def zipfile_with_comment(path: Path) -> None:
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.writestr("[Content_Types].xml", b"<Types/>")
        archive.comment = b"a comment at the end of the archive"


def crafted(entries: list[Entry] | None = None, **options):
    def write(path: Path) -> None:
        zipcraft.write(path, entries or good_entries(), **options)

    return write


# Unusual but valid archives: inspection must agree with zipfile and the round trip must copy them.
VALID = {
    "only directories": crafted(entries=[Entry("ppt/"), Entry("ppt/slides/"), Entry("ppt/media/")]),
    "zip64 local extras from zipfile": zipfile_zip64,
    "zip64 extras and end record": crafted(
        entries=[Entry(e.name, e.content, method=e.method, zip64=True) for e in good_entries()], zip64_end=True
    ),
    "zip64 end record only": crafted(zip64_end=True),
    "signed data descriptors": crafted(
        entries=[Entry(e.name, e.content, method=e.method, descriptor="signed") for e in good_entries()]
    ),
    "unsigned data descriptors": crafted(
        entries=[Entry(e.name, e.content, method=DEFLATED, descriptor="unsigned") for e in good_entries()]
    ),
    "archive comment": zipfile_with_comment,
    "non-ASCII names flagged UTF-8": crafted(entries=[Entry("ppt/média/ïmage.png", b"img"), Entry("ppt/ü.xml", b"<u/>")]),
}


@pytest.mark.parametrize("write", VALID.values(), ids=VALID.keys())
def test_unusual_valid_archive(tmp_path, write):
    source = tmp_path / "input.pptx"
    write(source)
    assert velmora_native.inspect_package_json(str(source)) == pretty(expected_manifest(source))
    output = tmp_path / "out" / "copy.pptx"
    result = json.loads(velmora_native.roundtrip_package_json(str(source), str(output)))
    assert output.read_bytes() == source.read_bytes()
    assert result == {**expected_manifest(source), "path": str(output)}


NUL_IN_NAME = "io error: file name contained an unexpected NUL byte"


@pytest.mark.parametrize(
    ("source", "target"),
    [
        ("{input}\0.old", "out/copy.pptx"),
        ("{input}", "out\0ignored/copy.pptx"),
        ("{input}", "out/copy.pptx\0.tmp"),
    ],
    ids=["in the input", "in the output's folder", "in the output's name"],
)
def test_nul_in_a_path_is_refused_not_cut_short(small_package, tmp_path, source, target):
    # The system calls would read the name only up to the NUL and act on another file.
    before = listing(tmp_path)
    with pytest.raises(RuntimeError) as caught:
        velmora_native.roundtrip_package_json(source.format(input=small_package), str(tmp_path / target))
    assert str(caught.value) == NUL_IN_NAME
    if "\0" in source:
        with pytest.raises(RuntimeError) as caught:
            velmora_native.inspect_package_json(source.format(input=small_package))
        assert str(caught.value) == NUL_IN_NAME
    # At most the output's own folder is made; nothing under the name cut short at the NUL.
    assert set(listing(tmp_path)) - set(before) <= {"out"}
