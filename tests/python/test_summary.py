# test_summary - presentation and slide summaries: exact JSON, slide order, relationships, notes, errors, real decks.
from __future__ import annotations

import json
import zipfile
from pathlib import Path

import pytest
import velmora_native

from helpers import MISSING_FILE

P = "http://schemas.openxmlformats.org/presentationml/2006/main"
A = "http://schemas.openxmlformats.org/drawingml/2006/main"
R = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
RT = R + "/"  # relationship types are this followed by the last segment
PKG_RELS = "http://schemas.openxmlformats.org/package/2006/relationships"


def sld(tree: str, tail: str = "") -> bytes:
    return (
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        f'<p:sld xmlns:a="{A}" xmlns:p="{P}" xmlns:r="{R}"><p:cSld><p:spTree>'
        f'<p:nvGrpSpPr><p:cNvPr id="1" name=""/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr/>'
        f"{tree}</p:spTree></p:cSld>{tail}</p:sld>"
    ).encode()


def rels(*relationships: tuple[str, str, str] | tuple[str, str, str, str]) -> bytes:
    body = "".join(
        f'<Relationship Id="{r[0]}" Type="{r[1]}" Target="{r[2]}"' + (f' TargetMode="{r[3]}"' if len(r) > 3 else "") + "/>"
        for r in relationships
    )
    return f'<?xml version="1.0"?><Relationships xmlns="{PKG_RELS}">{body}</Relationships>'.encode()


def presentation(*slide_rids: str) -> bytes:
    ids = "".join(f'<p:sldId id="{256 + i}" r:id="{rid}"/>' for i, rid in enumerate(slide_rids))
    return f'<p:presentation xmlns:p="{P}" xmlns:r="{R}"><p:sldIdLst>{ids}</p:sldIdLst></p:presentation>'.encode()


def notes(*texts: str) -> bytes:
    body = "".join(f"<a:p><a:r><a:t>{t}</a:t></a:r></a:p>" for t in texts)
    return f'<p:notes xmlns:a="{A}" xmlns:p="{P}"><p:cSld><p:spTree><p:sp><p:txBody>{body}</p:txBody></p:sp></p:spTree></p:cSld></p:notes>'.encode()


TITLE = (
    '<p:sp><p:nvSpPr><p:cNvPr id="2" name="Title &amp; 1"/><p:cNvSpPr/><p:nvPr><p:ph type="title"/></p:nvPr></p:nvSpPr>'
    '<p:spPr><a:xfrm><a:off x="10" y="20"/><a:ext cx="30" cy="40"/></a:xfrm></p:spPr>'
    '<p:txBody><a:bodyPr/><a:p><a:r><a:rPr b="1" sz="2400"/><a:t>Page </a:t></a:r>'
    '<a:fld id="{F}" type="slidenum"><a:t>3</a:t></a:fld><a:br/><a:r><a:t>x &lt; y</a:t></a:r></a:p></p:txBody></p:sp>'
)

# Slide 1 is listed second in the slide id list; its relationships cover every filtered list.
SLIDE1_RELS = (
    ("rId1", RT + "slideLayout", "../slideLayouts/slideLayout1.xml"),
    ("rId2", RT + "image", "../media/image1.png"),
    ("rId3", RT + "notesSlide", "../notesSlides/notesSlide1.xml"),
    ("rId10", RT + "notesSlide", "../notesSlides/notesSlide2.xml"),
    ("rId4", RT + "video", "../media/movie.mp4"),
    ("rId5", RT + "chart", "../charts/chart1.xml"),
    ("rId6", RT + "comments", "../comments/comment1.xml"),
    ("rId7", RT + "oleObject", "../embeddings/oleObject1.bin"),
    ("rId8", RT + "package", "../embeddings/Workbook1.xlsx"),
    ("rId9", RT + "hyperlink", "https://example.com/a?b&amp;c", "External"),
    ("rId11", "http://schemas.microsoft.com/office/2007/relationships/media", "../media/movie.mp4"),
    ("rId12", RT + "audio", "../media/sound.wav"),
    ("rId13", "urn:custom/comment", "x.xml"),
)

