// Pets of other cell sizes than the built-in cat's, living in the fake
// platform: the window, its outline, its pixels and the room all follow the
// pet's own size, in every display mode and at a zoom.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <string>
#include <vector>

#include "graphics/sprites.h"
#include "shell/pet_choice.h"
#include "tests/graphics/bmp_builder.h"
#include "tests/graphics/png_builder.h"
#include "tests/shell/shell_harness.h"
#include "tests/shell/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t COAT = 0x3A7BD5;  // no colour of the synthetic art

// Four images moving every way, and a fall that meets the floor.
constexpr char SCRIPT[] =
    "1,2\t1-40,2-30,3-20,4-10\n"
    "3,4\t1-100\t-4\n"
    "2\t1-50,4-50\t0\t5\n"
    "4,r3\t1-100\t3\t-3\n";

// A PNG sheet of four cells, two a row, each a blob of COAT that fills its
// cell's middle and leaves a clear border of a quarter of the cell.
std::vector<uint8_t> blob_sheet(int32_t width, int32_t height)
{
    std::vector<std::string> rows;
    for (int32_t y = 0; y < 2 * height; ++y) {
        std::string row;
        for (int32_t x = 0; x < 2 * width; ++x) {
            const int32_t cx = x % width, cy = y % height;
            const bool inside =
                cx >= width / 4 && cx < width - width / 4 && cy >= height / 4 && cy < height - height / 4;
            row += std::string("\x3A\x7B\xD5", 3) + (inside ? '\xFF' : '\x00');
        }
        rows.push_back(row);
    }
    return build_png({2 * width, 2 * height, 8, 6, rows});
}

struct CellSizeTest : ShellTest {
    fs::path folder = test_folder("dorrabee-cells");
    std::string path = folder.string();
    void TearDown() override
    {
        ShellTest::TearDown();
        fs::remove_all(folder);
    }
    void make_pet(int32_t width, int32_t height)
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        write_file((folder / "sprites.png").string(), blob_sheet(width, height));
        std::ofstream(folder / "behaviour.script", std::ios::binary) << SCRIPT;
        std::ofstream(folder / "pet.ini", std::ios::binary)
            << "[Pet]\nName=Blob\nCellWidth=" << width << "\nCellHeight=" << height << "\n";
    }
    void start_pet(int mode, int zoom)
    {
        fake.ini_files[ini_path()] = "[Setup]\nMode=" + std::to_string(mode) + "\nZoom=" + std::to_string(zoom) + "\n";
        const char* argv[] = {"dorrabee", "--pet", path.c_str()};
        program_options(program, "", 3, argv);
        run(5);
    }
};

