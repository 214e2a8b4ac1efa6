"""Reads the translators' files of po/: a .pot (the English texts) and a .po
per language, in the gettext format that translation tools read and write.

Each text is named by its msgctxt; its msgid is the English text and its
msgstr the language's (empty in the .pot). Only what Dorrabee's files use is
read: comments, msgctxt, msgid, msgstr and strings continued on the next
lines. A fuzzy entry counts as not translated, as gettext counts it.
"""
import re

ESCAPES = {"n": "\n", "t": "\t", "\\": "\\", '"': '"'}
STRING = re.compile(r'^"((?:[^"\\]|\\.)*)"\s*$')
KEYWORD = re.compile(r'^(msgctxt|msgid|msgstr)\s+(".*)$')


class PoError(Exception):
    pass


def unescape(body, where, escapes=ESCAPES):
    out, i = [], 0
    while i < len(body):
        if body[i] == "\\":
            if i + 1 >= len(body) or body[i + 1] not in escapes:
                raise PoError("%s: unsupported escape in %r" % (where, body))
            out.append(escapes[body[i + 1]])
            i += 2
        else:
            out.append(body[i])
            i += 1
    return "".join(out)


def entries(text, name):
    """Yields (line, fields, fuzzy) for each entry; fields maps keyword to text."""
    fields, fuzzy, last, start = {}, False, None, 0
    for number, raw in enumerate(text.splitlines() + [""], 1):
        line = raw.strip()
        where = "%s:%d" % (name, number)
        if not line:
            if fields:
                yield start, fields, fuzzy
            fields, fuzzy, last = {}, False, None
            continue
        if line.startswith("#"):
            if line.startswith("#,") and "fuzzy" in line:
                fuzzy = True
            continue
        m = KEYWORD.match(line)
        if m:
            last = m.group(1)
            if last in fields:
                raise PoError("%s: a second %s in one entry" % (where, last))
            if not fields:
                start = number
            s = STRING.match(m.group(2))
            if not s:
                raise PoError("%s: not a quoted string" % where)
            fields[last] = unescape(s.group(1), where)
            continue
        s = STRING.match(line)
        if s and last:
            fields[last] += unescape(s.group(1), where)
            continue
        raise PoError("%s: cannot read %r" % (where, raw))


def read_catalog(text, name="po"):
    """Returns (language, {name: (english, translation)}); the language comes
    from the header's "Language:" line."""
    language, texts = None, {}
    for line, fields, fuzzy in entries(text, name):
        where = "%s:%d" % (name, line)
        if "msgid" not in fields or "msgstr" not in fields:
            raise PoError("%s: an entry needs msgid and msgstr" % where)
        if fields["msgid"] == "" and "msgctxt" not in fields:
            m = re.search(r"^Language:\s*(\S+)\s*$", fields["msgstr"], re.M)
            language = m.group(1) if m else None
            continue
        key = fields.get("msgctxt")
        if not key or not re.match(r"^[a-z][a-z0-9_]*$", key):
            raise PoError("%s: each text is named by a msgctxt of lower-case letters, digits and _" % where)
        if key in texts:
            raise PoError("%s: %s is named twice" % (where, key))
        texts[key] = (fields["msgid"], "" if fuzzy else fields["msgstr"])
    if not language:
        raise PoError("%s: the header names no Language" % name)
    return language, texts


def languages(source, translations):
    """The English texts (from the .pot) and each translation, checked
    against them: {language: {name: text}}, English first."""
    english_name, english = source
    tables = {"en": {key: msgid for key, (msgid, _) in english.items()}}
    for name, (language, texts) in translations:
        if language in tables:
            raise PoError("%s: a second file for %s" % (name, language))
        table = {}
        for key, msgid in tables["en"].items():
            if key not in texts or not texts[key][1]:
                raise PoError("%s: %s has no translation" % (name, key))
            if texts[key][0] != msgid:
                raise PoError("%s: %s translates an older English text (%s names it %r)" %
                              (name, key, english_name, msgid))
            table[key] = texts[key][1]
        extra = sorted(set(texts) - set(english))
        if extra:
            raise PoError("%s: %s is not among the texts of %s" % (name, extra[0], english_name))
        tables[language] = table
    return tables
