#!/usr/bin/env python3
"""Writes the menu and dialogs of every language from support/templates.inc
and the texts of po/: the Windows resource script's MENU and DIALOGEX
sections, and the same records and text tables as C++ for the other
platforms and the shell.

support/templates.inc and po/ are the one source of the menu, both dialogs
and every text the program shows; both programs are built from what this
script writes.

Usage: gen_rc.py [-D NAME=TEXT]... [--ids IDS_H] [--po FILE]... [--cxx DIR] TEMPLATES_INC OUTPUT_RC

-D gives a name the templates use inside a text (the program's version, say)
the value the C compiler sees for it; a translated text names it as {NAME}.
--ids reads the numbers the templates name ("constexpr int NAME = NUMBER;"
lines, as support/ids.h has them). --po reads the English texts (a .pot)
and each language's (a .po). --cxx writes into DIR the C++ forms:
localized_templates.inc (the templates' macros, one menu and one set of
dialogs per language, with the texts in them), text_ids.h (the names of the
texts) and texts_table.inc (every text in every language). Beside OUTPUT_RC it writes
version_texts.rc and version_languages.rc, the version resource's texts and
languages, for the languages Windows has a number for (WINDOWS_LANGUAGES).
"""
import os
import re
import sys

import po

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
    2: "LANG_ENGLISH, SUBLANG_ENGLISH_US",
}

CALL = re.compile(r"^\s*([A-Z_]+)\((.*)\)\s*$")
# One argument: a number, a word, or strings and defined names side by side,
# joined as the C preprocessor and compiler join them.
PIECE = re.compile(r'\s*(?:"((?:[^"\\]|\\.)*)"|(-?0[xX][0-9a-fA-F]+|-?\d+)|T\((\w+)\)|([A-Z_]+))')
LAYOUT = re.compile(r"^\s*LAYOUT\((\w+)\)\s*$")
END = re.compile(r"\s*(?:,|$)")
NUMBER = re.compile(r"^constexpr int ([A-Z_]+) = (-?\d+);", re.M)
ESCAPES = {"n": "\n", "t": "\t", "\\": "\\", '"': '"', "'": "'"}


# Windows' number for each language of po/, for the version resource.
WINDOWS_LANGUAGES = {"en": 0x0409, "zh_CN": 0x0804}


class TemplateError(Exception):
    pass


class Text(str):
    """A caption named by its text in po/ (T(name)), not yet translated."""


