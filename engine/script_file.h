// The script as a text file: one line per action row, its twelve cells
// separated by TAB, then one line per About routine. Empty lines and lines
// beginning with "#" are skipped.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "engine/action_script.h"

struct ScriptFile {
    std::vector<std::string> cells;  // owns the texts `text` points at
    ScriptText text;
    std::vector<int> action_lines;  // the file's line (from 1) of each action row
    int actions_written = 0;        // the rest are copies of the first, never reached
};

// A script as the simulator reads it (all 65 actions and 35 About routines),
// or as a pet may have it: 1 to 65 action rows, then up to 35 routines.
enum class ScriptLength { whole, any };

// Fills `script` from the file's contents; on failure returns false with
// `error` naming the line at fault.
bool parse_script_file(const std::string& contents, ScriptFile& script, std::string& error,
                       ScriptLength length = ScriptLength::whole);

void write_script_file(const ScriptText& script, std::FILE* out);
