// The About dialog's film-strip scene as pixel rules.
#pragma once

#include <cstdint>

constexpr int32_t LAYOUT_WIDTH = 220;
constexpr int32_t LAYOUT_HEIGHT = 150;
constexpr int32_t SCENE_LEFT = 168;
constexpr int32_t SCENE_TOP = 58;
constexpr int32_t TITLE_TOP = 8;
constexpr int32_t PET_LEFT = 14;
constexpr int32_t PET_TOP = 11;
constexpr int32_t LEFT_COLUMN_X = 2;
constexpr int32_t RIGHT_COLUMN_X = 61;
constexpr int32_t TILE_SPACING = 10;
constexpr int32_t SCROLL_STEP = 2;

// Scene and title positions in the dialog's client pixels.
void about_scene_position(int32_t client_width, int32_t client_height, int32_t* scene_x, int32_t* scene_y);
void about_title_position(int32_t client_width, int32_t client_height, int32_t title_width, int32_t* title_x,
                          int32_t* title_y);

// The next phase of the tile columns: 8, 6, 4, 2, 0, 8, ...
int32_t next_scroll_offset(int32_t scroll_offset);

// Draws both tile columns into the scene for the given phase, clipped to the scene.
void draw_tile_columns(uint32_t* scene, int32_t scene_width, int32_t scene_height, const uint32_t* tile,
                       int32_t tile_width, int32_t tile_height, int32_t scroll_offset);

// Lays src (w x h) onto dst at (x, y), leaving dst unchanged where src is `key`;
// clipped to dst.
void lay_keyed(uint32_t* dst, int32_t dst_width, int32_t dst_height, int32_t x, int32_t y, const uint32_t* src,
               int32_t width, int32_t height, uint32_t key);