def c_string(body):
    try:
        return po.unescape(body, "text", ESCAPES)
    except po.PoError:
        raise TemplateError("unsupported escape in %r" % body)


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
        if len(pieces) == 1 and pieces[0][2] is not None:
            values.append(Text(pieces[0][2]))
            continue
        if len(pieces) == 1 and pieces[0][0] is None:
            number, word = pieces[0][1], pieces[0][3]
            values.append(int(number, 0) if number is not None else numbers.get(word, word))
            continue
        joined = []
        for string, number, text_name, word in pieces:
            if text_name is not None:
                raise TemplateError("line %d: T(%s) stands alone, joined to nothing" % (line_number, text_name))
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
    menus, dialogs, current, layout = [], [], None, None
    for number, line in enumerate(text.splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("//"):
            continue
        m = LAYOUT.match(line)
        if m:
            if current is not None:
                raise TemplateError("line %d: LAYOUT inside a menu or dialog" % number)
            layout = m.group(1)
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
            current = dict(zip(keys, args), controls=[], layout=layout, line=number)
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


def translate(caption, table, language, defines):
    if not isinstance(caption, Text):
        return caption
    if table is None or caption not in table:
        raise TemplateError("%s has no text %s" % (language or "the templates", caption))

    def define(m):
        if m.group(1) not in defines:
            raise TemplateError("%s: %s names {%s}, which is not defined" % (language, caption, m.group(1)))
        return defines[m.group(1)]
    return re.sub(r"\{([A-Z_][A-Z0-9_]*)\}", define, table[caption])


def shape(dialog):
    return [(c["kind"], c["id"]) for c in dialog["controls"]]


def localize(menus, dialogs, tables, defines, step):
    """[(language, menus, dialogs)] with every caption in that language and
    the n-th language's resource numbers moved by n * step; languages in
    the order of their layouts. Without layouts: the templates as they are."""
    layouts = []
    for dialog in dialogs:
        if dialog["layout"] not in layouts:
            layouts.append(dialog["layout"])
    if layouts == [None] or not layouts:
        layouts = [None]
    elif None in layouts:
        raise TemplateError("line %d: a dialog before the first LAYOUT" % dialogs[0]["line"])
    if tables is not None and layouts != [None]:
        missing = sorted(set(tables) - set(layouts)) + sorted(set(layouts) - set(tables))
        if missing:
            raise TemplateError("%s has texts or a layout, not both" % missing[0])
    first = [d for d in dialogs if d["layout"] == layouts[0]]
    result = []
    for n, language in enumerate(layouts):
        table = tables.get(language) if tables is not None and language is not None else None
        own = [d for d in dialogs if d["layout"] == language]
        if [(d["id"], shape(d)) for d in own] != [(d["id"], shape(d)) for d in first]:
            raise TemplateError("the %s layout's dialogs differ from the %s layout's in their controls" %
                                (language, layouts[0]))
        moved = n * step
        out_menus = [{"id": m["id"] + moved, "caption": translate(m["caption"], table, language, defines),
                      "items": [None if i is None else (translate(i[0], table, language, defines), i[1])
                                for i in m["items"]]} for m in menus]
        out_dialogs = []
        for d in own:
            copy = dict(d, id=d["id"] + moved, caption=translate(d["caption"], table, language, defines))
            copy["controls"] = [dict(c, caption=translate(c["caption"], table, language, defines))
                                for c in d["controls"]]
            out_dialogs.append(copy)
        result.append((language, out_menus, out_dialogs))
    return result


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


def generate(text, defines=None, numbers=None, tables=None):
    return generate_all(text, defines, numbers, tables)[0]


def generate_all(text, defines=None, numbers=None, tables=None):
    """The resource script and the localized languages it was written from."""
    defines, numbers = defines or {}, numbers or {}
    menus, dialogs = read_templates(text, defines, numbers)
    localized = localize(menus, dialogs, tables, defines, numbers.get("RES_LANGUAGE_STEP", 1000))
    lines = ["// Generated by tools/gen_rc.py from support/templates.inc and po/: edit those instead.", ""]
    for _, language_menus, language_dialogs in localized:
        for menu in language_menus:
            lines += write_menu(menu)
        for dialog in language_dialogs:
            lines += write_dialog(dialog)
    return "\n".join(lines), localized


def c_literal(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n").replace("\t", "\\t") + '"'


def write_cxx_templates(localized):
    """The templates' own macros, every number and text resolved."""
    lines = ["// Generated by tools/gen_rc.py from support/templates.inc and po/: edit those instead."]
    for language, menus, dialogs in localized:
        lines.append("// %s" % (language or "the templates"))
        for m in menus:
            lines.append("MENU_BEGIN(%d, %s)" % (m["id"], c_literal(m["caption"])))
            for item in m["items"]:
                lines.append("MENU_SEPARATOR()" if item is None else
                             "MENU_ITEM(%s, %d)" % (c_literal(item[0]), item[1]))
            lines.append("MENU_END()")
        for d in dialogs:
            lines.append("DIALOG_BEGIN(%d, %s, %d, %d, %d, %d, 0x%08X, %s, %d, %d)" % (
                d["id"], c_literal(d["caption"]), d["x"], d["y"], d["width"], d["height"], d["style"],
                c_literal(d["font"]), d["points"], d["language"]))
            for c in d["controls"]:
                lines.append("DIALOG_CONTROL(%s, %d, %s, %d, %d, %d, %d)" % (
                    c["kind"], c["id"], c_literal(c["caption"]), c["x"], c["y"], c["width"], c["height"]))
            lines.append("DIALOG_END()")
    return "\n".join(lines) + "\n"


def write_cxx_texts(localized, tables, defines):
    """text_ids.h and texts_table.inc: the texts' names in the .pot's order,
    and every language's texts, the languages in the order of their layouts."""
    names = list(tables["en"])
    ids = ["// Generated by tools/gen_rc.py from po/dorrabee.pot: edit that file instead.", "#pragma once", "",
           "// The texts of po/, by the name (msgctxt) translators see.",
           "enum class TextId : int {"] + ["    %s," % name for name in names] + ["};",
           "constexpr int TEXT_COUNT = %d;" % len(names),
           "constexpr int LANGUAGE_COUNT = %d;" % len(localized), ""]
    table = ["// Generated by tools/gen_rc.py from po/: edit those files instead.",
             "// Each language's code, then its texts in TextId order."]
    for language, _, _ in localized:
        table.append("{%s, {" % c_literal(language))
        for name in names:
            table.append("    %s," % c_literal(translate(Text(name), tables[language], language, defines)))
        table.append("}},")
    return "\n".join(ids), "\n".join(table) + "\n"


def write_version_texts(localized, tables, defines):
    """The version resource's StringFileInfo blocks, one a language, and its
    VarFileInfo Translation line."""
    blocks, pairs = [], []
    for language, _, _ in localized:
        number = WINDOWS_LANGUAGES.get(language)
        if number is None:
            continue
        texts = tables[language]
        values = [("CompanyName", texts["file_company"]), ("FileDescription", texts["file_description"]),
                  ("FileVersion", defines.get("DORRABEE_VERSION", "")), ("InternalName", "dorrabee"),
                  ("LegalCopyright", "(C) 2026 " + texts["file_company"]), ("OriginalFilename", "dorrabee.exe"),
                  ("ProductName", "Dorrabee"), ("ProductVersion", defines.get("DORRABEE_VERSION", ""))]
        blocks += ['        BLOCK "%04X04B0"' % number, "        BEGIN"]
        blocks += ["            VALUE %s, %s" % (rc_string(k), rc_string(v)) for k, v in values]
        blocks += ["        END"]
        pairs.append("0x%04X, 1200" % number)
    header = "// Generated by tools/gen_rc.py from po/: edit those files instead."
    return "\n".join([header] + blocks) + "\n", "%s\nVALUE \"Translation\", %s\n" % (header, ", ".join(pairs))


def read_tables(paths):
    source, translations = None, []
    for path in paths:
        with open(path, encoding="utf-8") as f:
            catalog = po.read_catalog(f.read(), path)
        if path.endswith(".pot"):
            source = (path, catalog[1])
        else:
            translations.append((path, catalog))
    if source is None:
        raise po.PoError("no .pot among the --po files: the English texts are missing")
    return po.languages(source, translations)


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def main(argv):
    args, defines, numbers, po_paths, cxx_dir = argv[1:], {}, {}, [], None
    while len(args) > 2 and (args[0] == "-D" and "=" in args[1] or args[0] in ("--ids", "--po", "--cxx")):
        if args[0] == "--ids":
            with open(args[1], encoding="utf-8") as f:
                numbers.update(read_numbers(f.read()))
        elif args[0] == "--po":
            po_paths.append(args[1])
        elif args[0] == "--cxx":
            cxx_dir = args[1]
        else:
            name, value = args[1].split("=", 1)
            defines[name] = value
        args = args[2:]
    if len(args) != 2 or (cxx_dir and not po_paths):
        sys.stderr.write(__doc__)
        return 2
    with open(args[0], encoding="utf-8") as f:
        text = f.read()
    try:
        tables = read_tables(po_paths) if po_paths else None
        output, localized = generate_all(text, defines, numbers, tables)
        if cxx_dir:
            text_ids, texts_table = write_cxx_texts(localized, tables, defines)
            version_texts, version_languages = write_version_texts(localized, tables, defines)
    except (TemplateError, po.PoError) as e:
        sys.stderr.write("%s: %s\n" % (args[0], e))
        return 1
    if os.path.dirname(args[1]):
        os.makedirs(os.path.dirname(args[1]), exist_ok=True)
    write(args[1], output)
    if cxx_dir:
        os.makedirs(cxx_dir, exist_ok=True)
        write(os.path.join(cxx_dir, "localized_templates.inc"), write_cxx_templates(localized))
        write(os.path.join(cxx_dir, "text_ids.h"), text_ids + "\n")
        write(os.path.join(cxx_dir, "texts_table.inc"), texts_table)
        folder = os.path.dirname(args[1])
        write(os.path.join(folder, "version_texts.rc"), version_texts)
        write(os.path.join(folder, "version_languages.rc"), version_languages)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
