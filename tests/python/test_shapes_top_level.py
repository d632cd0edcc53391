# test_shapes_top_level - text boxes, auto shapes, connectors and freeforms added on top of a real slide.
from __future__ import annotations

import json
import zipfile
from pathlib import Path

import pytest
import velmora_native
from pptx.enum.shapes import MSO_AUTO_SHAPE_TYPE, MSO_SHAPE_TYPE

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

DECK = CORPUS / "mkd-test-chart-table.pptx"
SLIDE = 0
PART = "ppt/slides/slide1.xml"
FIRST_ID = max_shape_id(part_text(DECK, PART)) + 1
TEXT = "First line\nSecond <line> & 'quotes' \"too\""
PATH = json.dumps([{"type": "move_to", "x": 0, "y": 0}, {"type": "line_to", "x": 100, "y": -50},
                   {"type": "line_to", "x": 40, "y": 90}, {"type": "close"}])


def run(function: str, output: Path, *args) -> str:
    return getattr(velmora_native, function)(str(DECK), str(output), SLIDE, *args)


# function, arguments after the slide index, python-pptx type, name, (left, top, width, height), text
# (None: no text frame checked), preset reported (None: the record has none).
ONE_SHAPE = {
    "text box": ("add_slide_text_box_json", [914400, 457200, 1828800, 365760],
                 MSO_SHAPE_TYPE.TEXT_BOX, "TextBox", (914400, 457200, 1828800, 365760), "", None),
    "text box with text": ("add_slide_text_box_with_text_json", [10, 20, 30, 40, TEXT],
                           MSO_SHAPE_TYPE.TEXT_BOX, "TextBox", (10, 20, 30, 40), TEXT, None),
    "rectangle": ("add_slide_auto_shape_json", ["rect", 1, 2, 3, 4],
                  MSO_SHAPE_TYPE.AUTO_SHAPE, "Rectangle", (1, 2, 3, 4), "", "rect"),
    "oval with text": ("add_slide_auto_shape_with_text_json", ["ellipse", 5, 6, 700, 800, TEXT],
                       MSO_SHAPE_TYPE.AUTO_SHAPE, "Oval", (5, 6, 700, 800), TEXT, "ellipse"),
    "rounded rectangle with a guide": ("add_slide_auto_shape_with_options_json",
                                       ["roundRect", 0, 0, 9000, 9000, None, '[["adj", 30000]]'],
                                       MSO_SHAPE_TYPE.AUTO_SHAPE, "Rounded Rectangle", (0, 0, 9000, 9000), "",
                                       "roundRect"),
    "callout with text and guides": ("add_slide_auto_shape_with_options_json",
                                     ["wedgeRectCallout", 7, 8, 9, 10, "Hi", '[["adj1", -20000], ["adj2", 62500]]'],
                                     MSO_SHAPE_TYPE.AUTO_SHAPE, "Auto Shape", (7, 8, 9, 10), "Hi",
                                     "wedgeRectCallout"),
    "line": ("add_slide_connector_json", ["line", 100, 500, 50, 200],
             MSO_SHAPE_TYPE.LINE, "Connector", (50, 200, 50, 300), None, "line"),
    "glued connector": ("add_slide_connected_connector_json",
                        ["bentConnector3", 0, 0, 400, 300, 2, 1, None, None],
                        MSO_SHAPE_TYPE.LINE, "Connector", (0, 0, 400, 300), None, "bentConnector3"),
    "connector glued at its end": ("add_slide_connected_connector_json",
                                   ["curvedConnector3", 10, 10, 20, 20, None, 5, 9, None],
                                   MSO_SHAPE_TYPE.LINE, "Connector", (10, 10, 10, 10), None, "curvedConnector3"),
    "freeform": ("add_slide_freeform_shape_json", [-100, -200, 3000, 4000, 100, 90, PATH],
                 MSO_SHAPE_TYPE.FREEFORM, "Freeform", (-100, -200, 3000, 4000), "", None),
    "freeform with text": ("add_slide_freeform_shape_with_text_json", [0, 0, 10, 10, 100, 90, PATH, TEXT],
                           MSO_SHAPE_TYPE.FREEFORM, "Freeform", (0, 0, 10, 10), TEXT, None),
}


