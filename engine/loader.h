// The loader's helpers, open to the tests: each is a rule an author meets
// when a value in the script is read differently from what was meant.
#pragma once

#include <cstdint>

// The format's limits: list texts and single list entries longer than these
// are refused with an error (the working copies hold exactly this much).
constexpr int SCRIPT_TEXT_LIMIT = 199;
constexpr int SCRIPT_ENTRY_LIMIT = 99;

// Turns a to z into A to Z in place.
void upper_case(char* text);

// A movement or reach value: digits or "-" and digits, magnitude below
// limit / 2; anything else is 0.
int32_t parse_offset(const char* text, int32_t limit);

// A drag or release action: digits or "r" and digits, at most 65; "r" makes
// it negative; anything else is 0.
int32_t parse_action_ref(const char* text);
