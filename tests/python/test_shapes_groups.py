# test_shapes_groups - shapes and groups added into groups nested three deep on a real slide, and grouping a group's children.
from __future__ import annotations

import json
import zipfile
from pathlib import Path

import pytest
import velmora_native
from lxml import etree
from pptx.enum.shapes import MSO_SHAPE_TYPE

from shape_package_checks import (
    CORPUS,
    assert_only_part_changed,
    max_shape_id,
    part_text,
    schema_errors,
    slide_of,
    summary_text,
)

# Slide 18 holds one top-level group, three deep:
#   group 0 "Group 28": [AutoShape 3, Group 4: [Group 5: [Line 6, Line 7, Line 8], Rectangle 9], Group 10, Group 16]
DECK = CORPUS / "poi-Scheinecker-repacked-groups.pptx"
SLIDE = 17
PART = "ppt/slides/slide18.xml"
FIRST_ID = max_shape_id(part_text(DECK, PART)) + 1
with zipfile.ZipFile(DECK) as _deck:
    ENTRIES = len(_deck.infolist())
PATH = json.dumps([{"type": "move_to", "x": 0, "y": 0}, {"type": "line_to", "x": 50, "y": 80}, {"type": "close"}])

# Placement: the group arguments, and the path from the slide to the container that receives the shape.
PLACEMENTS = {
    "group": ([0], [0]),
    "nested group": ([0, 1], [0, 1]),
    "deeper nested group": ([0, 1, 0], [0, 1, 0]),
    "new group in a group": ([0], [0]),
}
# Shape kind: the function per placement, the arguments after the group arguments, python-pptx type,
# name, box, text (None: not checked) and the preset reported (None: the record has none).
KINDS = {
    "text box": (
        {"group": "add_slide_group_text_box_with_text_json",
         "nested group": "add_slide_nested_group_text_box_with_text_json",
         "deeper nested group": "add_slide_deeper_nested_group_text_box_with_text_json",
         "new group in a group": "add_slide_nested_group_text_box_in_new_group_with_text_json"},
        [11, 12, 13, 14, "In\ngroup"], MSO_SHAPE_TYPE.TEXT_BOX, "TextBox", (11, 12, 13, 14), "In\ngroup", None),
    "auto shape": (
        {"group": "add_slide_group_auto_shape_with_text_json",
         "nested group": "add_slide_nested_group_auto_shape_with_text_json",
         "deeper nested group": "add_slide_deeper_nested_group_auto_shape_with_text_json",
         "new group in a group": "add_slide_nested_group_auto_shape_in_new_group_with_text_json"},
        ["ellipse", 21, 22, 23, 24, "<o>"], MSO_SHAPE_TYPE.AUTO_SHAPE, "Oval", (21, 22, 23, 24), "<o>", "ellipse"),
    "connector": (
        {"group": "add_slide_group_connector_json",
         "nested group": "add_slide_nested_group_connector_json",
         "deeper nested group": "add_slide_deeper_nested_group_connector_json",
         "new group in a group": "add_slide_nested_group_connector_in_new_group_json"},
        ["curvedConnector3", 300, 40, 100, 90], MSO_SHAPE_TYPE.LINE, "Connector", (100, 40, 200, 50), None,
        "curvedConnector3"),
    "freeform": (
        {"group": "add_slide_group_freeform_shape_with_text_json",
         "nested group": "add_slide_nested_group_freeform_shape_with_text_json",
         "deeper nested group": "add_slide_deeper_nested_group_freeform_shape_with_text_json",
         "new group in a group": "add_slide_nested_group_freeform_shape_in_new_group_with_text_json"},
        [-31, -32, 33, 34, 50, 80, PATH, ""], MSO_SHAPE_TYPE.FREEFORM, "Freeform", (-31, -32, 33, 34), "", None),
}


def call(function: str, output: Path, *args) -> str:
    return getattr(velmora_native, function)(str(DECK), str(output), SLIDE, *args)


def container(slide, path: list[int]):
    """The top-level group `path[0]` (groups alone counted), then direct children down `path[1:]`."""
    shape = [s for s in slide.shapes if s.shape_type == MSO_SHAPE_TYPE.GROUP][path[0]]
    for index in path[1:]:
        shape = list(shape.shapes)[index]
    return shape


def group_transform(group) -> bytes:
    return etree.tostring(group._element.grpSpPr)


def record(output: Path, shape_id: int, preset: str | None) -> str:
    fields = {"path": str(output), "slide_index": SLIDE, "slide_part": PART}
    if preset is not None:
        fields["preset_geometry"] = preset
    return summary_text(**fields, shape_id=shape_id, part_count=ENTRIES, has_vba=False)


