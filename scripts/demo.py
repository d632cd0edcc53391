"""demo.py - prints the parts of a deck as velmora_native sees them."""
import collections
import json
import sys

import velmora_native


def main(path):
    manifest = json.loads(velmora_native.inspect_package_json(path))
    parts = manifest["parts"]
    print(f"{manifest['path']}: {len(parts)} parts")
    for part in parts:
        print(f"  {part['kind']:<13} {part['size']:>10}  {part['sha256'][:12]}  {part['name']}")
    by_kind = collections.Counter(part["kind"] for part in parts)
    sizes = collections.Counter()
    for part in parts:
        sizes[part["kind"]] += part["size"]
    print("summary:")
    for kind, count in sorted(by_kind.items()):
        print(f"  {kind:<13} {count:>4} parts {sizes[kind]:>12} bytes")


if __name__ == "__main__":
    main(sys.argv[1])
