// The generated tables and the choice among them.
#include "support/texts.h"

#include <cstring>

#include "support/ids.h"

namespace {

struct LanguageTexts {
    const char* code;
    const char* texts[TEXT_COUNT];
};

constexpr LanguageTexts LANGUAGES[LANGUAGE_COUNT] = {
#include "support/texts_table.inc"
};

bool in_range(int32_t language)
{
    return language >= 0 && language < LANGUAGE_COUNT;
}

// The locale name's language part: what comes before '_', '-', '.' or '@'.
size_t language_part(const char* locale)
{
    return std::strcspn(locale, "_-.@");
}

bool same_letters(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] - 'A' + 'a') : a[i];
        if (x != b[i])
            return false;
    }
    return true;
}

int32_t english()
{
    int32_t found = language_named("en");
    return found >= 0 ? found : LANGUAGE_CHINESE;
}

}  // namespace

const char* text_of(int32_t language, TextId id)
{
    const int index = static_cast<int>(id);
    if (index < 0 || index >= TEXT_COUNT)
        return "";
    return LANGUAGES[in_range(language) ? language : LANGUAGE_CHINESE].texts[index];
}

const char* language_code(int32_t language)
{
    return LANGUAGES[in_range(language) ? language : LANGUAGE_CHINESE].code;
}

int32_t language_named(const char* locale)
{
    if (!locale)
        return -1;
    const size_t length = language_part(locale);
    if (length == 0)
        return -1;
    for (int32_t language = 0; language < LANGUAGE_COUNT; ++language) {
        const char* code = LANGUAGES[language].code;
        if (language_part(code) == length && same_letters(locale, code, length))
            return language;
    }
    return -1;
}

int resource_in_language(int resource_id, int32_t language)
{
    return resource_id + (in_range(language) ? language : LANGUAGE_CHINESE) * RES_LANGUAGE_STEP;
}

int32_t choose_language(const char* setting, const char* system_languages)
{
    const int32_t set = language_named(setting);
    if (set >= 0)
        return set;
    // Each entry of the list in turn, as gettext walks LANGUAGE.
    char entry[64];
    for (const char* at = system_languages ? system_languages : ""; *at;) {
        const size_t length = std::strcspn(at, ":");
        if (length > 0 && length < sizeof entry) {
            std::memcpy(entry, at, length);
            entry[length] = '\0';
            const int32_t found = language_named(entry);
            if (found >= 0)
                return found;
        }
        at += length;
        if (*at == ':')
            ++at;
    }
    return english();
}

std::string ui_languages_from_environment(const char* lc_all, const char* lc_messages, const char* lang,
                                          const char* language)
{
    const char* locale = "";
    for (const char* variable : {lc_all, lc_messages, lang}) {
        if (variable && *variable) {
            locale = variable;
            break;
        }
    }
    const size_t base = std::strcspn(locale, ".@");
    if (!*locale || (base == 1 && locale[0] == 'C') || std::strncmp(locale, "POSIX", base > 5 ? base : 5) == 0)
        return "C";
    if (!language || !*language)
        return locale;
    return std::string(language) + ":" + locale;
}
