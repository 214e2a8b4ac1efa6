// Panels on X11: each monitor's work area from the struts the panels
// declare, laid on a desk of two monitors with a dead zone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/qt/qt_test_support.h"

namespace {

std::string work_of(Monitor m, const std::vector<X11Strut>& struts, int32_t root_width, int32_t root_height)
{
    x11_work_area(m, root_width, root_height, struts);
    return std::to_string(m.work_x) + "," + std::to_string(m.work_y) + "," + std::to_string(m.work_width) + "," +
           std::to_string(m.work_height);
}

TEST(Panels, EachMonitorLosesOnlyWhatThePanelsOnItTake)
{
    // 640 x 768 beside 384 x 480 on a 1024 x 768 root: a dead zone below the right one.
    const Monitor tall{0, 0, 640, 768, 0, 0, 0, 0, 96};
    const Monitor short_one{640, 0, 384, 480, 0, 0, 0, 0, 96};
    const X11Strut dock_on_short{0, 0, 0, 768 - 440, 0, 0, 0, 0, 0, 0, 640, 1023};
    const X11Strut left_bar{50, 0, 0, 0, 0, 767, 0, 0, 0, 0, 0, 0};
    const X11Strut top_bar_on_tall{0, 0, 24, 0, 0, 0, 0, 0, 0, 639, 0, 0};
    // At the inner edge of the right-hand monitor: the band covers the tall one whole.
    const X11Strut inner_left_bar{640 + 30, 0, 0, 0, 0, 479, 0, 0, 0, 0, 0, 0};
    struct Case {
        const char* what;
        std::vector<X11Strut> struts;
        const char* tall_work;
        const char* short_work;
    };
    const std::vector<Case> cases = {
        {"no panel", {}, "0,0,640,768", "640,0,384,480"},
        {"a dock at the short one's bottom", {dock_on_short}, "0,0,640,768", "640,0,384,440"},
        {"a bar along the desk's left edge", {left_bar}, "50,0,590,768", "640,0,384,480"},
        {"a top bar over the tall one only", {top_bar_on_tall}, "0,24,640,744", "640,0,384,480"},
        {"a bar at the short one's left edge", {inner_left_bar}, "0,0,640,768", "670,0,354,480"},
        {"all of them", {dock_on_short, left_bar, top_bar_on_tall, inner_left_bar}, "50,24,590,744", "670,0,354,440"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(work_of(tall, c.struts, 1024, 768), c.tall_work) << c.what;
        EXPECT_EQ(work_of(short_one, c.struts, 1024, 768), c.short_work) << c.what;
    }
}

TEST(Panels, StrutsNoMonitorCouldHaveLeaveItWhole)
{
    // A stranger's values: past the root, reversed ranges, panels that meet.
    const Monitor m{0, 0, 1920, 1080, 0, 0, 0, 0, 96};
    const std::vector<std::vector<X11Strut>> hostile = {
        {{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0xFFFFFFFFu, 0, 0xFFFFFFFFu, 0, 0xFFFFFFFFu, 0,
          0xFFFFFFFFu}},
        {{0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 1500, 200}},                 // its range ends before it starts
        {{1000, 1000, 0, 0, 0, 1079, 0, 1079, 0, 0, 0, 0}},           // left and right overlap
        {{0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0xFFFFFFF0u, 0xFFFFFFFFu}},  // beside the desk
    };
    for (size_t k = 0; k < hostile.size(); ++k)
        EXPECT_EQ(work_of(m, hostile[k], 1920, 1080), "0,0,1920,1080") << k;
}

}  // namespace
