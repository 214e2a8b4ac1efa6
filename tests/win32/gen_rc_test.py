#!/usr/bin/env python3
"""tools/gen_rc.py on small templates: what each entry becomes in the
resource script, and the mistakes it refuses. (The script generated from
the real templates is compiled and read back under Wine by
win32_resources_tests.)"""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import add_text  # noqa: E402
import gen_rc  # noqa: E402
import po  # noqa: E402

POT = ('msgid ""\nmsgstr "Language: en\\n"\n\n'
       'msgctxt "exit"\nmsgid "&Exit"\nmsgstr ""\n\n'
       '#. a comment\nmsgctxt "about"\nmsgid ""\n"Version {V}\\n"\n"by us"\nmsgstr ""\n')
ZH = ('msgid ""\nmsgstr ""\n"Language: zh_CN\\n"\n\n'
      'msgctxt "exit"\nmsgid "&Exit"\nmsgstr "退出(&E)"\n\n'
      'msgctxt "about"\nmsgid "Version {V}\\nby us"\nmsgstr "版本 {V}"\n')
LAYOUTS = ('MENU_BEGIN(105, T(exit))\nMENU_ITEM(T(exit), 40004)\nMENU_END()\n'
           'LAYOUT(zh_CN)\nDIALOG_BEGIN(104, T(about), 0, 0, 9, 9, 0, "宋体", 9, 1)\n'
           'DIALOG_CONTROL(CTEXT, -1, T(about), 0, 0, 1, 1)\nDIALOG_END()\n'
           'LAYOUT(en)\nDIALOG_BEGIN(104, T(about), 0, 0, 12, 9, 0, "MS Shell Dlg", 8, 2)\n'
           'DIALOG_CONTROL(CTEXT, -1, T(about), 0, 0, 4, 1)\nDIALOG_END()\n')


def tables(pot=POT, zh=ZH):
    return po.languages(("t.pot", po.read_catalog(pot, "t.pot")[1]), [("zh_CN.po", po.read_catalog(zh, "zh_CN.po"))])


class GenerateTest(unittest.TestCase):
    def test_menu_items_and_separators_keep_their_order(self):
        rc = gen_rc.generate('MENU_BEGIN(105, "文件(&F)")\nMENU_ITEM("继续(&C)", 40006)\n'
                             'MENU_SEPARATOR()\nMENU_ITEM("退出(&E)", 40004)\nMENU_END()\n')
        self.assertIn('105 MENU\nBEGIN\n    POPUP "文件(&F)"\n    BEGIN\n'
                      '        MENUITEM "继续(&C)", 40006\n        MENUITEM SEPARATOR\n'
                      '        MENUITEM "退出(&E)", 40004\n    END\nEND\n', rc)

    def test_dialog_header_language_and_controls(self):
        rc = gen_rc.generate(
            'DIALOG_BEGIN(104, "关于", 0, 0, 243, 207, 0x10C800C0, "宋体", 9, 1)\n'
            'DIALOG_CONTROL(AUTORADIOBUTTON, 1000, "a", 11, 18, 106, 9)\n'
            'DIALOG_CONTROL(PICTURE, -1, "114", 10, 66, 57, 66)\n'
            'DIALOG_END()\n')
        self.assertIn("LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED\n104 DIALOGEX 0, 0, 243, 207\n"
                      'STYLE 0x10C800C0\nCAPTION "关于"\nFONT 9, "宋体"\n', rc)
        self.assertIn('CONTROL "a", 1000, "Button", BS_AUTORADIOBUTTON, 11, 18, 106, 9', rc)
        self.assertIn('CONTROL 114, -1, "Static", SS_BITMAP, 10, 66, 57, 66', rc)

    def test_texts_are_escaped_for_the_resource_compiler(self):
        rc = gen_rc.generate('DIALOG_BEGIN(1, "x", 0, 0, 1, 1, 0, "f", 9, 0)\n'
                             'DIALOG_CONTROL(CTEXT, -1, "a \\"b\\"\\nc\\\\d", 0, 0, 1, 1)\nDIALOG_END()\n')
        self.assertIn('CONTROL "a ""b""\\nc\\\\d", -1', rc)

    def test_defined_names_join_the_texts_beside_them(self):
        rc = gen_rc.generate('DIALOG_BEGIN(1, "x", 0, 0, 1, 1, 0, "f", 9, 0)\n'
                             'DIALOG_CONTROL(CTEXT, -1, "v " VERSION "\\n" "end", 0, 0, 1, 1)\nDIALOG_END()\n',
                             {"VERSION": "2.5"})
        self.assertIn('CONTROL "v 2.5\\nend", -1', rc)

    def test_mistakes_are_refused_with_their_line(self):
        for text, line in (('MENU_BEGIN(1, "m")\nMENU_ITEM("a", 2)\nMENU_LINE()\n', 3),
                           ('DIALOG_BEGIN(1, "x", 0, 0, 1, 1, 0, "f", 9, 0)\nDIALOG_CONTROL(SLIDER, 5, "", 0, 0, 1, 1)\n', 2),
                           ('MENU_BEGIN(1, "m")\nMENU_ITEM("a" 2)\n', 2),
                           ('DIALOG_BEGIN(1, "x\\q", 0, 0, 1, 1, 0, "f", 9, 0)\n', 1),
                           ('MENU_ITEM("a", 2)\n', 1),
                           ('MENU_BEGIN(1, "m")\nMENU_ITEM("a" UNDEFINED, 2)\n', 2),
                           ('MENU_BEGIN(1, "m")\nDIALOG_CONTROL(LTEXT, -1, "", 0, 0, 1, 1)\n', 2)):
            with self.assertRaises(gen_rc.TemplateError) as caught:
                gen_rc.generate(text)
            self.assertIn("line %d:" % line, str(caught.exception))



