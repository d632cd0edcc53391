# test_summary_corpus - summaries of real decks agree with python-pptx reading the same files.
"""Every deck of the shared corpus is summarised; python-pptx reads the same file as an
independent reader, and these are the rules for what must agree:

- Slide order: python-pptx lists the slides named by the slide id list. The summary lists the
  same slides in the same order when that list names exactly the slide parts present; otherwise
  it lists every slide part in natural order (a deck with an orphan slide part).
- Shapes: the summary covers the top-level p:sp, p:pic, p:graphicFrame, p:grpSp and p:cxnSp
  elements of the shape tree (python-pptx also yields p:contentPart) and, for groups, their
  members: same count, order, ids and kinds.
- Text of a shape with a text body: paragraphs (runs, fields and "\\v" for line breaks) and run
  texts agree exactly. A shape without a text body has no paragraphs in the summary, where
  python-pptx would make one empty paragraph, so those are not asked.
- Tables: the rows of cell texts agree.
- Transforms: where the shape writes its own, left, top, width and height agree. Where it writes
  none the summary has null, and python-pptx either has none or takes it from the layout.
- Slide texts and notes: the summary lists every text element (trimmed, references splitting the
  trimming), including fields and text in alternate content that python-pptx does not show; so
  python-pptx's run texts, with white space removed, must appear in that order among the
  summary's texts with white space removed.
- python-pptx refuses templates and slide shows by their content type: they are read from a copy
  declaring the presentation content type. It cannot read decks in the Strict namespaces at all:
  for those only the summary's own consistency is checked.
"""
from __future__ import annotations

import json
import re
import zipfile
from pathlib import Path

import pptx
import pytest
import velmora_native
from pptx.enum.shapes import MSO_SHAPE_TYPE
from pptx.shapes.graphfrm import GraphicFrame
from pptx.shapes.group import GroupShape
from pptx.shapes.picture import Movie

from helpers import CORPUS

DECKS = sorted(p for p in CORPUS.iterdir() if p.suffix in {".pptx", ".pptm", ".potx", ".potm", ".ppsx"})
GOOD = [p for p in DECKS if "BROKEN" not in p.name]
BROKEN = [p for p in DECKS if "BROKEN" in p.name]

PRESENTATION_TYPE = "application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml"
OTHER_MAIN_TYPES = (
    "application/vnd.openxmlformats-officedocument.presentationml.template.main+xml",
    "application/vnd.ms-powerpoint.template.macroEnabled.main+xml",
    "application/vnd.openxmlformats-officedocument.presentationml.slideshow.main+xml",
)
SLIDE_PART = re.compile(r"ppt/slides/slide\d+\.xml")
KINDS = {
    "sp": {"shape"},
    "pic": {"picture", "movie"},
    "graphicFrame": {"graphic_frame", "ole_object"},
    "grpSp": {"group"},
    "cxnSp": {"connector"},
}
OLE_TYPES = {MSO_SHAPE_TYPE.EMBEDDED_OLE_OBJECT, MSO_SHAPE_TYPE.LINKED_OLE_OBJECT}


def natural_key(name: str) -> list:
    return [(1, int(chunk)) if chunk.isdigit() else (0, chunk) for chunk in re.findall(r"\d+|\D+", name)]


def read_with_python_pptx(path: Path, scratch: Path):
    """The deck as python-pptx reads it, through a presentation-typed copy when needed; None when it cannot."""
    with zipfile.ZipFile(path) as archive:
        content_types = archive.read("[Content_Types].xml").decode()
        if "purl.oclc.org/ooxml" in archive.read("ppt/presentation.xml").decode(errors="replace"):
            return None  # Strict namespaces
        if any(t in content_types for t in OTHER_MAIN_TYPES):
            copy = scratch / (path.stem + ".pptx")
            with zipfile.ZipFile(copy, "w") as out:
                for info in archive.infolist():
                    data = archive.read(info)
                    if info.filename == "[Content_Types].xml":
                        for other in OTHER_MAIN_TYPES:
                            data = data.replace(other.encode(), PRESENTATION_TYPE.encode())
                    out.writestr(info, data)
            path = copy
    return pptx.Presentation(str(path))


def squeezed(text: str) -> str:
    return re.sub(r"[ \t\r\n]", "", text)


def is_subsequence(needles: list[str], haystack: list[str]) -> bool:
    remaining = iter(haystack)
    return all(any(needle == item for item in remaining) for needle in needles)


