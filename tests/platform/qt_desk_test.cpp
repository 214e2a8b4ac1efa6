// The desk on Qt over X (on_xvfb.sh sets it up and says what it is): the
// monitors as RandR has them, counted from the primary's corner, and the pet
// told when one comes or goes.
#include <gtest/gtest.h>

#include <QProcess>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/platform/contract.h"

namespace {

std::vector<intptr_t> desk_changes;  // lparam of each MSG_DISPLAYCHANGE

intptr_t desk_proc(Window*, unsigned message, uintptr_t, intptr_t lparam)
{
    if (message == MSG_DISPLAYCHANGE)
        desk_changes.push_back(lparam);
    return 0;
}

void xrandr(const QStringList& arguments)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral("xrandr"), arguments), 0) << arguments.join(' ').toStdString();
}

TEST(QtDesk, TheMonitorsAreRandrsCountedFromThePrimarysCornerPrimaryFirst)
{
    const char* expected = getenv("EXPECTED_MONITORS");
    if (!expected)
        GTEST_SKIP() << "needs an X server set up by on_xvfb.sh";
    Monitor monitors[MAX_MONITORS] = {};
    const int count = platform_monitors(monitors, MAX_MONITORS);
    std::string desk;
    for (int i = 0; i < count && i < MAX_MONITORS; ++i) {
        const Monitor& m = monitors[i];
        desk += (i ? " " : "") + std::to_string(m.x) + "," + std::to_string(m.y) + "," + std::to_string(m.width) + "," +
                std::to_string(m.height);
        // Without a window manager nothing takes room from a monitor.
        EXPECT_EQ(m.work_x, m.x);
        EXPECT_EQ(m.work_y, m.y);
        EXPECT_EQ(m.work_width, m.width);
        EXPECT_EQ(m.work_height, m.height);
        EXPECT_EQ(m.dpi, monitors[0].dpi) << "X scales every monitor alike";
    }
    EXPECT_EQ(desk, expected);
}

TEST(QtDesk, ThePetHearsOfAMonitorAddedAndRemovedWithThePrimarysSize)
{
    if (!getenv("EXPECTED_MONITORS"))
        GTEST_SKIP() << "needs an X server set up by on_xvfb.sh";
    platform_register_pet_class(desk_proc);
    Window* pet = platform_create_pet_window(42, nullptr);
    Monitor primary = {};
    const int count = platform_monitors(&primary, 1);
    const intptr_t primary_size = intptr_t(primary.height) << 16 | primary.width;

    desk_changes.clear();
    xrandr({"--setmonitor", "extra", "200/53x100/26+0+0", "none"});
    contract_run_until([] { return !desk_changes.empty(); }, 2000);
    ASSERT_FALSE(desk_changes.empty()) << "a monitor added";
    EXPECT_EQ(desk_changes.back(), primary_size);
    EXPECT_EQ(platform_monitors(nullptr, 0), count + 1);

    desk_changes.clear();
    xrandr({"--delmonitor", "extra"});
    contract_run_until([] { return !desk_changes.empty(); }, 2000);
    ASSERT_FALSE(desk_changes.empty()) << "a monitor removed";
    EXPECT_EQ(desk_changes.back(), primary_size);
    EXPECT_EQ(platform_monitors(nullptr, 0), count);

    platform_destroy_window(pet);
    contract_run_until([] { return false; }, 0);
}

}  // namespace