class LanguagesTest(unittest.TestCase):
    def test_each_layout_is_a_language_with_its_texts_and_numbers_moved_by_its_place(self):
        rc, localized = gen_rc.generate_all(LAYOUTS, {"V": "1.0"}, {"RES_LANGUAGE_STEP": 1000}, tables())
        self.assertEqual([language for language, _, _ in localized], ["zh_CN", "en"])
        self.assertIn('105 MENU\nBEGIN\n    POPUP "退出(&E)"', rc)
        self.assertIn('1105 MENU\nBEGIN\n    POPUP "&Exit"', rc)
        self.assertIn('104 DIALOGEX 0, 0, 9, 9\nSTYLE 0x00000000\nCAPTION "版本 1.0"\nFONT 9, "宋体"', rc)
        self.assertIn("LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n1104 DIALOGEX 0, 0, 12, 9\n", rc)
        self.assertIn('CONTROL "Version 1.0\\nby us", -1, "Static"', rc)
        cxx = gen_rc.write_cxx_templates(localized)
        self.assertIn('DIALOG_BEGIN(1104, "Version 1.0\\nby us", 0, 0, 12, 9, 0x00000000, "MS Shell Dlg", 8, 2)', cxx)
        ids, table = gen_rc.write_cxx_texts(localized, tables(), {"V": "1.0"})
        self.assertIn("enum class TextId : int {\n    exit,\n    about,\n};", ids)
        self.assertIn("LANGUAGE_COUNT = 2;", ids)
        self.assertIn('{"zh_CN", {\n    "退出(&E)",\n    "版本 1.0",\n}},\n{"en", {', table)

    def test_layouts_that_disagree_or_lack_texts_are_refused(self):
        for layouts, says in (
                (LAYOUTS.replace("DIALOG_CONTROL(CTEXT, -1, T(about), 0, 0, 4, 1)",
                                 "DIALOG_CONTROL(LTEXT, -1, T(about), 0, 0, 4, 1)"), "differ"),
                (LAYOUTS.replace("LAYOUT(en)", "LAYOUT(de)"), "not both"),
                (LAYOUTS.replace("T(exit), 40004", "T(quit), 40004"), "has no text quit"),
                ('DIALOG_BEGIN(1, "x", 0, 0, 1, 1, 0, "f", 9, 0)\nDIALOG_END()\nLAYOUT(en)\n'
                 'DIALOG_BEGIN(1, "x", 0, 0, 1, 1, 0, "f", 9, 0)\nDIALOG_END()\n', "before the first")):
            with self.assertRaises(gen_rc.TemplateError) as caught:
                gen_rc.generate_all(layouts, {"V": "1"}, {}, tables())
            self.assertIn(says, str(caught.exception))
        with self.assertRaises(gen_rc.TemplateError) as caught:
            gen_rc.generate_all(LAYOUTS, {}, {}, tables())
        self.assertIn("{V}", str(caught.exception))

    def test_translations_must_be_whole_and_current(self):
        for zh, says in ((ZH.replace('msgstr "退出(&E)"', 'msgstr ""'), "exit has no translation"),
                         (ZH.replace('msgctxt "exit"', '#, fuzzy\nmsgctxt "exit"'), "exit has no translation"),
                         (ZH.replace('msgid "&Exit"', 'msgid "E&xit"'), "older English text"),
                         (ZH + '\nmsgctxt "extra"\nmsgid "x"\nmsgstr "y"\n', "extra is not among"),
                         (ZH + '\nmsgctxt "exit"\nmsgid "&Exit"\nmsgstr "y"\n', "named twice"),
                         (ZH.replace('msgctxt "exit"', 'msgctxt "Exit Now"'), "lower-case"),
                         (ZH.replace('"Language: zh_CN\\n"', '""'), "names no Language"),
                         (ZH.replace('msgstr "版本 {V}"', 'msgstr "\\q"'), "unsupported escape")):
            with self.assertRaises(po.PoError) as caught:
                tables(zh=zh)
            self.assertIn(says, str(caught.exception))

    def test_one_command_adds_a_text_to_every_language_or_to_none(self):
        with tempfile.TemporaryDirectory() as folder:
            for name, text in (("dorrabee.pot", POT), ("zh_CN.po", ZH)):
                with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
                    f.write(text)
            added = add_text.main(["add_text", "two_lines", 'a "b"\nc', "zh_CN=甲\n乙", "--po", folder,
                                   "--comment", "for translators"])
            self.assertEqual(added, 0)
            for refused in (["add_text", "two_lines", "x", "zh_CN=y"], ["add_text", "three", "x"],
                            ["add_text", "Bad Name", "x", "zh_CN=y"], ["add_text", "four", "x", "zh_CN=y", "de=z"]):
                self.assertEqual(add_text.main(refused + ["--po", folder]), 1, refused)
            with open(os.path.join(folder, "dorrabee.pot"), encoding="utf-8") as f:
                pot = f.read()
            with open(os.path.join(folder, "zh_CN.po"), encoding="utf-8") as f:
                zh = f.read()
        self.assertIn("#. for translators\n", zh)
        found = tables(pot, zh)
        self.assertEqual(found["en"]["two_lines"], 'a "b"\nc')
        self.assertEqual(found["zh_CN"]["two_lines"], "甲\n乙")
        self.assertNotIn("three", found["en"])

    def test_the_real_files_make_every_language(self):
        root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
        with open(os.path.join(root, "support", "ids.h"), encoding="utf-8") as f:
            numbers = gen_rc.read_numbers(f.read())
        with open(os.path.join(root, "support", "templates.inc"), encoding="utf-8") as f:
            text = f.read()
        names = sorted(os.listdir(os.path.join(root, "po")))
        found = gen_rc.read_tables([os.path.join(root, "po", name) for name in names])
        _, localized = gen_rc.generate_all(text, {"DORRABEE_VERSION": "1.0"}, numbers, found)
        self.assertEqual(localized[0][0], "zh_CN")
        self.assertEqual(sorted(language for language, _, _ in localized), sorted(found))


if __name__ == "__main__":
    unittest.main()
