// The numbers the resources, the menu and the dialogs are known by: the
// templates (support/templates.inc, read by tools/gen_rc.py too), the shell
// and the platforms all take them from here.
#pragma once

// Resources.
constexpr int RES_ICON = 101;
constexpr int RES_SPRITES = 103;
constexpr int RES_ABOUT_DIALOG = 104;
constexpr int RES_MENU = 105;
constexpr int RES_MASK = 107;
constexpr int RES_CURSOR = 108;
constexpr int RES_DRAG_CURSOR = 109;
constexpr int RES_TITLE = 110;
constexpr int RES_SCENE = 111;
constexpr int RES_TILE = 112;
constexpr int RES_OPTIONS_DIALOG = 113;
constexpr int RES_PORTRAIT = 114;

// Commands: a dialog's buttons (Enter and Escape too, as on Windows) and the
// pop-up menu's items; the pets sub-menu numbers its pets from CMD_PET_FIRST.
constexpr int CMD_OK = 1;
constexpr int CMD_CANCEL = 2;
constexpr int CMD_EXIT = 40004;
constexpr int CMD_ABOUT = 40005;
constexpr int CMD_CONTINUE = 40006;
constexpr int CMD_OPTIONS = 40007;
// Added to the menu while the program runs: in the notification-area icon's
// menu, and in the pet's own where the desktop has no notification area.
constexpr int CMD_PUT_AWAY = 40008;  // puts the pet away, or calls it back
constexpr int CMD_START_AT_LOGIN = 40009;
// In every menu: the pet hides while a fullscreen program is in front of it.
constexpr int CMD_HIDE_FOR_FULLSCREEN = 40010;
constexpr int CMD_PET_FIRST = 40100;

// The Options dialog's controls.
constexpr int IDC_MODE_PRECOMPUTED = 1000;
constexpr int IDC_MODE_LIVE = 1001;
constexpr int IDC_TOP_MARGIN = 1002;
constexpr int IDC_LEFT_MARGIN = 1003;
constexpr int IDC_BOTTOM_MARGIN = 1004;
constexpr int IDC_RIGHT_MARGIN = 1005;
constexpr int IDC_MODE_STANDARD = 1006;
constexpr int IDC_SPEED = 1007;

// The menu and the dialogs come once per language: a language's copy of
// resource R is R + n * RES_LANGUAGE_STEP, n its place among the layouts of
// support/templates.inc (the first, Chinese, keeps R itself).
constexpr int RES_LANGUAGE_STEP = 1000;
