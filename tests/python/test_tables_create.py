# test_tables_create - new tables added on top of real slides, read back by python-pptx.
from __future__ import annotations

import json
import zipfile
from pathlib import Path

import pytest
import velmora_native

from helpers import MISSING_FILE
from shape_package_checks import (
    CORPUS,
    ERROR_PREFIXES,
    assert_only_part_changed,
    max_shape_id,
    part_text,
    schema_errors,
    shape_with_id,
    slide_of,
    summary_text,
)

TEXTS = [[0, 0, "Name"], [0, 1, "Value <&>"], [1, 1, "two\nlines"], [2, 0, "ends with a break\n"],
         [0, 0, "a later entry for a cell is ignored"], [2, 2, "\"quoted\" 'text'"]]

# deck, slide index, slide part, tables already on the slide, (rows, cols, x, y, cx, cy), cell texts
TABLES = {
    "plain slide": ("oo-new-en-US.pptx", 0, "ppt/slides/slide1.xml", 0, (2, 3, 457200, 914400, 8229600, 741680),
                    None),
    "with cell texts": ("oo-new-en-US.pptx", 0, "ppt/slides/slide1.xml", 0, (3, 3, 0, 0, 1000, 1000), TEXTS),
    "empty cell text list": ("mkd-test-chart-table.pptx", 0, "ppt/slides/slide1.xml", 0, (1, 1, 5, 6, 7, 8), []),
    "after an existing table": ("poi-table_test-repacked.pptx", 0, "ppt/slides/slide1.xml", 1,
                                (4, 2, 100, 200, 3000000, 2), [[3, 1, "last"]]),
    "after two tables, one nested": ("pa-NestedTables-merged.pptx", 0, "ppt/slides/slide1.xml", 2,
                                     (1, 5, 0, 0, 4, 100), [[0, 4, "e"]]),
    "third slide of nine, table in a placeholder": ("pyx-ph-populated-placeholders.pptx", 2,
                                                    "ppt/slides/slide3.xml", 1, (2, 2, 10, 10, 20, 20), None),
    "macro-enabled deck": ("poi-SimpleMacro.pptm", 0, "ppt/slides/slide1.xml", 0, (1, 2, 1, 2, 3, 4), None),
}


def expected_cells(rows: int, cols: int, texts) -> list[list[str]]:
    cells = [[""] * cols for _ in range(rows)]
    seen = set()
    for row, col, text in texts or []:
        if (row, col) not in seen:
            seen.add((row, col))
            cells[row][col] = text
    return cells


def add_table(deck: Path, output: Path, slide_index: int, size, texts) -> str:
    if texts is None:
        return velmora_native.add_slide_table_json(str(deck), str(output), slide_index, *size)
    return velmora_native.add_slide_table_with_cell_texts_json(str(deck), str(output), slide_index, *size,
                                                               json.dumps(texts))


