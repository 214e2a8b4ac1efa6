// The built-in cat's behaviour: resources/behaviour.script, built into the
// program as text and read by the same parser as any pet's script.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/script_file.h"

extern const unsigned char builtin_script_text[];
extern const size_t builtin_script_size;

const ScriptText& builtin_script()
{
    // Parsed once and never changed: every pet on the built-in script points
    // at these texts for as long as it lives.
    static const ScriptFile* const parsed = [] {
        auto* file = new ScriptFile;
        std::string error;
        const std::string text(reinterpret_cast<const char*>(builtin_script_text), builtin_script_size);
        // The build's own file, which the tests keep parsing: a failure here
        // is a broken build, not something a user could cause.
        if (!parse_script_file(text, *file, error)) {
            std::fprintf(stderr, "built-in behaviour script: %s\n", error.c_str());
            std::abort();
        }
        return file;
    }();
    return parsed->text;
}

const char* script_column_name(int column)
{
    static const char* const names[SCRIPT_COLUMN_COUNT] = {
        "images",  "next",    "dx",         "dy",       "x_bound",     "y_bound",
        "reach_x", "reach_y", "same_ratio", "dislikes", "drag_action", "release_action",
    };
    return column >= 0 && column < SCRIPT_COLUMN_COUNT ? names[column] : "?";
}
