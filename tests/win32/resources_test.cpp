// The resources compiled into the program, read back as the system sees
// them: the menu and dialog templates of every language against what
// tools/gen_rc.py wrote from support/templates.inc and po/, the
// bitmaps as loaded by the system against our own decoder of the same files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/bmp.h"
#include "platform/platform.h"
#include "platform/win32/win32_host.h"

namespace {

// ---- the data, read straight from the template file

struct ExpectedItem {
    const char* caption;  // "" for a separator
    int command;
};
struct ExpectedMenu {
    int id = 0;
    const char* caption = "";
    std::vector<ExpectedItem> items;
};
struct ExpectedControl {
    std::string kind;
    int id;
    const char* caption;
    int x, y, width, height;
};
struct ExpectedDialog {
    int id;
    const char* caption;
    int x, y, width, height;
    uint32_t style;
    const char* font;
    int points;
    int language;
    std::vector<ExpectedControl> controls;
};

void read_templates(std::vector<ExpectedMenu>* menus, std::vector<ExpectedDialog>* dialogs)
{
#define MENU_BEGIN(id, caption) menus->push_back({id, caption, {}});
#define MENU_ITEM(caption, command) menus->back().items.push_back({caption, command});
#define MENU_SEPARATOR() menus->back().items.push_back({"", 0});
#define MENU_END()
#define DIALOG_BEGIN(id, caption, x, y, w, h, style, font, points, language) \
    dialogs->push_back({id, caption, x, y, w, h, style, font, points, language, {}});
#define DIALOG_CONTROL(kind, id, caption, x, y, w, h) \
    dialogs->back().controls.push_back({#kind, id, caption, x, y, w, h});
#define DIALOG_END()
#include "support/localized_templates.inc"
#undef MENU_BEGIN
#undef MENU_ITEM
#undef MENU_SEPARATOR
#undef MENU_END
#undef DIALOG_BEGIN
#undef DIALOG_CONTROL
#undef DIALOG_END
}

// What each kind must become: the window class and the whole style.
struct KindRule {
    const char* kind;
    WORD window_class;  // predefined class atom
    const wchar_t* class_name;
    DWORD style;
};
constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;
const KindRule KIND_RULES[] = {
    {"DEFPUSHBUTTON", 0x0080, L"Button", CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP},
    {"PUSHBUTTON", 0x0080, L"Button", CHILD | BS_PUSHBUTTON | WS_TABSTOP},
    {"AUTORADIOBUTTON", 0x0080, L"Button", CHILD | BS_AUTORADIOBUTTON},  // neither group nor tab stop
    {"LTEXT", 0x0082, L"Static", CHILD | SS_LEFT | WS_GROUP},
    {"CTEXT", 0x0082, L"Static", CHILD | SS_CENTER | WS_GROUP},
    {"CTEXT_DISABLED", 0x0082, L"Static", CHILD | SS_CENTER | WS_GROUP | WS_DISABLED},
    {"EDITTEXT", 0x0081, L"Edit", CHILD | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
    {"GROUPBOX", 0x0080, L"Button", CHILD | BS_GROUPBOX},
    {"PICTURE", 0x0082, L"Static", CHILD | SS_BITMAP},
};

const KindRule* rule_for(const std::string& kind)
{
    for (const KindRule& r : KIND_RULES)
        if (kind == r.kind)
            return &r;
    return nullptr;
}

std::wstring wide(const char* utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring text(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), n);
    text.resize(size_t(n - 1));
    return text;
}

// ---- reading the compiled resources

struct Reader {
    const BYTE* at;
    const BYTE* end;

    WORD word()
    {
        if (end - at < 2)
            throw std::runtime_error("resource ends early");
        WORD w;
        memcpy(&w, at, 2);
        at += 2;
        return w;
    }
    DWORD dword()
    {
        DWORD low = word();
        return low | DWORD(word()) << 16;
    }
    std::wstring text()
    {
        std::wstring s;
        for (WORD c = word(); c; c = word())
            s.push_back(wchar_t(c));
        return s;
    }
    // A name or a number: numbers come back as "#n".
    std::wstring name_or_number()
    {
        if (end - at >= 2 && at[0] == 0xFF && at[1] == 0xFF) {
            word();
            return L"#" + std::to_wstring(word());
        }
        return text();
    }
    void align(const BYTE* base)
    {
        while ((at - base) % 4)
            ++at;
    }
};

Reader resource(LPCSTR type, int id, WORD language)
{
    HRSRC found = FindResourceExA(nullptr, type, MAKEINTRESOURCEA(id), language);
    if (!found)
        throw std::runtime_error("resource missing");
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    return {data, data + SizeofResource(nullptr, found)};
}

WORD language_of(int flag)
{
    return flag == 1   ? MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)
           : flag == 2 ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
                       : MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
}

std::vector<uint8_t> file_bytes(const std::string& name)
{
    std::ifstream in(std::string(DORRABEE_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(Win32Resources, EachMenuIsTheTemplatesOnePopUpWithItsItemsInOrder)
{
    std::vector<ExpectedMenu> menus;
    std::vector<ExpectedDialog> dialogs;
    read_templates(&menus, &dialogs);
    ASSERT_GE(menus.size(), 2u) << "one a language";
    for (const ExpectedMenu& expected : menus) {
        SCOPED_TRACE(expected.id);
        Reader r = resource(RT_MENU, expected.id, language_of(0));
        EXPECT_EQ(r.word(), 0);                  // version
        r.at += r.word();                        // header extension
        EXPECT_EQ(r.word(), MF_POPUP | MF_END);  // the one pop-up item, and the last
        EXPECT_EQ(r.text(), wide(expected.caption));
        for (size_t i = 0; i < expected.items.size(); ++i) {
            SCOPED_TRACE(i);
            WORD flags = r.word();
            bool last = i + 1 == expected.items.size();
            EXPECT_EQ(flags, last ? MF_END : 0);
            EXPECT_EQ(r.word(), expected.items[i].command);
            EXPECT_EQ(r.text(), wide(expected.items[i].caption));
        }
        EXPECT_EQ(r.at, r.end);
    }
}

TEST(Win32Resources, DialogsAreTheTemplatesControlForControl)
{
    std::vector<ExpectedMenu> menus;
    std::vector<ExpectedDialog> dialogs;
    read_templates(&menus, &dialogs);
    ASSERT_EQ(dialogs.size(), 2 * menus.size()) << "two a language";

    for (const ExpectedDialog& d : dialogs) {
        SCOPED_TRACE(d.id);
        Reader r = resource(RT_DIALOG, d.id, language_of(d.language));
        const BYTE* base = r.at;
        EXPECT_EQ(r.word(), 1);  // extended template
        EXPECT_EQ(r.word(), 0xFFFF);
        r.dword();                 // help id
        EXPECT_EQ(r.dword(), 0u);  // no extended style
        EXPECT_EQ(r.dword(), d.style);
        WORD count = r.word();
        ASSERT_EQ(count, d.controls.size());
        EXPECT_EQ(short(r.word()), d.x);
        EXPECT_EQ(short(r.word()), d.y);
        EXPECT_EQ(short(r.word()), d.width);
        EXPECT_EQ(short(r.word()), d.height);
        EXPECT_EQ(r.name_or_number(), L"");  // no menu
        EXPECT_EQ(r.name_or_number(), L"");  // the dialog class
        EXPECT_EQ(r.text(), wide(d.caption));
        EXPECT_EQ(r.word(), d.points);
        r.word();  // weight
        r.word();  // italic, character set
        EXPECT_EQ(r.text(), wide(d.font));

        for (const ExpectedControl& c : d.controls) {
            SCOPED_TRACE(c.kind + " " + std::to_string(c.id));
            const KindRule* rule = rule_for(c.kind);
            ASSERT_NE(rule, nullptr);
            r.align(base);
            r.dword();                 // help id
            EXPECT_EQ(r.dword(), 0u);  // extended style
            EXPECT_EQ(r.dword(), rule->style);
            EXPECT_EQ(short(r.word()), c.x);
            EXPECT_EQ(short(r.word()), c.y);
            EXPECT_EQ(short(r.word()), c.width);
            EXPECT_EQ(short(r.word()), c.height);
            EXPECT_EQ(int32_t(r.dword()), c.id);
            std::wstring window_class = r.name_or_number();
            // Resource compilers store the predefined classes by number or by name.
            EXPECT_TRUE(window_class == L"#" + std::to_wstring(rule->window_class) ||
                        _wcsicmp(window_class.c_str(), rule->class_name) == 0)
                << window_class.size();
            std::wstring caption = c.kind == "PICTURE" ? L"#" + wide(c.caption) : wide(c.caption);
            EXPECT_EQ(r.name_or_number(), caption);
            r.at += r.word();  // creation data
        }
    }
}

TEST(Win32Resources, AboutDialogIsChineseAndOptionsNeutral)
{
    EXPECT_NE(FindResourceExA(nullptr, RT_DIALOG, MAKEINTRESOURCEA(RES_ABOUT_DIALOG),
                              MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)),
              nullptr);
    EXPECT_NE(FindResourceExA(nullptr, RT_DIALOG, MAKEINTRESOURCEA(RES_OPTIONS_DIALOG),
                              MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)),
              nullptr);
}

TEST(Win32Resources, BitmapsLoadAsOurDecoderReadsTheirFiles)
{
    const struct {
        int id;
        const char* file;
    } bitmaps[] = {{RES_SPRITES, "sprites.bmp"}, {RES_MASK, "mask.bmp"}, {RES_TITLE, "title.bmp"},
                   {RES_SCENE, "scene.bmp"},     {RES_TILE, "tile.bmp"}, {RES_PORTRAIT, "portrait.bmp"}};
    for (const auto& b : bitmaps) {
        SCOPED_TRACE(b.file);
        std::vector<uint8_t> bytes = file_bytes(b.file);
        Bitmap decoded, loaded;
        std::string error;
        ASSERT_TRUE(bmp_decode(bytes.data(), bytes.size(), &decoded, &error)) << error;
        ASSERT_TRUE(platform_load_bitmap(b.id, &loaded));
        EXPECT_EQ(loaded.width, decoded.width);
        EXPECT_EQ(loaded.height, decoded.height);
        EXPECT_TRUE(loaded.pixels == decoded.pixels);
        for (size_t i = 0, shown = 0; i < loaded.pixels.size() && i < decoded.pixels.size() && shown < 5; ++i)
            if (loaded.pixels[i] != decoded.pixels[i]) {
                ++shown;
                printf("%zu: %06x %06x\n", i, loaded.pixels[i], decoded.pixels[i]);
            }
        if (b.id == RES_MASK) {
            // The mask's bits and colour table are what the outlines read.
            EXPECT_EQ(loaded.bits_per_pixel, 1);
            EXPECT_EQ(loaded.palette, decoded.palette);
            EXPECT_TRUE(loaded.indices == decoded.indices);
        }
    }
    Bitmap none;
    EXPECT_FALSE(platform_load_bitmap(999, &none));
}

TEST(Win32Resources, CursorsIconAndPetMenuLoad)
{
    EXPECT_NE(platform_load_cursor(RES_CURSOR), nullptr);
    EXPECT_NE(platform_load_cursor(RES_DRAG_CURSOR), nullptr);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(RES_ICON)), nullptr);
    HMENU menu = reinterpret_cast<HMENU>(platform_load_pet_menu());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 6);
    EXPECT_EQ(GetMenuItemID(menu, 0), 40006u);
    EXPECT_EQ(GetMenuItemID(menu, 5), 40004u);
}

