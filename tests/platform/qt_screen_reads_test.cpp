// Two pet windows reading the screen behind them on X, each in its own
// ticks: each keeps its own read ahead, and every read brings the screen's
// pixels (on_xvfb.sh runs it on a server; offscreen it is skipped).
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <array>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

#include "platform/qt/qt_host.h"
#include "tests/platform/contract.h"

namespace {

constexpr int32_t SIDE = 42;

struct Walker {
    QPoint at;  // from the primary's corner
    int ticks = 0;
    std::vector<uint32_t> behind = std::vector<uint32_t>(SIDE * SIDE);
    QRect read;  // where `behind` was read, from the primary's corner
};

// Each tick the pet reads the screen where it goes, a side to the right,
// and goes there, as the standard mode's walk does.
intptr_t walker_proc(Window* window, unsigned message, uintptr_t, intptr_t)
{
    auto* walker = static_cast<Walker*>(platform_window_user(window));
    if (message != MSG_TIMER || !walker)
        return 0;
    walker->at += QPoint(SIDE, 0);
    std::fill(walker->behind.begin(), walker->behind.end(), 0xFF000000u);  // no pixel of ours
    platform_capture_screen(window, walker->at.x(), walker->at.y(), SIDE, SIDE, walker->behind.data());
    walker->read = QRect(walker->at, QSize(SIDE, SIDE));
    platform_move_window(window, walker->at.x(), walker->at.y());
    if (++walker->ticks == 4)
        platform_kill_timer(window, 1);  // the next step stays on the screen
    return 0;
}

xcb_connection_t* qt_connection()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The root's background: tiles of 7 x 5 pixels all different, so that a read
// a pixel off shows (null: back to black).
void tile_root(const uint32_t* tile)
{
    xcb_connection_t* c = qt_connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (tile) {
        const xcb_pixmap_t pixmap = xcb_generate_id(c);
        xcb_create_pixmap(c, screen->root_depth, pixmap, screen->root, 7, 5);
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, pixmap, 0, nullptr);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, 7, 5, 0, 0, 0, screen->root_depth, 7 * 5 * 4,
                      reinterpret_cast<const uint8_t*>(tile));
        const uint32_t background[] = {pixmap};
        xcb_change_window_attributes(c, screen->root, XCB_CW_BACK_PIXMAP, background);
        xcb_free_gc(c, gc);
        xcb_free_pixmap(c, pixmap);
    } else {
        const uint32_t black[] = {0};
        xcb_change_window_attributes(c, screen->root, XCB_CW_BACK_PIXEL, black);
    }
    xcb_clear_area(c, 0, screen->root, 0, 0, 0, 0);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // done before what follows
}

// The whole root window, read on Qt's connection.
QImage root_pixels()
{
    xcb_connection_t* c = qt_connection();
    if (!c)
        return {};
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const int width = screen->width_in_pixels, height = screen->height_in_pixels;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0, width, height, ~0u), nullptr);
    QImage pixels;
    if (image && xcb_get_image_data_length(image) == width * height * 4)
        pixels = QImage(xcb_get_image_data(image), width, height, QImage::Format_RGB32).copy();
    free(image);
    return pixels;
}

TEST(QtScreenReads, TwoPetsEachReadAheadForThemselvesAndReadTheScreensPixels)
{
    if (!getenv("EXPECTED_MONITORS"))
        GTEST_SKIP() << "needs an X server set up by on_xvfb.sh";
    std::array<uint32_t, 7 * 5> tile;
    for (size_t i = 0; i < tile.size(); ++i)
        tile[i] = 0x102030u * static_cast<uint32_t>(i + 1) & 0xFFFFFF;
    tile_root(tile.data());
    // Nothing of ours is shown: the screen stays as it is now.
    const QImage desk = root_pixels();
    ASSERT_FALSE(desk.isNull());
    platform_register_pet_class(walker_proc);
    std::array<Walker, 2> walkers;
    walkers[0].at = QPoint(20, 100);
    walkers[1].at = QPoint(20, 400);
    std::array<Window*, 2> pets = {};
    for (size_t i = 0; i < pets.size(); ++i) {
        pets[i] = platform_create_pet_window(SIDE, &walkers[i]);
        platform_place_hidden(pets[i], walkers[i].at.x(), walkers[i].at.y());
        ASSERT_TRUE(platform_set_timer(pets[i], 1, 15));
    }
    if (!pets[0]->x11.gc) {
        for (Window* pet : pets)
            platform_destroy_window(pet);
        GTEST_SKIP() << "the server does not take our pixels straight";
    }
    contract_run_until([&] { return walkers[0].ticks >= 4 && walkers[1].ticks >= 4; }, 3000);
    for (size_t i = 0; i < pets.size(); ++i) {
        const Walker& w = walkers[i];
        ASSERT_GE(w.ticks, 4) << i;
        // Each pet's next step is already read, whatever the other did since.
        const QRect next = w.read.translated(SIDE, 0).translated(primary_origin());
        EXPECT_TRUE(pets[i]->x11_reads.ahead.block.contains(next)) << i;
        // The last read, which a read ahead answered, holds the screen's pixels.
        const QRect on_root = w.read.translated(primary_origin());
        int wrong = 0;
        for (int y = 0; y < SIDE; ++y) {
            for (int x = 0; x < SIDE; ++x) {
                const uint32_t seen = w.behind[static_cast<size_t>(y) * SIDE + x];
                wrong += seen != (desk.pixel(on_root.x() + x, on_root.y() + y) & 0xFFFFFF);
            }
        }
        EXPECT_EQ(wrong, 0) << i;
    }
    for (Window* pet : pets)
        platform_destroy_window(pet);
    contract_run_until([] { return false; }, 0);
    tile_root(nullptr);
}

}  // namespace
