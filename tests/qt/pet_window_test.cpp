// The pet window on Qt: its kind, the messages its events become, timers,
// painting from our buffers, outlines, destruction; resources and the
// settings folder.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPointer>
#include <algorithm>

#include "graphics/bmp.h"
#include "tests/qt/qt_test_support.h"

namespace {

void flush_deletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class PetWindow : public testing::Test {
protected:
    void SetUp() override
    {
        delivered.clear();
        platform_register_pet_class(recording_proc);
        pet = platform_create_pet_window(42, nullptr);
    }
    void TearDown() override
    {
        platform_destroy_window(pet);
        flush_deletions();
    }
    void send_mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, pet->widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(pet->widget, &event);
    }
    Window* pet = nullptr;
};

TEST_F(PetWindow, IsAHiddenFramelessTopmostToolWindowTheSizeOfASprite)
{
    QWidget* widget = pet->widget;
    EXPECT_EQ(widget->size(), QSize(42, 42));
    EXPECT_EQ(widget->minimumSize(), widget->maximumSize());
    EXPECT_EQ(widget->windowTitle(), QStringLiteral("Dorrabee"));
    const Qt::WindowFlags flags = widget->windowFlags();
    for (Qt::WindowType flag : {Qt::FramelessWindowHint, Qt::WindowStaysOnTopHint, Qt::WindowDoesNotAcceptFocus,
                                Qt::X11BypassWindowManagerHint}) {
        EXPECT_TRUE(flags.testFlag(flag)) << flag;
    }
    EXPECT_EQ(widget->windowType(), Qt::Tool);
    EXPECT_TRUE(widget->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(widget->isVisible());
    EXPECT_EQ(count_of(MSG_CREATE), 1);

    platform_place_hidden(pet, 300, 200);
    EXPECT_EQ(widget->pos(), QPoint(300, 200));
    EXPECT_FALSE(widget->isVisible());
}

TEST_F(PetWindow, MouseEventsArriveAsWindowsMessagesWithSignedPointsInLparam)
{
    send_mouse(QEvent::MouseButtonPress, QPoint(-3, 50), Qt::LeftButton, Qt::LeftButton);
    send_mouse(QEvent::MouseMove, QPoint(7, -2), Qt::NoButton, Qt::LeftButton);
    send_mouse(QEvent::MouseButtonRelease, QPoint(7, 9), Qt::LeftButton, Qt::NoButton);
    send_mouse(QEvent::MouseButtonDblClick, QPoint(1, 2), Qt::LeftButton, Qt::LeftButton);
    send_mouse(QEvent::MouseButtonPress, QPoint(4, 5), Qt::RightButton, Qt::RightButton);
    send_mouse(QEvent::MouseButtonRelease, QPoint(4, 5), Qt::RightButton, Qt::NoButton);
    send_mouse(QEvent::MouseButtonPress, QPoint(4, 5), Qt::MiddleButton, Qt::MiddleButton);
    send_mouse(QEvent::MouseMove, QPoint(8, 8), Qt::NoButton, Qt::NoButton);

    std::vector<Delivered> mouse;
    for (const Delivered& d : delivered) {
        if (d.message >= MSG_MOUSEMOVE && d.message <= MSG_RBUTTONUP)
            mouse.push_back(d);
    }
    const struct {
        unsigned message;
        uintptr_t wparam;
        int x, y;
    } expected[] = {
        {MSG_LBUTTONDOWN, MOUSE_LEFT_BUTTON, -3, 50},
        {MSG_MOUSEMOVE, MOUSE_LEFT_BUTTON, 7, -2},
        {MSG_LBUTTONUP, 0, 7, 9},
        {MSG_LBUTTONDBLCLK, MOUSE_LEFT_BUTTON, 1, 2},
        {MSG_RBUTTONDOWN, 0, 4, 5},
        {MSG_RBUTTONUP, 0, 4, 5},
        {MSG_MOUSEMOVE, 0, 8, 8},
    };
    ASSERT_EQ(mouse.size(), std::size(expected));
    for (size_t i = 0; i < mouse.size(); ++i) {
        EXPECT_EQ(mouse[i].message, expected[i].message) << i;
        EXPECT_EQ(mouse[i].wparam, expected[i].wparam) << i;
        EXPECT_EQ(static_cast<int16_t>(mouse[i].lparam & 0xFFFF), expected[i].x) << i;
        EXPECT_EQ(static_cast<int16_t>((mouse[i].lparam >> 16) & 0xFFFF), expected[i].y) << i;
        EXPECT_GE(mouse[i].lparam, 0) << "the halves are stored as 16-bit values, not sign-extended";
    }
}

TEST_F(PetWindow, TimersTickWithTheirOwnIdUntilKilledAndRestartWhenSetAgain)
{
    ASSERT_TRUE(platform_set_timer(pet, 7, 5));
    ASSERT_TRUE(platform_set_timer(pet, 7, 5));
    EXPECT_EQ(pet->timers.size(), 1u);
    ASSERT_TRUE(process_until([] { return count_of(MSG_TIMER) >= 3; }));
    for (const Delivered& d : delivered) {
        if (d.message == MSG_TIMER) {
            EXPECT_EQ(d.wparam, 7u);
        }
    }
    platform_kill_timer(pet, 7);
    const int ticks = count_of(MSG_TIMER);
    process_until([] { return false; }, 60);
    EXPECT_EQ(count_of(MSG_TIMER), ticks);
}

// ---- painting: a procedure that presents the buffers below

uint32_t frame[42 * 42];
uint32_t overlay[42 * 42];
constexpr uint32_t KEY = 0xFFFF00;

intptr_t presenting_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam)
{
    if (message == MSG_PAINT && platform_begin_paint(window)) {
        platform_present(window, frame, 42, 42, 0, 0);
        platform_present_keyed(window, overlay, 42, 42, 0, 0, KEY);
        platform_end_paint(window);
    }
    return recording_proc(window, message, wparam, lparam);
}