@pytest.mark.parametrize("case", ONE_SHAPE.values(), ids=ONE_SHAPE.keys())
def test_one_shape_is_added_on_top(case, tmp_path):
    function, args, kind, name, box, text, preset = case
    output = tmp_path / "out.pptx"
    result = run(function, output, *args)

    record = {"path": str(output), "slide_index": SLIDE, "slide_part": PART}
    if preset is not None:
        record["preset_geometry"] = preset
    with zipfile.ZipFile(DECK) as deck:
        record.update(shape_id=FIRST_ID, part_count=len(deck.infolist()), has_vba=False)
    assert result == summary_text(**record)

    slide = slide_of(output, SLIDE)
    shape = shape_with_id(slide, FIRST_ID)
    assert list(slide.shapes)[-1].shape_id == FIRST_ID, "the new shape is the last of the tree"
    assert shape.shape_type == kind
    assert shape.name == f"{name} {FIRST_ID - 1}"
    assert (shape.left, shape.top, shape.width, shape.height) == box
    if text is not None:
        assert shape.text_frame.text == text
    assert_only_part_changed(DECK, output, PART)
    assert schema_errors(output, PART) == ""


def test_auto_shape_guides_and_preset_read_back(tmp_path):
    output = tmp_path / "out.pptx"
    run("add_slide_auto_shape_with_options_json", output, "wedgeRectCallout", 0, 0, 10, 10, None,
        '[["adj1", -20000], ["adj2", 62500]]')
    shape = shape_with_id(slide_of(output, SLIDE), FIRST_ID)
    assert shape.auto_shape_type == MSO_AUTO_SHAPE_TYPE.RECTANGULAR_CALLOUT
    assert list(shape.adjustments) == [-0.2, 0.625]
    assert shape.text_frame.text == ""


@pytest.mark.parametrize(
    ("args", "begin", "end", "glue"),
    [
        (["line", 100, 500, 50, 200], (100, 500), (50, 200), ""),
        (["bentConnector3", 0, 0, 400, 300, 2, 1, None, None], (0, 0), (400, 300),
         '<p:cNvCxnSpPr><a:stCxn id="2" idx="1"/></p:cNvCxnSpPr>'),
        # A site index without a shape id is ignored; a shape id without a site index glues at site 0.
        (["curvedConnector3", 10, 10, 20, 20, None, 5, 9, None], (10, 10), (20, 20),
         '<p:cNvCxnSpPr><a:endCxn id="9" idx="0"/></p:cNvCxnSpPr>'),
    ],
)
def test_connector_ends(args, begin, end, glue, tmp_path):
    output = tmp_path / "out.pptx"
    run("add_slide_connected_connector_json" if len(args) > 5 else "add_slide_connector_json", output, *args)
    connector = shape_with_id(slide_of(output, SLIDE), FIRST_ID)
    assert (connector.begin_x, connector.begin_y) == begin
    assert (connector.end_x, connector.end_y) == end
    xml = part_text(output, PART)
    assert (glue or "<p:cNvCxnSpPr/>") in xml


def test_connector_joining_two_new_auto_shapes(tmp_path):
    output = tmp_path / "out.pptx"
    result = run("add_slide_connected_connector_with_auto_shapes_json", output,
                 "rect", 0, 0, 100, 100, "ellipse", 500, 500, 100, 100,
                 "bentConnector3", 100, 50, 500, 550, 3, 1)
    assert json.loads(result)["shape_id"] == FIRST_ID + 2
    assert json.loads(result)["preset_geometry"] == "bentConnector3"
    slide = slide_of(output, SLIDE)
    assert [(s.shape_id, s.name) for s in list(slide.shapes)[-3:]] == [
        (FIRST_ID, f"Rectangle {FIRST_ID - 1}"),
        (FIRST_ID + 1, f"Oval {FIRST_ID}"),
        (FIRST_ID + 2, f"Connector {FIRST_ID + 1}"),
    ]
    connector = shape_with_id(slide, FIRST_ID + 2)
    assert (connector.begin_x, connector.begin_y, connector.end_x, connector.end_y) == (100, 50, 500, 550)
    assert (f'<a:stCxn id="{FIRST_ID}" idx="3"/><a:endCxn id="{FIRST_ID + 1}" idx="1"/>'
            in part_text(output, PART))
    assert_only_part_changed(DECK, output, PART)
    assert schema_errors(output, PART) == ""


