# test_corpus_archives - real decks and workbooks: inspection agrees with zipfile, round trips are verbatim.
from __future__ import annotations

import json
import zipfile
from pathlib import Path

import pytest
import velmora_native

from helpers import CORPUS, listing, sha256_file
from oracle import expected_manifest, pretty


FILES = sorted(p for p in CORPUS.iterdir() if p.is_file() and p.suffix != ".md")


def zipfile_reads_fully(path: Path) -> bool:
    try:
        with zipfile.ZipFile(path) as archive:
            for info in archive.infolist():
                archive.read(info)
    except (zipfile.BadZipFile, OSError, EOFError, NotImplementedError, RuntimeError):
        return False
    return True


READABLE = [p for p in FILES if zipfile_reads_fully(p)]
UNREADABLE = [p for p in FILES if p not in READABLE]


def test_corpus_has_both_kinds():
    assert len(READABLE) > 50
    assert all("BROKEN" in p.name for p in UNREADABLE)


@pytest.mark.parametrize("source", READABLE, ids=lambda p: p.name)
def test_inspection_and_roundtrip_agree_with_zipfile(source, tmp_path):
    digest = sha256_file(source)
    expected = expected_manifest(source)
    assert velmora_native.inspect_package_json(str(source)) == pretty(expected)

    output = tmp_path / "copy" / source.name
    result = velmora_native.roundtrip_package_json(str(source), str(output))
    assert output.read_bytes() == source.read_bytes()
    assert json.loads(result) == {**expected, "path": str(output)}
    assert sha256_file(source) == digest


@pytest.mark.parametrize("source", UNREADABLE, ids=lambda p: p.name)
def test_unreadable_archive_fails_without_output(source, tmp_path):
    digest = sha256_file(source)
    with pytest.raises(RuntimeError) as caught:
        velmora_native.inspect_package_json(str(source))
    message = str(caught.value)
    assert message.startswith(("zip error: invalid Zip archive: ", "zip error: unsupported Zip archive: ")), message

    output = tmp_path / "copy" / source.name
    with pytest.raises(RuntimeError) as caught_roundtrip:
        velmora_native.roundtrip_package_json(str(source), str(output))
    assert str(caught_roundtrip.value) == message
    assert listing(tmp_path) == ["copy"]
    assert sha256_file(source) == digest

