// The desk's rules on their own: monitors in the pet's pixels, which edges
// open, where a pet half across an edge may go, stepping down, landing.
#include <gtest/gtest.h>

#include "engine/pet_state.h"
#include "shell/desk.h"

namespace {

Monitor monitor(int32_t x, int32_t y, int32_t w, int32_t h)
{
    return {x, y, w, h, x, y, w, h, 96};
}

Desk desk_of(std::initializer_list<Monitor> monitors, DeskSettings settings = {0, 0, 1}, int32_t z = 1,
             int32_t margin = 0)
{
    return desk_make(monitors.begin(), int32_t(monitors.size()), settings, z, margin, margin, margin, margin);
}

TEST(Desk, MonitorsInThePetsPixels)
{
    // At zoom 2, inwards at both ends: a pet inside is wholly on the monitor,
    // also left of the primary.
    Monitor left = monitor(-1281, 0, 1280, 1025);
    Desk desk = desk_of({monitor(0, 0, 1920, 1080), left}, {0, 0, 1}, 2, 5);
    ASSERT_EQ(desk.count, 2);
    EXPECT_EQ(desk.boxes[1].x, -640);
    EXPECT_EQ(desk.boxes[1].width, 639);  // -640 ... -1 (screen -1280 ... -2)
    EXPECT_EQ(desk.boxes[1].height, 512);
    EXPECT_EQ(desk.top_margin, 3);  // margins round up
    // The one-monitor key, and one that is not there.
    desk = desk_of({monitor(0, 0, 1920, 1080), left}, {2, 0, 1});
    ASSERT_EQ(desk.count, 1);
    EXPECT_EQ(desk.boxes[0].x, -1281);
    EXPECT_EQ(desk_of({monitor(0, 0, 1920, 1080), left}, {3, 0, 1}).count, 2);
    // Floor at the panel: the work area, where the platform knows one.
    Monitor panel = monitor(0, 0, 1920, 1080);
    panel.work_height = 1040;
    EXPECT_EQ(desk_of({panel}, {0, 1, 1}).boxes[0].height, 1040);
    EXPECT_EQ(desk_of({panel}, {0, 0, 1}).boxes[0].height, 1080);
    panel.work_width = 0;  // none known
    EXPECT_EQ(desk_of({panel}, {0, 1, 1}).boxes[0].height, 1080);
}

TEST(Desk, EdgesOpenWhereTheNeighbourShowsThePet)
{
    // A tall primary and a shorter monitor on its right: a dead zone below the latter.
    const Desk desk = desk_of({monitor(0, 0, 2560, 1440), monitor(2560, 0, 1280, 1024)}, {0, 0, 1}, 1, 10);
    struct Case {
        int32_t x, y;
        uint8_t open;
        int32_t room_x, room_y, room_w, room_h, right_margin;
    } cases[] = {
        {100, 500, ROOM_OPEN_RIGHT, 0, 0, 2560, 1440, 0},      // high enough: the edge opens
        {100, 1000, 0, 0, 0, 2560, 1440, 10},                  // its feet below the neighbour: a wall, with the margin
        {2530, 500, ROOM_OPEN_RIGHT, 0, 0, 2560, 1024, 0},     // half across: only where both show it
        {2570, 500, ROOM_OPEN_LEFT, 2560, 0, 1280, 1024, 10},  // on the neighbour, the primary beyond its left
        {2570, 1200, 0, 0, 0, 2560, 1440, 10},                 // off every monitor: the nearest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        const Room room = desk_room(desk, c.x, c.y, 42, 42);
        EXPECT_EQ(room.open_edges, c.open);
        EXPECT_EQ(room.x, c.room_x);
        EXPECT_EQ(room.y, c.room_y);
        EXPECT_EQ(room.width, c.room_w);
        EXPECT_EQ(room.height, c.room_h);
        EXPECT_EQ(room.right_margin, c.right_margin);
        EXPECT_EQ(room.top_margin, 10);
    }
    // Stacked: the floor of the upper one opens onto the lower one.
    const Desk stacked = desk_of({monitor(0, 0, 1280, 1024), monitor(0, 1024, 1280, 1024)});
    EXPECT_EQ(desk_room(stacked, 100, 100, 42, 42).open_edges, ROOM_OPEN_BOTTOM);
    EXPECT_EQ(room_floor(desk_room(stacked, 100, 100, 42, 42), 42), INT32_MIN);
    EXPECT_EQ(desk_room(stacked, 1250, 100, 42, 42).open_edges, 0);  // not wholly above the lower one
}

TEST(Desk, SettlingStepsDownAndLands)
{
    // The shorter monitor on the left this time: walking off its floor onto the
    // taller primary steps down to the primary's floor.
    const Desk desk = desk_of({monitor(0, 0, 2560, 1440), monitor(-1280, 0, 1280, 1024)});
    PetState pet{};
    pet.sprite_width = pet.sprite_height = 42;
    pet.x = 2;
    pet.y = 1024 - 42;
    EXPECT_TRUE(desk_settle(desk, &pet, 1024 - 42));
    EXPECT_EQ(pet.y, 1440 - 42);
    // Still half on the shorter one: it stays on that floor.
    pet.x = -2;
    pet.y = 1024 - 42;
    EXPECT_FALSE(desk_settle(desk, &pet, 1024 - 42));
    EXPECT_EQ(pet.y, 1024 - 42);
    // Not on a floor before: no step.
    pet.x = 2;
    EXPECT_FALSE(desk_settle(desk, &pet, INT32_MIN));
    // Partly where no monitor shows it: to the nearest place wholly on one.
    pet.x = -30;
    pet.y = 1100;
    EXPECT_TRUE(desk_settle(desk, &pet, INT32_MIN));
    EXPECT_EQ(pet.x, 0);
    EXPECT_EQ(pet.y, 1100);
    // One monitor: nothing is ever moved here (the engine's room holds the pet).
    pet.x = -500;
    EXPECT_FALSE(desk_settle(desk_of({monitor(0, 0, 800, 600)}), &pet, INT32_MIN));
}

TEST(Desk, ADragRoomHoldsEveryMonitor)
{
    const Room room = desk_drag_room(desk_of({monitor(0, 0, 1920, 1080), monitor(-1280, 300, 1280, 1024)}));
    EXPECT_EQ(room.x, -1280);
    EXPECT_EQ(room.y, 0);
    EXPECT_EQ(room.width, 3200);
    EXPECT_EQ(room.height, 1324);
}

}  // namespace
