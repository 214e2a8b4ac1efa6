#!/usr/bin/env python3
"""Writes the Windows resource script's menu and dialogs from support/templates.inc.

The template file is the one source of the menu and both dialogs; the Qt
program reads it through C macros, the Windows program through this script.

Usage: gen_rc.py [-D NAME=TEXT]... [--ids IDS_H] TEMPLATES_INC OUTPUT_RC

-D gives a name the templates use inside a text (the program's version, say)
the value the C compiler sees for it. --ids reads the numbers the templates
name ("constexpr int NAME = NUMBER;" lines, as support/ids.h has them).
"""
import re
import sys

# Window class and style of each control kind the templates use. CONTROL
# statements add WS_CHILD | WS_VISIBLE themselves.
KINDS = {
    "DEFPUSHBUTTON": ("Button", "BS_DEFPUSHBUTTON | WS_TABSTOP"),
    "PUSHBUTTON": ("Button", "BS_PUSHBUTTON | WS_TABSTOP"),
    # The three mode buttons share the group their box starts; no tab stop of their own.
    "AUTORADIOBUTTON": ("Button", "BS_AUTORADIOBUTTON"),
    "LTEXT": ("Static", "SS_LEFT | WS_GROUP"),
    "CTEXT": ("Static", "SS_CENTER | WS_GROUP"),
    "CTEXT_DISABLED": ("Static", "SS_CENTER | WS_GROUP | WS_DISABLED"),
    "EDITTEXT": ("Edit", "ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP"),
    "GROUPBOX": ("Button", "BS_GROUPBOX"),
    "PICTURE": ("Static", "SS_BITMAP"),
}

LANGUAGES = {
    0: "LANG_NEUTRAL, SUBLANG_NEUTRAL",
    1: "LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED",
}

CALL = re.compile(r"^\s*([A-Z_]+)\((.*)\)\s*$")
# One argument: a number, a word, or strings and defined names side by side,
# joined as the C preprocessor and compiler join them.
PIECE = re.compile(r'\s*(?:"((?:[^"\\]|\\.)*)"|(-?0[xX][0-9a-fA-F]+|-?\d+)|([A-Z_]+))')
END = re.compile(r"\s*(?:,|$)")
NUMBER = re.compile(r"^constexpr int ([A-Z_]+) = (-?\d+);", re.M)
ESCAPES = {"n": "\n", "t": "\t", "\\": "\\", '"': '"', "'": "'"}


class TemplateError(Exception):
    pass


def c_string(body):
    out, i = [], 0
    while i < len(body):
        if body[i] == "\\":
            if i + 1 >= len(body) or body[i + 1] not in ESCAPES:
                raise TemplateError("unsupported escape in %r" % body)
            out.append(ESCAPES[body[i + 1]])
            i += 2
        else:
            out.append(body[i])
            i += 1
    return "".join(out)


def read_numbers(text):
    return {m.group(1): int(m.group(2), 0) for m in NUMBER.finditer(text)}


def arguments(text, line_number, defines, numbers):
    values, pos = [], 0
    while pos < len(text):
        pieces = []
        while True:
            m = PIECE.match(text, pos)
            if not m or m.end() == pos:
                raise TemplateError("line %d: cannot read %r" % (line_number, text[pos:]))
            pieces.append(m.groups())
            pos = m.end()
            end = END.match(text, pos)
            if end:
                pos = end.end()
                break
        if len(pieces) == 1 and pieces[0][0] is None:
            number, word = pieces[0][1], pieces[0][2]
            values.append(int(number, 0) if number is not None else numbers.get(word, word))
            continue
        joined = []
        for string, number, word in pieces:
            if string is not None:
                try:
                    joined.append(c_string(string))
                except TemplateError as e:
                    raise TemplateError("line %d: %s" % (line_number, e))
            elif word in defines:
                joined.append(defines[word])
            else:
                raise TemplateError("line %d: %s is not a defined text" % (line_number, number or word))
        values.append("".join(joined))
    return values


