#!/usr/bin/env python3
"""Every pet folder in the repository passes the checker, and what the
checker writes is what an author expects: a contact sheet of every image and
one animation per action with one frame per image of the action, in the
pet's own colours. A broken copy of a pet fails with one message that names
it, and the checker writes nothing into the folder it checks.

Usage: check_pets.py REPO_ROOT SIM [EMULATOR...]
"""
import os
import shutil
import subprocess
import sys
import tempfile

import imgdecode

SCALE = 2


def action_frames(script_path):
    rows = [line for line in open(script_path, encoding="utf-8").read().split("\n")
            if line and not line.startswith("#")]
    return [len([e for e in row.split("\t")[0].split(",") if e.strip()]) for row in rows[:65]]


def run(command):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def check_pet(sim, folder, failures):
    name = os.path.basename(folder)
    with tempfile.TemporaryDirectory() as out:
        before = sorted(os.listdir(folder))
        result = run(sim + ["--check", folder, "--out", out])
        if result.returncode != 0:
            failures.append("%s: the checker says %r" % (name, result.stdout + result.stderr))
            return
        if sorted(os.listdir(folder)) != before:
            failures.append("%s: the checker wrote into the pet's folder" % name)
        width, height = imgdecode.png_header(open(os.path.join(out, "contact.png"), "rb").read())
        if (width, height) != (12 * (42 * SCALE + 6) + 6, 9 * (42 * SCALE + 14 + 6) + 6):
            failures.append("%s: contact sheet of %d x %d" % (name, width, height))
        script = os.path.join(folder, "behaviour.script")
        counts = action_frames(script) if os.path.exists(script) else None
        for number in range(1, 66):
            data = open(os.path.join(out, "action-%02d.gif" % number), "rb").read()
            w, h, palette, frames, delays = imgdecode.gif(data)
            if counts and len(frames) != counts[number - 1]:
                failures.append("%s: action %d shows %d frames, its script %d"
                                % (name, number, len(frames), counts[number - 1]))
            if w < 42 * SCALE or h < 42 * SCALE or set(delays) != {15}:
                failures.append("%s: action %d is %d x %d, delays %s" % (name, number, w, h, set(delays)))


def check_broken_copy(sim, folder, failures):
    with tempfile.TemporaryDirectory() as work:
        copy = os.path.join(work, "copy")
        shutil.copytree(folder, copy)
        sheet = os.path.join(copy, "sprites.bmp")
        data = open(sheet, "rb").read()
        open(sheet, "wb").write(data[:len(data) // 2])
        result = run(sim + ["--check", copy, "--out", work])
        lines = result.stdout.strip().split("\n")
        if result.returncode != 1 or len(lines) != 1 or ": sprites.bmp: Bitmap" not in lines[0]:
            failures.append("a cut sheet: status %d, %r" % (result.returncode, result.stdout))


def main(argv):
    root, sim = argv[1], argv[3:] + [argv[2]]
    pets = os.path.join(root, "pets")
    failures = []
    folders = sorted(os.path.join(pets, n) for n in os.listdir(pets))
    for folder in folders:
        check_pet(sim, folder, failures)
    check_broken_copy(sim, folders[0], failures)
    for f in failures:
        print("FAIL:", f)
    print("%d pet(s), %d failure(s)" % (len(folders), len(failures)))
    return 1 if failures or not folders else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
