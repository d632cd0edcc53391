# bench_summary - times summarize_presentation_json against python-pptx collecting the same information.
"""Usage: python bench/bench_summary.py [--repeat N] [--corpus DIR] [--largest K]

Needs the installed velmora_native module and python-pptx. A generated deck of 300 slides
with 30 shapes each is made once with python-pptx and kept in bench/.cache/.

Both sides collect, for every slide in order: every text, and every shape (group members
included) with its text, paragraphs, runs, position and size, and the cells of its tables.
velmora is timed twice: the call alone, which returns the JSON text, and the call followed by
json.loads, so that it ends with Python objects as python-pptx does. The garbage collector is
off while timing, as timeit does.
"""
from __future__ import annotations

import argparse
import gc
import json
import math
import time
from pathlib import Path

import velmora_native

HERE = Path(__file__).resolve().parent
CACHE = HERE / ".cache"
DEFAULT_CORPUS = HERE.parents[1] / "shared" / "corpus"
SLIDES = 300
SHAPES_PER_SLIDE = 30


def make_deck(path: Path) -> None:
    """SLIDES slides, each with SHAPES_PER_SLIDE shapes: text boxes of two paragraphs with
    formatted runs, auto shapes, and a group of two text boxes."""
    from pptx import Presentation
    from pptx.enum.shapes import MSO_SHAPE
    from pptx.util import Emu, Pt

    deck = Presentation()
    blank = deck.slide_layouts[6]
    for slide_number in range(SLIDES):
        shapes = deck.slides.add_slide(blank).shapes
        for index in range(SHAPES_PER_SLIDE - 1):
            left, top = Emu(100000 + 250000 * (index % 6)), Emu(100000 + 900000 * (index // 6))
            if index % 3 == 2:
                shape = shapes.add_shape(MSO_SHAPE.ROUNDED_RECTANGLE, left, top, Emu(240000), Emu(800000))
            else:
                shape = shapes.add_textbox(left, top, Emu(240000), Emu(800000))
            frame = shape.text_frame
            frame.text = f"Slide {slide_number + 1}, shape {index + 1}"
            frame.paragraphs[0].runs[0].font.bold = True
            paragraph = frame.add_paragraph()
            for word in ("second", "paragraph", "with", "runs"):
                run = paragraph.add_run()
                run.text = word + " "
                run.font.size = Pt(12)
        group = shapes.add_group_shape()
        for index in range(2):
            member = group.shapes.add_textbox(Emu(7000000), Emu(100000 + 500000 * index), Emu(900000), Emu(400000))
            member.text_frame.text = f"grouped {index}"
    path.parent.mkdir(parents=True, exist_ok=True)
    partial = path.with_suffix(".partial")
    deck.save(partial)
    partial.replace(path)


def generated_deck() -> Path:
    path = CACHE / f"summary-{SLIDES}x{SHAPES_PER_SLIDE}.pptx"
    if not path.exists():
        print(f"generating {path} ...", flush=True)
        make_deck(path)
    return path


def velmora_call(path: Path) -> str:
    return velmora_native.summarize_presentation_json(str(path))


def velmora_collect(path: Path) -> dict:
    return json.loads(velmora_call(path))


def pptx_collect(path: Path) -> list[dict]:
    """The same facts through python-pptx's object model."""
    from pptx import Presentation
    from pptx.shapes.graphfrm import GraphicFrame
    from pptx.shapes.group import GroupShape

    def describe(shape) -> dict:
        record = {
            "id": shape.shape_id,
            "name": shape.name,
            "transform": (shape.left, shape.top, shape.width, shape.height),
            "paragraphs": [],
            "runs": [],
            "tables": [],
            "children": [],
        }
        if shape.has_text_frame:
            paragraphs = shape.text_frame.paragraphs
            record["paragraphs"] = [p.text for p in paragraphs]
            record["runs"] = [[r.text for r in p.runs] for p in paragraphs]
        if isinstance(shape, GraphicFrame) and shape.has_table:
            record["tables"] = [[[cell.text for cell in row.cells] for row in shape.table.rows]]
        if isinstance(shape, GroupShape):
            record["children"] = [describe(member) for member in shape.shapes]
        return record

    slides = []
    for slide in Presentation(str(path)).slides:
        shapes = [describe(shape) for shape in slide.shapes]
        texts = []
        pending = list(reversed(shapes))
        while pending:
            record = pending.pop()
            texts += [run for paragraph in record["runs"] for run in paragraph]
            pending += reversed(record["children"])
        notes = []
        if slide.has_notes_slide:
            notes = [p.text for s in slide.notes_slide.shapes if s.has_text_frame for p in s.text_frame.paragraphs]
        slides.append({"part": str(slide.part.partname), "texts": texts, "shapes": shapes, "notes": notes})
    return slides


def best_of(repeat: int, action) -> float:
    best = float("inf")
    for _ in range(repeat):
        gc.collect()
        gc.disable()
        try:
            start = time.perf_counter()
            action()
            best = min(best, time.perf_counter() - start)
        finally:
            gc.enable()
    return best


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--corpus", type=Path, default=DEFAULT_CORPUS)
    parser.add_argument("--largest", type=int, default=5, help="how many of the largest corpus decks")
    args = parser.parse_args()

    decks = [generated_deck()]
    if args.corpus.is_dir():
        corpus = [p for p in args.corpus.iterdir() if p.suffix == ".pptx" and "BROKEN" not in p.name]
        decks += sorted(corpus, key=lambda p: p.stat().st_size, reverse=True)[: args.largest]

    print(f"best of {args.repeat}, seconds; ratio = python-pptx time / velmora time")
    print(f"{'deck':<42} {'MB':>5} {'slides':>6} {'call':>8} {'+loads':>8} {'pptx':>8} {'ratio call':>11} {'+loads':>7}")
    ratios: dict[str, list[float]] = {"call": [], "loads": []}
    for deck in decks:
        slides = velmora_collect(deck)["slide_count"]
        call = best_of(args.repeat, lambda: velmora_call(deck))
        loaded = best_of(args.repeat, lambda: velmora_collect(deck))
        theirs = best_of(args.repeat, lambda: pptx_collect(deck))
        ratios["call"].append(theirs / call)
        ratios["loads"].append(theirs / loaded)
        size = deck.stat().st_size / 1e6
        print(
            f"{deck.name:<42} {size:>5.1f} {slides:>6} {call:>8.4f} {loaded:>8.4f} {theirs:>8.4f}"
            f" {theirs / call:>10.1f}x {theirs / loaded:>6.1f}x"
        )
    for name, values in ratios.items():
        print(f"geometric mean ratio, {'call alone' if name == 'call' else 'call + json.loads'}: "
              f"{math.prod(values) ** (1 / len(values)):.1f}x (goal: at least 10x)")


if __name__ == "__main__":
    main()