DECK = {
    "[Content_Types].xml": b"<Types/>",
    "ppt/presentation.xml": presentation("rId3", "rId2"),
    "ppt/_rels/presentation.xml.rels": rels(
        ("rId2", RT + "slide", "slides/slide1.xml"), ("rId3", RT + "slide", "/ppt/slides/slide2.xml")
    ),
    "ppt/slides/slide1.xml": sld(
        TITLE + '<p:pic><p:nvPicPr><p:cNvPr id="3" name="Picture"/></p:nvPicPr>'
        '<p:blipFill><a:blip r:embed="rId2"/></p:blipFill></p:pic>',
        tail="<p:timing/>",
    ),
    "ppt/slides/_rels/slide1.xml.rels": rels(*SLIDE1_RELS),
    "ppt/notesSlides/notesSlide1.xml": notes("not these"),
    "ppt/notesSlides/notesSlide2.xml": notes("  Speaker  ", "notes &amp; more"),
    # Slide 2: a transition inside alternate content, and notes whose part is missing.
    "ppt/slides/slide2.xml": sld(
        "", tail=f'<mc:AlternateContent xmlns:mc="m"><mc:Choice Requires="p14"><p:transition/></mc:Choice></mc:AlternateContent>'
    ),
    "ppt/slides/_rels/slide2.xml.rels": rels(("rId1", RT + "notesSlide", "../notesSlides/notesSlide9.xml")),
}


def write_deck(path: Path, entries: dict[str, bytes]) -> Path:
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, content in entries.items():
            archive.writestr(name, content)
    return path


@pytest.fixture
def deck(tmp_path) -> Path:
    return write_deck(tmp_path / "deck.pptx", DECK)


def relationship(rid, rtype, target, mode=None):
    return {"id": rid, "relationship_type": rtype, "target": target.replace("&amp;", "&"), "target_mode": mode}


def shape(**members) -> dict:
    """A shape summary with every member in its order, defaults for the ones not given."""
    record = {
        "id": None, "name": None, "kind": "shape", "is_placeholder": False, "placeholder_type": None,
        "placeholder_idx": None, "text": "", "paragraphs": [], "paragraph_runs": [], "paragraph_line_breaks": [],
        "paragraph_fields": [], "paragraph_run_bold": [], "paragraph_run_italic": [], "paragraph_run_underline": [],
        "paragraph_run_font_size": [], "paragraph_run_font_name": [], "tables": [], "relationship_ids": [],
        "has_chart": False, "has_picture": False, "has_group": False, "transform": None,
        "effective_transform": None, "children": [],
    }  # fmt: skip
    assert set(members) <= set(record)
    record.update(members)
    return record


def test_slide_summary_exact_text(deck):
    all_rels = [relationship(*r) for r in sorted(SLIDE1_RELS, key=lambda r: (r[0].encode(), r[2].encode()))]

    def having(*suffixes):
        return [r for r in all_rels if r["relationship_type"].endswith(suffixes)]

    box = {"x": 10, "y": 20, "cx": 30, "cy": 40}
    expected = {
        "part": "ppt/slides/slide1.xml",
        "texts": ["Page", "3", "x<y"],
        "shapes": [
            shape(
                id="2", name="Title &amp; 1", is_placeholder=True, placeholder_type="title", text="Page 3\vx < y",
                paragraphs=["Page 3\vx < y"], paragraph_runs=[["Page ", "x < y"]], paragraph_line_breaks=[[1]],
                paragraph_fields=[[{"run_slot": 1, "line_breaks_before": 0, "text": "3"}]],
                paragraph_run_bold=[[True, None]], paragraph_run_italic=[[None, None]],
                paragraph_run_underline=[[None, None]], paragraph_run_font_size=[[2400, None]],
                paragraph_run_font_name=[[None, None]], transform=box, effective_transform=box,
            ),
            shape(id="3", name="Picture", kind="picture", relationship_ids=["rId2"], has_picture=True),
        ],
        "tables": [],
        "notes": ["Speaker", "notes&more"],
        "relationships": all_rels,
        "image_relationships": having("/image"),
        "chart_relationships": having("/chart"),
        "comment_relationships": having("/comments", "/comment"),
        "media_relationships": having("/audio", "/media", "/video"),
        "ole_relationships": having("/oleObject", "/package"),
        "has_transition": False,
        "has_timing": True,
    }  # fmt: skip
    text = velmora_native.summarize_slide_at_index_json(str(deck), 1)
    assert text == json.dumps(expected, indent=2, ensure_ascii=False)
    # Spot checks of the rules behind the lists above.
    assert [r["id"] for r in expected["relationships"]][:4] == ["rId1", "rId10", "rId11", "rId12"]
    assert [r["id"] for r in expected["media_relationships"]] == ["rId11", "rId12", "rId4"]
    assert [r["id"] for r in expected["comment_relationships"]] == ["rId13", "rId6"]


