// The user's interface language, and whether the dialogs' font can draw a
// language's texts.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win32_host.h"

// As "zh_CN": the language's and the country's ISO names.
size_t platform_ui_languages(char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    buffer[0] = '\0';
    const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    wchar_t language[16] = L"", country[16] = L"";
    if (!GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, language, 16))
        return 0;
    std::wstring name = language;
    if (GetLocaleInfoW(locale, LOCALE_SISO3166CTRYNAME, country, 16))
        name += L"_" + std::wstring(country);
    return utf8_from_utf16(name.c_str(), name.size(), buffer, size, Fit::whole);
}

// The font the dialogs ask for, as the system maps it: where a character
// has no glyph in it the dialogs would show a box.
bool platform_fonts_cover(const char* font, const char* text)
{
    std::vector<wchar_t> wide(strlen(text) + 1);
    const size_t length = utf16_from_utf8(text, wide.data(), wide.size(), Fit::whole);
    LOGFONTW face = {};
    face.lfHeight = -12;
    face.lfCharSet = DEFAULT_CHARSET;
    utf16_from_utf8(font, face.lfFaceName, LF_FACESIZE, Fit::whole);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT made = CreateFontIndirectW(&face);
    if (!dc || !made) {
        if (made)
            DeleteObject(made);
        if (dc)
            DeleteDC(dc);
        return true;  // nothing to tell by: keep the language
    }
    HGDIOBJ previous = SelectObject(dc, made);
    std::vector<WORD> glyphs(length + 1);
    bool covered =
        GetGlyphIndicesW(dc, wide.data(), int(length), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) == DWORD(length);
    for (size_t i = 0; covered && i < length; ++i)
        covered = wide[i] <= 0x20 || glyphs[i] != 0xFFFF;
    SelectObject(dc, previous);
    DeleteObject(made);
    DeleteDC(dc);
    return covered;
}