def test_successive_calls_take_the_next_ids(tmp_path):
    first, second = tmp_path / "one.pptx", tmp_path / "two.pptx"
    run("add_slide_text_box_json", first, 0, 0, 1, 1)
    result = velmora_native.add_slide_text_box_json(str(first), str(second), SLIDE, 0, 0, 1, 1)
    assert json.loads(result)["shape_id"] == FIRST_ID + 1
    assert [s.shape_id for s in list(slide_of(second, SLIDE).shapes)[-2:]] == [FIRST_ID, FIRST_ID + 1]


def test_other_slides_of_the_deck_take_their_own_ids(tmp_path):
    # Slide 5 of the deck holds a group; ids come from that slide alone.
    output = tmp_path / "out.pptx"
    result = velmora_native.add_slide_text_box_json(str(DECK), str(output), 4, 0, 0, 1, 1)
    part = json.loads(result)["slide_part"]
    assert json.loads(result)["shape_id"] == max_shape_id(part_text(DECK, part)) + 1
    assert_only_part_changed(DECK, output, part)


# Refusals. `creates` says what exists afterwards: nothing at all, or the output's folder only.
NOTHING, FOLDER_ONLY = "nothing", "folder only"
BAD_PRESET = {
    "auto shape": ("add_slide_auto_shape_json", ["star", 0, 0, 1, 1], "unsupported auto shape preset geometry: star"),
    "auto shape, case matters": ("add_slide_auto_shape_with_text_json", ["Rect", 0, 0, 1, 1, "x"],
                                 "unsupported auto shape preset geometry: Rect"),
    "auto shape with options": ("add_slide_auto_shape_with_options_json", ["line", 0, 0, 1, 1, None, "[]"],
                                "unsupported auto shape preset geometry: line"),
    "connector": ("add_slide_connector_json", ["straightConnector1", 0, 0, 1, 1],
                  "unsupported connector preset geometry: straightConnector1"),
    "connected connector": ("add_slide_connected_connector_json", ["rect", 0, 0, 1, 1, 2, 0, 3, 0],
                            "unsupported connector preset geometry: rect"),
    "joined shapes, begin first": ("add_slide_connected_connector_with_auto_shapes_json",
                                   ["nope", 0, 0, 1, 1, "bad", 0, 0, 1, 1, "worse", 0, 0, 1, 1, 0, 0],
                                   "unsupported auto shape preset geometry: nope"),
    "joined shapes, end next": ("add_slide_connected_connector_with_auto_shapes_json",
                                ["rect", 0, 0, 1, 1, "bad", 0, 0, 1, 1, "worse", 0, 0, 1, 1, 0, 0],
                                "unsupported auto shape preset geometry: bad"),
    "joined shapes, connector last": ("add_slide_connected_connector_with_auto_shapes_json",
                                      ["rect", 0, 0, 1, 1, "rect", 0, 0, 1, 1, "worse", 0, 0, 1, 1, 0, 0],
                                      "unsupported connector preset geometry: worse"),
}


@pytest.mark.parametrize("case", BAD_PRESET.values(), ids=BAD_PRESET.keys())
def test_unknown_preset_touches_no_file(case, tmp_path):
    function, args, message = case
    with pytest.raises(RuntimeError) as caught:
        run(function, tmp_path / "out" / "result.pptx", *args)
    assert str(caught.value) == "invalid input: " + message
    assert not (tmp_path / "out").exists()


BAD_JSON = {
    "path not an array": ("add_slide_freeform_shape_json", [0, 0, 1, 1, 1, 1, "{}"]),
    "path command without y": ("add_slide_freeform_shape_json", [0, 0, 1, 1, 1, 1, '[{"type": "move_to", "x": 1}]']),
    "unknown path command": ("add_slide_freeform_shape_with_text_json",
                             [0, 0, 1, 1, 1, 1, '[{"type": "curve_to", "x": 1, "y": 2}]', "t"]),
    "path that is not JSON": ("add_slide_freeform_shape_json", [0, 0, 1, 1, 1, 1, "[{"]),
    "guide without value": ("add_slide_auto_shape_with_options_json", ["rect", 0, 0, 1, 1, None, '[["adj"]]']),
    "guide value not a number": ("add_slide_auto_shape_with_options_json",
                                 ["rect", 0, 0, 1, 1, None, '[["adj", "5"]]']),
    "guides not an array": ("add_slide_auto_shape_with_options_json", ["rect", 0, 0, 1, 1, None, '{"adj": 5}']),
}