namespace {

std::vector<unsigned> dialog_messages;

intptr_t recording_proc(Window* dialog, unsigned message, uintptr_t, intptr_t)
{
    dialog_messages.push_back(message);
    if (message == MSG_INITDIALOG) {
        // The controls exist, and the dialog can be reached through the seam.
        platform_set_item_text(dialog, 1002, "25");
        platform_set_check(dialog, 1001, 1);
        return 1;
    }
    return 0;
}

}  // namespace

TEST(Win32Dialogs, OptionsDialogIsHandledByTheShellsProcedure)
{
    dialog_messages.clear();
    Window* dialog = platform_create_dialog(RES_OPTIONS_DIALOG, nullptr, recording_proc, nullptr);
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(dialog_messages.empty());
    EXPECT_EQ(std::count(dialog_messages.begin(), dialog_messages.end(), MSG_INITDIALOG), 1);

    char text[80];
    EXPECT_EQ(platform_get_item_text(dialog, 1002, text, sizeof text), 2);
    EXPECT_STREQ(text, "25");
    EXPECT_EQ(platform_get_item_text(dialog, 1003, text, sizeof text), 0);
    platform_set_item_text(dialog, 1007, "123456789");
    EXPECT_EQ(platform_get_item_text(dialog, 1007, text, 5), 4);  // at most size - 1
    EXPECT_STREQ(text, "1234");
    EXPECT_EQ(platform_get_check(dialog, 1001), 1);
    EXPECT_EQ(platform_get_check(dialog, 1000), 0);
    platform_set_check(dialog, 1001, 0);
    EXPECT_EQ(platform_get_check(dialog, 1001), 0);

    dialog_messages.clear();
    platform_destroy_window(dialog);
    EXPECT_NE(std::find(dialog_messages.begin(), dialog_messages.end(), MSG_DESTROY), dialog_messages.end());
}