TEST_F(CellSizeTest, APetOfItsOwnSizeLivesInAWindowOfThatSize)
{
    struct Case {
        int32_t width, height;
        int mode, zoom;
        int32_t shown_zoom;  // a large pet takes a smaller zoom
    };
    const Case cases[] = {
        {96, 96, MODE_PRECOMPUTED, 1, 1},   {96, 96, MODE_STANDARD, 2, 2}, {16, 16, MODE_LIVE, 1, 1},
        {256, 256, MODE_PRECOMPUTED, 4, 2}, {64, 32, MODE_STANDARD, 1, 1}, {32, 64, MODE_LIVE, 2, 2},
    };
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height) + " mode " +
                                 std::to_string(c.mode) + " zoom " + std::to_string(c.zoom);
        reset_program();
        make_pet(c.width, c.height);
        start_pet(c.mode, c.zoom);
        ASSERT_EQ(program.pets.size(), 1u) << what;
        ASSERT_NE(pet_window(), nullptr) << what;
        EXPECT_EQ(fake_count("message_box"), 0) << what;
        const int32_t z = c.shown_zoom, side = std::max(c.width, c.height) * z;
        EXPECT_EQ(the_pet().zoom, z) << what;
        EXPECT_EQ(pet()->width, side) << what;
        EXPECT_EQ(pet()->height, side) << what;
        EXPECT_EQ(state()->sprite_width, c.width) << what;
        EXPECT_EQ(state()->sprite_height, c.height) << what;
        const Room& room = the_pet().room;
        for (int tick = 0; tick < 600; ++tick) {
            fake_send(program.timer_window, MSG_TIMER, PET_TIMER_ID);
            ASSERT_GE(state()->x, room.x) << what << " tick " << tick;
            ASSERT_LE(state()->x + c.width, room.x + room.width) << what << " tick " << tick;
            ASSERT_GE(state()->y, room.y) << what << " tick " << tick;
            ASSERT_LE(state()->y + c.height, room.y + room.height) << what << " tick " << tick;
        }
        EXPECT_EQ(pet()->x, state()->x * z) << what;
        EXPECT_EQ(pet()->y, state()->y * z) << what;
        // The blob, at its place in the cell and nowhere else; the pad of a
        // cell that is not square shows nothing of the pet.
        const auto& pixels = pet()->pixels;
        ASSERT_EQ(pixels.size(), size_t(side) * size_t(side)) << what;
        for (int32_t y = 0; y < side; ++y)
            for (int32_t x = 0; x < side; ++x) {
                const int32_t px = x / z, py = y / z;
                const bool blob = px >= c.width / 4 && px < c.width - c.width / 4 && py >= c.height / 4 &&
                                  py < c.height - c.height / 4;
                ASSERT_EQ(pixels[size_t(y) * size_t(side) + size_t(x)] == COAT, blob)
                    << what << " at " << x << "," << y;
            }
        if (c.mode != MODE_STANDARD) {
            ASSERT_TRUE(pet()->has_outline) << what;
            ASSERT_FALSE(pet()->outline.rects.empty()) << what;
            for (const OutlineRect& r : pet()->outline.rects) {
                EXPECT_GE(r.left, c.width / 4 * z) << what;
                EXPECT_LE(r.right, (c.width - c.width / 4) * z) << what;
                EXPECT_GE(r.top, c.height / 4 * z) << what;
                EXPECT_LE(r.bottom, (c.height - c.height / 4) * z) << what;
            }
        }
    }
}

// Where the desktop blends, the sheet's alpha is laid out in the same cells:
// the blob opaque, its clear border and the pad of a cell that is not square
// clear, at any zoom.
TEST_F(CellSizeTest, ItsAlphaIsLaidOutInCellsOfItsOwnSize)
{
    for (const auto& [width, height, zoom] : {std::tuple{64, 32, 1}, std::tuple{32, 64, 2}}) {
        reset_program();
        fake.blends = true;
        make_pet(width, height);
        start_pet(MODE_PRECOMPUTED, zoom);
        ASSERT_NE(pet_window(), nullptr);
        ASSERT_EQ(fake_count("present_blended(pet"), fake_count("begin_paint(pet)"));
        const int32_t side = std::max(width, height) * zoom;
        for (int32_t y = 0; y < side; ++y)
            for (int32_t x = 0; x < side; ++x) {
                const int32_t px = x / zoom, py = y / zoom;
                const bool blob =
                    px >= width / 4 && px < width - width / 4 && py >= height / 4 && py < height - height / 4;
                ASSERT_EQ(pet()->pixels[size_t(y) * size_t(side) + size_t(x)], blob ? 0xFF000000 | COAT : 0u)
                    << width << "x" << height << " at " << x << "," << y;
            }
    }
}

// The grab point and the fence of a carried pet are in its own pixels,
// however large it is.
TEST_F(CellSizeTest, ALargePetIsGrabbedAndFencedByItsOwnSize)
{
    make_pet(128, 96);
    start_pet(MODE_PRECOMPUTED, 1);
    ASSERT_NE(pet_window(), nullptr);
    fake_send(pet(), MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, fake_point(-3, 120));
    EXPECT_EQ(state()->grab_x, 0);
    EXPECT_EQ(state()->grab_y, 96);
    fake_send(pet(), MSG_MOUSEMOVE, MOUSE_LEFT_BUTTON, fake_point(30000, 30000));
    EXPECT_EQ(state()->x, 1024 - 128);
    EXPECT_EQ(state()->y, 768 - 96);
    EXPECT_EQ(pet()->x, 1024 - 128);
}

}  // namespace
