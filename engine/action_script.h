// The behaviour script as text: 65 action rows of twelve columns and the 35
// About routines, as the loader is given it.
#pragma once

constexpr int SCRIPT_ACTION_COUNT = 65;
constexpr int SCRIPT_COLUMN_COUNT = 12;
constexpr int SCRIPT_DIALOG_ANIMATION_COUNT = 35;

enum ScriptColumn : int {
    COLUMN_IMAGES = 0,
    COLUMN_NEXT,
    COLUMN_DX,
    COLUMN_DY,
    COLUMN_X_BOUND,
    COLUMN_Y_BOUND,
    COLUMN_REACH_X,
    COLUMN_REACH_Y,
    COLUMN_SAME_RATIO,
    COLUMN_DISLIKES,
    COLUMN_DRAG_ACTION,
    COLUMN_RELEASE_ACTION,
};

// Held column by column: columns[c][i] is column c of action i + 1. Every
// cell is a text; an absent value is "".
struct ScriptText {
    const char* columns[SCRIPT_COLUMN_COUNT][SCRIPT_ACTION_COUNT];
    const char* dialog_animations[SCRIPT_DIALOG_ANIMATION_COUNT];
};

// The built-in cat's script (resources/behaviour.script, built in); its
// texts live as long as the program.
const ScriptText& builtin_script();

// The column's name as script authors know it ("images", "next", ...).
const char* script_column_name(int column);
