#!/usr/bin/env python3
"""Regenerates the artwork into a temporary folder and compares it byte for
byte with the committed files, so the generator and the art cannot drift
apart (and anything non-deterministic in the generator shows up too).

Usage: check_regenerate.py REPO_ROOT
"""
import os
import subprocess
import sys
import tempfile

RESOURCES = ["sprites.bmp", "mask.bmp", "title.bmp", "scene.bmp", "tile.bmp",
             "portrait.bmp", "pet.ico", "icon-256.png", "pet.cur", "drag.cur"]
PETS = ["domino/sprites.bmp"]
DOCS = ["sprites.png", "extras.png", "walk.gif", "run.gif", "climb.gif", "sleep.gif", "turn.gif"]


def generate(root, out):
    res, docs, pets = (os.path.join(out, name) for name in ("res", "docs", "pets"))
    subprocess.run([sys.executable, os.path.join(root, "tools", "artgen", "artgen.py"), res, docs, pets],
                   check=True)
    return res, docs, pets


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main(argv):
    root = os.path.abspath(argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
    failures = []
    with tempfile.TemporaryDirectory() as out:
        res, docs, pets = generate(root, out)
        pairs = [(os.path.join(res, n), os.path.join(root, "resources", n)) for n in RESOURCES]
        pairs += [(os.path.join(docs, n), os.path.join(root, "docs", n)) for n in DOCS]
        pairs += [(os.path.join(pets, n), os.path.join(root, "pets", n)) for n in PETS]
        for fresh, committed in pairs:
            name = os.path.relpath(committed, root)
            if not os.path.exists(committed):
                failures.append("%s is not committed" % name)
            elif read(fresh) != read(committed):
                failures.append("%s differs from a fresh run: run tools/artgen/artgen.py" % name)
    for f in failures:
        print("FAIL:", f)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
