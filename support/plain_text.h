// Text from a file we did not write, made safe to show: on a terminal its
// control characters cannot act, and in a menu a name stays one line that
// reads in its own direction only.
#pragma once

#include <string>
#include <string_view>

// Every C0 control (line feeds too, unless `keep_line_feeds`), DEL and every
// C1 control (U+0080 to U+009F) as a visible escape: "\x1B", "\u009B".
std::string escape_controls(std::string_view text, bool keep_line_feeds = true);

// A name for a menu or a message: the characters that set or override the
// direction of the text after them are dropped, and line and paragraph
// separators become blanks.
std::string one_line_name(std::string_view name);