namespace {

intptr_t quiet_proc(Window*, unsigned message, uintptr_t, intptr_t)
{
    return message == MSG_INITDIALOG;
}

std::wstring window_text(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// The visible box this thread shows, if any.
HWND shown_box()
{
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (!IsWindowVisible(window) || wcscmp(name, L"#32770") != 0)
                return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    return box;
}

std::wstring box_caption, box_text, box_button;

// Runs inside the box's own modal loop: reads the box, then presses its OK.
void CALLBACK read_and_close_box(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = shown_box();
    if (!box)
        return;
    KillTimer(nullptr, timer);
    box_caption = window_text(box);
    box_text = window_text(GetDlgItem(box, 0xFFFF));
    box_button = window_text(GetDlgItem(box, IDOK));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

}  // namespace

// What a user reads: the same texts on a Western code page as on a Chinese one.
TEST(Win32Texts, DialogsMenuAndBoxesShowTheTemplatesTexts)
{
    // The session promised a code page; a run on another would prove nothing.
    if (const char* code_page = getenv("DORRABEE_CODE_PAGE")) {
        EXPECT_EQ(GetACP(), UINT(atoi(code_page)));
    }
    std::vector<ExpectedMenu> menus;
    std::vector<ExpectedDialog> dialogs;
    read_templates(&menus, &dialogs);

    for (const ExpectedDialog& d : dialogs) {
        SCOPED_TRACE(d.id);
        HWND dialog = hwnd_of(platform_create_dialog(d.id, nullptr, quiet_proc, nullptr));
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(window_text(dialog), wide(d.caption));
        HWND control = GetWindow(dialog, GW_CHILD);
        for (const ExpectedControl& c : d.controls) {
            ASSERT_NE(control, nullptr);
            if (c.kind != "PICTURE") {
                EXPECT_EQ(window_text(control), wide(c.caption)) << c.kind << " " << c.id;
            }
            control = GetWindow(control, GW_HWNDNEXT);
        }
        DestroyWindow(dialog);
    }

    for (const ExpectedMenu& menu : menus) {
        HMENU pet_menu = reinterpret_cast<HMENU>(platform_load_pet_menu(menu.id));
        ASSERT_EQ(GetMenuItemCount(pet_menu), int(menu.items.size()));
        for (size_t i = 0; i < menu.items.size(); ++i) {
            wchar_t caption[64] = {};
            GetMenuStringW(pet_menu, UINT(i), caption, 64, MF_BYPOSITION);
            EXPECT_EQ(std::wstring(caption), wide(menu.items[i].caption)) << menu.id << " " << i;
        }
    }

    const char* message = dialogs[1].controls[1].caption;  // lines of Chinese
    for (const char* button : {"确定", "OK"}) {
        SetTimer(nullptr, 0, 50, read_and_close_box);
        platform_message_box(nullptr, message, BOX_WARNING, button);
        EXPECT_EQ(box_caption, L"Dorrabee");
        EXPECT_EQ(box_text, wide(message));
        EXPECT_EQ(box_button, wide(button));
    }
}

// The dialogs' font as the system maps it (with the fonts it links in)
// decides whether a language can be shown: the session maps "宋体" to a
// Chinese face; no font has a glyph for an unassigned character.
TEST(Win32Texts, FontsCoverWhatTheirFaceCanDraw)
{
    EXPECT_TRUE(platform_fonts_cover("宋体", "Dorrabee — 选项\n确定"));
    EXPECT_TRUE(platform_fonts_cover("MS Shell Dlg", "Dorrabee — Options\nOK"));
    EXPECT_FALSE(platform_fonts_cover("MS Shell Dlg", "Dorrabee \u0378"));
}

TEST(Win32Texts, FieldTextsOfAnyScriptAreReadAsWholeCharacters)
{
    Window* dialog = platform_create_dialog(RES_OPTIONS_DIALOG, nullptr, quiet_proc, nullptr);
    ASSERT_NE(dialog, nullptr);
    char text[80];
    platform_set_item_text(dialog, 1002, "Анна 桌面");
    EXPECT_EQ(platform_get_item_text(dialog, 1002, text, sizeof text), 15);
    EXPECT_STREQ(text, "Анна 桌面");
    EXPECT_EQ(platform_get_item_text(dialog, 1002, text, 6), 4);  // five read, two fit
    EXPECT_STREQ(text, "Ан");
    EXPECT_EQ(platform_get_item_text(dialog, 1002, text, 2), 1);  // never empty while it has text
    platform_destroy_window(dialog);
}
