# shape_package_checks - checks shared by the shape tests: raw entry comparison, schema validation, shapes read back.
from __future__ import annotations

import json
import re
import struct
import sys
import zipfile
from pathlib import Path

from pptx import Presentation
from pptx.enum.shapes import MSO_SHAPE_TYPE

from helpers import CORPUS, SHARED
SCHEMAS = SHARED / "schemas"
SLIDE_ROOT = "{http://schemas.openxmlformats.org/presentationml/2006/main}sld"
ERROR_PREFIXES = ("io error: ", "zip error: ", "xml error: ", "xml text decode error: ", "invalid input: ")


def raw_entries(path: Path) -> list[tuple[tuple, bytes]]:
    """Every entry in order: its central-directory fields and its stored (still compressed) bytes."""
    entries = []
    data = Path(path).read_bytes()
    with zipfile.ZipFile(path) as archive:
        for info in archive.infolist():
            name_length, extra_length = struct.unpack_from("<HH", data, info.header_offset + 26)
            start = info.header_offset + 30 + name_length + extra_length
            fields = (info.filename, info.date_time, info.compress_type, info.CRC, info.compress_size,
                      info.file_size, info.flag_bits, info.external_attr, info.create_system, info.extra)
            entries.append((fields, data[start:start + info.compress_size]))
    return entries


def assert_only_part_changed(source: Path, output: Path, part: str) -> None:
    """Every entry but `part` is byte-identical, header fields included, in the same order;
    `part` keeps its place and compression method."""
    before, after = raw_entries(source), raw_entries(output)
    assert [f[0] for f, _ in before] == [f[0] for f, _ in after]
    for (old_fields, old_raw), (new_fields, new_raw) in zip(before, after):
        if old_fields[0] == part:
            assert new_fields[2] == old_fields[2], "the replaced part keeps its compression method"
            assert new_raw != old_raw
        else:
            assert (new_fields, new_raw) == (old_fields, old_raw), old_fields[0]


def part_text(path: Path, part: str) -> str:
    with zipfile.ZipFile(path) as archive:
        return archive.read(part).decode("utf-8")


def schema_errors(path: Path, part: str) -> str:
    """Empty when the slide part validates against the ECMA-376 transitional schemas."""
    if str(SCHEMAS) not in sys.path:
        sys.path.insert(0, str(SCHEMAS))
    import validate

    with zipfile.ZipFile(path) as archive:
        status, detail = validate.check_part(archive.read(part), validate.PML, SLIDE_ROOT, True)
    return "" if status == "OK" else detail


def max_shape_id(slide_xml: str) -> int:
    ids = [int(v) for v in re.findall(r'<p:cNvPr[^>]*?\bid="(\d+)"', slide_xml)]
    return max(ids, default=0)


def all_shapes(shapes):
    """Every shape of a python-pptx shape collection, members of groups included, in document order."""
    for shape in shapes:
        yield shape
        if shape.shape_type == MSO_SHAPE_TYPE.GROUP:
            yield from all_shapes(shape.shapes)


def slide_of(path: Path, slide_index: int):
    return Presentation(str(path)).slides[slide_index]


def shape_with_id(slide, shape_id: int):
    found = [shape for shape in all_shapes(slide.shapes) if shape.shape_id == shape_id]
    assert len(found) == 1, f"{len(found)} shapes with id {shape_id}"
    return found[0]


def summary_text(**fields) -> str:
    """The pretty JSON of a result record: members in the given order, two-space indentation."""
    return json.dumps(fields, indent=2, ensure_ascii=False)
