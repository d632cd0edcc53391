# test_placeholders - placeholder shapes added to a real slide, from arguments, from specs and from a layout.
from __future__ import annotations

import json
import re
import zipfile
from pathlib import Path

import pytest
import velmora_native
from pptx import Presentation
from pptx.enum.shapes import PP_PLACEHOLDER

from helpers import MISSING_FILE
from shape_package_checks import (
    CORPUS,
    ERROR_PREFIXES,
    max_shape_id,
    part_text,
    schema_errors,
    shape_with_id,
    slide_of,
    summary_text,
)

DECK = CORPUS / "oo-new-en-US.pptx"  # one slide, eleven layouts, directory entries
SLIDE = 0
PART = "ppt/slides/slide1.xml"
FIRST_ID = max_shape_id(part_text(DECK, PART)) + 1
ZIP_EPOCH = (1980, 1, 1, 0, 0, 0)
FURNITURE = {PP_PLACEHOLDER.DATE, PP_PLACEHOLDER.FOOTER, PP_PLACEHOLDER.SLIDE_NUMBER}


def entry_count(path: Path) -> int:
    with zipfile.ZipFile(path) as archive:
        return len(archive.infolist())


def assert_only_slide_content_changed(source: Path, output: Path, part: str = PART) -> None:
    """The placeholder operations re-encode every entry: same names, order, methods and contents,
    every date 1980-01-01, and only `part` with new content."""
    with zipfile.ZipFile(source) as before, zipfile.ZipFile(output) as after:
        old, new = before.infolist(), after.infolist()
        assert [i.filename for i in old] == [i.filename for i in new]
        for old_info, new_info in zip(old, new):
            assert new_info.date_time == ZIP_EPOCH, new_info.filename
            assert new_info.compress_type == old_info.compress_type, new_info.filename
            assert new_info.is_dir() == old_info.is_dir(), new_info.filename
            same = before.read(old_info) == after.read(new_info)
            assert same != (old_info.filename == part), old_info.filename


def slide_xml(path: Path) -> str:
    return part_text(path, PART)


def ph_tag(xml: str, shape_id: int) -> str:
    """The p:ph tag of the shape with `shape_id`."""
    return re.search(rf'<p:cNvPr id="{shape_id}" name="[^"]*"/>.*?(<p:ph[^>]*>)', xml).group(1)


def deck_with_slide(tmp_path: Path, new_slide_xml: str) -> Path:
    """A copy of DECK whose slide part holds `new_slide_xml`."""
    path = tmp_path / "edited.pptx"
    with zipfile.ZipFile(DECK) as source, zipfile.ZipFile(path, "w") as copy:
        for info in source.infolist():
            copy.writestr(info, new_slide_xml if info.filename == PART else source.read(info))
    return path


# (type, orient, size, idx) -> python-pptx type, idx, shape name stem, p:ph tag written
ONE_PLACEHOLDER = {
    "title": (("title", None, None, None), PP_PLACEHOLDER.TITLE, 0, "Title", "<p:ph type=\"title\"/>"),
    "title with defaults": (("title", "horz", "full", "0"), PP_PLACEHOLDER.TITLE, 0, "Title",
                            "<p:ph type=\"title\"/>"),
    "centred title": (("ctrTitle", None, None, None), PP_PLACEHOLDER.CENTER_TITLE, 0, "Title",
                      "<p:ph type=\"ctrTitle\"/>"),
    "vertical body": (("body", "vert", "half", "1"), PP_PLACEHOLDER.BODY, 1, "Vertical Text Placeholder",
                      "<p:ph type=\"body\" orient=\"vert\" sz=\"half\" idx=\"1\"/>"),
    "no attributes": ((None, None, None, None), PP_PLACEHOLDER.OBJECT, 0, "Content Placeholder", "<p:ph/>"),
    "object by index": (("obj", None, None, "1"), PP_PLACEHOLDER.OBJECT, 1, "Content Placeholder",
                        "<p:ph idx=\"1\"/>"),
    "empty values": (("", "", "", ""), PP_PLACEHOLDER.OBJECT, 0, "Content Placeholder", "<p:ph/>"),
    "picture": (("pic", None, "quarter", "12"), PP_PLACEHOLDER.PICTURE, 12, "Picture Placeholder",
                "<p:ph type=\"pic\" sz=\"quarter\" idx=\"12\"/>"),
    "slide number": (("sldNum", None, "quarter", "4"), PP_PLACEHOLDER.SLIDE_NUMBER, 4, "Slide Number Placeholder",
                     "<p:ph type=\"sldNum\" sz=\"quarter\" idx=\"4\"/>"),
}