TEST_F(PetWindow, PaintsOurBuffersWithTheKeyColourLeavingWhatIsBehind)
{
    pet->proc = presenting_proc;
    for (int i = 0; i < 42 * 42; ++i) {
        frame[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
        overlay[i] = i % 3 == 0 ? 0x00FF00u + static_cast<uint32_t>(i) : KEY;
    }
    for (int round = 0; round < 3; ++round) {
        const QImage shown = pet->widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), QSize(42, 42));
        for (int y = 0; y < 42; ++y) {
            for (int x = 0; x < 42; ++x) {
                const int i = y * 42 + x;
                const uint32_t want = overlay[i] == KEY ? frame[i] : overlay[i];
                ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFF, want) << x << "," << y;
            }
        }
        frame[round] ^= 0x123456;  // the buffers change between paints
        overlay[3 * round] ^= 0x010101;
    }
    // Each buffer is wrapped once, however often it is painted.
    EXPECT_EQ(pet->images.size(), 1u);
    EXPECT_EQ(pet->keyed.size(), 1u);
}

TEST_F(PetWindow, InvalidatedAreasArePaintedOnUpdateAndOnlyThen)
{
    platform_show_window(pet, 1);
    process_until([] { return count_of(MSG_PAINT) > 0; }, 200);
    delivered.clear();
    platform_update_window(pet);
    EXPECT_EQ(count_of(MSG_PAINT), 0) << "nothing was invalid";
    platform_invalidate_rect(pet, 2, 3, 4, 5);
    platform_update_window(pet);
    EXPECT_EQ(count_of(MSG_PAINT), 1);
    platform_invalidate(pet);
    platform_update_window(pet);
    EXPECT_EQ(count_of(MSG_PAINT), 2);
}

// ---- capture and cursors

TEST_F(PetWindow, TheDragCursorShowsOverEveryWindowUntilThePreviousOneIsBack)
{
    Cursor* drag = platform_load_cursor(RES_DRAG_CURSOR);
    ASSERT_NE(drag, nullptr);
    Cursor* previous = platform_set_cursor(drag);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->pixmap().toImage(), drag->cursor.pixmap().toImage());
    EXPECT_EQ(platform_set_cursor(drag), drag);
    EXPECT_EQ(platform_set_cursor(previous), drag);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "no override left behind";
}

// ---- destroying

TEST_F(PetWindow, DestroyingTheOwnerDestroysItsDialogsFirstThenDeletesTheWidgets)
{
    Window* dialog = platform_create_dialog(RES_OPTIONS_DIALOG, pet, recording_proc, nullptr);
    ASSERT_NE(dialog, nullptr);
    QPointer<QWidget> pet_widget = pet->widget;
    QPointer<QWidget> dialog_widget = dialog->widget;
    ASSERT_TRUE(platform_set_timer(pet, 1, 5));
    delivered.clear();

    platform_destroy_window(pet);
    ASSERT_EQ(count_of(MSG_DESTROY), 2);
    std::vector<Window*> order;
    for (const Delivered& d : delivered) {
        if (d.message == MSG_DESTROY)
            order.push_back(d.window);
    }
    EXPECT_EQ(order, (std::vector<Window*>{dialog, pet}));

    platform_destroy_window(pet);  // twice is harmless
    delivered.clear();
    process_until([] { return false; }, 50);
    EXPECT_TRUE(delivered.empty()) << "nothing reaches a destroyed window";
    flush_deletions();
    EXPECT_TRUE(pet_widget.isNull());
    EXPECT_TRUE(dialog_widget.isNull());
    pet = platform_create_pet_window(42, nullptr);  // for TearDown
}

// ---- resources

