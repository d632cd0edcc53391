# conftest - the installed module must import; a small valid package for the tests that need one.
from __future__ import annotations

import zipfile
from pathlib import Path

import pytest

try:
    import velmora_native  # noqa: F401  (a missing build fails the whole run, it skips nothing)
except ImportError as error:
    raise ImportError(
        f"velmora_native cannot be imported ({error}); build and install it with `pip install .` "
        "from the repository root before running the Python tests"
    ) from error

SMALL_PACKAGE = {
    "[Content_Types].xml": b'<?xml version="1.0"?><Types/>',
    "_rels/.rels": b'<?xml version="1.0"?><Relationships/>',
    "ppt/presentation.xml": b"<p:presentation/>",
    "ppt/media/image1.png": bytes(range(256)) * 8,
}


@pytest.fixture
def small_package(tmp_path: Path) -> Path:
    """A small valid package written by zipfile, the picture stored and the XML deflated."""
    path = tmp_path / "small.pptx"
    with zipfile.ZipFile(path, "w") as archive:
        for name, content in SMALL_PACKAGE.items():
            method = zipfile.ZIP_STORED if name.startswith("ppt/media/") else zipfile.ZIP_DEFLATED
            archive.writestr(name, content, compress_type=method)
    return path
