// Zoom on Qt: where the screen's scaling is read from, shapes wider than one
// 64-bit row, and cursors that grow with the pet.
#include <gtest/gtest.h>

#include "tests/qt/qt_test_support.h"

namespace {

TEST(Zoom, TheScreensScalingFromXResourcesAndScaleFactors)
{
    struct Case {
        const char* resources;
        int32_t dpi;
    };
    for (const Case& c : {Case{"Xft.dpi:\t192\n", 192}, Case{"Xft.antialias:\t1\nXft.dpi: 143.6\nXft.hinting:\t1", 144},
                          Case{"", 0}, Case{"Xcursor.size: 48\n", 0}, Case{"Xft.dpi:\tlarge\n", 0}})
        EXPECT_EQ(dpi_from_x_resources(c.resources), c.dpi) << c.resources;
    struct Factor {
        const char* text;
        int32_t dpi;
    };
    for (const Factor& f : {Factor{"2", 192}, Factor{"1.5", 144}, Factor{"0", 0}, Factor{"-2", 0}, Factor{nullptr, 0}})
        EXPECT_EQ(dpi_from_scale_factor(f.text), f.dpi) << (f.text ? f.text : "(unset)");
}

TEST(Zoom, TheProgramStartedAgainFindsTheScaleFactorItFoundAtStart)
{
    qunsetenv("QT_SCALE_FACTOR");  // as main leaves it for Qt
    keep_scale_factor_at_start("2");
    EXPECT_EQ(restart_environment().value(QStringLiteral("QT_SCALE_FACTOR")), QStringLiteral("2"));
    keep_scale_factor_at_start(nullptr);
    EXPECT_FALSE(restart_environment().contains(QStringLiteral("QT_SCALE_FACTOR")));
}

TEST(Zoom, AWindowWiderThanARowWordGetsItsWholeShapeClippedToItsSide)
{
    Outline outline;
    outline.rects = {{80, 0, 82, 84}, {0, 82, 2, 84}, {60, 10, 70, 20}, {83, 40, 90, 42}};
    EXPECT_EQ(outline_region(outline, 84),
              QRegion(80, 0, 2, 84) + QRegion(0, 82, 2, 2) + QRegion(60, 10, 10, 10) + QRegion(83, 40, 1, 2));
}

TEST(Zoom, CursorsGrowWithThePetAroundTheirHotSpots)
{
    platform_set_zoom(2);
    Cursor* cursor = platform_load_cursor(RES_CURSOR);
    platform_set_zoom(1);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->cursor.pixmap().size(), QSize(64, 64));
    EXPECT_EQ(cursor->cursor.hotSpot(), QPoint(30, 30));
    delete cursor;
}

}  // namespace
