# bench_add_shape - times adding one text box to slide 1 of a large deck against python-pptx and a plain copy.
"""Usage: python bench/bench_add_shape.py [--repeat N]

Needs the installed velmora_native module, python-pptx, Pillow and numpy. The deck (300 slides,
about 150 MB of media) is generated once by bench_package.py's generator and kept in bench/.cache/.
"""
from __future__ import annotations

import argparse
import shutil
import sys
import tempfile
from pathlib import Path

import velmora_native

sys.path.insert(0, str(Path(__file__).resolve().parent))
from bench_package import BIG_IMAGE_BYTES, BIG_SLIDES, CACHE, best_of, cached_deck  # noqa: E402

BOX = (914400, 914400, 1828800, 457200)  # x, y, cx, cy in EMU
TEXT = "Added text box"
GOAL_VS_PPTX = 20.0  # at least this many times faster than python-pptx
GOAL_VS_COPY = 1.5  # at most this many times slower than copying the file


def with_velmora(source: Path, output: Path) -> None:
    velmora_native.add_slide_text_box_with_text_json(str(source), str(output), 0, *BOX, TEXT)


def with_python_pptx(source: Path, output: Path) -> None:
    from pptx import Presentation
    from pptx.util import Emu

    deck = Presentation(str(source))
    box = deck.slides[0].shapes.add_textbox(*(Emu(v) for v in BOX))
    box.text_frame.text = TEXT
    deck.save(str(output))


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeat", type=int, default=3, help="runs per measurement; the best is reported")
    options = parser.parse_args()

    deck = cached_deck(f"big-{BIG_SLIDES}-slides.pptx", BIG_SLIDES, BIG_IMAGE_BYTES, (1024, 768))
    print(f"deck: {deck.name}, {deck.stat().st_size / 1e6:.1f} MB; best of {options.repeat}")
    with tempfile.TemporaryDirectory(dir=CACHE) as scratch_name:
        output = Path(scratch_name) / "out.pptx"
        ours = best_of(options.repeat, lambda: with_velmora(deck, output))
        pptx = best_of(options.repeat, lambda: with_python_pptx(deck, output))
        copy = best_of(options.repeat, lambda: shutil.copyfile(deck, output))

    print(f"{'add one text box with':<24} {'seconds':>9}")
    for label, seconds in (("velmora", ours), ("python-pptx", pptx), ("shutil.copyfile", copy)):
        print(f"{label:<24} {seconds:9.4f}")
    print()
    faster = pptx / ours
    slower = ours / copy
    print(f"python-pptx / velmora: {faster:7.1f}x  (goal >= {GOAL_VS_PPTX:g}x: {'met' if faster >= GOAL_VS_PPTX else 'missed'})")
    print(f"velmora / copyfile:    {slower:7.2f}x  (goal <= {GOAL_VS_COPY:g}x: {'met' if slower <= GOAL_VS_COPY else 'missed'})")


if __name__ == "__main__":
    main()
