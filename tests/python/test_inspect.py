# test_inspect - package inspection (JSON text, order, kinds) and the verbatim round trip.
from __future__ import annotations

import hashlib
import json
import os
import zipfile
from pathlib import Path

import pytest
import velmora_native

from helpers import listing, mode_bits
from oracle import expected_manifest, pretty

EMPTY_SHA256 = hashlib.sha256(b"").hexdigest()


def make_zip(path: Path, entries: dict[str, bytes], method: int = zipfile.ZIP_DEFLATED) -> Path:
    """A package written by zipfile; names ending in "/" become directory entries."""
    with zipfile.ZipFile(path, "w", method) as archive:
        for name, content in entries.items():
            if name.endswith("/"):
                info = zipfile.ZipInfo(name)
                info.external_attr = (0o40755 << 16) | 0x10
                archive.writestr(info, b"")
            else:
                archive.writestr(name, content)
    return path


def inspect_json(path: Path) -> str:
    return velmora_native.inspect_package_json(str(path))


def test_manifest_text(tmp_path):
    path = make_zip(tmp_path / "deck.pptx", {"ppt/slides/slide1.xml": b"<p:sld/>", "[Content_Types].xml": b"<Types/>"})
    types_sha = hashlib.sha256(b"<Types/>").hexdigest()
    slide_sha = hashlib.sha256(b"<p:sld/>").hexdigest()
    assert inspect_json(path) == (
        "{\n"
        f'  "path": "{path}",\n'
        '  "parts": [\n'
        "    {\n"
        '      "name": "[Content_Types].xml",\n'
        '      "size": 8,\n'
        f'      "sha256": "{types_sha}",\n'
        '      "kind": "xml"\n'
        "    },\n"
        "    {\n"
        '      "name": "ppt/slides/slide1.xml",\n'
        '      "size": 8,\n'
        f'      "sha256": "{slide_sha}",\n'
        '      "kind": "xml"\n'
        "    }\n"
        "  ]\n"
        "}"
    )


def test_empty_archive_has_empty_parts(tmp_path):
    path = make_zip(tmp_path / "empty.pptx", {})
    assert inspect_json(path) == f'{{\n  "path": "{path}",\n  "parts": []\n}}'


def test_strings_are_escaped_as_json_requires_and_no_further(tmp_path):
    folder = tmp_path / "dé\x1fck \"q\" \\ end"
    folder.mkdir()
    names = {
        "ctrl\x1f\x01\x7f.bin": b"a",
        'quote"back\\slash.xml': b"b",
        "tab\tnl\ncr\rbs\bff\f.bin": b"c",
        "ppt/média/ünïcode.xml": b"d",
        "ppt/media/\U0001f600.png": b"e",
    }
    path = make_zip(folder / "names.pptx", names)
    text = inspect_json(path)
    assert text == pretty(expected_manifest(path))
    for fragment in ("\\u001f", "\\u0001", "\\t", "\\n", "\\r", "\\b", "\\f", '\\"', "\\\\", "média", "\U0001f600"):
        assert fragment in text
    for absent in ("\\u001F", "\\u00e9", "\\/", "\\u007f", "\\ud83d"):
        assert absent not in text


def test_records_sorted_by_name_bytes(tmp_path):
    names = [
        "ppt/slides/slide10.xml",
        "docProps/app.xml",
        "ppt/slides/slide1.xml.rels",
        "_rels/.rels",
        "ppt/slides/slide1.xml",
        "Zeta.bin",
        "ppt/é.xml",
        "ppt/z.xml",
        "ppt/slides/",
        "[Content_Types].xml",
    ]
    path = make_zip(tmp_path / "order.pptx", {name: name.encode() for name in names})
    listed = [part["name"] for part in json.loads(inspect_json(path))["parts"]]
    assert listed == [
        "Zeta.bin",
        "[Content_Types].xml",
        "_rels/.rels",
        "docProps/app.xml",
        "ppt/slides/",
        "ppt/slides/slide1.xml",
        "ppt/slides/slide1.xml.rels",
        "ppt/slides/slide10.xml",
        "ppt/z.xml",
        "ppt/é.xml",
    ]


