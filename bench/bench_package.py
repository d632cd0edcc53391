# bench_package - times inspection, round trip and a one-part rewrite against zipfile+hashlib and a plain copy.
"""Usage: python bench/bench_package.py [--repeat N] [--corpus DIR]

Needs the installed velmora_native module, python-pptx, Pillow and numpy.
The large deck is generated once and kept in bench/.cache/.
"""
from __future__ import annotations

import argparse
import hashlib
import io
import json
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

import velmora_native

HERE = Path(__file__).resolve().parent
CACHE = HERE / ".cache"
DEFAULT_CORPUS = HERE.parents[1] / "shared" / "corpus"
BIG_SLIDES = 300
BIG_IMAGE_BYTES = 150_000_000  # noise images do not compress, so the package is about this large
SMALL_SLIDES = 3
NOT_AVAILABLE = "not available yet"


def noise_image(rng, index: int, width: int, height: int) -> bytes:
    """A random-noise picture: PNG for two of every three, JPEG for the third."""
    import numpy as np
    from PIL import Image

    pixels = rng.integers(0, 256, (height, width, 3), dtype=np.uint8)
    buffer = io.BytesIO()
    if index % 3 == 2:
        Image.fromarray(pixels).save(buffer, "JPEG", quality=95)
    else:
        Image.fromarray(pixels).save(buffer, "PNG")
    return buffer.getvalue()


def make_deck(path: Path, slides: int, image_bytes: int, size: tuple[int, int]) -> None:
    """A deck of `slides` slides, each with a text box and one picture from a pool of distinct
    noise images totalling at least `image_bytes` (python-pptx stores a repeated picture once)."""
    import numpy as np
    from pptx import Presentation
    from pptx.util import Emu, Pt

    rng = np.random.default_rng(20240517)
    images: list[bytes] = []
    while sum(map(len, images)) < image_bytes:
        images.append(noise_image(rng, len(images), *size))
    deck = Presentation()
    blank = deck.slide_layouts[6]
    for index in range(slides):
        slide = deck.slides.add_slide(blank)
        box = slide.shapes.add_textbox(Emu(457200), Emu(228600), Emu(8229600), Emu(914400))
        box.text_frame.text = f"Slide {index + 1}: measured content"
        box.text_frame.paragraphs[0].runs[0].font.size = Pt(28)
        slide.shapes.add_picture(io.BytesIO(images[index % len(images)]), Emu(457200), Emu(1371600), width=Emu(6096000))
    path.parent.mkdir(parents=True, exist_ok=True)
    partial = path.with_suffix(".partial")
    deck.save(partial)
    partial.replace(path)


def cached_deck(name: str, slides: int, image_bytes: int, size: tuple[int, int]) -> Path:
    path = CACHE / name
    if not path.exists():
        print(f"generating {path} ...", flush=True)
        make_deck(path, slides, image_bytes, size)
    return path


def zipfile_manifest(path: Path) -> str:
    """The same manifest as inspect_package_json, computed with zipfile and hashlib."""
    kinds = ((".rels", "relationships"), ("vbaProject.bin", "vba"), (".xml", "xml"))
    parts = []
    with zipfile.ZipFile(path) as archive:
        for info in archive.infolist():
            content = archive.read(info)
            name = info.filename
            kind = next((k for suffix, k in kinds if name.endswith(suffix)), None)
            if kind is None:
                kind = "media" if name.startswith("ppt/media/") else "embedding" if name.startswith("ppt/embeddings/") else "binary"
            parts.append({"name": name, "size": len(content), "sha256": hashlib.sha256(content).hexdigest(), "kind": kind})
    parts.sort(key=lambda part: part["name"].encode())
    return json.dumps({"path": str(path), "parts": parts}, indent=2, ensure_ascii=False)


def best_of(repeat: int, action) -> float:
    best = float("inf")
    for _ in range(repeat):
        start = time.perf_counter()
        action()
        best = min(best, time.perf_counter() - start)
    return best


def rewrite(source: Path, output: Path) -> None:
    """The raw-copy rewrite with one replaced part: a text box added to the first slide."""
    velmora_native.add_slide_text_box_json(str(source), str(output), 0, 914400, 914400, 1828800, 457200)


def rewrite_available(source: Path, scratch: Path) -> bool:
    try:
        rewrite(source, scratch / "probe.pptx")
    except RuntimeError as error:
        if NOT_AVAILABLE in str(error):
            return False
        raise
    return True


