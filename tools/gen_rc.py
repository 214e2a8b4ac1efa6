#!/usr/bin/env python3
"""Writes the Windows resource script's menu and dialogs from support/templates.inc.

The template file is the one source of the menu and both dialogs; the Qt
program reads it through C macros, the Windows program through this script.

Usage: gen_rc.py TEMPLATES_INC OUTPUT_RC
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
TOKEN = re.compile(r'\s*(?:"((?:[^"\\]|\\.)*)"|(-?0[xX][0-9a-fA-F]+|-?\d+)|([A-Z_]+))\s*(?:,|$)')
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


def arguments(text, line_number):
    values, pos = [], 0
    while pos < len(text):
        m = TOKEN.match(text, pos)
        if not m or m.end() == pos:
            raise TemplateError("line %d: cannot read %r" % (line_number, text[pos:]))
        string, number, word = m.groups()
        if string is not None:
            try:
                values.append(c_string(string))
            except TemplateError as e:
                raise TemplateError("line %d: %s" % (line_number, e))
        elif number is not None:
            values.append(int(number, 0))
        else:
            values.append(word)
        pos = m.end()
    return values


def read_templates(text):
    """Returns (menus, dialogs) as plain lists and dicts."""
    menus, dialogs, current = [], [], None
    for number, line in enumerate(text.splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("//"):
            continue
        m = CALL.match(line)
        if not m:
            raise TemplateError("line %d: not a template entry: %r" % (number, line))
        name, args = m.group(1), arguments(m.group(2), number)
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


def generate(text):
    menus, dialogs = read_templates(text)
    lines = ["// Generated by tools/gen_rc.py from support/templates.inc: edit that file instead.", ""]
    for menu in menus:
        lines += write_menu(menu)
    for dialog in dialogs:
        lines += write_dialog(dialog)
    return "\n".join(lines)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        text = f.read()
    try:
        output = generate(text)
    except TemplateError as e:
        sys.stderr.write("%s: %s\n" % (argv[1], e))
        return 1
    with open(argv[2], "w", encoding="utf-8", newline="\n") as f:
        f.write(output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