@pytest.mark.parametrize("case", BAD_JSON.values(), ids=BAD_JSON.keys())
def test_json_argument_of_the_wrong_shape_touches_no_file(case, tmp_path):
    function, args = case
    with pytest.raises(RuntimeError) as caught:
        run(function, tmp_path / "out" / "result.pptx", *args)
    message = str(caught.value)
    assert message and not message.startswith(ERROR_PREFIXES), message
    assert not (tmp_path / "out").exists()


def deck_without_tree_end(tmp_path: Path) -> Path:
    """The corpus deck with the "</p:spTree>" of its first slide removed."""
    path = tmp_path / "no-tree-end.pptx"
    with zipfile.ZipFile(DECK) as source, zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as target:
        for info in source.infolist():
            data = source.read(info)
            if info.filename == PART:
                data = data.replace(b"</p:spTree>", b"")
            target.writestr(info, data)
    return path


FAILING_AFTER_OPENING = {
    "empty freeform path": ("add_slide_freeform_shape_json", DECK, SLIDE, [0, 0, 1, 1, 1, 1, "[]"],
                            "invalid input: freeform shape requires at least one path operation"),
    "slide index past the last": ("add_slide_text_box_json", DECK, 6, [0, 0, 1, 1],
                                  "invalid input: slide index 6 was not found"),
    "slide without a tree end": ("add_slide_auto_shape_with_text_json", deck_without_tree_end, SLIDE,
                                 ["rect", 0, 0, 1, 1, "x"], "invalid input: slide XML is missing </p:spTree>"),
    "slide without a tree end, freeform": ("add_slide_freeform_shape_json", deck_without_tree_end, SLIDE,
                                           [0, 0, 1, 1, 1, 1, "[]"],
                                           "invalid input: slide XML is missing </p:spTree>"),
}


@pytest.mark.parametrize("case", FAILING_AFTER_OPENING.values(), ids=FAILING_AFTER_OPENING.keys())
def test_failure_after_opening_leaves_no_output_file(case, tmp_path):
    function, deck, slide_index, args, message = case
    source = deck if isinstance(deck, Path) else deck(tmp_path)
    with pytest.raises(RuntimeError) as caught:
        getattr(velmora_native, function)(str(source), str(tmp_path / "out" / "result.pptx"), slide_index, *args)
    assert str(caught.value) == message
    assert (tmp_path / "out").is_dir()
    assert list((tmp_path / "out").iterdir()) == []


def deck_with_largest_id(tmp_path: Path, largest: int) -> Path:
    """The corpus deck whose first slide's shape tree carries the id `largest`."""
    path = tmp_path / f"id-{largest}.pptx"
    with zipfile.ZipFile(DECK) as source, zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as target:
        for info in source.infolist():
            data = source.read(info)
            if info.filename == PART:
                data = data.replace(b'<p:cNvPr id="1" name=""/>', f'<p:cNvPr id="{largest}" name=""/>'.encode(), 1)
            target.writestr(info, data)
    return path


LAST_ID = 2**64 - 1
# Every operation that numbers new shapes refuses to wrap round to ids the slide already uses:
# function, largest id on the slide, arguments after the slide index, the id after which none is left.
IDS_RUN_OUT = {
    "text box": ("add_slide_text_box_json", LAST_ID, [0, 0, 1, 1], LAST_ID),
    "joined shapes, the connector's id": ("add_slide_connected_connector_with_auto_shapes_json", LAST_ID - 2,
                                          ["rect", 0, 0, 1, 1, "rect", 0, 0, 1, 1, "line", 0, 0, 1, 1, 0, 0],
                                          LAST_ID),
    "table": ("add_slide_table_json", LAST_ID, [1, 1, 0, 0, 1, 1], LAST_ID),
    "second placeholder": ("add_slide_placeholder_shapes_json", LAST_ID - 1, ['[{}, {}]'], LAST_ID),
}


@pytest.mark.parametrize("case", IDS_RUN_OUT.values(), ids=IDS_RUN_OUT.keys())
def test_shape_ids_never_wrap_round(case, tmp_path):
    function, largest, args, last = case
    output = tmp_path / "out" / "result.pptx"
    with pytest.raises(RuntimeError) as caught:
        getattr(velmora_native, function)(str(deck_with_largest_id(tmp_path, largest)), str(output), SLIDE, *args)
    assert str(caught.value) == f"invalid input: no shape id is left after {last}"
    assert list(output.parent.iterdir()) == []