@pytest.mark.parametrize("case", TABLES.values(), ids=TABLES.keys())
def test_table_is_added_on_top(case, tmp_path):
    deck_name, slide_index, part, existing, size, texts = case
    deck = CORPUS / deck_name
    rows, cols, x, y, cx, cy = size
    shape_id = max_shape_id(part_text(deck, part)) + 1
    output = tmp_path / "out.pptx"
    result = add_table(deck, output, slide_index, size, texts)

    with zipfile.ZipFile(deck) as source:
        entries = len(source.infolist())
        has_vba = any(name.endswith("vbaProject.bin") for name in source.namelist())
    assert result == summary_text(path=str(output), slide_index=slide_index, slide_part=part, table_index=existing,
                                  shape_id=shape_id, rows=rows, cols=cols, part_count=entries, has_vba=has_vba)

    slide = slide_of(output, slide_index)
    frame = shape_with_id(slide, shape_id)
    assert list(slide.shapes)[-1].shape_id == shape_id, "the new table is the last shape of the tree"
    assert frame.has_table
    assert frame.name == f"Table {shape_id}"
    assert (frame.left, frame.top, frame.width, frame.height) == (x, y, cx, cy)
    table = frame.table
    assert [column.width for column in table.columns] == [cx // cols] * cols
    assert [row.height for row in table.rows] == [cy // rows] * rows
    assert [[cell.text for cell in row.cells] for row in table.rows] == expected_cells(rows, cols, texts)
    assert table.first_row and not table.first_col and table.horz_banding and not table.vert_banding

    # The slide summary numbers the new table after the existing ones.
    summary = json.loads(velmora_native.summarize_slide_at_index_json(str(output), slide_index))
    assert len(summary["tables"]) == existing + 1
    assert_only_part_changed(deck, output, part)
    assert schema_errors(output, part) == ""


def test_each_line_of_a_cell_text_is_a_paragraph(tmp_path):
    output = tmp_path / "out.pptx"
    add_table(CORPUS / "oo-new-en-US.pptx", output, 0, (3, 3, 0, 0, 9, 9), TEXTS)
    table = shape_with_id(slide_of(output, 0), max_shape_id(part_text(output, "ppt/slides/slide1.xml"))).table
    paragraphs = {(r, c): [p.text for p in table.cell(r, c).text_frame.paragraphs] for r in range(3) for c in range(3)}
    assert paragraphs[(1, 1)] == ["two", "lines"]
    assert paragraphs[(2, 0)] == ["ends with a break", ""]
    assert paragraphs[(0, 1)] == ["Value <&>"]
    assert paragraphs[(1, 0)] == [""]
    assert "<a:t>Value &lt;&amp;&gt;</a:t>" in part_text(output, "ppt/slides/slide1.xml")


def test_tables_stack_up_on_a_slide(tmp_path):
    deck = CORPUS / "oo-new-en-US.pptx"
    first, second = tmp_path / "one.pptx", tmp_path / "two.pptx"
    one = json.loads(add_table(deck, first, 0, (1, 1, 0, 0, 10, 10), None))
    two = json.loads(add_table(first, second, 0, (2, 2, 0, 0, 10, 10), None))
    assert (one["table_index"], two["table_index"]) == (0, 1)
    assert two["shape_id"] == one["shape_id"] + 1


GOOD = "oo-new-en-US.pptx"
NO_TREE_END = '<p:sld xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main"/>'

# input ("good" deck, "missing" file, "broken": the good deck whose slide has no tree end), slide index,
# (rows, cols), cell texts, message, whether the output's parent exists afterwards
REFUSALS = {
    "no rows": ("missing", 0, (0, 2), None, "invalid input: table rows and columns must be greater than zero", False),
    "no columns, whatever the texts": ("missing", 0, (2, 0), [[5, 5, "x"]],
                                       "invalid input: table rows and columns must be greater than zero", False),
    "row outside": ("missing", 0, (3, 2), [[0, 0, "in"], [3, 0, "out"]],
                    "invalid input: table cell 3,0 is outside 3x2 table", False),
    "column outside, first one reported": ("missing", 0, (3, 2), [[1, 2, "a"], [9, 9, "b"]],
                                           "invalid input: table cell 1,2 is outside 3x2 table", False),
    "missing input": ("missing", 0, (1, 1), None, MISSING_FILE, True),
    "slide index": ("good", 1, (1, 1), None, "invalid input: slide index 1 was not found", True),
    "no tree end": ("broken", 0, (1, 1), [[0, 0, "x"]], "invalid input: slide XML is missing </p:spTree>", True),
}


@pytest.mark.parametrize("case", REFUSALS.values(), ids=REFUSALS.keys())
def test_refusals_write_no_output(case, tmp_path):
    source, slide_index, (rows, cols), texts, message, parent_made = case
    broken = tmp_path / "broken.pptx"
    with zipfile.ZipFile(CORPUS / GOOD) as good, zipfile.ZipFile(broken, "w") as copy:
        for info in good.infolist():
            copy.writestr(info, NO_TREE_END if info.filename == "ppt/slides/slide1.xml" else good.read(info))
    paths = {"good": CORPUS / GOOD, "missing": tmp_path / "missing.pptx", "broken": broken}
    output = tmp_path / "out" / "result.pptx"
    with pytest.raises(RuntimeError) as caught:
        add_table(paths[source], output, slide_index, (rows, cols, 0, 0, 100, 100), texts)
    assert str(caught.value) == message
    assert output.parent.is_dir() == parent_made
    assert not output.exists()


@pytest.mark.parametrize(
    "bad",
    ["{}", '[[0, 0]]', '[[0, 0, "a", "b"]]', '[[-1, 0, "a"]]', '[[0, 1.5, "a"]]', '[[0, 0, 1]]', '[["0", 0, "a"]]',
     '[{"row": 0, "col": 0, "text": "a"}]', "[[0, 0, \"a\"]", "null"],
)
def test_cell_texts_of_the_wrong_shape_touch_no_file(bad, tmp_path):
    output = tmp_path / "out" / "result.pptx"
    with pytest.raises(RuntimeError) as caught:
        velmora_native.add_slide_table_with_cell_texts_json(str(CORPUS / GOOD), str(output), 0, 1, 1, 0, 0, 1, 1, bad)
    assert not str(caught.value).startswith(ERROR_PREFIXES), caught.value
    assert not output.parent.exists()
