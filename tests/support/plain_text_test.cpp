#include "support/plain_text.h"

#include <gtest/gtest.h>

TEST(PlainText, ControlsAreShownNotObeyed)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain \xE7\x8C\xAB", "plain \xE7\x8C\xAB"},
        {"\x1B]0;owned\x07title", "\\x1B]0;owned\\x07title"},
        {"two\nlines\r", "two\nlines\\x0D"},
        {"del\x7F", "del\\x7F"},
        {"csi \xC2\x9B"
         "31m",
         "csi \\u009B31m"},
        {"lone \x9B"
         "31m",
         "lone \\x9B31m"},
        {std::string("nul\0end", 7), "nul\\x00end"},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(escape_controls(text), shown) << shown;
    EXPECT_EQ(escape_controls("a\nb", false), "a\\x0Ab");
}

TEST(PlainText, NamesStayOneLineInTheirOwnDirection)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Domino", "Domino"},
        {"\xE2\x80\xAE"
         "tac",
         "tac"},  // right-to-left override
        {"a\xE2\x81\xA6"
         "b\xE2\x81\xA9",
         "ab"},  // isolate and its end
        {"\xE2\x80\x8F"
         "x\xD8\x9C",
         "x"},                                                     // right-to-left and Arabic letter marks
        {"one\xE2\x80\xA8two\xE2\x80\xA9three", "one two three"},  // line and paragraph separators
        {"next\xC2\x85line", "next line"},
        {"\xE2\x80\x94 dash \xE2\x80\x9C", "\xE2\x80\x94 dash \xE2\x80\x9C"},  // neighbours that stay
    };
    for (const auto& [name, shown] : cases)
        EXPECT_EQ(one_line_name(name), shown) << shown;
}