@pytest.mark.parametrize("placement", PLACEMENTS, ids=PLACEMENTS.keys())
@pytest.mark.parametrize("kind", KINDS, ids=KINDS.keys())
def test_shape_becomes_the_last_child_of_its_target(kind, placement, tmp_path):
    functions, args, shape_type, name, box, text, preset = KINDS[kind]
    group_args, path = PLACEMENTS[placement]
    in_new_group = placement == "new group in a group"
    shape_id = FIRST_ID + 1 if in_new_group else FIRST_ID
    output = tmp_path / "out.pptx"
    result = call(functions[placement], output, *group_args, *args)
    assert result == record(output, shape_id, preset)

    before, after = container(slide_of(DECK, SLIDE), path), container(slide_of(output, SLIDE), path)
    assert group_transform(after) == group_transform(before)
    assert [s.shape_id for s in after.shapes][:-1] == [s.shape_id for s in before.shapes]
    shape = list(after.shapes)[-1]
    if in_new_group:
        assert (shape.shape_type, shape.shape_id, shape.name) == (MSO_SHAPE_TYPE.GROUP, FIRST_ID, f"Group {FIRST_ID - 1}")
        assert (shape.left, shape.top, shape.width, shape.height) == (0, 0, 0, 0)
        assert len(shape.shapes) == 1
        shape = shape.shapes[0]
    assert (shape.shape_type, shape.shape_id, shape.name) == (shape_type, shape_id, f"{name} {shape_id - 1}")
    assert (shape.left, shape.top, shape.width, shape.height) == box
    if text is not None:
        assert shape.text_frame.text == text
    assert_only_part_changed(DECK, output, PART)
    assert schema_errors(output, PART) == ""


def test_connected_group_connector_glues_its_ends(tmp_path):
    output = tmp_path / "out.pptx"
    result = call("add_slide_connected_group_connector_json", output, 0, "line", 0, 0, 10, 10, 196611, 2, None, 7)
    assert result == record(output, FIRST_ID, "line")
    connector = list(container(slide_of(output, SLIDE), [0]).shapes)[-1]
    assert connector.shape_id == FIRST_ID
    assert '<p:cNvCxnSpPr><a:stCxn id="196611" idx="2"/></p:cNvCxnSpPr>' in part_text(output, PART)
    assert schema_errors(output, PART) == ""


def test_group_connector_joining_two_new_auto_shapes(tmp_path):
    output = tmp_path / "out.pptx"
    result = call("add_slide_connected_group_connector_with_auto_shapes_json", output, 0,
                  "rect", 0, 0, 10, 10, "diamond", 90, 90, 10, 10, "bentConnector3", 10, 5, 90, 95, 3, 0)
    assert result == record(output, FIRST_ID + 2, "bentConnector3")
    group = container(slide_of(output, SLIDE), [0])
    assert [(s.shape_id, s.name) for s in list(group.shapes)[-3:]] == [
        (FIRST_ID, f"Rectangle {FIRST_ID - 1}"),
        (FIRST_ID + 1, f"Diamond {FIRST_ID}"),
        (FIRST_ID + 2, f"Connector {FIRST_ID + 1}"),
    ]
    assert f'<a:stCxn id="{FIRST_ID}" idx="3"/><a:endCxn id="{FIRST_ID + 1}" idx="0"/>' in part_text(output, PART)
    assert_only_part_changed(DECK, output, PART)
    assert schema_errors(output, PART) == ""


EMPTY_GROUP = {
    "shape tree": ("add_slide_group_shape_json", [], None),
    "group": ("add_slide_nested_group_shape_json", [0], [0]),
    "nested group": ("add_slide_group_shape_to_nested_group_json", [0, 1], [0, 1]),
    "deeper nested group": ("add_slide_group_shape_to_deeper_nested_group_json", [0, 1, 0], [0, 1, 0]),
}


@pytest.mark.parametrize("case", EMPTY_GROUP.values(), ids=EMPTY_GROUP.keys())
def test_empty_group(case, tmp_path):
    function, args, path = case
    output = tmp_path / "out.pptx"
    assert call(function, output, *args) == record(output, FIRST_ID, None)
    slide = slide_of(output, SLIDE)
    holder = slide if path is None else container(slide, path)
    group = list(holder.shapes)[-1]
    assert (group.shape_type, group.shape_id, group.name) == (MSO_SHAPE_TYPE.GROUP, FIRST_ID, f"Group {FIRST_ID - 1}")
    assert len(group.shapes) == 0
    assert b'<a:off x="0" y="0"/><a:ext cx="0" cy="0"/><a:chOff x="0" y="0"/><a:chExt cx="0" cy="0"/>' in (
        group_transform(group))
    assert_only_part_changed(DECK, output, PART)
    # An empty group has no child shapes: the schema asks for none, so this validates too.
    assert schema_errors(output, PART) == ""


GROUPING = {
    "group": ("group_slide_existing_group_children_json", [0], [0], [3, 1]),
    "nested group": ("group_slide_existing_nested_group_children_json", [0, 1], [0, 1], [1, 0]),
    "deeper nested group": ("group_slide_existing_deeper_nested_group_children_json", [0, 1, 0], [0, 1, 0], [2, 0]),
}


