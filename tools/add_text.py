#!/usr/bin/env python3
"""Adds one text to po/, in English and in every language, in one command:

    tools/add_text.py NAME ENGLISH LANGUAGE=TEXT... [--comment NOTE] [--po FOLDER]

    tools/add_text.py menu_tray_show "&Show the cat" zh_CN="显示(&S)"

NAME is how the program names it (TextId::NAME, T(NAME) in
support/templates.inc): lower-case letters, digits and _. Every language of
po/ must be given its text; the build then has the text everywhere. NOTE is
a comment for translators. FOLDER is po/ unless given.
"""
import os
import sys

import po

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "po")


def po_string(text):
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\t", "\\t")
    lines = escaped.split("\n")
    if len(lines) == 1:
        return '"%s"' % escaped
    parts = ['"%s\\n"' % line for line in lines[:-1]] + (['"%s"' % lines[-1]] if lines[-1] else [])
    return '""\n' + "\n".join(parts)


def entry(name, english, translation, comment):
    lines = ["#. " + comment] if comment else []
    lines += ['msgctxt "%s"' % name, "msgid " + po_string(english), "msgstr " + po_string(translation)]
    return "\n" + "\n".join(lines) + "\n"


def option(args, name):
    """The option's value, taken out of args; None without it."""
    if name not in args:
        return None
    at = args.index(name)
    value = args[at + 1] if at + 1 < len(args) else ""
    del args[at:at + 2]
    return value


def main(argv):
    args = list(argv[1:])
    comment, root = option(args, "--comment"), option(args, "--po") or ROOT
    if len(args) < 2 or comment == "" or root == "":
        sys.stderr.write(__doc__)
        return 2
    name, english, given = args[0], args[1], dict(a.split("=", 1) for a in args[2:] if "=" in a)
    files = {"en": os.path.join(root, "dorrabee.pot")}
    for file_name in sorted(os.listdir(root)):
        if file_name.endswith(".po"):
            with open(os.path.join(root, file_name), encoding="utf-8") as f:
                files[po.read_catalog(f.read(), file_name)[0]] = os.path.join(root, file_name)
    with open(files["en"], encoding="utf-8") as f:
        known = po.read_catalog(f.read(), "dorrabee.pot")[1]
    missing = sorted(set(files) - {"en"} - set(given))
    problem = ("%s is already a text" % name if name in known else
               "not a name: lower-case letters, digits and _" if not name.replace("_", "a").isalnum()
               or not name[0].islower() else
               "no text for %s" % ", ".join(missing) if missing else
               "no po file for %s" % ", ".join(sorted(set(given) - set(files))) if set(given) - set(files) else None)
    if problem:
        sys.stderr.write("add_text: %s\n" % problem)
        return 1
    for language, path in files.items():
        with open(path, "a", encoding="utf-8", newline="\n") as f:
            f.write(entry(name, english, "" if language == "en" else given[language], comment))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