@pytest.mark.parametrize("case", ONE_PLACEHOLDER.values(), ids=ONE_PLACEHOLDER.keys())
def test_one_placeholder(case, tmp_path):
    (kind, orient, size, idx), pptx_type, pptx_idx, stem, tag = case
    output = tmp_path / "out.pptx"
    result = velmora_native.add_slide_placeholder_shape_json(str(DECK), str(output), SLIDE, kind, orient, size, idx)

    assert result == summary_text(path=str(output), slide_index=SLIDE, slide_part=PART, placeholder_type=kind,
                                  placeholder_idx=idx, shape_id=FIRST_ID, part_count=entry_count(DECK),
                                  has_vba=False)
    slide = slide_of(output, SLIDE)
    shape = shape_with_id(slide, FIRST_ID)
    assert list(slide.shapes)[-1].shape_id == FIRST_ID, "the new shape is the last of the tree"
    assert shape.is_placeholder
    assert (shape.placeholder_format.type, shape.placeholder_format.idx) == (pptx_type, pptx_idx)
    assert shape.name == f"{stem} {FIRST_ID - 1}"
    assert shape.text_frame.text == ""
    assert ph_tag(slide_xml(output), FIRST_ID) == tag
    assert_only_slide_content_changed(DECK, output)
    assert schema_errors(output, PART) == ""


@pytest.mark.parametrize(
    ("deck", "slide_index", "part", "has_vba"),
    [("pyx-ph-populated-placeholders.pptx", 4, "ppt/slides/slide5.xml", False),
     ("poi-SimpleMacro.pptm", 0, "ppt/slides/slide1.xml", True)],
)
def test_package_facts_come_from_the_written_package(deck, slide_index, part, has_vba, tmp_path):
    source, output = CORPUS / deck, tmp_path / "out.pptx"
    shape_id = max_shape_id(part_text(source, part)) + 1
    result = velmora_native.add_slide_placeholder_shape_json(str(source), str(output), slide_index, "body", None,
                                                             None, "1")
    assert result == summary_text(path=str(output), slide_index=slide_index, slide_part=part,
                                  placeholder_type="body", placeholder_idx="1", shape_id=shape_id,
                                  part_count=entry_count(source), has_vba=has_vba)
    shape = shape_with_id(slide_of(output, slide_index), shape_id)
    assert (shape.placeholder_format.type, shape.name) == (PP_PLACEHOLDER.BODY, f"Text Placeholder {shape_id - 1}")
    assert_only_slide_content_changed(source, output, part)
    assert schema_errors(output, part) == ""


def test_values_are_escaped_not_validated(tmp_path):
    output = tmp_path / "out.pptx"
    velmora_native.add_slide_placeholder_shape_json(str(DECK), str(output), SLIDE, "a&b", "<v>", '"s"', "x'y")
    expected = '<p:ph type="a&amp;b" orient="&lt;v&gt;" sz="&quot;s&quot;" idx="x\'y"/>'
    assert ph_tag(slide_xml(output), FIRST_ID) == expected
    # Unknown types name the shape like content placeholders (python-pptx cannot read such a type).
    assert f'<p:cNvPr id="{FIRST_ID}" name="Content Placeholder {FIRST_ID - 1}"/>' in slide_xml(output)