TEST(Resources, EveryBitmapLoadsThroughOurDecoderAtItsSize)
{
    const struct {
        int id, width, height;
    } bitmaps[] = {{RES_SPRITES, 840, 252}, {RES_MASK, 840, 252}, {RES_TITLE, 269, 80},
                   {RES_SCENE, 70, 65},     {RES_TILE, 7, 5},     {RES_PORTRAIT, 100, 107}};
    for (const auto& b : bitmaps) {
        Bitmap bitmap;
        ASSERT_TRUE(platform_load_bitmap(b.id, &bitmap)) << b.id;
        EXPECT_EQ(bitmap.width, b.width) << b.id;
        EXPECT_EQ(bitmap.height, b.height) << b.id;
        EXPECT_EQ(bitmap.pixels.size(), static_cast<size_t>(b.width) * b.height) << b.id;
    }
    Bitmap none;
    EXPECT_FALSE(platform_load_bitmap(RES_ICON, &none)) << "an icon is not a bitmap";
    EXPECT_FALSE(platform_load_bitmap(999, &none));
}

TEST(Resources, CursorsAndIconDecodeWithTheirHotSpots)
{
    QImage image;
    QPoint hot;
    const EmbeddedFile* cursor = embedded_file(RES_CURSOR);
    ASSERT_NE(cursor, nullptr);
    ASSERT_TRUE(decode_icon(cursor->data, cursor->size, &image, &hot));
    EXPECT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(hot, QPoint(15, 15));
    EXPECT_NE(platform_load_cursor(RES_DRAG_CURSOR), nullptr);

    const EmbeddedFile* icon = embedded_file(RES_ICON);
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(decode_icon(icon->data, icon->size, &image, &hot));
    EXPECT_EQ(image.width(), 48) << "the largest of the icon's images";
    EXPECT_GT(qAlpha(image.pixel(24, 24)), 0) << "the middle of the icon is the pet";
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "its corners are clear";
}

TEST(Resources, TruncatedOrDamagedIconFilesAreRefusedSafely)
{
    for (int id : {RES_ICON, RES_CURSOR, RES_DRAG_CURSOR}) {
        const EmbeddedFile* file = embedded_file(id);
        ASSERT_NE(file, nullptr);
        QImage image;
        QPoint hot;
        for (size_t length = 0; length < file->size; length += length < 64 ? 1 : 97) {
            EXPECT_FALSE(decode_icon(file->data, length, &image, &hot)) << id << " cut at " << length;
        }
        std::vector<unsigned char> damaged(file->data, file->data + file->size);
        for (size_t entry = 0; entry < damaged[4]; ++entry) {
            std::fill_n(damaged.begin() + 6 + 16 * entry + 12, 4, 0xFF);  // every image's offset far beyond the end
        }
        EXPECT_FALSE(decode_icon(damaged.data(), damaged.size(), &image, &hot)) << id;
    }
}

// ---- where the settings live

TEST(SettingsFolder, BesideTheProgramWhenWritableElseInTheUsersConfiguration)
{
    EXPECT_EQ(settings_folder("/opt/pet/", true, "/x", "/home/u"), "/opt/pet/");
    EXPECT_EQ(settings_folder("/usr/bin/", false, "/home/u/.cfg", "/home/u"), "/home/u/.cfg/dorrabee/");
    EXPECT_EQ(settings_folder("/usr/bin/", false, nullptr, "/home/u"), "/home/u/.config/dorrabee/");
    EXPECT_EQ(settings_folder("/usr/bin/", false, "relative/cfg", "/home/u"), "/home/u/.config/dorrabee/")
        << "a relative XDG_CONFIG_HOME is ignored";
    EXPECT_EQ(settings_folder("/usr/bin/", false, "", ""), "");
    EXPECT_EQ(settings_folder("", true, nullptr, nullptr), "");
    // Installed under a system prefix: never beside the program, even for root.
    EXPECT_EQ(settings_folder("/usr/games/", true, nullptr, "/root"), "/root/.config/dorrabee/");
    EXPECT_EQ(settings_folder("/usr/local/bin/", true, "/cfg", "/root"), "/cfg/dorrabee/");
    EXPECT_EQ(settings_folder("/usr/games/", true, nullptr, nullptr), "") << "nowhere, not beside the program";
}
// Nowhere writable: still the documented place, never the current directory.
TEST(SettingsLocation, AConfigFolderThatCannotBeMadeIsStillThePlace)
{
    EXPECT_EQ(settings_folder_made("/usr/bin/", false, "/proc/no-such-folder", "/proc/no-home"),
              "/proc/no-such-folder/dorrabee/");
    EXPECT_EQ(settings_folder_made("/usr/bin/", false, nullptr, "/proc/no-home"), "/proc/no-home/.config/dorrabee/");
}

}  // namespace
