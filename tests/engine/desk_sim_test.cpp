// dorrabee-sim on several monitors: walking across shared edges, walls at
// the edges of dead zones, floors, drops, the one-monitor key and monitors
// that go away, tick-exact.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/engine/sim_run.h"

namespace {

constexpr int PET = 42;  // the pet's side at zoom 1

struct Box {
    int x, y, w, h;
};

struct Place {
    int x, y;
};

struct Layout {
    const char* name;
    const char* monitors;  // as --monitors takes them
    std::vector<Box> boxes;
    bool every_floor;  // each monitor's bottom is a floor (nothing below it)
};

std::string run_out(std::vector<std::string> args)
{
    const SimRun run = sim(std::move(args));
    EXPECT_EQ(run.status, 0);
    return run.out;
}

std::vector<Place> places(std::vector<std::string> args)
{
    std::istringstream lines(run_out(std::move(args)));
    std::vector<Place> result;
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        int tick;
        Place p;
        if (std::sscanf(line.c_str(), "%d,%d,%d", &tick, &p.x, &p.y) == 3)
            result.push_back(p);
    }
    return result;
}

bool inside(const Box& b, int x, int y)
{
    return x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h;
}

// The monitor showing the pet's top-left pixel, -1 for none.
int monitor_at(const std::vector<Box>& boxes, int x, int y)
{
    for (size_t i = 0; i < boxes.size(); ++i)
        if (inside(boxes[i], x, y))
            return int(i);
    return -1;
}

// Every corner of the pet on some monitor: for these layouts (no hole
// smaller than the pet) that is the whole pet.
bool shown_whole(const std::vector<Box>& boxes, const Place& p)
{
    for (const int x : {p.x, p.x + PET - 1})
        for (const int y : {p.y, p.y + PET - 1})
            if (monitor_at(boxes, x, y) < 0)
                return false;
    return true;
}

const std::vector<Layout> LAYOUTS = {
    {"two equal side by side", "0,0,1920,1080;1920,0,1920,1080", {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}}, true},
    {"stacked", "0,0,1280,1024;0,1024,1280,1024", {{0, 0, 1280, 1024}, {0, 1024, 1280, 1024}}, false},
    {"different heights, a dead zone",
     "0,0,2560,1440;2560,0,1280,1024",
     {{0, 0, 2560, 1440}, {2560, 0, 1280, 1024}},
     true},
    {"offset, left of the primary",
     "0,0,1920,1080;-1280,300,1280,1024",
     {{0, 0, 1920, 1080}, {-1280, 300, 1280, 1024}},
     true},
    {"three in an L",
     "0,0,1920,1080;1920,0,1920,1080;0,1080,1920,1080",
     {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}, {0, 1080, 1920, 1080}},
     false},
};

TEST(DeskSim, ThePetWalksEveryMonitorAndNeverWhereNoneShowsIt)
{
    for (const Layout& layout : LAYOUTS) {
        SCOPED_TRACE(layout.name);
        // Over the seeds together (a pet wanders where its draws take it).
        std::set<int> visited;
        std::set<int> floors;
        for (const char* seed : {"1", "7", "424242"}) {
            SCOPED_TRACE(std::string("seed ") + seed);
            const std::vector<Place> run = places({"--monitors", layout.monitors, "--seed", seed, "--ticks", "60000"});
            ASSERT_EQ(run.size(), 60001u);
            for (size_t t = 0; t < run.size(); ++t) {
                const Place& p = run[t];
                ASSERT_TRUE(shown_whole(layout.boxes, p)) << "tick " << t << " at " << p.x << "," << p.y;
                const int m = monitor_at(layout.boxes, p.x, p.y);
                visited.insert(m);
                const Box& b = layout.boxes[size_t(m)];
                if (p.y + PET == b.y + b.h && inside(b, p.x + PET - 1, p.y))
                    floors.insert(m);
            }
        }
        EXPECT_EQ(visited.size(), layout.boxes.size());
        // Where a monitor has nothing below it, the pet reaches its bottom.
        if (layout.every_floor) {
            EXPECT_EQ(floors.size(), layout.boxes.size());
        }
    }
}

TEST(DeskSim, OneMonitorIsTheScreen)
{
    const std::vector<std::string> common = {
        "--seed",  "7",    "--margins", "10,20,30,40",
        "--ticks", "2000", "--events",  "5:press:10,10;6:move:300,200;9:move:-50,900;12:release"};
    std::vector<std::string> screen = common;
    screen.insert(screen.end(), {"--screen", "800x600"});
    std::vector<std::string> monitors = common;
    monitors.insert(monitors.end(), {"--monitors", "0,0,800,600"});
    EXPECT_EQ(run_out(monitors), run_out(screen));
}