def test_specs_are_added_in_order_with_consecutive_ids(tmp_path):
    output = tmp_path / "out.pptx"
    specs = [
        {"placeholder_type": "title"},
        {"placeholder_type": "body", "placeholder_orient": "vert", "placeholder_size": None, "placeholder_idx": "2"},
        {"placeholder_idx": "3", "note": "members it does not know are ignored"},
    ]
    result = velmora_native.add_slide_placeholder_shapes_json(str(DECK), str(output), SLIDE, json.dumps(specs))

    ids = [FIRST_ID, FIRST_ID + 1, FIRST_ID + 2]
    assert result == summary_text(path=str(output), slide_index=SLIDE, slide_part=PART, shape_ids=ids,
                                  part_count=entry_count(DECK), has_vba=False)
    slide = slide_of(output, SLIDE)
    assert [shape.shape_id for shape in slide.shapes][-3:] == ids
    added = [shape_with_id(slide, shape_id) for shape_id in ids]
    assert [(s.placeholder_format.type, s.placeholder_format.idx) for s in added] == [
        (PP_PLACEHOLDER.TITLE, 0), (PP_PLACEHOLDER.BODY, 2), (PP_PLACEHOLDER.OBJECT, 3)]
    assert [s.name for s in added] == [f"Title {FIRST_ID - 1}", f"Vertical Text Placeholder {FIRST_ID}",
                                       f"Content Placeholder {FIRST_ID + 1}"]
    assert_only_slide_content_changed(DECK, output)
    assert schema_errors(output, PART) == ""


def test_names_are_unique_against_the_slide_and_the_shapes_added_before(tmp_path):
    # The slide's last shape is renamed "Title {its id}", the name the first new title would get next.
    xml = slide_xml(DECK)
    last = max_shape_id(xml)
    xml = re.sub(rf'(<p:cNvPr id="{last}" name=")[^"]*"', rf'\g<1>Title {last}"', xml)
    source = deck_with_slide(tmp_path, xml)
    output = tmp_path / "out.pptx"
    velmora_native.add_slide_placeholder_shapes_json(str(source), str(output), SLIDE, '[{"placeholder_type": "title"},'
                                                     ' {"placeholder_type": "ctrTitle"}]')
    slide = slide_of(output, SLIDE)
    assert [shape_with_id(slide, last + n).name for n in (1, 2)] == [f"Title {last + 1}", f"Title {last + 2}"]


def layout_parts(path: Path) -> list[str]:
    """The slide layout parts in natural order, which layout_index counts."""
    with zipfile.ZipFile(path) as archive:
        names = [n for n in archive.namelist() if re.fullmatch(r"ppt/slideLayouts/slideLayout\d+\.xml", n)]
    return sorted(names, key=lambda n: int(re.search(r"\d+", n).group()))


def eligible_layout_placeholders(path: Path, layout_part: str) -> list[tuple]:
    """(type, idx) of the layout's placeholders that a slide takes over, as python-pptx reads them."""
    layouts = {str(layout.part.partname): layout
               for master in Presentation(str(path)).slide_masters for layout in master.slide_layouts}
    return [(ph.placeholder_format.type, ph.placeholder_format.idx)
            for ph in layouts["/" + layout_part].placeholders if ph.placeholder_format.type not in FURNITURE]


@pytest.mark.parametrize("layout_index", range(len(layout_parts(DECK))))
def test_layout_placeholders(layout_index, tmp_path):
    output = tmp_path / "out.pptx"
    result = velmora_native.add_slide_layout_placeholders_json(str(DECK), str(output), SLIDE, layout_index)

    expected = eligible_layout_placeholders(DECK, layout_parts(DECK)[layout_index])
    ids = list(range(FIRST_ID, FIRST_ID + len(expected)))
    assert result == summary_text(path=str(output), slide_index=SLIDE, slide_part=PART, shape_ids=ids,
                                  part_count=entry_count(DECK), has_vba=False)
    slide = slide_of(output, SLIDE)
    added = [shape_with_id(slide, shape_id) for shape_id in ids]
    assert [(s.placeholder_format.type, s.placeholder_format.idx) for s in added] == expected
    assert all(s.text_frame.text == "" for s in added)
    # A layout with nothing to take over (the blank one) still writes the package.
    assert_only_slide_content_changed(DECK, output, PART if ids else None)
    assert schema_errors(output, PART) == ""


