#!/usr/bin/env python3
"""Every pet folder in the repository passes the checker, and what the
checker writes is what an author expects: a contact sheet of every image and
one animation per action with one frame per image of the action, in the
pet's own colours. A broken copy of a pet fails with one message that names
it, and the checker writes nothing into the folder it checks. A numbered
frame set drawn by artgen imports into a pet that lives for ten simulated
minutes showing only its poses' frames; the importer writes nothing into the
set's folder nor through a link.

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


# The frames our pose table uses (docs/pets.md), 0-based as the simulator prints them.
POSE_FRAMES = {0, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 20, 22, 23, 24}


def check_shimeji_import(root, sim, failures, emulated):
    with tempfile.TemporaryDirectory() as work:
        frames, pet = os.path.join(work, "set"), os.path.join(work, "pet")
        subprocess.run([sys.executable, os.path.join(root, "tools", "artgen", "artgen.py"), "--frame-set", frames],
                       check=True)
        before = sorted(os.listdir(frames))
        result = run(sim + ["--import-shimeji", frames, pet])
        if result.returncode != 0 or sorted(os.listdir(pet)) != ["behaviour.script", "pet.ini", "sprites.png"]:
            failures.append("import: status %d, %r" % (result.returncode, result.stdout + result.stderr))
            return
        lived = run(sim + ["--pet", pet, "--ticks", "4000", "--seed", "9"])  # ten minutes at 150 ms
        ticks = [line.split(",") for line in lived.stdout.split("\n") if line[:1].isdigit()]
        if lived.returncode != 0 or len(ticks) != 4001:
            failures.append("imported pet: status %d, %d ticks" % (lived.returncode, len(ticks)))
            return
        xs, ys = [int(t[1]) for t in ticks], [int(t[2]) for t in ticks]
        if min(xs) < 0 or max(xs) > 1024 - 128 or min(ys) < 0 or max(ys) > 768 - 128:
            failures.append("imported pet left the screen: x %d..%d, y %d..%d" % (min(xs), max(xs), min(ys), max(ys)))
        shown = {int(t[3]) for t in ticks}
        if not shown <= POSE_FRAMES or len({t[5] for t in ticks}) < 5:
            failures.append("imported pet showed frames %s in actions %s" % (sorted(shown), {t[5] for t in ticks}))
        if ticks[0][5] != "1" or ys[1] <= ys[0]:
            failures.append("imported pet does not start falling: %s, %s" % (ticks[0], ticks[1]))
        # Never into the set's folder, never through a link; a set without frame 1 is refused.
        inside = run(sim + ["--import-shimeji", frames, os.path.join(frames, "pet")])
        if inside.returncode != 2 or sorted(os.listdir(frames)) != before:
            failures.append("import into the set: status %d, %s" % (inside.returncode, sorted(os.listdir(frames))))
        if not emulated:  # Wine shows a Windows program a link as the file it names
            linked = os.path.join(work, "linked")
            os.makedirs(linked)
            os.symlink(os.path.join(frames, "shime1.png"), os.path.join(linked, "sprites.png"))
            kept = open(os.path.join(frames, "shime1.png"), "rb").read()
            through = run(sim + ["--import-shimeji", frames, linked])
            if through.returncode != 2 or open(os.path.join(frames, "shime1.png"), "rb").read() != kept:
                failures.append("import through a link: status %d" % through.returncode)
        os.remove(os.path.join(frames, "shime1.png"))
        lacking = run(sim + ["--import-shimeji", frames, os.path.join(work, "none")])
        if lacking.returncode != 1 or "shime1.png is missing" not in lacking.stdout:
            failures.append("a set without frame 1: status %d, %r" % (lacking.returncode, lacking.stdout))


def main(argv):
    root, sim = argv[1], argv[3:] + [argv[2]]
    pets = os.path.join(root, "pets")
    failures = []
    folders = sorted(os.path.join(pets, n) for n in os.listdir(pets))
    for folder in folders:
        check_pet(sim, folder, failures)
    check_broken_copy(sim, folders[0], failures)
    check_shimeji_import(root, sim, failures, emulated=len(argv) > 3)
    for f in failures:
        print("FAIL:", f)
    print("%d pet(s), %d failure(s)" % (len(folders), len(failures)))
    return 1 if failures or not folders else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
