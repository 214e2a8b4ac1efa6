#!/usr/bin/env python3
"""The documents agree with the program: every settings key in README's and
the manual page's tables with its default, every menu entry in every
language wherever the menu is listed, every folder searched for pets in
docs/pets.md, the manual page readable in a C locale, and the generated
parts as tools/gen_docs.py writes them today.

Usage: check_docs.py SOURCE_DIR
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

# The documents that list the menu, and those with a table of the settings.
MENU_LISTED = ["README.md", "docs/windows.md", "docs/linux.md", "docs/dorrabee.6", "packaging/README.txt.in",
               "packaging/description.txt"]
SETTINGS_TABLES = ["README.md", "docs/windows.md", "docs/linux.md"]


def markdown_keys(text):
    """{key: default} from the rows of a Markdown table whose first cell names keys."""
    keys = {}
    for cells in re.findall(r"^\| (`.*?) \| (.*?) \|", text, re.M):
        for name in re.findall(r"`([^`]+)`", cells[0]):
            keys[name] = cells[1]
    return keys


def manual_keys(text):
    """{key: its paragraph} from the manual page's SETTINGS section."""
    section = text.split(".SH SETTINGS", 1)[1].split("\n.SH ", 1)[0]
    keys = {}
    for tag, body in re.findall(r'^\.TP\n\.B "([^"]+)"\n(.*?)(?=^\.TP|\Z)', section, re.M | re.S):
        for name in re.split(r", | \.\.\. ", tag):
            keys[name] = body
    return keys


def main(root):
    sys.path.insert(0, os.path.join(root, "tools"))
    import gen_docs

    def read(path):
        with open(os.path.join(root, path), encoding="utf-8") as f:
            return f.read()

    failures = []
    try:
        keys = gen_docs.setting_keys()
        entries, texts = gen_docs.menu()
        places = gen_docs.pet_places()
    except gen_docs.DocsError as e:
        print("FAIL: %s" % e)
        return 1

    for path in SETTINGS_TABLES:
        table = markdown_keys(read(path))
        for name, _, default in keys:
            shown = name.replace(" N", " 1") if name.endswith(" N") else name
            if table.get(shown) != (default or "(empty)"):
                failures.append("%s: the settings table has %s %s, the program %s" %
                                (path, shown, "as %r" % table[shown] if shown in table else "nowhere",
                                 default or "(empty)"))
    manual = manual_keys(read("docs/dorrabee.6"))
    for name, _, default in keys:
        shown = name.replace(" N", " 1") if name.endswith(" N") else name
        said = "Default %s." % default if default else "Empty by default."
        if said not in re.sub(r"\s+", " ", manual.get(shown, "")):
            failures.append("docs/dorrabee.6: SETTINGS does not give %s with \"%s\"" % (shown, said))

    listed = [name for name, others in entries] + [o for _, others in entries for o in others]
    for path in MENU_LISTED:
        # A caption may be wrapped across lines.
        text = re.sub(r"\s+", " ", read(path))
        for name in listed:
            for caption in texts[name]:
                if caption not in text:
                    failures.append("%s: the menu entry %s is not there as %r" % (path, name, caption))

    pets = read("docs/pets.md")
    for place in places:
        shown = gen_docs.place_text(*place)
        if shown.rstrip("/\\") not in pets:
            failures.append("docs/pets.md: the %s pets folder %s is not named" % (place[0], shown))

    failures += stale_parts(root, gen_docs.DOCUMENTS)
    failures += manual_in_c_locale(os.path.join(root, "docs/dorrabee.6"))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


def stale_parts(root, documents):
    """The generator run again in a copy of what it reads and writes."""
    with tempfile.TemporaryDirectory() as copy:
        for folder in ["tools", "shell", "support", "po", "docs", "packaging"]:
            shutil.copytree(os.path.join(root, folder), os.path.join(copy, folder),
                            ignore=shutil.ignore_patterns("*.png", "*.gif", "__pycache__"))
        shutil.copy(os.path.join(root, "README.md"), copy)
        run = subprocess.run([sys.executable, os.path.join(copy, "tools", "gen_docs.py")], capture_output=True,
                             text=True)
        if run.returncode != 0:
            return ["tools/gen_docs.py: " + run.stderr.strip()]
        stale = []
        for path in documents:
            with open(os.path.join(root, path), encoding="utf-8") as a, \
                    open(os.path.join(copy, path), encoding="utf-8") as b:
                if a.read() != b.read():
                    stale.append("%s: its generated parts are out of date (run tools/gen_docs.py)" % path)
        return stale


def manual_in_c_locale(page):
    """What groff cannot show on an ASCII terminal, as man shows the page in a C locale."""
    if not (shutil.which("groff") and shutil.which("preconv")):
        print("SKIP: the manual page in a C locale (no groff)")
        return []
    source = subprocess.run(["preconv", "-e", "UTF-8", page], capture_output=True, check=True).stdout
    run = subprocess.run(["groff", "-man", "-Tascii", "-ww", "-z"], input=source, capture_output=True)
    return ["docs/dorrabee.6 in a C locale: " + line for line in run.stderr.decode().splitlines()]


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