def test_layout_index_counts_layout_parts_not_the_slides_own_layout(tmp_path):
    # slideLayout4 (index 3) is "two contents": title and two half-size objects; the raw attributes
    # are taken over, position and text are not.
    output = tmp_path / "out.pptx"
    result = json.loads(velmora_native.add_slide_layout_placeholders_json(str(DECK), str(output), SLIDE, 3))
    assert len(result["shape_ids"]) == 3
    assert [ph_tag(slide_xml(output), i) for i in result["shape_ids"]] == [
        '<p:ph type="title"/>', '<p:ph sz="half" idx="1"/>', '<p:ph sz="half" idx="2"/>']


SLIDE_WITHOUT_TREE_END = '<p:sld xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main"/>'

# function, arguments after the paths, message; "deck" is DECK, "broken" a copy whose slide has no tree end.
REFUSALS = {
    "slide index": ("add_slide_placeholder_shape_json", "deck", [1, "title", None, None, None],
                    "invalid input: slide index 1 was not found"),
    "slide index in a batch": ("add_slide_placeholder_shapes_json", "deck", [7, "[{}]"],
                               "invalid input: slide index 7 was not found"),
    "slide index with a layout": ("add_slide_layout_placeholders_json", "deck", [2, 0],
                                  "invalid input: slide index 2 was not found"),
    "layout index": ("add_slide_layout_placeholders_json", "deck", [0, 11],
                     "xml text decode error: slide layout index 11 was not found"),
    "no tree end": ("add_slide_placeholder_shape_json", "broken", [0, None, None, None, None],
                    "invalid input: slide XML is missing </p:spTree>"),
    "no tree end in a batch": ("add_slide_placeholder_shapes_json", "broken", [0, '[{"placeholder_type": "body"}]'],
                               "invalid input: slide XML is missing </p:spTree>"),
    "no tree end with a layout": ("add_slide_layout_placeholders_json", "broken", [0, 0],
                                  "invalid input: slide XML is missing </p:spTree>"),
    "missing input": ("add_slide_placeholder_shape_json", "missing", [0, None, None, None, None], MISSING_FILE),
}


@pytest.mark.parametrize("case", REFUSALS.values(), ids=REFUSALS.keys())
def test_refusals_write_no_output(case, tmp_path):
    function, source, args, message = case
    paths = {"deck": DECK, "broken": deck_with_slide(tmp_path, SLIDE_WITHOUT_TREE_END),
             "missing": tmp_path / "missing.pptx"}
    output = tmp_path / "out" / "result.pptx"
    with pytest.raises(RuntimeError) as caught:
        getattr(velmora_native, function)(str(paths[source]), str(output), *args)
    assert str(caught.value) == message
    assert output.parent.is_dir(), "the output's parent is prepared first"
    assert list(output.parent.iterdir()) == []


def test_layout_without_eligible_placeholders_needs_no_tree_end(tmp_path):
    # The blank layout (index 6) adds nothing, so the slide is never searched.
    output = tmp_path / "out.pptx"
    broken = deck_with_slide(tmp_path, SLIDE_WITHOUT_TREE_END)
    result = json.loads(velmora_native.add_slide_layout_placeholders_json(str(broken), str(output), SLIDE, 6))
    assert result["shape_ids"] == []
    assert slide_xml(output) == SLIDE_WITHOUT_TREE_END


@pytest.mark.parametrize(
    "bad",
    ["[]", "{}", '{"placeholder_type": "title"}', "[1]", '[["title"]]', '[{"placeholder_type": 1}]',
     '[{"placeholder_idx": 0}]', '[{"placeholder_orient": true}]', '[{}, {"placeholder_size": []}]', "[{", ""],
)
def test_spec_lists_of_the_wrong_shape_touch_no_file(bad, tmp_path):
    output = tmp_path / "out" / "result.pptx"
    with pytest.raises(RuntimeError) as caught:
        velmora_native.add_slide_placeholder_shapes_json(str(DECK), str(output), SLIDE, bad)
    if bad == "[]":
        assert str(caught.value) == "invalid input: at least one placeholder shape is required"
    else:  # the JSON reader's own description
        assert not str(caught.value).startswith(ERROR_PREFIXES), caught.value
    assert not output.parent.exists()
