#include "engine/script_file.h"

#include <cstring>

namespace {

std::vector<std::string> split(const std::string& line, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(separator, start);
        parts.push_back(line.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

}  // namespace

namespace {

// One action row from line `number`; false, with the message, for more cells than an action has.
bool read_action_row(const std::string& line, size_t number, ScriptFile& script,
                     std::vector<std::vector<std::string>>& rows, std::string& error)
{
    script.action_lines.push_back(int(number));
    rows.push_back(split(line, '\t'));
    if (rows.back().size() > SCRIPT_COLUMN_COUNT) {
        error = "line " + std::to_string(number) + ": action " + std::to_string(rows.size()) + " has " +
                std::to_string(rows.back().size()) + " cells; at most 12 are allowed";
        return false;
    }
    rows.back().resize(SCRIPT_COLUMN_COUNT);
    return true;
}

// Whether line `number` is read at all (not empty, no comment); a NUL in it
// is an error.
bool line_read(const std::string& line, size_t number, bool& bad, std::string& error)
{
    if (line.empty() || line[0] == '#')
        return false;
    bad = line.find('\0') != std::string::npos;
    if (bad)
        error = "line " + std::to_string(number) + ": holds a NUL byte";
    return true;
}

// The rows of a short script: action rows (they hold a TAB) up to the first
// row without one, then About routines; the rest made from the first action.
bool read_short_rows(const std::vector<std::string>& lines, ScriptFile& script,
                     std::vector<std::vector<std::string>>& rows, std::string& error)
{
    std::vector<std::vector<std::string>> routines;
    for (size_t number = 1; number <= lines.size(); ++number) {
        const std::string& line = lines[number - 1];
        bool bad = false;
        if (!line_read(line, number, bad, error))
            continue;
        if (bad)
            return false;
        const std::string where = "line " + std::to_string(number) + ": ";
        const bool action_row = line.find('\t') != std::string::npos;
        if (action_row && !routines.empty()) {
            error = where + "an action row (it holds a TAB) after the About routines";
            return false;
        }
        if (action_row && rows.size() == SCRIPT_ACTION_COUNT) {
            error = where + "more than 65 action rows";
            return false;
        }
        if (!action_row && routines.size() == SCRIPT_DIALOG_ANIMATION_COUNT) {
            error = where + "more than 35 About routines";
            return false;
        }
        if (!action_row) {
            routines.push_back({line});
            continue;
        }
        if (!read_action_row(line, number, script, rows, error))
            return false;
    }
    if (rows.empty()) {
        error = "no action rows: an action row holds at least its images and, after a TAB, its next actions";
        return false;
    }
    script.actions_written = int(rows.size());
    // Actions the pet never reaches, so that the table is whole.
    while (rows.size() < SCRIPT_ACTION_COUNT)
        rows.push_back(rows.front());
    // Without routines of its own, the About scene shows the first action's images.
    while (routines.size() < SCRIPT_DIALOG_ANIMATION_COUNT)
        routines.push_back({rows.front()[0]});
    rows.insert(rows.end(), routines.begin(), routines.end());
    return true;
}

}  // namespace

bool parse_script_file(const std::string& contents, ScriptFile& script, std::string& error, ScriptLength length)
{
    constexpr int rows_needed = SCRIPT_ACTION_COUNT + SCRIPT_DIALOG_ANIMATION_COUNT;
    std::vector<std::string> lines = split(contents, '\n');
    if (!lines.empty() && lines[0].compare(0, 3, "\xEF\xBB\xBF") == 0)
        lines[0].erase(0, 3);  // a byte-order mark some editors write

    std::vector<std::vector<std::string>> rows;
    script.action_lines.clear();
    script.actions_written = SCRIPT_ACTION_COUNT;
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    if (length == ScriptLength::any && !read_short_rows(lines, script, rows, error))
        return false;
    for (size_t number = 1; length == ScriptLength::whole && number <= lines.size(); ++number) {
        std::string& line = lines[number - 1];
        bool bad = false;
        if (!line_read(line, number, bad, error))
            continue;
        if (bad)
            return false;
        const std::string where = "line " + std::to_string(number) + ": ";
        const int row = static_cast<int>(rows.size());
        if (row == rows_needed) {
            error = where + "more than 65 action rows and 35 dialog animations";
            return false;
        }
        if (row < SCRIPT_ACTION_COUNT) {
            if (!read_action_row(line, number, script, rows, error))
                return false;
        } else {
            rows.push_back({line});
        }
    }
    if (rows.size() < rows_needed) {
        const int found = static_cast<int>(rows.size());
        error = "the file ends after " +
                (found <= SCRIPT_ACTION_COUNT
                     ? std::to_string(found) + " action rows"
                     : "65 action rows and " + std::to_string(found - SCRIPT_ACTION_COUNT) + " dialog animations") +
                "; 65 action rows and 35 dialog animations are needed";
        return false;
    }

    // Reserved in full: the texts must not move once the table points at them.
    script.cells.clear();
    script.cells.reserve(SCRIPT_ACTION_COUNT * SCRIPT_COLUMN_COUNT + SCRIPT_DIALOG_ANIMATION_COUNT);
    for (int i = 0; i < SCRIPT_ACTION_COUNT; ++i)
        for (int c = 0; c < SCRIPT_COLUMN_COUNT; ++c) {
            script.cells.push_back(rows[i][c]);
            script.text.columns[c][i] = script.cells.back().c_str();
        }
    for (int i = 0; i < SCRIPT_DIALOG_ANIMATION_COUNT; ++i) {
        script.cells.push_back(rows[SCRIPT_ACTION_COUNT + i][0]);
        script.text.dialog_animations[i] = script.cells.back().c_str();
    }
    return true;
}

void write_script_file(const ScriptText& script, std::FILE* out)
{
    std::fputs(
        "# Dorrabee behaviour script: 65 action rows, then 35 About routines.\n"
        "# Cells are separated by TAB; empty lines and lines beginning with # are skipped.\n"
        "#",
        out);
    for (int c = 0; c < SCRIPT_COLUMN_COUNT; ++c)
        std::fprintf(out, "%s%s", c == 0 ? " " : "\t", script_column_name(c));
    std::fputc('\n', out);
    for (int i = 0; i < SCRIPT_ACTION_COUNT; ++i)
        for (int c = 0; c < SCRIPT_COLUMN_COUNT; ++c)
            std::fprintf(out, "%s%c", script.columns[c][i], c + 1 < SCRIPT_COLUMN_COUNT ? '\t' : '\n');
    std::fputs("# About routines: one image list per line\n", out);
    for (int i = 0; i < SCRIPT_DIALOG_ANIMATION_COUNT; ++i)
        std::fprintf(out, "%s\n", script.dialog_animations[i]);
}
