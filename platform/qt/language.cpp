// The user's language as the environment names it, and whether the installed
// fonts can draw a language's texts (fontconfig, which Qt draws with, picks
// a font for each character by what it covers).
#include <QList>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <fontconfig/fontconfig.h>

#include "platform/platform.h"
#include "support/texts.h"

size_t platform_ui_languages(char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    const std::string languages =
        ui_languages_from_environment(getenv("LC_ALL"), getenv("LC_MESSAGES"), getenv("LANG"), getenv("LANGUAGE"));
    const size_t length = std::min(languages.size(), size - 1);
    memcpy(buffer, languages.data(), length);
    buffer[length] = '\0';
    return length;
}

bool platform_fonts_cover(const char*, const char* text)
{
    FcCharSet* wanted = FcCharSetCreate();
    for (const uint c : QString::fromUtf8(text).toUcs4())
        if (c > 0x20)  // blanks and line breaks are drawn as nothing
            FcCharSetAddChar(wanted, c);
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    FcObjectSet* family = FcObjectSetBuild(FC_FAMILY, nullptr);
    // Listing matches a font whose characters include all of the pattern's.
    FcFontSet* fonts = FcFontList(nullptr, pattern, family);
    const bool covered = fonts && fonts->nfont > 0;
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(family);
    FcPatternDestroy(pattern);
    FcCharSetDestroy(wanted);
    return covered;
}
