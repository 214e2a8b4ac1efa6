#!/usr/bin/env python3
"""tools/gen_rc.py on small templates: what each entry becomes in the
resource script, and the mistakes it refuses. (The script generated from
the real templates is compiled and read back under Wine by
win32_resources_tests.)"""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import gen_rc  # noqa: E402


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


if __name__ == "__main__":
    unittest.main()
