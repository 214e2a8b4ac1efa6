#include <string>

#include "engine/random.h"
#include "tests/engine/engine_fixture.h"

namespace {

class StepTest : public EngineTest {
protected:
    // Loads the script and puts the pet at (x, y) running action n (1-based)
    // at frame `tick` with `facing`.
    void start(int n, int32_t x, int32_t y, int32_t facing = 0, int32_t tick = 0)
    {
        ASSERT_EQ(load(), 1) << (messages().empty() ? "" : messages().front());
        place(n, x, y, facing, tick);
    }

    void place(int n, int32_t x, int32_t y, int32_t facing = 0, int32_t tick = 0)
    {
        pet->current_action = n - 1;
        pet->x = x;
        pet->y = y;
        pet->facing = facing;
        pet->tick = tick;
    }

    int32_t xmax() const { return room.width - 42 - room.right_margin; }
    int32_t ymax() const { return room.height - 42 - room.bottom_margin; }
};

TEST(RandomGenerator, IsTheWindowsCLibraryGeneratorOneSequencePerState)
{
    Random random{}, other{};
    random_seed(random, 1);
    random_seed(other, 1);
    EXPECT_EQ(random_draw(random), 41);
    EXPECT_EQ(random_draw(random), 18467);
    EXPECT_EQ(random_draw(random), 6334);
    EXPECT_EQ(random_draw(random), 26500);
    EXPECT_EQ(random_draw(random), 19169);
    EXPECT_EQ(random_draw(other), 41) << "draws from one state leave another alone";
    random_seed(random, 0xFFFFFFFFu);
    for (int k = 0; k < 1000; ++k) {
        const int32_t r = random_draw(random);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

TEST_F(StepTest, ImagesAreMirroredRelativeToTheFacing)
{
    start(5, 300, 300, 0, 0);  // "10,r9,r8,r1"
    const int expected[2][2][2] = {{{9, 0}, {8, 1}}, {{9, 1}, {8, 0}}};
    for (int facing = 0; facing < 2; ++facing)
        for (int tick = 0; tick < 2; ++tick) {
            place(5, 300, 300, facing, tick);
            set_image(pet);
            EXPECT_EQ(pet->current_image, expected[facing][tick][0]);
            EXPECT_EQ(pet->current_mirrored, expected[facing][tick][1]);
        }
}

TEST_F(StepTest, AnActionFinishesOnTheTickAfterItsLastFrame)
{
    set_cell(1, COLUMN_NEXT, "13-100");
    start(1, 500, 300);
    EXPECT_EQ(probe_move(pet, room, 0, 2, 0, false).result, STEP_FINISHED);
    pet_step(pet, room);
    EXPECT_EQ(pet->current_action, 0);
    EXPECT_EQ(pet->tick, 1);
    pet_step(pet, room);
    EXPECT_EQ(pet->current_action, 12);
    EXPECT_EQ(pet->tick, 0);
    EXPECT_EQ(pet->current_image, 35);  // action 13's first image, 36
    EXPECT_EQ(pet->history[0], 12);
    EXPECT_EQ(pet->history_facing[0], 0);
    EXPECT_EQ(pet->history[1], -1);
}

TEST_F(StepTest, MovingPastALimitWithoutABoundListStopsOnTheLimit)
{
    set_cell(21, COLUMN_IMAGES, "19,20,19,20,19,20");
    set_cell(21, COLUMN_X_BOUND, "");
    room.right_margin = 10;
    start(21, 0, 100, /*facing=*/1);
    place(21, xmax() - 7, 100, 1);
    pet_step(pet, room);
    EXPECT_EQ(pet->x, xmax());
    EXPECT_EQ(pet->x, xmax());
    EXPECT_EQ(pet->current_action, 20);
    pet_step(pet, room);
    pet_step(pet, room);
    EXPECT_EQ(pet->x, xmax());
    EXPECT_EQ(pet->tick, 3);
    EXPECT_EQ(pet->current_mirrored, 1);

    // The same on the left, facing as drawn.
    place(21, room.left_margin + 3, 100, 0);
    pet_step(pet, room);
    EXPECT_EQ(pet->x, room.left_margin);
}

TEST_F(StepTest, LandingExactlyOnALimitIsNoBound)
{
    room.left_margin = 20;
    start(2, 25, 100);
    EXPECT_EQ(probe_move(pet, room, 1, 1, 0, true).result, STEP_CONTINUE);
    pet_step(pet, room);
    EXPECT_EQ(pet->x, 20);
    EXPECT_EQ(pet->current_action, 1);
    EXPECT_EQ(pet->tick, 1);

    place(31, 100, ymax() - 10);
    EXPECT_EQ(probe_move(pet, room, 30, 1, 0, true).result, STEP_CONTINUE);
    EXPECT_EQ(probe_move(pet, room, 30, 1, 0, true).dy, 10);
}

TEST_F(StepTest, ABoundListCutsTheActionShortAndTheNewActionMovesAtOnce)
{
    set_cell(2, COLUMN_X_BOUND, "r21-100");
    set_cell(21, COLUMN_X_BOUND, "");
    room.left_margin = 50;
    start(2, 53, 100);
    const Probe probe = probe_move(pet, room, 1, 1, 0, false);
    EXPECT_EQ(probe.result, STEP_X_BOUND);
    EXPECT_EQ(probe.dx, 0);
    pet_step(pet, room);
    EXPECT_EQ(pet->current_action, 20);
    EXPECT_EQ(pet->facing, 1);
    EXPECT_EQ(pet->tick, 0);
    EXPECT_EQ(pet->x, 73);  // 21's first move, turned round: +20
    EXPECT_EQ(pet->current_image, 18);
    EXPECT_EQ(pet->current_mirrored, 1);
    EXPECT_EQ(pet->history[0], 20);
    EXPECT_EQ(pet->history_facing[0], 1);
}

TEST_F(StepTest, YBoundChoosesFromTheYBoundList)
{
    start(31, 300, 0);
    place(31, 300, ymax() - 5, 0, 0);
    pet_step(pet, room);
    EXPECT_EQ(pet->current_action, 8);  // 31's y_bound: "9-100"
    EXPECT_EQ(pet->y, ymax() - 5);
}

TEST_F(StepTest, AVerticalLimitOverridesAHorizontalOneInTheSameProbe)
{
    room.top_margin = 10;
    room.left_margin = 10;
    start(43, 12, 12);
    Probe probe = probe_move(pet, room, 42, 0, 0, false);
    EXPECT_EQ(probe.result, STEP_Y_BOUND);
    EXPECT_EQ(probe.dx, 0);
    EXPECT_EQ(probe.dy, 0);
    place(43, 12, 300);
    EXPECT_EQ(probe_move(pet, room, 42, 0, 0, false).result, STEP_X_BOUND);
    place(43, 300, 300);
    probe = probe_move(pet, room, 42, 0, 0, false);
    EXPECT_EQ(probe.result, STEP_CONTINUE);
    EXPECT_EQ(probe.dx, -8);
    EXPECT_EQ(probe.dy, -8);
    probe = probe_move(pet, room, 42, 0, 1, false);
    EXPECT_EQ(probe.dx, 8);
}

TEST_F(StepTest, StrictProbesBoundOnAnyContact)
{
    set_cell(21, COLUMN_X_BOUND, "");
    start(21, 5, 100);
    Probe probe = probe_move(pet, room, 20, 0, 0, false);
    EXPECT_EQ(probe.result, STEP_CONTINUE);
    EXPECT_EQ(probe.dx, -5);
    probe = probe_move(pet, room, 20, 0, 0, true);
    EXPECT_EQ(probe.result, STEP_X_BOUND);
    EXPECT_EQ(probe.dx, 0);
    EXPECT_EQ(probe_move(pet, room, 20, 0, 1, true).result, STEP_CONTINUE);
}

TEST_F(StepTest, ACandidateCrossingALimitIsTakenOnlyWhenNothingElseFits)
{
    set_cell(1, COLUMN_NEXT, "21-100");
    set_cell(21, COLUMN_X_BOUND, "");
    start(1, 3, 100, 0, 1);
    pet_step(pet, room);
    EXPECT_EQ(pet->current_action, 20);
    EXPECT_EQ(pet->x, 0);         // clamped onto the limit
    EXPECT_EQ(pet->tried[0], 0);  // cleared, then accepted

    // While another entry fits, the crossing one is never taken.
    set_cell(1, COLUMN_NEXT, "21-90,13-10");
    for (uint32_t s = 0; s < 50; ++s) {
        seed = s;
        start(1, 3, 100, 0, 1);
        pet_step(pet, room);
        EXPECT_EQ(pet->current_action, 12) << s;
    }
}

TEST_F(StepTest, RoomIsCheckedBeforeTheProbe)
{
    set_cell(13, COLUMN_REACH_X, "100");
    set_cell(15, COLUMN_REACH_Y, "-50");
    start(1, 0, 0);
    place(1, xmax() - 100, 60);
    EXPECT_TRUE(fits_room(pet, room, 12, 0));
    EXPECT_TRUE(fits_room(pet, room, 14, 0));
    place(1, xmax() - 99, 50);
    EXPECT_FALSE(fits_room(pet, room, 12, 0));
    EXPECT_TRUE(fits_room(pet, room, 12, 1));
    EXPECT_TRUE(fits_room(pet, room, 14, 0));
    place(1, 99, 49);
    EXPECT_FALSE(fits_room(pet, room, 12, 1));
    EXPECT_FALSE(fits_room(pet, room, 14, 0));

    set_cell(1, COLUMN_NEXT, "13-90,15-5,3-5");
    for (uint32_t s = 0; s < 50; ++s) {
        seed = s;
        start(1, 0, 0);
        place(1, xmax() - 99, 49, 0, 1);
        pet_step(pet, room);
        EXPECT_EQ(pet->current_action, 2) << s;
    }
    // Nothing fits: the flags are cleared and room no longer counts.
    set_cell(1, COLUMN_NEXT, "13-50,15-50");
    start(1, 0, 0);
    place(1, xmax() - 99, 49, 0, 1);
    pet_step(pet, room);
    EXPECT_TRUE(pet->current_action == 12 || pet->current_action == 14);
}

TEST_F(StepTest, RepetitionLosesWeightBySameRatio)
{
    start(13, 300, 300);
    ActionLink list[2] = {{1000, 13, 0}, {500, 1, 0}};
    pet->actions[12].same_ratio = 400;
    pet->repeat_count = 3;
    choose_next(pet, list, 2);
    EXPECT_EQ(pet->weights[0], 1);
    EXPECT_EQ(pet->weights[1], 500);
    pet->repeat_count = 2;
    choose_next(pet, list, 2);
    EXPECT_EQ(pet->weights[0], 200);
    // The mirrored repetition is no plain repetition.
    list[0].mirror = 1;
    choose_next(pet, list, 2);
    EXPECT_EQ(pet->weights[0], 1000);
    // A tried entry weighs nothing.
    pet->tried[1] = 1;
    choose_next(pet, list, 2);
    EXPECT_EQ(pet->weights[1], 0);
    pet->tried[1] = 0;
}

TEST_F(StepTest, DislikesFadeOverTheirLevel)
{
    start(9, 300, 300);  // action 3 dislikes "4-20": same facing
    ActionLink list[1] = {{150, 4, 0}};
    auto weight = [&](int j, int history_facing, int mirror) {
        for (int k = 0; k < HISTORY_LENGTH; ++k) {
            pet->history[k] = k == j ? 2 : 8;
            pet->history_facing[k] = static_cast<uint8_t>(k == j ? history_facing : 0);
        }
        list[0].mirror = static_cast<uint8_t>(mirror);
        choose_next(pet, list, 1);
        return pet->weights[0];
    };
    EXPECT_EQ(weight(5, 0, 0), 37);  // 5 x 150 / 20
    EXPECT_EQ(weight(0, 0, 0), 1);   // driven to the floor
    EXPECT_EQ(weight(19, 0, 0), 142);
    EXPECT_EQ(weight(20, 0, 0), 150);  // beyond its level
    // Direction 0 means the candidate would face as action 3 did.
    EXPECT_EQ(weight(5, 1, 0), 150);
    EXPECT_EQ(weight(5, 0, 1), 150);
    EXPECT_EQ(weight(5, 1, 1), 37);
    pet->facing = 1;
    EXPECT_EQ(weight(5, 1, 0), 37);
    EXPECT_EQ(weight(5, 0, 1), 37);
    EXPECT_EQ(weight(5, 0, 0), 150);
}

TEST_F(StepTest, DislikeDirectionsAndPreviousActions)
{
    set_cell(3, COLUMN_DISLIKES, "r4-10,*5-10,6-10:1,7-10:r1,24-10:*1");
    start(9, 300, 300);
    auto weight = [&](int candidate, int mirror, std::initializer_list<std::pair<int, int>> h) {
        set_history(h);
        ActionLink list[1] = {{100, static_cast<int16_t>(candidate), static_cast<uint8_t>(mirror)}};
        choose_next(pet, list, 1);
        return pet->weights[0];
    };
    // j = 2 gives 2 x 100 / 10 = 20.
    EXPECT_EQ(weight(4, 1, {{8, 0}, {8, 0}, {2, 0}}), 20);
    EXPECT_EQ(weight(4, 0, {{8, 0}, {8, 0}, {2, 0}}), 100);
    EXPECT_EQ(weight(5, 0, {{8, 0}, {8, 0}, {2, 1}}), 20);
    EXPECT_EQ(weight(5, 1, {{8, 0}, {8, 0}, {2, 0}}), 20);
    // Previous action 1, chosen just before 3 with the same facing.
    EXPECT_EQ(weight(6, 0, {{8, 0}, {8, 0}, {2, 0}, {0, 0}}), 20);
    EXPECT_EQ(weight(6, 0, {{8, 0}, {8, 0}, {2, 0}, {0, 1}}), 100);
    EXPECT_EQ(weight(6, 0, {{8, 0}, {8, 0}, {2, 0}, {9, 0}}), 100);
    EXPECT_EQ(weight(6, 0, {{8, 0}, {8, 0}, {2, 0}}), 100);
    EXPECT_EQ(weight(7, 0, {{8, 0}, {8, 0}, {2, 0}, {0, 1}}), 20);
    EXPECT_EQ(weight(7, 0, {{8, 0}, {8, 0}, {2, 0}, {0, 0}}), 100);
    EXPECT_EQ(weight(24, 1, {{8, 0}, {8, 0}, {2, 1}, {0, 0}}), 20);
    // The rule at the oldest place has no earlier choice to look at.
    std::initializer_list<std::pair<int, int>> full = {{8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0},
                                                       {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0},
                                                       {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0},
                                                       {8, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}, {2, 0}};
    set_cell(3, COLUMN_DISLIKES, "4-30,5-30:1");
    start(9, 300, 300);
    EXPECT_EQ(weight(4, 0, full), 96);  // 29 x 100 / 30
    EXPECT_EQ(weight(5, 0, full), 100);
}

TEST_F(StepTest, DislikesOfTheRunningActionDoNotTouchItsPlainRepetition)
{
    start(11, 300, 300);  // action 11 dislikes itself either way
    set_history({{10, 0}});
    ActionLink list[2] = {{700, 11, 0}, {700, 11, 1}};
    choose_next(pet, list, 2);
    EXPECT_EQ(pet->weights[0], 700);
    EXPECT_EQ(pet->weights[1], 1);
}

TEST_F(StepTest, LargeRatiosDoNotOverflowTheDraw)
{
    // 26 entries of 32760 tenths: r x total exceeds 32 bits.
    std::string next = "1-3276";
    for (int k = 1; k < 26; ++k)
        next += k % 2 ? ",r1-3276" : ",1-3276";
    set_cell(1, COLUMN_NEXT, next.c_str());
    start(2, 300, 300);
    const int64_t total = int64_t{26} * 32760;
    for (uint32_t s = 0; s < 300; ++s) {
        random_seed(pet->random, s);
        const int64_t r = random_draw(pet->random);
        random_seed(pet->random, s);
        const Choice choice = choose_next(pet, pet->actions[0].next, 26);
        ASSERT_EQ(choice.entry, r * total / 32768 / 32760) << s;
        EXPECT_EQ(choice.facing, choice.entry % 2);
    }
}

TEST_F(StepTest, WouldCycleFindsRepeatedSequences)
{
    start(1, 300, 300);
    const int A = 3, B = 5, C = 7;
    set_history({{B, 0}, {A, 0}, {B, 0}, {A, 0}});
    EXPECT_TRUE(would_cycle(pet, A, 0));
    EXPECT_FALSE(would_cycle(pet, B, 0));  // plain repetition is same_ratio's business
    EXPECT_FALSE(would_cycle(pet, A, 1));
    EXPECT_FALSE(would_cycle(pet, C, 0));
    set_history({{B, 0}, {A, 0}, {B, 1}, {A, 0}});
    EXPECT_FALSE(would_cycle(pet, A, 0));
    set_history({{C, 0}, {B, 0}, {A, 0}, {C, 0}, {B, 0}});
    EXPECT_TRUE(would_cycle(pet, A, 0));
    set_history({{C, 0}, {B, 0}, {A, 0}, {C, 0}});
    EXPECT_FALSE(would_cycle(pet, A, 0));

    // The copy must fit in the history.
    for (int j = 0; j < HISTORY_LENGTH; ++j) {
        pet->history[j] = j == 15 ? A : B;
        pet->history_facing[j] = 0;
    }
    EXPECT_FALSE(would_cycle(pet, A, 0));
    pet->history[15] = B;
    pet->history[14] = A;
    EXPECT_TRUE(would_cycle(pet, A, 0));
}

TEST_F(StepTest, CyclesAreDrawnAgainAtMostTenTimes)
{
    // Action 3's next is "A-50,C-50" with A = 4 and C = 13; B = 3 runs.
    set_cell(3, COLUMN_NEXT, "4-50,13-50");
    set_cell(3, COLUMN_DISLIKES, "");
    int cycles_taken = 0;
    for (uint32_t s = 0; s < 200; ++s) {
        seed = s;
        start(3, 300, 300, 0, 3);
        set_history({{2, 0}, {3, 0}, {2, 0}, {3, 0}});
        pet_step(pet, room);
        cycles_taken += pet->current_action == 3;
    }
    EXPECT_LT(cycles_taken, 3);  // 11 draws of A in a row: 1 in 2048

    // With A almost certain, the eleventh pick is taken as it is.
    set_cell(3, COLUMN_NEXT, "4-99,13-1");
    for (uint32_t s = 0; s < 100; ++s) {
        seed = s;
        start(3, 300, 300, 0, 3);
        set_history({{2, 0}, {3, 0}, {2, 0}, {3, 0}});
        random_seed(pet->random, s);
        int a_draws = 0;
        while (a_draws < 11 && random_draw(pet->random) * int64_t{1000} / 32768 < 990)
            ++a_draws;
        random_seed(pet->random, s);
        pet_step(pet, room);
        EXPECT_EQ(pet->current_action == 3, a_draws == 11) << s;
    }

    // A single entry is never tested.
    set_cell(3, COLUMN_NEXT, "4-100");
    start(3, 300, 300, 0, 3);
    random_draw(pet->random);
    const int32_t second = random_draw(pet->random);
    start(3, 300, 300, 0, 3);
    set_history({{2, 0}, {3, 0}, {2, 0}, {3, 0}});
    pet_step(pet, room);
    EXPECT_EQ(pet->current_action, 3);
    EXPECT_EQ(random_draw(pet->random), second);  // the step drew exactly once
}

TEST_F(StepTest, RepeatCountAndHistory)
{
    set_cell(13, COLUMN_NEXT, "13-100");
    set_cell(13, COLUMN_SAME_RATIO, "");
    start(13, 300, 300, 0, 3);
    set_history({{12, 0}});
    pet_step(pet, room);
    EXPECT_EQ(pet->repeat_count, 1);
    for (int k = 0; k < 4; ++k)
        pet_step(pet, room);
    EXPECT_EQ(pet->repeat_count, 2);
    EXPECT_EQ(pet->history[0], 12);
    EXPECT_EQ(pet->history[2], 12);
    EXPECT_EQ(pet->history[3], -1);

    set_cell(13, COLUMN_NEXT, "r13-100");
    start(13, 300, 300, 0, 3);
    pet->repeat_count = 5;
    pet_step(pet, room);
    EXPECT_EQ(pet->repeat_count, 0);
    EXPECT_EQ(pet->facing, 1);
    EXPECT_EQ(pet->history_facing[0], 1);

    // The oldest choice falls out after thirty.
    for (int k = 0; k < 4 * 30; ++k)
        pet_step(pet, room);
    for (int j = 0; j < HISTORY_LENGTH; ++j)
        EXPECT_EQ(pet->history[j], 12);
}

TEST_F(StepTest, TheBuiltInPetStaysInsideItsBox)
{
    room.top_margin = 13;
    room.bottom_margin = 27;
    room.left_margin = 31;
    room.right_margin = 5;
    for (uint32_t s = 0; s < 20; ++s) {
        seed = s;
        ASSERT_EQ(load(), 1);
        for (int k = 0; k < 3000; ++k) {
            pet_step(pet, room);
            ASSERT_GE(pet->x, 31);
            ASSERT_LE(pet->x, xmax());
            ASSERT_GE(pet->y, 13);
            ASSERT_LE(pet->y, ymax());
            ASSERT_LT(pet->tick, action(pet->current_action + 1).frame_count);
        }
    }
}

TEST_F(StepTest, AboutRoutine)
{
    seed = 5;
    ASSERT_EQ(load(), 1);
    for (int k = 0; k < 100; ++k) {
        about_pick_animation(pet);
        ASSERT_GE(pet->about_animation, 0);
        ASSERT_LT(pet->about_animation, 35);
        EXPECT_EQ(pet->about_frame, 0);
    }
    pet->about_animation = 22;  // "75,r75"
    EXPECT_EQ(about_current_image(pet), 75);
    about_next_frame(pet);
    EXPECT_EQ(about_current_image(pet), -75);
    about_next_frame(pet);
    EXPECT_EQ(pet->about_frame, 0);
}

}  // namespace