@pytest.mark.parametrize("case", GROUPING.values(), ids=GROUPING.keys())
def test_grouping_children_keeps_them_where_they_are(case, tmp_path):
    function, args, path, indices = case
    output = tmp_path / "out.pptx"
    assert call(function, output, *args, indices) == record(output, FIRST_ID, None)

    before = list(container(slide_of(DECK, SLIDE), path).shapes)
    selected = [before[i] for i in indices]
    left, top = min(s.left for s in selected), min(s.top for s in selected)
    right, bottom = max(s.left + s.width for s in selected), max(s.top + s.height for s in selected)

    holder = container(slide_of(output, SLIDE), path)
    after = list(holder.shapes)
    kept = [s for i, s in enumerate(before) if i not in indices]
    assert [s.shape_id for s in after[:-1]] == [s.shape_id for s in kept]
    group = after[-1]
    assert (group.shape_id, group.name) == (FIRST_ID, f"Group {FIRST_ID - 1}")
    assert (group.left, group.top, group.width, group.height) == (left, top, right - left, bottom - top)
    offset = group._element.grpSpPr.find("{*}xfrm")
    assert (offset.find("{*}chOff").get("x"), offset.find("{*}chOff").get("y")) == (str(left), str(top))
    assert (offset.find("{*}chExt").get("cx"), offset.find("{*}chExt").get("cy")) == (
        str(right - left), str(bottom - top))
    # The children moved whole, in the order given.
    assert [etree.tostring(s._element) for s in group.shapes] == [etree.tostring(s._element) for s in selected]
    assert group_transform(holder) == group_transform(container(slide_of(DECK, SLIDE), path))
    assert_only_part_changed(DECK, output, PART)
    assert schema_errors(output, PART) == ""


# Refusals on the same slide. Preset refusals come before anything exists; the others leave the
# output's folder and no file in it.
REFUSED = {
    "second top-level group": ("add_slide_group_text_box_with_text_json", [1, 0, 0, 1, 1, "t"],
                               "group shape index 1 was not found", True),
    "nested child is an auto shape": ("add_slide_nested_group_auto_shape_with_text_json",
                                      [0, 0, "rect", 0, 0, 1, 1, "t"],
                                      "nested group child index 0 is not a group shape", True),
    "nested child past the last": ("add_slide_nested_group_connector_json", [0, 4, "line", 0, 0, 1, 1],
                                   "nested group child index 4 was not found", True),
    "deeper child is a rectangle": ("add_slide_deeper_nested_group_freeform_shape_with_text_json",
                                    [0, 1, 1, 0, 0, 1, 1, 1, 1, PATH, "t"],
                                    "deeper nested group child index 1 is not a group shape", True),
    "deeper child past the last": ("add_slide_group_shape_to_deeper_nested_group_json", [0, 1, 2],
                                   "deeper nested group child index 2 was not found", True),
    "new group in a missing group": ("add_slide_nested_group_text_box_in_new_group_with_text_json",
                                     [3, 0, 0, 1, 1, "t"], "group shape index 3 was not found", True),
    "empty freeform path": ("add_slide_group_freeform_shape_with_text_json", [0, 0, 0, 1, 1, 1, 1, "[]", "t"],
                            "freeform shape requires at least one path operation", True),
    "target checked before the path": ("add_slide_nested_group_freeform_shape_in_new_group_with_text_json",
                                       [1, 0, 0, 1, 1, 1, 1, "[]", "t"], "group shape index 1 was not found", True),
    "no children to group": ("group_slide_existing_group_children_json", [0, []],
                             "at least one group child is required", True),
    "child given twice": ("group_slide_existing_nested_group_children_json", [0, 1, [1, 0, 1]],
                          "group child index 1 is given more than once", True),
    "child past the last": ("group_slide_existing_deeper_nested_group_children_json", [0, 1, 0, [0, 3]],
                            "group child index 3 was not found", True),
    "grouping in a missing nested group": ("group_slide_existing_nested_group_children_json", [0, 9, [0]],
                                           "nested group child index 9 was not found", True),
    "group auto shape preset": ("add_slide_group_auto_shape_with_text_json", [5, "circle", 0, 0, 1, 1, "t"],
                                "unsupported auto shape preset geometry: circle", False),
    "group connector preset": ("add_slide_connected_group_connector_json",
                               [5, "elbow", 0, 0, 1, 1, None, None, None, None],
                               "unsupported connector preset geometry: elbow", False),
    "joined shapes in a group, end preset": ("add_slide_connected_group_connector_with_auto_shapes_json",
                                             [0, "rect", 0, 0, 1, 1, "nope", 0, 0, 1, 1, "nah", 0, 0, 1, 1, 0, 0],
                                             "unsupported auto shape preset geometry: nope", False),
}


@pytest.mark.parametrize("case", REFUSED.values(), ids=REFUSED.keys())
def test_refusal(case, tmp_path):
    function, args, message, folder_made = case
    with pytest.raises(RuntimeError) as caught:
        call(function, tmp_path / "out" / "result.pptx", *args)
    assert str(caught.value) == "invalid input: " + message
    assert (tmp_path / "out").is_dir() == folder_made
    if folder_made:
        assert list((tmp_path / "out").iterdir()) == []
