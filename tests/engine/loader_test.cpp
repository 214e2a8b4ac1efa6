#include <numeric>
#include <string>

#include "engine/loader.h"
#include "engine/random.h"
#include "tests/engine/engine_fixture.h"

using ::testing::ElementsAre;

namespace {

std::vector<int> frames_of(const ImageRef* frames, int count)
{
    return std::vector<int>(frames, frames + count);
}

using LoaderTest = EngineTest;

TEST_F(LoaderTest, BuiltInScriptLoadsSilentlyOnAnyRealScreen)
{
    for (auto [w, h] : {std::pair{42, 22}, {1024, 768}, {3840, 2160}, {43, 5000}}) {
        room.width = w;
        room.height = h;
        ASSERT_EQ(load(), 1) << w << "x" << h;
        EXPECT_TRUE(messages().empty()) << w << "x" << h << ": " << messages().front();
    }
    EXPECT_EQ(pet->action_count, 65);
    EXPECT_EQ(pet->dialog_animation_count, 35);
    EXPECT_EQ(pet->image_count, 108);
    EXPECT_EQ(pet->sprite_width, 42);
    EXPECT_EQ(pet->sprite_height, 42);
    EXPECT_EQ(pet->start_action, 1);
}

TEST_F(LoaderTest, BuiltInValuesLoadAsWritten)
{
    ASSERT_EQ(load(), 1);
    EXPECT_THAT(frames_of(action(1).frames, action(1).frame_count), ElementsAre(1, 1));
    EXPECT_THAT(frames_of(action(5).frames, action(5).frame_count), ElementsAre(10, -9, -8, -1));

    const Action& ten = action(10);
    ASSERT_EQ(ten.next_count, 16);
    EXPECT_EQ(ten.next[0].action, 10);
    EXPECT_EQ(ten.next[0].ratio, 200);
    EXPECT_EQ(ten.next[15].action, 60);
    EXPECT_EQ(ten.next[15].ratio, 20);
    int sum = 0;
    for (int k = 0; k < ten.next_count; ++k)
        sum += ten.next[k].ratio;
    EXPECT_EQ(sum, 1000);
    EXPECT_EQ(action(5).next[0].mirror, 1);
    EXPECT_EQ(action(48).next[2].mirror, 1);
    EXPECT_EQ(action(48).next[2].action, 25);

    ASSERT_EQ(action(1).dislike_count, 1);
    const Dislike& d1 = action(1).dislikes[0];
    EXPECT_EQ(d1.action, 10);
    EXPECT_EQ(d1.direction, 0);
    EXPECT_EQ(d1.level, 20);
    EXPECT_EQ(d1.previous_action, 10);
    EXPECT_EQ(d1.previous_direction, 0);
    const Dislike& d11 = action(11).dislikes[0];
    EXPECT_EQ(d11.action, 11);
    EXPECT_EQ(d11.direction, 2);
    EXPECT_EQ(d11.level, 20);
    EXPECT_EQ(d11.previous_action, 0);
    EXPECT_EQ(action(6).dislike_count, 3);
    EXPECT_EQ(action(6).dislikes[2].direction, 1);

    EXPECT_EQ(action(41).drag_action, -56);
    EXPECT_EQ(action(41).release_action, -10);
    EXPECT_EQ(action(6).drag_action, 0);
    EXPECT_EQ(action(6).release_action, 0);
    EXPECT_EQ(action(3).release_action, 8);

    EXPECT_EQ(action(43).dx, -8);
    EXPECT_EQ(action(43).dy, -8);
    ASSERT_EQ(action(43).x_bound_count, 1);
    ASSERT_EQ(action(43).y_bound_count, 1);
    EXPECT_EQ(action(43).x_bound[0].action, 44);
    EXPECT_EQ(action(43).y_bound[0].ratio, 1000);
    EXPECT_EQ(action(2).y_bound_count, 0);
    EXPECT_EQ(action(2).y_bound, nullptr);
    EXPECT_EQ(action(13).same_ratio, 100);

    int moving = 0;
    for (int n = 1; n <= 65; ++n) {
        EXPECT_EQ(action(n).reach_x, 0);
        EXPECT_EQ(action(n).reach_y, 0);
        moving += action(n).dx != 0 || action(n).dy != 0;
    }
    EXPECT_EQ(moving, 9);

    const DialogAnimation& a23 = pet->dialog_animations[22];
    EXPECT_THAT(frames_of(a23.images, a23.count), ElementsAre(75, -75));
    int longest = 0;
    for (int i = 0; i < 35; ++i)
        if (pet->dialog_animations[i].count > pet->dialog_animations[longest].count)
            longest = i;
    EXPECT_EQ(longest, 29);
    EXPECT_EQ(pet->dialog_animations[29].count, 21);
}

TEST_F(LoaderTest, ReadyStateAfterLoading)
{
    timer_ms = 151;
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(pet->about_tick_ms, 226);
    EXPECT_EQ(pet->current_action, 0);
    EXPECT_EQ(pet->tick, 0);
    EXPECT_EQ(pet->facing, 0);
    EXPECT_EQ(pet->repeat_count, 0);
    EXPECT_EQ(pet->drag_state, DRAG_NONE);
    EXPECT_EQ(pet->current_image, 0);
    EXPECT_EQ(pet->current_mirrored, 0);
    for (int j = 0; j < HISTORY_LENGTH; ++j) {
        EXPECT_EQ(pet->history[j], -1);
        EXPECT_EQ(pet->history_facing[j], 2);
    }
    EXPECT_EQ(pet->start_x, pet->x);
    EXPECT_EQ(pet->start_y, pet->y);
    timer_ms = 150;
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(pet->about_tick_ms, 225);
}

TEST_F(LoaderTest, StartPositionIsDrawnInsideTheMarginsOnePixelShortOfTheFarLimit)
{
    room.left_margin = 100;
    room.right_margin = 200;
    room.top_margin = 10;
    room.bottom_margin = 20;
    for (uint32_t s = 0; s < 200; ++s) {
        seed = s;
        ASSERT_EQ(load(), 1);
        random_seed(pet->random, s);
        const int32_t span_x = 1024 - 42 - 100 - 200;
        const int32_t span_y = 768 - 42 - 10 - 20;
        EXPECT_EQ(pet->x, 100 + random_draw(pet->random) % span_x);
        EXPECT_EQ(pet->y, 10 + random_draw(pet->random) % span_y);
    }
}

TEST_F(LoaderTest, NoRoomPutsThePetAtTheMarginWithoutADraw)
{
    room.left_margin = 30;
    room.right_margin = 1024 - 42 - 30;  // span 0
    room.top_margin = 5;
    room.bottom_margin = 768 - 42 - 5 - 1;  // span 1
    seed = 77;
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(pet->x, 30);
    EXPECT_EQ(pet->y, 5);
    // Only y drew a number: the generator is one draw into the seed.
    const int32_t after = random_draw(pet->random);
    random_seed(pet->random, 77);
    random_draw(pet->random);
    EXPECT_EQ(after, random_draw(pet->random));

    room.top_margin = 400;
    room.bottom_margin = 400;  // negative span
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(pet->y, 400);
}

TEST_F(LoaderTest, TinyScreensZeroLargeMovesAndWarnAboutTheirBoundLists)
{
    room.width = 41;
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(action(21).dx, 0);
    EXPECT_EQ(action(2).dx, -5);
    EXPECT_THAT(messages(), ElementsAre("** Action [21] have defined X bounding action list but "
                                        "have no horizontal movement"));

    room.width = 1024;
    room.height = 21;
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(action(31).dy, 0);
    EXPECT_EQ(action(26).dy, -8);
    EXPECT_THAT(messages(), ElementsAre("** Action [29] have defined Y bounding action list but have no "
                                        "vertical movement",
                                        "** Action [31] have defined Y bounding action list but have no "
                                        "vertical movement",
                                        "** Action [61] have defined Y bounding action list but have no "
                                        "vertical movement"));
}

TEST_F(LoaderTest, ImageEntries)
{
    for (const char* bad : {"1,0", "109", "r109", "R109", "1,r", "-109", "x", "1, ,2", "65536"}) {
        set_cell(4, COLUMN_IMAGES, bad);
        EXPECT_EQ(load_failure(), "** ERROR : Invalid image no. for animation action : 4 ...") << bad;
    }
    set_cell(4, COLUMN_IMAGES, " -5 , r5,R5, 7abc ,,, r-6,+8,65537 ");
    ASSERT_EQ(load(), 1);
    EXPECT_THAT(frames_of(action(4).frames, action(4).frame_count), ElementsAre(-5, -5, -5, 7, 6, 8, 1));
}

TEST_F(LoaderTest, MissingImagesStopAtOnce)
{
    for (const char* empty : {"", "  ", ",,"}) {
        set_cell(7, COLUMN_IMAGES, empty);
        set_cell(7, COLUMN_NEXT, "");  // never read
        EXPECT_EQ(load_failure(), "** ERROR : Not define images for animation action : 7 ...");
    }
}

TEST_F(LoaderTest, TheLastFailingColumnWins)
{
    set_cell(3, COLUMN_IMAGES, "0");
    set_cell(3, COLUMN_NEXT, "");
    EXPECT_EQ(load_failure(), "** ERROR : Invalid next action list syntax for action 3");

    set_cell(3, COLUMN_NEXT, "8-100");
    set_cell(3, COLUMN_Y_BOUND, "1-0");
    set_cell(3, COLUMN_DISLIKES, "4");
    EXPECT_EQ(load_failure(), "** ERROR : For action 3, syntax error for dislike action : 4");

    // A later action is not read once one has failed.
    script = builtin_script();
    set_cell(3, COLUMN_X_BOUND, "1-0");
    set_cell(5, COLUMN_NEXT, "");
    EXPECT_EQ(load_failure(), "** ERROR : For action 3, invalid ratio 0, or next action 1");
}

TEST_F(LoaderTest, EmptyAndBlankLists)
{
    set_cell(9, COLUMN_NEXT, "");
    EXPECT_EQ(load_failure(), "** ERROR : Invalid next action list syntax for action 9");
    script = builtin_script();
    set_cell(9, COLUMN_X_BOUND, " \t ");
    EXPECT_EQ(load_failure(), "** ERROR : Invalid next action list syntax for action 9");
    script = builtin_script();
    set_cell(9, COLUMN_Y_BOUND, ",");
    EXPECT_EQ(load_failure(), "** ERROR : Invalid next action list syntax for action 9");

    script = builtin_script();
    set_cell(9, COLUMN_DISLIKES, "   ");
    set_cell(10, COLUMN_DISLIKES, ",,,");
    ASSERT_EQ(load(), 1);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(action(9).dislike_count, 0);
    EXPECT_EQ(action(10).dislike_count, 0);

    set_cell(9, COLUMN_DISLIKES, "8-20, ,8-10");
    EXPECT_EQ(load_failure(), "** ERROR : For action 9, syntax error for dislike action : ");
}

TEST_F(LoaderTest, LinkEntries)
{
    const std::pair<const char*, const char*> cases[] = {
        {"9-40, 8 ", "** ERROR : For action 9, syntax error for dislike action : 8"},
        {"r 9-100", "** ERROR : For action 9, syntax error for dislike action : r 9-100"},
        {"9 -100", "** ERROR : For action 9, syntax error for dislike action : 9 -100"},
        {"-100", "** ERROR : For action 9, syntax error for dislike action : -100"},
        {"9-", "** ERROR : For action 9, syntax error for dislike action : 9-"},
        {"r-100", "** ERROR : For action 9, syntax error for dislike action : r-100"},
        {"9-1-0", "** ERROR : For action 9, syntax error for dislike action : 9-1-0"},
        {"*9-100", "** ERROR : For action 9, syntax error for dislike action : *9-100"},
        {"66-10", "** ERROR : For action 9, invalid ratio 100, or next action 66"},
        {"9-0", "** ERROR : For action 9, invalid ratio 0, or next action 9"},
        {"0-100", "** ERROR : For action 9, invalid ratio 1000, or next action 0"},
        // Stored in 16 bits: 4000 percent is 40000 tenths, which wraps negative.
        {"9-4000", "** ERROR : For action 9, invalid ratio -25536, or next action 9"},
    };
    for (const auto& [text, message] : cases) {
        set_cell(9, COLUMN_NEXT, text);
        EXPECT_EQ(load_failure(), message) << text;
    }
    set_cell(9, COLUMN_NEXT, " R9-60 ,, 65545-40,");
    ASSERT_EQ(load(), 1);
    ASSERT_EQ(action(9).next_count, 2);
    EXPECT_EQ(action(9).next[0].mirror, 1);
    EXPECT_EQ(action(9).next[0].action, 9);
    EXPECT_EQ(action(9).next[1].action, 9);  // 65545 keeps its low 16 bits
    EXPECT_EQ(action(9).next[1].mirror, 0);
    EXPECT_EQ(action(9).next[1].ratio, 400);
}

TEST_F(LoaderTest, DislikeEntries)
{
    const std::pair<const char*, const char*> cases[] = {
        {"3-0", "** ERROR : For action 4, invalid level 0, or dislike action 3"},
        {"3-20:66", "** ERROR : For action 4, invalid level 20, or dislike action 3"},
        {"66-5", "** ERROR : For action 4, invalid level 5, or dislike action 66"},
        {"r0-5", "** ERROR : For action 4, invalid level 5, or dislike action 0"},
        {"3", "** ERROR : For action 4, syntax error for dislike action : 3"},
        {"3-", "** ERROR : For action 4, syntax error for dislike action : 3-"},
        {"-20", "** ERROR : For action 4, syntax error for dislike action : -20"},
        {"*-20", "** ERROR : For action 4, syntax error for dislike action : *-20"},
        {"3-2x", "** ERROR : For action 4, syntax error for dislike action : 3-2x"},
        {"3-:5", "** ERROR : For action 4, syntax error for dislike action : 3-:5"},
        {"3-20:r", "** ERROR : For action 4, syntax error for dislike action : 3-20:r"},
        {"3-20:5:5", "** ERROR : For action 4, syntax error for dislike action : 3-20:5:5"},
        {"3-0:x", "** ERROR : For action 4, syntax error for dislike action : 3-0:x"},
        {"r*3-20", "** ERROR : For action 4, syntax error for dislike action : r*3-20"},
    };
    for (const auto& [text, message] : cases) {
        set_cell(4, COLUMN_DISLIKES, text);
        EXPECT_EQ(load_failure(), message) << text;
    }

    set_cell(4, COLUMN_DISLIKES, "3-20:, 3-20:0 ,*3-7:r3, R5-1:*9");
    ASSERT_EQ(load(), 1);
    ASSERT_EQ(action(4).dislike_count, 4);
    const Dislike* d = action(4).dislikes;
    EXPECT_EQ(d[0].previous_action, 0);
    EXPECT_EQ(d[1].previous_action, 0);
    EXPECT_EQ(d[2].direction, 2);
    EXPECT_EQ(d[2].level, 7);
    EXPECT_EQ(d[2].previous_action, 3);
    EXPECT_EQ(d[2].previous_direction, 1);
    EXPECT_EQ(d[3].action, 5);
    EXPECT_EQ(d[3].direction, 1);
    EXPECT_EQ(d[3].previous_action, 9);
    EXPECT_EQ(d[3].previous_direction, 2);
}

TEST_F(LoaderTest, ValuesWithoutMessages)
{
    EXPECT_EQ(parse_offset("600", 1024), 0);
    EXPECT_EQ(parse_offset("511", 1024), 511);
    EXPECT_EQ(parse_offset("-511", 1024), -511);
    EXPECT_EQ(parse_offset("512", 1024), 0);
    EXPECT_EQ(parse_offset("20", 41), 0);
    EXPECT_EQ(parse_offset("19", 41), 19);
    EXPECT_EQ(parse_offset(" 5", 1024), 0);
    EXPECT_EQ(parse_offset("5 ", 1024), 0);
    EXPECT_EQ(parse_offset("-", 1024), 0);
    EXPECT_EQ(parse_offset("--5", 1024), 0);
    EXPECT_EQ(parse_offset("+5", 1024), 0);
    EXPECT_EQ(parse_offset("99999999999999999999999", 1024), 0);

    EXPECT_EQ(parse_action_ref("66"), 0);
    EXPECT_EQ(parse_action_ref("65"), 65);
    EXPECT_EQ(parse_action_ref("r65"), -65);
    EXPECT_EQ(parse_action_ref("R7"), -7);
    EXPECT_EQ(parse_action_ref("r"), 0);
    EXPECT_EQ(parse_action_ref("r0"), 0);
    EXPECT_EQ(parse_action_ref(" 5"), 0);
    EXPECT_EQ(parse_action_ref("*5"), 0);
    EXPECT_EQ(parse_action_ref("rr5"), 0);

    set_cell(13, COLUMN_SAME_RATIO, "-1");
    set_cell(17, COLUMN_SAME_RATIO, "8x");
    set_cell(13, COLUMN_DX, "600");
    set_cell(13, COLUMN_REACH_Y, "-383");
    set_cell(18, COLUMN_DRAG_ACTION, "66");
    set_cell(18, COLUMN_RELEASE_ACTION, "r65");
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(action(13).dx, 0);
    EXPECT_EQ(action(13).reach_y, -383);
    EXPECT_EQ(action(18).drag_action, 0);
    EXPECT_EQ(action(18).release_action, -65);
    EXPECT_EQ(action(13).same_ratio, 0);
    EXPECT_EQ(action(17).same_ratio, 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(LoaderTest, DeadlockNeedsABoundFreeEntry)
{
    set_cell(1, COLUMN_NEXT, "2-100");
    EXPECT_EQ(load_failure(), "** ERROR : For action 1, may have dead lock actions ...");
    set_cell(1, COLUMN_NEXT, "2-50,1-50");
    ASSERT_EQ(load(), 1);

    script = builtin_script();
    set_cell(2, COLUMN_X_BOUND, "r21-100");
    EXPECT_EQ(load_failure(), "** ERROR : For action 2, may have dead lock (x_bound) ...");
    // Action 21 moving sideways without an x_bound list is bound-free.
    set_cell(21, COLUMN_X_BOUND, "");
    ASSERT_EQ(load(), 1);

    script = builtin_script();
    set_cell(31, COLUMN_Y_BOUND, "61-100");
    EXPECT_EQ(load_failure(), "** ERROR : For action 31, may have dead lock (y_bound) ...");
    // On a screen too low for its dy, action 61 is bound-free.
    room.height = 21;
    EXPECT_EQ(load(), 1);
}

TEST_F(LoaderTest, DeadlockReportsOnlyTheFirstFailingList)
{
    set_cell(26, COLUMN_Y_BOUND, "26-100");
    set_cell(26, COLUMN_NEXT, "26-100");
    set_cell(5, COLUMN_X_BOUND, "2-100");
    EXPECT_EQ(load_failure(), "** ERROR : For action 5, may have dead lock (x_bound) ...");
}

TEST_F(LoaderTest, WarningsComeInPassOrderAndLoadingGoesOn)
{
    set_cell(65, COLUMN_IMAGES, "107");               // image 108 unused by actions
    set_cell(64, COLUMN_NEXT, "64-20,9-20,35-60");    // 65 named only by itself
    set_cell(2, COLUMN_NEXT, "2-70,1-20,21-1");       // sum 910
    set_cell(2, COLUMN_X_BOUND, "6-50,7-40");         // sum 900
    set_cell(8, COLUMN_X_BOUND, "1-100");             // no horizontal movement
    set_cell(8, COLUMN_Y_BOUND, "1-100");             // nor vertical
    set_cell(9, COLUMN_SAME_RATIO, "16");             // 160 > 150
    set_cell(20, COLUMN_NEXT, "r20-40,17-30,10-30");  // same_ratio without plain repetition
    set_cell(3, COLUMN_DISLIKES, "4-20:4,r4-20:*1,4-20:r9");
    ASSERT_EQ(load(), 1);
    EXPECT_THAT(messages(),
                ElementsAre("** Image [108] have not been referenced", "** Sum of ratio for action:2 = 910",
                            "** Sum of ratio for action:2 = 900", "** Action [65] have not been referenced",
                            "** Action [8] have defined X bounding action list but have no horizontal movement",
                            "** Action [8] have defined Y bounding action list but have no vertical movement",
                            "** The same ratio (160) for action [9] is too large",
                            "** Action [20] have defined <same_ratio> that is no use",
                            "** Action [3] have defined dislike action [4] with previous action [4], which will "
                            "not occur",
                            "** Action [3] have defined dislike action [4] with previous action [9], which will "
                            "not occur"));
    EXPECT_EQ(action(65).frame_count, 1);
    EXPECT_EQ(pet->dialog_animations[34].images[1], 108);
}

TEST_F(LoaderTest, DislikeConditionMustBeReachableWithItsFacing)
{
    // Action 1 reaches 3 plainly; 5 reaches 1 only mirrored.
    set_cell(3, COLUMN_DISLIKES, "4-20:1,4-20:r1,4-20:*1");
    set_cell(1, COLUMN_DISLIKES, "2-10:5,2-10:r5");
    ASSERT_EQ(load(), 1);
    EXPECT_THAT(messages(), ElementsAre("** Action [1] have defined dislike action [2] with previous action "
                                        "[5], which will not occur",
                                        "** Action [3] have defined dislike action [4] with previous action "
                                        "[1], which will not occur"));
}

TEST_F(LoaderTest, DialogAnimations)
{
    script.dialog_animations[3] = " , ";
    EXPECT_EQ(load_failure(), "** ERROR : Not define images for dialog animation action : 4 ...");
    script = builtin_script();
    script.dialog_animations[34] = "107,109";
    EXPECT_EQ(load_failure(), "** ERROR : Invalid image no. for dialog animation action : 35 ...");
    // Warnings come first: the About routines are read after them.
    set_cell(2, COLUMN_NEXT, "2-70,1-20,21-20");
    EXPECT_EQ(load(), 0);
    EXPECT_THAT(messages(), ElementsAre("** Sum of ratio for action:2 = 1100",
                                        "** ERROR : Invalid image no. for dialog animation action : 35 ..."));
    script = builtin_script();
    script.dialog_animations[0] = " r1 , 108";
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(pet->dialog_animations[0].count, 2);
    EXPECT_EQ(pet->dialog_animations[0].images[0], -1);
}

TEST_F(LoaderTest, TextsBeyondTheFormatsLimitsAreRefused)
{
    // Longest acceptable image list: 199 characters.
    std::string images = "1";
    while (images.size() + 2 <= SCRIPT_TEXT_LIMIT)
        images += ",1";
    ASSERT_EQ(images.size(), 199u);
    set_cell(5, COLUMN_IMAGES, images.c_str());
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(action(5).frame_count, 100);

    const std::string too_long = images + " ";
    set_cell(5, COLUMN_IMAGES, too_long.c_str());
    EXPECT_EQ(load_failure(), "** ERROR : Text too long for action 5, column images ...");

    script = builtin_script();
    const std::string long_next = "1-100," + std::string(194, ',');
    set_cell(5, COLUMN_NEXT, long_next.c_str());
    EXPECT_EQ(load_failure(), "** ERROR : Text too long for action 5, column next ...");

    script = builtin_script();
    const std::string long_entry = "r1-100," + std::string(95, ' ') + "1-0";  // an entry of 98 with its blanks
    set_cell(5, COLUMN_NEXT, long_entry.c_str());
    EXPECT_EQ(load_failure(), "** ERROR : For action 5, invalid ratio 0, or next action 1");
    const std::string longer_entry = "r1-100," + std::string(97, ' ') + "1-0";
    set_cell(5, COLUMN_NEXT, longer_entry.c_str());
    EXPECT_EQ(load_failure(), "** ERROR : Entry too long for action 5, column next ...");

    script = builtin_script();
    const std::string long_dislike = std::string(100, '9') + "-1";
    set_cell(5, COLUMN_DISLIKES, long_dislike.c_str());
    EXPECT_EQ(load_failure(), "** ERROR : Entry too long for action 5, column dislikes ...");
    const std::string long_dislikes = std::string(200, ',');
    set_cell(5, COLUMN_DISLIKES, long_dislikes.c_str());
    EXPECT_EQ(load_failure(), "** ERROR : Text too long for action 5, column dislikes ...");

    script = builtin_script();
    const std::string long_bound = std::string(200, ' ') + "1-100";
    set_cell(5, COLUMN_Y_BOUND, long_bound.c_str());
    EXPECT_EQ(load_failure(), "** ERROR : Text too long for action 5, column y_bound ...");

    script = builtin_script();
    script.dialog_animations[6] = too_long.c_str();
    EXPECT_EQ(load_failure(), "** ERROR : Text too long for dialog animation action : 7 ...");
}

TEST_F(LoaderTest, FailureLeavesNoStateAndReleaseIsSafeWithout)
{
    set_cell(65, COLUMN_RELEASE_ACTION, "9");
    set_cell(65, COLUMN_NEXT, "65-100,99-1");
    EXPECT_EQ(load_failure(), "** ERROR : For action 65, invalid ratio 10, or next action 99");
    EXPECT_EQ(pet, nullptr);
    pet_release(nullptr);  // safe without a pet
}

TEST(TextHelpers, TrimAndDigits)
{
    char text[] = " \t\r\n\v\fa b\f\v\n\r\t ";
    trim_blanks(text);
    EXPECT_STREQ(text, "a b");
    char utf8[] = "\xE3\x80\x80 x \xE3\x80\x80";  // an ideographic space is no blank
    trim_blanks(utf8);
    EXPECT_STREQ(utf8, "\xE3\x80\x80 x \xE3\x80\x80");
    char blanks[] = "   ";
    trim_blanks(blanks);
    EXPECT_STREQ(blanks, "");
    char word[] = "r12abz";
    upper_case(word);
    EXPECT_STREQ(word, "R12ABZ");
    EXPECT_EQ(all_digits(""), 1);
    EXPECT_EQ(all_digits("0123456789"), 1);
    EXPECT_EQ(all_digits("12 "), 0);
    EXPECT_EQ(all_digits("-1"), 0);
}

}  // namespace
