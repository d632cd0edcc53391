# oracle - the manifest of a package as Python's zipfile and hashlib see it.
from __future__ import annotations

import hashlib
import json
import zipfile


def part_kind(name: str) -> str:
    """The coarse kind of a part, from its name alone; the first rule that matches wins."""
    rules = (
        (lambda n: n.endswith(".rels"), "relationships"),
        (lambda n: n.endswith("vbaProject.bin"), "vba"),
        (lambda n: n.endswith(".xml"), "xml"),
        (lambda n: n.startswith("ppt/media/"), "media"),
        (lambda n: n.startswith("ppt/embeddings/"), "embedding"),
    )
    return next((kind for matches, kind in rules if matches(name)), "binary")


def expected_manifest(path) -> dict:
    """The manifest of the archive at path: every entry, sorted by the bytes of its name."""
    with zipfile.ZipFile(path) as archive:
        parts = []
        for info in archive.infolist():
            content = archive.read(info)
            parts.append(
                {
                    "name": info.filename,
                    "size": len(content),
                    "sha256": hashlib.sha256(content).hexdigest(),
                    "kind": part_kind(info.filename),
                }
            )
    parts.sort(key=lambda part: part["name"].encode())
    return {"path": str(path), "parts": parts}


def pretty(value) -> str:
    """JSON with two-space indentation, non-ASCII written raw and no final line feed."""
    return json.dumps(value, indent=2, ensure_ascii=False)
