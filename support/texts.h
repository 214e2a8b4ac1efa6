// What the program shows a user, in each of its languages: the tables the
// build writes from po/ (tools/gen_rc.py), looked up by a language chosen
// once at start-up and passed as a value.
#pragma once

#include <cstdint>
#include <string>

#include "support/text_ids.h"  // generated: TextId, TEXT_COUNT, LANGUAGE_COUNT

// A language is its place in the tables; the first, 0, is Chinese, the
// program's own language, whose menu and dialogs keep their resource numbers.
constexpr int32_t LANGUAGE_CHINESE = 0;

// The text in that language; a language out of range reads as Chinese.
const char* text_of(int32_t language, TextId id);
// As po/ names the language: "zh_CN", "en".
const char* language_code(int32_t language);
// The language a locale name is written in ("zh", "zh_CN.UTF-8", "en-GB",
// "de_DE@euro"): the one whose code has the same first part; -1 for none.
int32_t language_named(const char* locale);
// The language's copy of the menu or a dialog (support/ids.h).
int resource_in_language(int resource_id, int32_t language);

// The language to show: the setting's (a locale name: "zh", "en"), else the
// first of the system's languages (most wanted first, separated by ':') that
// has texts, else English.
int32_t choose_language(const char* setting, const char* system_languages);

// The user's interface languages on Linux, read from the environment as Qt
// reads them (each argument may be null): the locale is LC_ALL, else
// LC_MESSAGES, else LANG; where it is unset, "C" or "POSIX" that is all
// ("C"), otherwise the entries of LANGUAGE come first, then the locale.
std::string ui_languages_from_environment(const char* lc_all, const char* lc_messages, const char* lang,
                                          const char* language);
