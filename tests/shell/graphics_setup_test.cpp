// Every way the pet's graphics and shape can fail to be made at start-up:
// the message, who owns the box, and that the program ends cleanly.
#include "shell_harness.h"

#include "graphics/sprites.h"

namespace {

struct Failure {
    const char* name;
    int mode;
    std::function<void()> arrange;
    const char* text;
    unsigned kind;  // BOX_WARNING: through report_error, fatal
};

const char* const NO_CONTEXT = "Fail to identify the window device context";
const char* const NO_SURFACE = "Fail to create the window device context";
const char* const NO_IMAGE = "Insufficient memory to create bitmap image";
const char* const NO_BITMAP = "Insufficient memory to load bitmap image";
const char* const BAD_DATA = "Unexpected error: Data error in bitmap image";

void fail_alloc(long n)
{
    fake.fail_heap_alloc_at = n;
}

void shrink(int id, int32_t width, int32_t height)
{
    Bitmap& b = fake.bitmaps[id];
    Bitmap cut = b;
    cut.width = width;
    cut.height = height;
    cut.pixels.clear();
    cut.indices.clear();
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            cut.pixels.push_back(b.pixels[static_cast<size_t>(y) * b.width + x]);
            if (!b.indices.empty())
                cut.indices.push_back(b.indices[static_cast<size_t>(y) * b.width + x]);
        }
    b = cut;
}

// Heap blocks in the order they are taken: standard mode: surfaces backdrop,
// work (then the screen), frame, sheet; images backdrop, work, frame. Region
// modes: surfaces frame, sheet; mask bits; frame image; outline tables.
const Failure FAILURES[] = {
    {"context", MODE_PRECOMPUTED, [] { fake.acquire_context_fails = true; }, NO_CONTEXT, BOX_WARNING},
    {"drag_cursor", MODE_LIVE, [] { fake.failing_cursors = {RES_DRAG_CURSOR}; }, "Fail to load the cursor image",
     BOX_WARNING},
    {"backdrop_surface", MODE_STANDARD, [] { fail_alloc(1); }, NO_SURFACE, BOX_WARNING},
    {"work_surface", MODE_STANDARD, [] { fail_alloc(2); }, NO_SURFACE, BOX_WARNING},
    {"screen", MODE_STANDARD, [] { fake.open_screen_fails = true; }, NO_SURFACE, BOX_WARNING},
    {"frame_surface_standard", MODE_STANDARD, [] { fail_alloc(3); }, NO_SURFACE, BOX_WARNING},
    {"sheet_surface_standard", MODE_STANDARD, [] { fail_alloc(4); }, NO_SURFACE, BOX_WARNING},
    {"frame_surface", MODE_PRECOMPUTED, [] { fail_alloc(1); }, NO_SURFACE, BOX_WARNING},
    {"sheet_surface", MODE_LIVE, [] { fail_alloc(2); }, NO_SURFACE, BOX_WARNING},
    {"backdrop_image", MODE_STANDARD, [] { fail_alloc(5); }, NO_IMAGE, BOX_WARNING},
    {"work_image", MODE_STANDARD, [] { fail_alloc(6); }, NO_IMAGE, BOX_WARNING},
    {"frame_image_standard", MODE_STANDARD, [] { fail_alloc(7); }, NO_IMAGE, BOX_WARNING},
    {"frame_image", MODE_PRECOMPUTED, [] { fail_alloc(4); }, NO_IMAGE, BOX_WARNING},
    {"mask_missing", MODE_PRECOMPUTED, [] { fake.bitmaps.erase(RES_MASK); }, NO_BITMAP, BOX_WARNING},
    {"mask_too_few_cells", MODE_LIVE, [] { shrink(RES_MASK, 840, 251); }, BAD_DATA, BOX_WARNING},
    {"mask_bits", MODE_PRECOMPUTED, [] { fail_alloc(3); }, "Out of memory", BOX_ERROR},
    {"sheet_missing", MODE_STANDARD, [] { fake.bitmaps.erase(RES_SPRITES); }, NO_BITMAP, BOX_WARNING},
    {"sheet_too_few_cells", MODE_PRECOMPUTED, [] { shrink(RES_SPRITES, 840, 251); }, BAD_DATA, BOX_WARNING},
    {"menu", MODE_STANDARD, [] { fake.menu_fails = true; }, "Insufficient memory to load pop-up menu", BOX_WARNING},
    {"plain_outlines", MODE_PRECOMPUTED, [] { fail_alloc(5); }, "Out of memory", BOX_ERROR},
    {"mirrored_outlines", MODE_PRECOMPUTED, [] { fail_alloc(6); }, "Out of memory", BOX_ERROR},
};

struct GraphicsSetup : ShellTest, testing::WithParamInterface<Failure> {};