CHILD_CODE = """
import sys, velmora_native
operation, source, output = sys.argv[1:4]
if operation == "import":
    pass
elif operation == "inspect":
    velmora_native.inspect_package_json(source)
elif operation == "roundtrip":
    velmora_native.roundtrip_package_json(source, output)
else:
    velmora_native.add_slide_text_box_json(source, output, 0, 914400, 914400, 1828800, 457200)
"""


# Starts the measured interpreter and reports its peak. Linux folds the resident
# size a process had before exec into its maxrss, so the measured child must be
# forked from this small launcher, not from the benchmark, which holds far more.
LAUNCHER_CODE = """
import resource, subprocess, sys
subprocess.run([sys.executable, "-c", *sys.argv[1:]], check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
"""


def child_peak_rss_mib(operation: str, source: Path, output: Path) -> float:
    """Peak resident memory of a fresh interpreter running one operation."""
    launched = subprocess.run(
        [sys.executable, "-c", LAUNCHER_CODE, CHILD_CODE, operation, str(source), str(output)],
        check=True,
        capture_output=True,
        text=True,
    )
    return int(launched.stdout) / 1024  # kilobytes on Linux


def readable_corpus(corpus: Path) -> list[Path]:
    files = []
    for path in sorted(corpus.glob("*")):
        if path.suffix == ".md" or not path.is_file():
            continue
        try:
            zipfile_manifest(path)
        except (zipfile.BadZipFile, OSError):
            continue
        files.append(path)
    return files


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeat", type=int, default=3, help="runs per measurement; the best is reported")
    parser.add_argument("--corpus", type=Path, default=DEFAULT_CORPUS)
    options = parser.parse_args()

    big = cached_deck(f"big-{BIG_SLIDES}-slides.pptx", BIG_SLIDES, BIG_IMAGE_BYTES, (1024, 768))
    small = cached_deck(f"small-{SMALL_SLIDES}-slides.pptx", SMALL_SLIDES, 1, (64, 48))
    corpus = readable_corpus(options.corpus) if options.corpus.is_dir() else []
    print(f"big deck: {big.stat().st_size / 1e6:.1f} MB, small deck: {small.stat().st_size / 1e3:.1f} kB, "
          f"corpus: {len(corpus)} readable files, {sum(p.stat().st_size for p in corpus) / 1e6:.1f} MB")

    rows: list[tuple[str, float | None, str, float]] = []
    with tempfile.TemporaryDirectory(dir=CACHE) as scratch_name:
        scratch = Path(scratch_name)
        output = scratch / "out.pptx"
        repeat = options.repeat

        if corpus:
            rows.append((
                f"inspect corpus ({len(corpus)} files)",
                best_of(repeat, lambda: [velmora_native.inspect_package_json(str(p)) for p in corpus]),
                "zipfile+hashlib",
                best_of(repeat, lambda: [zipfile_manifest(p) for p in corpus]),
            ))
        rows.append((
            "inspect big deck",
            best_of(repeat, lambda: velmora_native.inspect_package_json(str(big))),
            "zipfile+hashlib",
            best_of(repeat, lambda: zipfile_manifest(big)),
        ))
        rows.append((
            "roundtrip big deck",
            best_of(repeat, lambda: velmora_native.roundtrip_package_json(str(big), str(output))),
            "copyfile",
            best_of(repeat, lambda: shutil.copyfile(big, output)),
        ))
        available = rewrite_available(small, scratch)
        rows.append((
            "rewrite one part, big deck",
            best_of(repeat, lambda: rewrite(big, output)) if available else None,
            "copyfile",
            best_of(repeat, lambda: shutil.copyfile(big, output)),
        ))

        print()
        print(f"{'operation':<34} {'velmora s':>10}   {'baseline':<16} {'baseline s':>10} {'ratio':>7}")
        for label, ours, baseline, theirs in rows:
            ours_text = f"{ours:10.4f}" if ours is not None else f"{'n/a':>10}"
            ratio = f"{ours / theirs:7.2f}" if ours is not None else f"{'n/a':>7}"
            print(f"{label:<34} {ours_text}   {baseline:<16} {theirs:10.4f} {ratio}")

        print()
        print(f"{'peak RSS of a child (MiB)':<34} {'small deck':>10} {'big deck':>10}")
        operations = ["import", "inspect", "roundtrip"] + (["rewrite"] if available else [])
        for operation in operations:
            small_rss = child_peak_rss_mib(operation, small, scratch / "child-small.pptx")
            big_rss = child_peak_rss_mib(operation, big, scratch / "child-big.pptx")
            print(f"{operation:<34} {small_rss:10.1f} {big_rss:10.1f}")
        if not available:
            print(f"{'rewrite':<34} {'n/a':>10} {'n/a':>10}   (add_slide_text_box_json is not available yet)")


if __name__ == "__main__":
    main()