def read_templates(text, defines, numbers):
    """Returns (menus, dialogs) as plain lists and dicts."""
    menus, dialogs, current = [], [], None
    for number, line in enumerate(text.splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("//"):
            continue
        m = CALL.match(line)
        if not m:
            raise TemplateError("line %d: not a template entry: %r" % (number, line))
        name, args = m.group(1), arguments(m.group(2), number, defines, numbers)
        for i in {"MENU_BEGIN": [0], "MENU_ITEM": [1], "DIALOG_BEGIN": [0], "DIALOG_CONTROL": [1]}.get(name, []):
            if i < len(args) and not isinstance(args[i], int):
                raise TemplateError("line %d: %s is not a known number" % (number, args[i]))
        inside = "menu" if current is not None and "items" in current else "dialog" if current is not None else None
        needs = {"MENU_ITEM": "menu", "MENU_SEPARATOR": "menu", "MENU_END": "menu",
                 "DIALOG_CONTROL": "dialog", "DIALOG_END": "dialog"}.get(name)
        if needs and needs != inside:
            raise TemplateError("line %d: %s outside a %s" % (number, name, needs))
        if name == "MENU_BEGIN":
            current = {"id": args[0], "caption": args[1], "items": []}
            menus.append(current)
        elif name == "MENU_ITEM":
            current["items"].append((args[0], args[1]))
        elif name == "MENU_SEPARATOR":
            current["items"].append(None)
        elif name == "DIALOG_BEGIN":
            keys = ("id", "caption", "x", "y", "width", "height", "style", "font", "points", "language")
            current = dict(zip(keys, args), controls=[])
            dialogs.append(current)
        elif name == "DIALOG_CONTROL":
            kind = args[0]
            if kind not in KINDS:
                raise TemplateError("line %d: unknown control kind %s" % (number, kind))
            current["controls"].append(dict(zip(("kind", "id", "caption", "x", "y", "width", "height"), args)))
        elif name in ("MENU_END", "DIALOG_END"):
            current = None
        else:
            raise TemplateError("line %d: unknown entry %s" % (number, name))
    return menus, dialogs


def rc_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '""').replace("\n", "\\n").replace("\t", "\\t") + '"'


def write_menu(menu):
    lines = ["LANGUAGE %s" % LANGUAGES[0], "%d MENU" % menu["id"], "BEGIN",
             "    POPUP %s" % rc_string(menu["caption"]), "    BEGIN"]
    for item in menu["items"]:
        if item is None:
            lines.append("        MENUITEM SEPARATOR")
        else:
            lines.append("        MENUITEM %s, %d" % (rc_string(item[0]), item[1]))
    lines += ["    END", "END", ""]
    return lines


def write_dialog(dialog):
    lines = ["LANGUAGE %s" % LANGUAGES[dialog["language"]],
             "%d DIALOGEX %d, %d, %d, %d" % (dialog["id"], dialog["x"], dialog["y"], dialog["width"], dialog["height"]),
             "STYLE 0x%08X" % dialog["style"],
             "CAPTION %s" % rc_string(dialog["caption"]),
             "FONT %d, %s" % (dialog["points"], rc_string(dialog["font"])),
             "BEGIN"]
    for c in dialog["controls"]:
        window_class, style = KINDS[c["kind"]]
        # A picture's text names its bitmap resource by number.
        text = c["caption"] if c["kind"] == "PICTURE" else rc_string(c["caption"])
        lines.append("    CONTROL %s, %d, %s, %s, %d, %d, %d, %d" % (
            text, c["id"], rc_string(window_class), style, c["x"], c["y"], c["width"], c["height"]))
    lines += ["END", ""]
    return lines


def generate(text, defines=None, numbers=None):
    menus, dialogs = read_templates(text, defines or {}, numbers or {})
    lines = ["// Generated by tools/gen_rc.py from support/templates.inc: edit that file instead.", ""]
    for menu in menus:
        lines += write_menu(menu)
    for dialog in dialogs:
        lines += write_dialog(dialog)
    return "\n".join(lines)


def main(argv):
    args, defines, numbers = argv[1:], {}, {}
    while len(args) > 2 and (args[0] == "-D" and "=" in args[1] or args[0] == "--ids"):
        if args[0] == "--ids":
            with open(args[1], encoding="utf-8") as f:
                numbers.update(read_numbers(f.read()))
        else:
            name, value = args[1].split("=", 1)
            defines[name] = value
        args = args[2:]
    if len(args) != 2:
        sys.stderr.write(__doc__)
        return 2
    with open(args[0], encoding="utf-8") as f:
        text = f.read()
    try:
        output = generate(text, defines, numbers)
    except TemplateError as e:
        sys.stderr.write("%s: %s\n" % (args[0], e))
        return 1
    with open(args[1], "w", encoding="utf-8", newline="\n") as f:
        f.write(output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