def run_texts(shapes) -> list[str]:
    """Every run text of the shapes, their group members and table cells, in document order."""
    texts = []
    for shape in shapes:
        if isinstance(shape, GroupShape):
            texts += run_texts(shape.shapes)
        frames = []
        if getattr(shape, "has_text_frame", False) and shape._element.txBody is not None:
            frames.append(shape.text_frame)
        if isinstance(shape, GraphicFrame) and shape.has_table:
            frames += [cell.text_frame for row in shape.table.rows for cell in row.cells]
        texts += [run.text for frame in frames for paragraph in frame.paragraphs for run in paragraph.runs]
    return [t for t in map(squeezed, texts) if t]


def compare_shapes(theirs: list, ours: list[dict], where: str) -> None:
    """The rules for shapes, members, text, tables and transforms (iterative over the member tree)."""
    pending = [(theirs, ours, where)]
    while pending:
        their_shapes, our_shapes, where = pending.pop()
        their_shapes = [s for s in their_shapes if s._element.tag.rsplit("}", 1)[-1] in KINDS]
        assert len(our_shapes) == len(their_shapes), where
        for their, our in zip(their_shapes, our_shapes):
            at = f"{where} shape id {our['id']}"
            assert our["id"] == str(their.shape_id), at
            assert our["kind"] in KINDS[their._element.tag.rsplit("}", 1)[-1]], at
            assert (our["kind"] == "movie") == isinstance(their, Movie), at
            if isinstance(their, GraphicFrame):
                assert (our["kind"] == "ole_object") == (their.shape_type in OLE_TYPES), at
                if their.has_table:
                    rows = [[cell.text for cell in row.cells] for row in their.table.rows]
                    assert our["tables"][0]["rows"] == rows, at
            if getattr(their, "has_text_frame", False) and their._element.txBody is not None:
                paragraphs = their.text_frame.paragraphs
                assert our["paragraphs"] == [p.text for p in paragraphs], at
                assert our["paragraph_runs"] == [[r.text for r in p.runs] for p in paragraphs], at
            if our["transform"] is not None:
                t = our["transform"]
                assert (t["x"], t["y"], t["cx"], t["cy"]) == (their.left, their.top, their.width, their.height), at
            else:
                assert their.left is None or their.is_placeholder, at
            if isinstance(their, GroupShape):
                pending.append((list(their.shapes), our["children"], at))
            else:
                assert our["children"] == [], at


@pytest.mark.parametrize("deck", GOOD, ids=lambda p: p.name)
def test_summary_agrees_with_python_pptx(deck, tmp_path):
    text = velmora_native.summarize_presentation_json(str(deck))
    summary = json.loads(text)
    assert text == json.dumps(summary, indent=2, ensure_ascii=False)  # the pretty form, nested groups included
    with zipfile.ZipFile(deck) as archive:
        names = archive.namelist()
    present = sorted((n for n in names if SLIDE_PART.fullmatch(n)), key=natural_key)
    ours = [slide["part"] for slide in summary["slides"]]
    assert summary["slide_count"] == len(ours)
    assert summary["has_vba"] == any(n.endswith("vbaProject.bin") for n in names)
    for index, slide in enumerate(summary["slides"]):
        assert json.loads(velmora_native.summarize_slide_at_index_json(str(deck), index)) == slide

    presentation = read_with_python_pptx(deck, tmp_path)
    if presentation is None:
        assert sorted(ours, key=natural_key) == present
        return
    theirs = [slide.part.partname.lstrip("/") for slide in presentation.slides]
    assert ours == (theirs if sorted(theirs, key=natural_key) == present else present)
    by_part = {slide.part.partname.lstrip("/"): slide for slide in presentation.slides}
    for summary_slide in summary["slides"]:
        slide = by_part.get(summary_slide["part"])
        if slide is None:
            continue  # a slide part outside the slide id list: python-pptx does not see it
        where = f"{deck.name} {summary_slide['part']}"
        compare_shapes(list(slide.shapes), summary_slide["shapes"], where)
        assert is_subsequence(run_texts(slide.shapes), [squeezed(t) for t in summary_slide["texts"]]), where
        if slide.has_notes_slide:
            notes = run_texts(slide.notes_slide.shapes)
            assert is_subsequence(notes, [squeezed(t) for t in summary_slide["notes"]]), where


@pytest.mark.parametrize("deck", BROKEN, ids=lambda p: p.name)
def test_broken_decks_fail_with_a_package_error(deck):
    for call in (
        lambda: velmora_native.summarize_presentation_json(str(deck)),
        lambda: velmora_native.summarize_slide_at_index_json(str(deck), 0),
    ):
        with pytest.raises(RuntimeError) as caught:
            call()
        assert str(caught.value).startswith("zip error: "), str(caught.value)