TEST(DeskSim, DragsCrossMonitorsAndDropsLandOnOne)
{
    const char* l_shape = "0,0,2560,1440;2560,0,1280,1024";
    const Place start = places({"--monitors", l_shape, "--ticks", "0"})[0];
    // Carried by its 10,10 pixel to 3000,300: onto the right monitor, where it stays.
    const std::string to_right =
        "1:press:10,10;2:move:" + std::to_string(3000 - start.x) + "," + std::to_string(300 - start.y);
    std::vector<Place> run = places({"--monitors", l_shape, "--ticks", "3", "--events", to_right + ";3:release"});
    ASSERT_EQ(run.size(), 4u);
    EXPECT_EQ(run[2].x, 2990);
    EXPECT_EQ(run[3].x, 2990);
    EXPECT_EQ(run[3].y, 290);
    // Released over the dead zone (3000,1300 is on no monitor): it lands on the
    // nearest place wholly on one, the right monitor's bottom, not the primary's edge.
    const std::string to_dead_zone =
        "1:press:10,10;2:move:" + std::to_string(3000 - start.x) + "," + std::to_string(1300 - start.y);
    run = places({"--monitors", l_shape, "--ticks", "2", "--events", to_dead_zone + ";3:release"});
    EXPECT_EQ(run[2].y, 1290);
    run = places({"--monitors", l_shape, "--ticks", "3", "--events", to_dead_zone + ";3:release"});
    EXPECT_EQ(run[3].x, 2990);
    EXPECT_EQ(run[3].y, 1024 - PET);
}

TEST(DeskSim, TheMonitorKeyKeepsThePetOnOne)
{
    const std::vector<Box> right = {{1920, 0, 1920, 1080}};
    for (const char* seed : {"1", "7"}) {
        const std::vector<Place> run =
            places({"--monitors", "0,0,1920,1080;1920,0,1920,1080", "--monitor", "2", "--seed", seed, "--ticks", "5000",
                    // carried towards the primary: it stays on its own monitor
                    "--events", "100:press:0,0;101:move:-3000,0;102:release"});
        for (const Place& p : run)
            ASSERT_TRUE(shown_whole(right, p)) << p.x << "," << p.y;
    }
    // A monitor that is not there: every monitor, as 0 gives.
    EXPECT_EQ(run_out({"--monitors", "0,0,1920,1080;1920,0,1920,1080", "--monitor", "3", "--ticks", "3000"}),
              run_out({"--monitors", "0,0,1920,1080;1920,0,1920,1080", "--ticks", "3000"}));
}

TEST(DeskSim, ThePetStaysOnMonitorsThatRemain)
{
    // Carried onto the right monitor, which then goes: it comes to the nearest
    // place on the primary, and lives on there.
    const std::vector<Place> run = places({"--monitors", "0,0,1920,1080;1920,0,1280,1024", "--ticks", "2000",
                                           "--events", "1:press:10,10;2:move:2500,10;3:release;50:unplug:2"});
    ASSERT_EQ(run.size(), 2001u);
    EXPECT_GE(run[49].x, 1920);
    const std::vector<Box> primary = {{0, 0, 1920, 1080}};
    for (size_t t = 50; t < run.size(); ++t)
        ASSERT_TRUE(shown_whole(primary, run[t])) << "tick " << t;
    // The primary goes: the other monitor is the desk.
    const std::vector<Box> second = {{1920, 0, 1280, 1024}};
    const std::vector<Place> rest =
        places({"--monitors", "0,0,1920,1080;1920,0,1280,1024", "--ticks", "1000", "--events", "10:unplug:1"});
    for (size_t t = 10; t < rest.size(); ++t)
        ASSERT_TRUE(shown_whole(second, rest[t])) << "tick " << t;
}

TEST(DeskSim, BadMonitorListsAreNamed)
{
    for (const char* list : {"", "0,0,100", "0,0,0,100", "0,0,100,100;", "a,0,100,100"}) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const char* argv[] = {"dorrabee-sim", "--monitors", list};
        EXPECT_EQ(run_sim(3, argv, out, err), 2) << list;
        std::fclose(out);
        std::fclose(err);
    }
}

}  // namespace