KINDS = {
    "[Content_Types].xml": "xml",
    "_rels/.rels": "relationships",
    "ppt/_rels/presentation.xml.rels": "relationships",
    "ppt/vbaProject.bin.rels": "relationships",
    "ppt/vbaProject.bin": "vba",
    "custom/folder/vbaProject.bin": "vba",
    "ppt/media/vbaProject.bin": "vba",
    "myvbaProject.bin": "vba",
    "ppt/vbaproject.bin": "binary",
    "ppt/media/image1.png": "media",
    "ppt/media/chart.xml": "xml",
    "ppt/media/": "media",
    "ppt/media": "binary",
    "ppt/embeddings/oleObject1.bin": "embedding",
    "ppt/embeddings/Microsoft_Excel_Worksheet.xlsx": "embedding",
    "ppt/embeddings/inner.xml": "xml",
    "ppt/embeddings/": "embedding",
    "docProps/thumbnail.jpeg": "binary",
    "ppt/slides/": "binary",
    "PPT/MEDIA/a.png": "binary",
    "ppt/slides/slide1.XML": "binary",
    "notes.rels.xml": "xml",
    "media/ppt/media/x.png": "binary",
}


@pytest.fixture(scope="module")
def kinds_by_name(tmp_path_factory) -> dict[str, str]:
    path = make_zip(tmp_path_factory.mktemp("kinds") / "kinds.pptx", {name: b"k" for name in KINDS})
    return {part["name"]: part["kind"] for part in json.loads(inspect_json(path))["parts"]}


@pytest.mark.parametrize(("name", "kind"), KINDS.items())
def test_part_kind(kinds_by_name, name, kind):
    assert kinds_by_name[name] == kind


def test_directory_entries_have_size_zero_and_the_empty_digest(tmp_path):
    path = make_zip(tmp_path / "dirs.pptx", {"ppt/": b"", "ppt/media/": b"", "ppt/media/a.png": b"png"})
    parts = {part["name"]: part for part in json.loads(inspect_json(path))["parts"]}
    assert parts["ppt/"] == {"name": "ppt/", "size": 0, "sha256": EMPTY_SHA256, "kind": "binary"}
    assert parts["ppt/media/"] == {"name": "ppt/media/", "size": 0, "sha256": EMPTY_SHA256, "kind": "media"}


@pytest.mark.parametrize("method", [zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED])
def test_sizes_and_digests_agree_with_zipfile(tmp_path, method):
    entries = {
        "[Content_Types].xml": b"<Types/>",
        "ppt/empty.xml": b"",
        "ppt/media/noise.bin": os.urandom(3 << 20),
        "ppt/media/zeros.bin": bytes(5 << 20),
    }
    path = make_zip(tmp_path / "sizes.pptx", entries, method)
    assert inspect_json(path) == pretty(expected_manifest(path))


def test_path_is_reported_as_given(small_package, monkeypatch):
    monkeypatch.chdir(small_package.parent)
    assert json.loads(velmora_native.inspect_package_json(small_package.name))["path"] == small_package.name
    result = json.loads(velmora_native.roundtrip_package_json(small_package.name, "sub/copy.pptx"))
    assert result["path"] == "sub/copy.pptx"
    assert Path("sub/copy.pptx").read_bytes() == small_package.read_bytes()


@pytest.mark.parametrize("mode", [0o640, 0o755, 0o666, 0o400])
def test_roundtrip_copies_bytes_and_mode(small_package, tmp_path, mode):
    small_package.chmod(mode)
    output = tmp_path / "a" / "b" / "copy.pptx"
    old_umask = os.umask(0o022)
    try:
        result = velmora_native.roundtrip_package_json(str(small_package), str(output))
    finally:
        os.umask(old_umask)
    assert output.read_bytes() == small_package.read_bytes()
    assert mode_bits(output) == mode
    assert listing(output.parent) == ["copy.pptx"]  # nothing left beside the output
    expected = json.loads(inspect_json(small_package))
    expected["path"] = str(output)
    assert json.loads(result) == expected
    assert result == pretty(expected)


def test_roundtrip_replaces_an_existing_output(small_package, tmp_path):
    output = tmp_path / "existing.pptx"
    output.write_bytes(b"older and longer content " * 1000)
    output.chmod(0o600)
    small_package.chmod(0o644)
    velmora_native.roundtrip_package_json(str(small_package), str(output))
    assert output.read_bytes() == small_package.read_bytes()
    assert mode_bits(output) == 0o644


def test_path_that_is_not_utf8_cannot_be_reported(small_package, tmp_path):
    # A file name with a byte that is not UTF-8 arrives as a surrogate-escaped str; the file
    # opens, but the manifest cannot hold the path as JSON text.
    odd = Path(os.fsdecode(bytes(tmp_path) + b"/odd\xff.pptx"))
    odd.write_bytes(small_package.read_bytes())
    with pytest.raises(RuntimeError) as caught:
        velmora_native.inspect_package_json(str(odd))
    assert str(caught.value) == "path contains invalid UTF-8 characters"