TEST_P(GraphicsSetup, ReportsOnceAndEndsWithCodeZeroNeverShowingThePet)
{
    const Failure& failure = GetParam();
    fake.ini_files[ini_path()] = "[Setup]\nMode=" + std::to_string(failure.mode) + "\n";
    failure.arrange();
    EXPECT_EQ(run(5), 0);
    char kind[8];
    std::snprintf(kind, sizeof kind, "0x%04X", failure.kind);
    // Only the first failure is reported; the box is owned by the hidden pet window.
    EXPECT_EQ(fake_calls_starting("message_box"),
              std::vector<std::string>{"message_box(pet,\"" + std::string(failure.text) + "\"," + kind + ")"});
    // Out of memory is not fatal in itself: it destroys the window instead.
    EXPECT_EQ(program.fatal_error, failure.kind == BOX_WARNING ? 1 : 0);
    EXPECT_EQ(fake_count("set_timer"), 0);
    EXPECT_EQ(fake_count("show_window"), 0);
    EXPECT_EQ(fake_count("next_message"), 0);
    EXPECT_FALSE(pet()->alive);
    EXPECT_EQ(fake_count("destroy_window(pet)"), 1);
    EXPECT_EQ(fake_count("post_quit(0)"), 1);
    EXPECT_TRUE(fake.live_blocks.empty()) << fake.live_blocks.size() << " blocks left";
    EXPECT_EQ(fake.contexts_held, 0);
    EXPECT_FALSE(fake.screen_open);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, GraphicsSetup, testing::ValuesIn(FAILURES),
                         [](const testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

using SheetRules = ShellTest;

TEST_F(SheetRules, ASheetOneColumnShortOfWholeCellsIsAcceptedAndReflowed)
{
    shrink(RES_SPRITES, 839, 252);  // 19 whole columns, 114 cells
    ASSERT_EQ(start(MODE_PRECOMPUTED), 0);
    EXPECT_EQ(fake_count("message_box"), 0);
    EXPECT_EQ(the_pet().sprites.sheet_columns, 19);
    // Image 19 now lies at the start of the second row, where image 20 was drawn.
    state()->current_image = 19;
    state()->current_mirrored = 0;
    platform_invalidate(pet());
    fake_paint_pending();
    EXPECT_EQ(pet()->pixels[10 * SPRITE_SIZE + 5], fake_art_pixel(20, 5, 10));
}

TEST_F(SheetRules, TheStandardModeNeitherLoadsNorMissesTheMask)
{
    fake.bitmaps.erase(RES_MASK);
    start(MODE_STANDARD);
    EXPECT_EQ(fake_count("message_box"), 0);
    EXPECT_TRUE(pet()->visible);
}

TEST_F(SheetRules, AMaskWhoseColourTableStartsWithWhiteStillShowsThePet)
{
    Bitmap& mask = fake.bitmaps[RES_MASK];
    mask.palette = {0xFFFFFF, 0x000000};
    for (uint8_t& index : mask.indices)
        index ^= 1;
    start(MODE_LIVE);
    EXPECT_EQ(the_pet().sprites.mask_inverted, 1);
    int inside = 0;
    for (const OutlineRect& r : pet()->outline.rects) {
        for (int32_t y = r.top; y < r.bottom; ++y) {
            const int32_t x = state()->current_mirrored ? SPRITE_SIZE - 1 - r.left : r.left;
            EXPECT_TRUE(fake_art_inside(x, y)) << x << "," << y;
            ++inside;
        }
    }
    int expected = 0;
    for (int32_t y = 0; y < SPRITE_SIZE; ++y)
        for (int32_t x = 0; x < SPRITE_SIZE; ++x)
            expected += fake_art_inside(x, y);
    EXPECT_EQ(inside, expected);
}

TEST_F(SheetRules, NothingIsAllocatedPerTickOrPaintInTheStandardAndPrecomputedModes)
{
    for (int mode : {MODE_STANDARD, MODE_PRECOMPUTED}) {
        reset_program();
        fake_use_synthetic_art();
        start(mode);
        const size_t blocks = fake.live_blocks.size();
        const long allocations = fake.heap_allocations;
        for (int tick = 0; tick < 300; ++tick) {
            fake_send(pet(), MSG_TIMER, 1);
            fake_paint_pending();
        }
        EXPECT_EQ(fake.heap_allocations, allocations) << "mode " << mode;
        EXPECT_EQ(fake.live_blocks.size(), blocks);
    }
}

}  // namespace

namespace {

// Image 0 without a single pixel of the pet.
void empty_first_cell()
{
    Bitmap& mask = fake.bitmaps[RES_MASK];
    for (int32_t y = 0; y < SPRITE_SIZE; ++y)
        for (int32_t x = 0; x < SPRITE_SIZE; ++x)
            mask.indices[static_cast<size_t>(y) * mask.width + x] = 0;
}

using EmptyImage = ShellTest;

TEST_F(EmptyImage, PrecomputedShowsNothingOfAnImageWithoutPixels)
{
    empty_first_cell();
    start(MODE_PRECOMPUTED);
    fake_clear_calls();
    state()->current_image = 0;
    apply_outline(the_pet());
    EXPECT_EQ(fake_log(), "set_window_outline(pet,rects=0)\n");
    EXPECT_TRUE(pet()->has_outline);
    EXPECT_TRUE(pet()->outline.rects.empty());
}

TEST_F(EmptyImage, LiveKeepsTheOutlineItHadForAnImageWithoutPixels)
{
    empty_first_cell();
    start(MODE_LIVE);
    const size_t rects = pet()->outline.rects.size();
    fake_clear_calls();
    state()->current_image = 0;
    apply_outline(the_pet());
    EXPECT_EQ(fake_log(), "");
    EXPECT_EQ(pet()->outline.rects.size(), rects);
}

}  // namespace
