#include "tests/engine/engine_fixture.h"

namespace {

class DragTest : public EngineTest {
protected:
    void start(int n, int32_t facing = 0, int32_t tick = 0)
    {
        ASSERT_EQ(load(), 1);
        pet->current_action = n - 1;
        pet->facing = facing;
        pet->tick = tick;
        pet->x = 500;
        pet->y = 300;
        pet->repeat_count = 4;
        set_image(pet);
    }

    int move_to(int16_t cx, int16_t cy)
    {
        int32_t old_x = -1;
        int32_t old_y = -1;
        return drag_move(pet, room, true, cx, cy, &old_x, &old_y);
    }
};

TEST_F(DragTest, GrabPointIsClampedToTheWindow)
{
    start(6);
    drag_begin(pet, -3, 50);
    EXPECT_EQ(pet->dragging, 1);
    EXPECT_EQ(pet->grab_x, 0);
    EXPECT_EQ(pet->grab_y, 42);
    drag_end(pet);
    EXPECT_EQ(pet->dragging, 0);
    EXPECT_EQ(pet->grab_x, 0);
    EXPECT_EQ(pet->grab_y, 0);
    drag_begin(pet, 42, 0);
    EXPECT_EQ(pet->grab_x, 42);
    EXPECT_EQ(pet->grab_y, 0);
}

TEST_F(DragTest, MovesKeepTheHeldPointUnderThePointerInsideTheBox)
{
    room.top_margin = 20;
    room.bottom_margin = 30;
    room.left_margin = 40;
    room.right_margin = 50;
    start(6);
    drag_begin(pet, 10, 12);
    int32_t old_x = 0;
    int32_t old_y = 0;
    EXPECT_EQ(drag_move(pet, room, true, 15, 2, &old_x, &old_y), 1);
    EXPECT_EQ(old_x, 500);
    EXPECT_EQ(old_y, 300);
    EXPECT_EQ(pet->x, 505);
    EXPECT_EQ(pet->y, 290);
    EXPECT_EQ(pet->x, 505);
    EXPECT_EQ(pet->y, 290);

    EXPECT_EQ(move_to(32767, 32767), 1);
    EXPECT_EQ(pet->x, 1024 - 50 - 42);
    EXPECT_EQ(pet->y, 768 - 30 - 42);
    EXPECT_EQ(move_to(-32768, -32768), 1);
    EXPECT_EQ(pet->x, 40);
    EXPECT_EQ(pet->y, 20);
    // Staying put still asks for a repaint.
    EXPECT_EQ(move_to(10, 12), 1);
    EXPECT_EQ(pet->x, 40);

    EXPECT_EQ(drag_move(pet, room, false, 100, 100, &old_x, &old_y), 0);
    EXPECT_EQ(pet->x, 40);
    drag_end(pet);
    EXPECT_EQ(move_to(100, 100), 0);
    EXPECT_EQ(pet->x, 40);
}

TEST_F(DragTest, ABoxTooSmallPutsThePetAgainstTheFarEdge)
{
    room.width = 41;
    start(6);
    drag_begin(pet, 0, 0);
    move_to(-100, 0);
    EXPECT_EQ(pet->x, -1);  // the right limit is applied last
}

TEST_F(DragTest, WithoutDragActionThePetIsCarriedFrozen)
{
    set_cell(6, COLUMN_RELEASE_ACTION, "1");
    start(6, 0, 3);
    const int32_t image = pet->current_image;
    drag_begin(pet, 5, 5);
    EXPECT_EQ(pet->drag_state, DRAG_NONE);
    drag_tick(pet);
    drag_tick(pet);
    EXPECT_EQ(pet->tick, 3);
    EXPECT_EQ(pet->current_image, image);
    drag_end(pet);
    EXPECT_EQ(pet->current_action, 5);
    EXPECT_EQ(pet->tick, 3);
    EXPECT_EQ(pet->repeat_count, 4);
}

TEST_F(DragTest, DragActionOfItselfKeepsAnimatingInPlace)
{
    set_cell(11, COLUMN_RELEASE_ACTION, "10");
    start(11, 1, 4);
    drag_begin(pet, 5, 5);
    EXPECT_EQ(pet->drag_state, DRAG_SAME);
    EXPECT_EQ(pet->tick, 4);
    drag_tick(pet);
    EXPECT_EQ(pet->tick, 5);
    EXPECT_EQ(pet->current_image, 23);  // frame 5 of "23,23,23,24,24,24"
    drag_tick(pet);
    EXPECT_EQ(pet->tick, 0);
    EXPECT_EQ(pet->current_image, 22);
    EXPECT_EQ(pet->current_mirrored, 1);
    drag_end(pet);
    EXPECT_EQ(pet->current_action, 9);
    EXPECT_EQ(pet->facing, 1);
    EXPECT_EQ(pet->tick, 0);
    EXPECT_EQ(pet->repeat_count, 0);
    EXPECT_EQ(pet->drag_state, DRAG_NONE);
}

TEST_F(DragTest, SwitchedActionIsRestoredThenReleaseTaken)
{
    start(3, 0, 2);  // drag 55, release 8
    drag_begin(pet, 5, 5);
    EXPECT_EQ(pet->drag_state, DRAG_SWITCHED);
    EXPECT_EQ(pet->current_action, 54);
    EXPECT_EQ(pet->tick, 0);
    EXPECT_EQ(pet->repeat_count, 0);
    EXPECT_EQ(pet->current_image, 8);  // unchanged until the next tick
    drag_tick(pet);
    EXPECT_EQ(pet->tick, 1);
    EXPECT_EQ(pet->current_image, 100);  // action 55's second image, 101
    drag_end(pet);
    EXPECT_EQ(pet->current_action, 7);
    EXPECT_EQ(pet->facing, 0);
    EXPECT_EQ(pet->tick, 0);
    for (int j = 0; j < HISTORY_LENGTH; ++j)
        EXPECT_EQ(pet->history[j], -1);

    // Released with no release action: back to the saved action, from its start.
    set_cell(13, COLUMN_DRAG_ACTION, "9");
    start(13, 1, 2);
    drag_begin(pet, 0, 0);
    drag_end(pet);
    EXPECT_EQ(pet->current_action, 12);
    EXPECT_EQ(pet->facing, 1);
    EXPECT_EQ(pet->tick, 0);
}

TEST_F(DragTest, NegativeReferencesTurnThePetRound)
{
    set_cell(11, COLUMN_DRAG_ACTION, "r11");
    set_cell(11, COLUMN_RELEASE_ACTION, "r10");
    start(11, 0, 3);
    drag_begin(pet, 5, 5);
    EXPECT_EQ(pet->drag_state, DRAG_SWITCHED);
    EXPECT_EQ(pet->current_action, 10);
    EXPECT_EQ(pet->facing, 1);
    EXPECT_EQ(pet->tick, 0);
    drag_end(pet);
    EXPECT_EQ(pet->current_action, 9);
    EXPECT_EQ(pet->facing, 1);  // restored to 0, then turned by the release

    // A negative release of the saved action itself still turns it.
    set_cell(11, COLUMN_RELEASE_ACTION, "r11");
    start(11, 1, 3);
    drag_begin(pet, 5, 5);
    drag_end(pet);
    EXPECT_EQ(pet->current_action, 10);
    EXPECT_EQ(pet->facing, 0);
}

TEST_F(DragTest, ReleaseOfTheSavedActionItselfChangesNothing)
{
    set_cell(11, COLUMN_DRAG_ACTION, "11");
    set_cell(11, COLUMN_RELEASE_ACTION, "11");
    start(11, 1, 3);
    drag_begin(pet, 5, 5);
    drag_tick(pet);
    drag_end(pet);
    EXPECT_EQ(pet->current_action, 10);
    EXPECT_EQ(pet->tick, 4);
    EXPECT_EQ(pet->repeat_count, 4);
}

}  // namespace