def test_presentation_lists_slides_in_slide_id_order(deck):
    summary = json.loads(velmora_native.summarize_presentation_json(str(deck)))
    assert list(summary) == ["path", "slide_count", "slides", "has_vba"]
    assert summary["path"] == str(deck)
    assert summary["slide_count"] == 2
    assert [s["part"] for s in summary["slides"]] == ["ppt/slides/slide2.xml", "ppt/slides/slide1.xml"]
    assert summary["has_vba"] is False
    for index, slide in enumerate(summary["slides"]):
        assert json.loads(velmora_native.summarize_slide_at_index_json(str(deck), index)) == slide


def test_missing_notes_part_and_transition_in_alternate_content(deck):
    slide = json.loads(velmora_native.summarize_slide_at_index_json(str(deck), 0))
    assert slide["notes"] == []
    assert slide["has_transition"] is True
    assert slide["has_timing"] is False
    assert slide["shapes"] == [] and slide["texts"] == []


@pytest.mark.parametrize(
    "entries, slide_count, has_vba",
    [
        ({"[Content_Types].xml": b"<Types/>"}, 0, False),
        ({"ppt/presentation.xml": presentation()}, 0, False),
        ({"ppt/vbaProject.bin": b"\0" * 8, "ppt/slides/slide1.xml": sld("")}, 1, True),
        # No presentation part: every slide part, in natural order.
        ({f"ppt/slides/slide{n}.xml": sld("") for n in (10, 2, 1)}, 3, False),
    ],
    ids=["no_slides", "empty_slide_list", "vba", "natural_order"],
)
def test_presentation_counts_and_vba(tmp_path, entries, slide_count, has_vba):
    path = write_deck(tmp_path / "deck.pptm", entries)
    summary = json.loads(velmora_native.summarize_presentation_json(str(path)))
    assert summary["slide_count"] == slide_count == len(summary["slides"])
    assert summary["has_vba"] is has_vba
    if slide_count == 3:
        assert [s["part"] for s in summary["slides"]] == [f"ppt/slides/slide{n}.xml" for n in (1, 2, 10)]
    if slide_count == 0:
        assert velmora_native.summarize_presentation_json(str(path)).endswith('"slides": [],\n  "has_vba": false\n}')


def test_malformed_slide_shortens_the_summary(tmp_path):
    good = sld('<p:sp><p:txBody><a:p><a:r><a:t>kept</a:t></a:r></a:p></p:txBody></p:sp>')
    path = write_deck(tmp_path / "deck.pptx", {"ppt/slides/slide1.xml": good[: good.index(b"</p:sp>") + 3]})
    slide = json.loads(velmora_native.summarize_slide_at_index_json(str(path), 0))
    assert slide["texts"] == ["kept"]
    assert slide["shapes"] == []  # the shape tree is not closed


@pytest.mark.parametrize("index", [2, 3, 2**64 - 1])
def test_slide_index_past_the_end(deck, index):
    with pytest.raises(RuntimeError) as caught:
        velmora_native.summarize_slide_at_index_json(str(deck), index)
    assert str(caught.value) == f"invalid input: slide index {index} was not found"


@pytest.mark.parametrize("function", ["summarize_presentation_json", "summarize_slide_at_index_json"])
def test_unreadable_packages(tmp_path, function):
    call = getattr(velmora_native, function)
    args = (0,) if function.endswith("index_json") else ()
    with pytest.raises(RuntimeError) as caught:
        call(str(tmp_path / "missing.pptx"), *args)
    assert str(caught.value) == MISSING_FILE
    not_zip = tmp_path / "text.pptx"
    not_zip.write_bytes(b"this is not a zip archive")
    with pytest.raises(RuntimeError) as caught:
        call(str(not_zip), *args)
    assert str(caught.value).startswith("zip error: ")


@pytest.mark.parametrize("function", ["summarize_presentation_json", "summarize_slide_at_index_json"])
def test_an_entry_that_cannot_be_opened_fails_the_summary(tmp_path, function):
    path = write_deck(tmp_path / "deck.pptx", DECK)
    data = bytearray(path.read_bytes())
    # Give the notes slide an unsupported compression method in both of its headers.
    name = b"ppt/notesSlides/notesSlide2.xml"
    for signature, method_at, name_at in ((b"PK\x03\x04", 8, 30), (b"PK\x01\x02", 10, 46)):
        at = data.find(signature)
        while at != -1:
            if data[at + name_at : at + name_at + len(name)] == name:
                data[at + method_at : at + method_at + 2] = (12).to_bytes(2, "little")
            at = data.find(signature, at + 4)
    path.write_bytes(bytes(data))
    args = (1,) if function.endswith("index_json") else ()
    with pytest.raises(RuntimeError) as caught:
        getattr(velmora_native, function)(str(path), *args)
    assert str(caught.value).startswith("zip error: unsupported Zip archive: ")
