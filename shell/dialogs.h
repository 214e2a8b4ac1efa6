// The two modeless dialogs opened from the pet's menu. Each is created with
// the pet it was opened from as its user pointer.
#pragma once

#include <cstdint>

struct Pet;
struct Window;
struct OpenDialog;

// The About dialog's drawing: its pictures, its surfaces and where the
// scene stands. The masks are 1-bit bitmaps, as a system that composites
// with masks needs; they are made on every platform so that the dialog
// opens, or fails to, at the same steps everywhere.
enum AboutSlot {
    ABOUT_TITLE,
    ABOUT_BACKGROUND,
    ABOUT_TILE,
    ABOUT_CELL_MASK,
    ABOUT_CELL,
    ABOUT_SCENE,
    ABOUT_TITLE_MASK,
    ABOUT_SLOT_COUNT
};
struct AboutSurface;
struct AboutGraphics {
    void* bitmaps[ABOUT_SLOT_COUNT];
    AboutSurface* surfaces[ABOUT_SLOT_COUNT];
    int32_t client_width, client_height;
    int32_t title_width, title_height;
    int32_t scene_width, scene_height;
    int32_t tile_width, tile_height;
    uint32_t* zoomed_scene;  // the scene at the pet's zoom, above 1 only
    int32_t scene_x, scene_y;
};

// What the dialogs keep between messages.
struct Dialogs {
    int32_t options_open;
    int32_t about_open;
    int32_t about_unpainted;
    int32_t scroll_offset;     // kept across openings: the strip goes on where it stopped
    OpenDialog* open_dialogs;  // every open modeless dialog, newest first
    AboutGraphics about;       // while the About dialog is open
};

void open_options_dialog(Pet& pet, Window* owner);
void open_about_dialog(Pet& pet, Window* owner);
intptr_t options_dialog_proc(Window* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t about_dialog_proc(Window* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
