// pet_init: builds the engine state from the script text and checks it for
// the script's author. Errors stop loading; warnings are shown and ignored.
#include "engine/loader.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "engine/action_script.h"
#include "engine/engine.h"
#include "engine/random.h"

namespace {

constexpr int IMAGE_COUNT = 108;
constexpr int MESSAGE_SIZE = 256;
constexpr const char* NO_MEMORY = "** ERROR : Fail to allocate memory ...";

void write_message(char* message, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, MESSAGE_SIZE, format, args);
    va_end(args);
}

void show(ScriptMessages messages, const char* format, ...)
{
    char text[MESSAGE_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    messages.show(messages.context, text);
}

// The number at the start of the text as atoi reads it: blanks, an optional
// sign, digits. Kept modulo 2^32, so that the low 16 bits a list field
// stores are exact however long the text is.
uint32_t read_number(const char* text)
{
    while (is_blank(*text))
        ++text;
    bool negative = false;
    if (*text == '-' || *text == '+')
        negative = *text++ == '-';
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + static_cast<uint32_t>(*text - '0');
    return negative ? 0u - value : value;
}

int16_t read_int16(const char* text)
{
    return static_cast<int16_t>(static_cast<uint16_t>(read_number(text)));
}

// A text of digits only, saturating, so that a long one compares as large
// instead of wrapping into range.
int64_t read_digits(const char* text)
{
    constexpr int64_t ceiling = int64_t{1} << 40;
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9' && value < ceiling; ++text)
        value = value * 10 + (*text - '0');
    return value;
}

// Entries are what lies between commas; runs of commas, and commas at either
// end, make no entry. An entry of blanks only is still an entry.
bool next_entry(const char*& cursor, const char*& start, size_t& length)
{
    while (*cursor == ',')
        ++cursor;
    if (*cursor == '\0')
        return false;
    start = cursor;
    while (*cursor != '\0' && *cursor != ',')
        ++cursor;
    length = static_cast<size_t>(cursor - start);
    return true;
}

int count_entries(const char* text)
{
    int count = 0;
    const char* start;
    size_t length;
    while (next_entry(text, start, length))
        ++count;
    return count;
}

// Copies a list text of action i's column into its working copy and trims
// it; a text longer than the copy holds is refused with the message written.
bool copy_list_text(const char* text, int i, int column, char (&list)[SCRIPT_TEXT_LIMIT + 1], char* message)
{
    if (std::strlen(text) > SCRIPT_TEXT_LIMIT) {
        write_message(message, "** ERROR : Text too long for action %d, column %s ...", i + 1,
                      script_column_name(column));
        return false;
    }
    std::strcpy(list, text);
    trim_blanks(list);
    return true;
}

// The same for one entry of a link or dislike list, blanks around it included.
bool copy_entry(const char* start, size_t length, int i, int column, char (&entry)[SCRIPT_ENTRY_LIMIT + 1],
                char* message)
{
    if (length > SCRIPT_ENTRY_LIMIT) {
        write_message(message, "** ERROR : Entry too long for action %d, column %s ...", i + 1,
                      script_column_name(column));
        return false;
    }
    std::memcpy(entry, start, length);
    entry[length] = '\0';
    trim_blanks(entry);
    return true;
}

// One entry of an image list: a number, or "R" and a number meaning the
// mirrored image. 0 means unusable.
ImageRef read_image(char* entry)
{
    trim_blanks(entry);
    upper_case(entry);
    if (entry[0] == 'R')
        return static_cast<int16_t>(static_cast<uint16_t>(0u - read_number(entry + 1)));
    return read_int16(entry);
}

bool valid_image(ImageRef value)
{
    return value != 0 && value <= IMAGE_COUNT && value >= -IMAGE_COUNT;
}

// Fills `frames`, one per entry of the list; false at the first unusable
// image, the frames after it staying 0.
bool read_images(const char* list, ImageRef* frames)
{
    char entry[SCRIPT_TEXT_LIMIT + 1];
    const char* start;
    size_t length;
    for (int k = 0; next_entry(list, start, length); ++k) {
        std::memcpy(entry, start, length);
        entry[length] = '\0';
        frames[k] = read_image(entry);
        if (!valid_image(frames[k]))
            return false;
    }
    return true;
}

// A list of `count` zeroed records, or null.
template <typename T>
T* zeroed(size_t count)
{
    return static_cast<T*>(std::calloc(count, sizeof(T)));
}

int parse_link_list(const PetState* pet, const char* text, int i, int column, int32_t* count, ActionLink** links,
                    char* message, bool as_written)
{
    const int n = i + 1;
    char list[SCRIPT_TEXT_LIMIT + 1];
    if (!copy_list_text(text, i, column, list, message))
        return 0;
    const int entries = count_entries(list);
    if (entries == 0) {
        write_message(message, "** ERROR : Invalid next action list syntax for action %d", n);
        return 0;
    }
    *links = zeroed<ActionLink>(static_cast<size_t>(entries));
    if (*links == nullptr) {
        write_message(message, NO_MEMORY);
        return 0;
    }
    *count = entries;

    const char* cursor = list;
    const char* start;
    size_t length;
    for (ActionLink* link = *links; next_entry(cursor, start, length); ++link) {
        char e[SCRIPT_ENTRY_LIMIT + 1];
        if (!copy_entry(start, length, i, column, e, message))
            return 0;
        char head[SCRIPT_ENTRY_LIMIT + 1];
        std::strcpy(head, e);
        char* dash = std::strchr(head, '-');
        bool syntax_ok = dash != nullptr;
        const char* percent = "";
        const char* action = head;
        if (syntax_ok) {
            *dash = '\0';
            percent = dash + 1;
            syntax_ok = head[0] != '\0' && percent[0] != '\0' && all_digits(percent);
        }
        if (syntax_ok && (head[0] == 'r' || head[0] == 'R')) {
            link->mirror = 1;
            ++action;
        }
        // Deliberately "dislike action" for every list, next lists too: the
        // message is the one script authors already know; do not "fix" it.
        if (!syntax_ok || action[0] == '\0' || !all_digits(action)) {
            write_message(message, "** ERROR : For action %d, syntax error for dislike action : %s", n, e);
            return 0;
        }
        link->action = read_int16(action);
        link->ratio = static_cast<int16_t>(static_cast<uint16_t>(read_number(percent) * 10u));
        if (link->ratio <= 0 || link->action <= 0 || link->action > pet->action_count) {
            if (as_written)
                write_message(message, "** ERROR : For action %d, invalid ratio %s, or next action %d", n, percent,
                              link->action);
            else
                write_message(message, "** ERROR : For action %d, invalid ratio %d, or next action %d", n, link->ratio,
                              link->action);
            return 0;
        }
    }
    return 1;
}

// The facing prefix of a dislike's action or previous action: none is the
// same facing, "r" the opposite one, "*" either. Returns the text after it.
char* take_direction(char* text, uint8_t* direction)
{
    if (text[0] == 'r' || text[0] == 'R') {
        *direction = 1;
        return text + 1;
    }
    if (text[0] == '*') {
        *direction = 2;
        return text + 1;
    }
    *direction = 0;
    return text;
}

int parse_dislike_list(const PetState* pet, const char* text, int i, int32_t* count, Dislike** dislikes, char* message)
{
    const int n = i + 1;
    char list[SCRIPT_TEXT_LIMIT + 1];
    if (!copy_list_text(text, i, COLUMN_DISLIKES, list, message))
        return 0;
    const int entries = count_entries(list);
    if (entries == 0)
        return 1;
    *dislikes = zeroed<Dislike>(static_cast<size_t>(entries));
    if (*dislikes == nullptr) {
        write_message(message, NO_MEMORY);
        return 0;
    }
    *count = entries;

    const char* cursor = list;
    const char* start;
    size_t length;
    for (Dislike* d = *dislikes; next_entry(cursor, start, length); ++d) {
        char e[SCRIPT_ENTRY_LIMIT + 1];
        if (!copy_entry(start, length, i, COLUMN_DISLIKES, e, message))
            return 0;
        char head[SCRIPT_ENTRY_LIMIT + 1];
        std::strcpy(head, e);
        bool syntax_ok = false;
        char* level_text = nullptr;
        char* previous_text = nullptr;
        if (char* dash = std::strchr(head, '-')) {
            *dash = '\0';
            level_text = dash + 1;
            if (char* colon = std::strchr(level_text, ':')) {
                *colon = '\0';
                previous_text = colon + 1;
            }
            syntax_ok = head[0] != '\0' && level_text[0] != '\0' && all_digits(level_text);
        }
        const char* action = syntax_ok ? take_direction(head, &d->direction) : head;
        syntax_ok = syntax_ok && action[0] != '\0' && all_digits(action);
        if (syntax_ok) {
            d->action = read_int16(action);
            d->level = read_int16(level_text);
            if (previous_text != nullptr && previous_text[0] != '\0') {
                const char* previous = take_direction(previous_text, &d->previous_direction);
                syntax_ok = previous[0] != '\0' && all_digits(previous);
                if (syntax_ok)
                    d->previous_action = read_int16(previous);
            }
        }
        if (!syntax_ok) {
            write_message(message, "** ERROR : For action %d, syntax error for dislike action : %s", n, e);
            return 0;
        }
        if (d->level <= 0 || d->action <= 0 || d->action > pet->action_count || d->previous_action < 0 ||
            d->previous_action > pet->action_count) {
            write_message(message, "** ERROR : For action %d, invalid level %d, or dislike action %d", n, d->level,
                          d->action);
            return 0;
        }
    }
    return 1;
}

int size_weights(PetState* pet, char* message)
{
    int32_t longest = 0;
    for (int i = 0; i < pet->action_count; ++i) {
        const Action& a = pet->actions[i];
        for (int32_t count : {a.next_count, a.x_bound_count, a.y_bound_count})
            if (count > longest)
                longest = count;
    }
    pet->weights = zeroed<int32_t>(static_cast<size_t>(longest));
    pet->tried = pet->weights ? zeroed<uint8_t>(static_cast<size_t>(longest)) : nullptr;
    if (pet->tried == nullptr) {
        write_message(message, NO_MEMORY);
        return 0;
    }
    return 1;
}

// Reads the images column of action i; 0 with `message` written when the
// action is broken. `stop` is set when nothing further can be read.
int load_images(PetState* pet, const char* text, int i, char* message, bool* stop)
{
    const int n = i + 1;
    Action& action = pet->actions[i];
    char list[SCRIPT_TEXT_LIMIT + 1];
    if (!copy_list_text(text, i, COLUMN_IMAGES, list, message))
        return 0;
    const int count = count_entries(list);
    if (count == 0) {
        write_message(message, "** ERROR : Not define images for animation action : %d ...", n);
        *stop = true;
        return 0;
    }
    action.frames = zeroed<ImageRef>(static_cast<size_t>(count));
    if (action.frames == nullptr) {
        write_message(message, "** ERROR : Fail to allocate memory for animation action : %d ...", n);
        *stop = true;
        return 0;
    }
    action.frame_count = count;
    if (!read_images(list, action.frames)) {
        write_message(message, "** ERROR : Invalid image no. for animation action : %d ...", n);
        return 0;
    }
    return 1;
}

int load_actions(PetState* pet, const ScriptText& script, const Room& room, char* message, bool as_written)
{
    pet->actions = zeroed<Action>(static_cast<size_t>(pet->action_count));
    if (pet->actions == nullptr) {
        write_message(message, NO_MEMORY);
        return 0;
    }
    for (int i = 0; i < pet->action_count; ++i) {
        Action& a = pet->actions[i];
        auto cell = [&script, i](int column) { return script.columns[column][i]; };
        bool stop = false;
        bool ok = load_images(pet, cell(COLUMN_IMAGES), i, message, &stop);
        if (stop)
            return 0;
        ok &= parse_link_list(pet, cell(COLUMN_NEXT), i, COLUMN_NEXT, &a.next_count, &a.next, message, as_written);
        a.dx = parse_offset(cell(COLUMN_DX), room.width);
        a.dy = parse_offset(cell(COLUMN_DY), room.height);
        a.reach_x = parse_offset(cell(COLUMN_REACH_X), room.width);
        a.reach_y = parse_offset(cell(COLUMN_REACH_Y), room.height);
        const char* same_ratio = cell(COLUMN_SAME_RATIO);
        if (same_ratio[0] != '\0' && all_digits(same_ratio)) {
            const int64_t tenths = read_digits(same_ratio) * 10;
            a.same_ratio = tenths > INT32_MAX ? INT32_MAX : static_cast<int32_t>(tenths);
        }
        if (cell(COLUMN_X_BOUND)[0] != '\0')
            ok &= parse_link_list(pet, cell(COLUMN_X_BOUND), i, COLUMN_X_BOUND, &a.x_bound_count, &a.x_bound, message,
                                  as_written);
        if (cell(COLUMN_Y_BOUND)[0] != '\0')
            ok &= parse_link_list(pet, cell(COLUMN_Y_BOUND), i, COLUMN_Y_BOUND, &a.y_bound_count, &a.y_bound, message,
                                  as_written);
        if (cell(COLUMN_DISLIKES)[0] != '\0')
            ok &= parse_dislike_list(pet, cell(COLUMN_DISLIKES), i, &a.dislike_count, &a.dislikes, message);
        if (cell(COLUMN_DRAG_ACTION)[0] != '\0')
            a.drag_action = parse_action_ref(cell(COLUMN_DRAG_ACTION));
        if (cell(COLUMN_RELEASE_ACTION)[0] != '\0')
            a.release_action = parse_action_ref(cell(COLUMN_RELEASE_ACTION));
        if (!ok)
            return 0;
    }
    return size_weights(pet, message);
}

// An action that cannot end a non-strict probe with a bound result: in every
// direction it moves, it has no bound list.
bool bound_free(const Action& a)
{
    return (a.dx == 0 || a.x_bound_count == 0) && (a.dy == 0 || a.y_bound_count == 0);
}

bool has_bound_free_entry(const PetState* pet, const ActionLink* list, int32_t count)
{
    for (int32_t k = 0; k < count; ++k)
        if (bound_free(pet->actions[list[k].action - 1]))
            return true;
    return false;
}

int check_deadlocks(const PetState* pet, char* message)
{
    for (int i = 0; i < pet->action_count; ++i) {
        const Action& a = pet->actions[i];
        const char* fault = nullptr;
        if (!has_bound_free_entry(pet, a.next, a.next_count))
            fault = "** ERROR : For action %d, may have dead lock actions ...";
        else if (a.x_bound_count > 0 && !has_bound_free_entry(pet, a.x_bound, a.x_bound_count))
            fault = "** ERROR : For action %d, may have dead lock (x_bound) ...";
        else if (a.y_bound_count > 0 && !has_bound_free_entry(pet, a.y_bound, a.y_bound_count))
            fault = "** ERROR : For action %d, may have dead lock (y_bound) ...";
        if (fault != nullptr) {
            write_message(message, fault, i + 1);
            return 0;
        }
    }
    return 1;
}

void check_ratio_sum(ScriptMessages messages, int i, const ActionLink* list, int32_t count)
{
    int32_t sum = 0;
    for (int32_t k = 0; k < count; ++k)
        sum += list[k].ratio;
    if (sum != 1000)
        show(messages, "** Sum of ratio for action:%d = %d", i + 1, messages.ratios_as_written ? sum / 10 : sum);
}

bool list_names_action(const ActionLink* list, int32_t count, int n)
{
    for (int32_t k = 0; k < count; ++k)
        if (list[k].action == n)
            return true;
    return false;
}

bool list_leads_to(const ActionLink* list, int32_t count, int n, uint8_t direction)
{
    for (int32_t k = 0; k < count; ++k)
        if (list[k].action == n && (direction == 2 || list[k].mirror == direction))
            return true;
    return false;
}

bool frames_use_image(const Action& a, int m)
{
    for (int32_t t = 0; t < a.frame_count; ++t)
        if (a.frames[t] == m || a.frames[t] == -m)
            return true;
    return false;
}

void lint_script(const PetState* pet, ScriptMessages messages)
{
    const int count = pet->action_count;
    const Action* actions = pet->actions;

    for (int m = 1; m <= pet->image_count; ++m) {
        bool used = false;
        for (int i = 0; i < count && !used; ++i)
            used = frames_use_image(actions[i], m);
        if (!used)
            show(messages, "** Image [%d] have not been referenced", m);
    }

    for (int i = 0; i < count; ++i) {
        const Action& a = actions[i];
        check_ratio_sum(messages, i, a.next, a.next_count);
        if (a.x_bound_count > 0)
            check_ratio_sum(messages, i, a.x_bound, a.x_bound_count);
        if (a.y_bound_count > 0)
            check_ratio_sum(messages, i, a.y_bound, a.y_bound_count);
    }

    for (int n = 1; n <= count; ++n) {
        if (n == pet->start_action)
            continue;
        bool named = false;
        for (int i = 0; i < count && !named; ++i) {
            const Action& a = actions[i];
            named = i != n - 1 &&
                    (list_names_action(a.next, a.next_count, n) || list_names_action(a.x_bound, a.x_bound_count, n) ||
                     list_names_action(a.y_bound, a.y_bound_count, n));
        }
        if (!named)
            show(messages, "** Action [%d] have not been referenced", n);
    }

    for (int i = 0; i < count; ++i) {
        const Action& a = actions[i];
        if (a.dx == 0 && a.x_bound_count > 0)
            show(messages,
                 "** Action [%d] have defined X bounding action list but have no horizontal "
                 "movement",
                 i + 1);
        if (a.dy == 0 && a.y_bound_count > 0)
            show(messages, "** Action [%d] have defined Y bounding action list but have no vertical movement", i + 1);
    }

    for (int i = 0; i < count; ++i) {
        const Action& a = actions[i];
        if (a.same_ratio == 0)
            continue;
        const ActionLink* repeat = nullptr;
        for (int32_t k = 0; k < a.next_count && repeat == nullptr; ++k)
            if (a.next[k].action == i + 1 && a.next[k].mirror == 0)
                repeat = &a.next[k];
        if (repeat == nullptr)
            show(messages, "** Action [%d] have defined <same_ratio> that is no use", i + 1);
        else if (repeat->ratio < a.same_ratio)
            show(messages, "** The same ratio (%d) for action [%d] is too large",
                 messages.ratios_as_written ? a.same_ratio / 10 : a.same_ratio, i + 1);
    }

    for (int i = 0; i < count; ++i) {
        const Action& a = actions[i];
        for (int32_t k = 0; k < a.dislike_count; ++k) {
            const Dislike& d = a.dislikes[k];
            if (d.previous_action <= 0)
                continue;
            const Action& p = actions[d.previous_action - 1];
            if (!list_leads_to(p.next, p.next_count, i + 1, d.previous_direction) &&
                !list_leads_to(p.x_bound, p.x_bound_count, i + 1, d.previous_direction) &&
                !list_leads_to(p.y_bound, p.y_bound_count, i + 1, d.previous_direction))
                show(messages,
                     "** Action [%d] have defined dislike action [%d] with previous action [%d], "
                     "which will not occur",
                     i + 1, d.action, d.previous_action);
        }
    }
}

int load_dialog_animations(PetState* pet, const ScriptText& script, char* message)
{
    pet->dialog_animations = zeroed<DialogAnimation>(static_cast<size_t>(pet->dialog_animation_count));
    if (pet->dialog_animations == nullptr) {
        write_message(message, NO_MEMORY);
        return 0;
    }
    for (int i = 1; i <= pet->dialog_animation_count; ++i) {
        DialogAnimation& animation = pet->dialog_animations[i - 1];
        const char* text = script.dialog_animations[i - 1];
        if (std::strlen(text) > SCRIPT_TEXT_LIMIT) {
            write_message(message, "** ERROR : Text too long for dialog animation action : %d ...", i);
            return 0;
        }
        char list[SCRIPT_TEXT_LIMIT + 1];
        std::strcpy(list, text);
        trim_blanks(list);
        const int count = count_entries(list);
        if (count == 0) {
            write_message(message, "** ERROR : Not define images for dialog animation action : %d ...", i);
            return 0;
        }
        animation.images = zeroed<ImageRef>(static_cast<size_t>(count));
        if (animation.images == nullptr) {
            write_message(message, "** ERROR : Fail to allocate memory for dialog animation action : %d ...", i);
            return 0;
        }
        animation.count = count;
        if (!read_images(list, animation.images)) {
            write_message(message, "** ERROR : Invalid image no. for dialog animation action : %d ...", i);
            return 0;
        }
    }
    return 1;
}

// Where the pet starts on one axis: a random spot in low ... low + span - 1,
// or low itself (and no draw) when there is no room.
int32_t start_position(Random& random, int32_t origin, int32_t screen, int32_t size, int32_t low, int32_t high_margin)
{
    const int32_t span = screen - size - low - high_margin;
    if (span <= 0)
        return origin + low;
    return origin + low + random_draw(random) % span;
}

}  // namespace

void upper_case(char* text)
{
    for (; *text; ++text)
        if (*text >= 'a' && *text <= 'z')
            *text = static_cast<char>(*text - 'a' + 'A');
}

int32_t parse_offset(const char* text, int32_t limit)
{
    if (text[0] == '\0')
        return 0;
    const bool negative = text[0] == '-';
    const char* body = negative ? text + 1 : text;
    int32_t value = 0;
    if (all_digits(body)) {
        const int64_t number = read_digits(body);
        if (number < limit / 2)
            value = static_cast<int32_t>(number);
    }
    return negative ? -value : value;
}

int32_t parse_action_ref(const char* text)
{
    const bool turn = text[0] == 'r' || text[0] == 'R';
    const char* body = turn ? text + 1 : text;
    int32_t value = 0;
    if (all_digits(body)) {
        const int64_t number = read_digits(body);
        if (number <= SCRIPT_ACTION_COUNT)
            value = static_cast<int32_t>(number);
    }
    return turn ? -value : value;
}

PetState* pet_init(const ScriptText& script, const Room& room, int32_t timer_ms, uint32_t seed, ScriptMessages messages,
                   CellSize cell)
{
    PetState* pet = zeroed<PetState>(1);
    if (pet == nullptr) {
        messages.show(messages.context, NO_MEMORY);
        return nullptr;
    }
    random_seed(pet->random, seed);
    pet->x = start_position(pet->random, room.x, room.width, cell.width, room.left_margin, room.right_margin);
    pet->y = start_position(pet->random, room.y, room.height, cell.height, room.top_margin, room.bottom_margin);

    pet->image_count = IMAGE_COUNT;
    pet->action_count = SCRIPT_ACTION_COUNT;
    pet->sprite_height = cell.height;
    pet->sprite_width = cell.width;
    pet->start_action = 1;
    pet->start_y = pet->y;
    pet->start_x = pet->x;
    pet->about_tick_ms = static_cast<int32_t>(int64_t{timer_ms} * 3 / 2);
    pet->dialog_animation_count = SCRIPT_DIALOG_ANIMATION_COUNT;

    char message[MESSAGE_SIZE] = "";
    if (!load_actions(pet, script, room, message, messages.ratios_as_written) || !check_deadlocks(pet, message)) {
        messages.show(messages.context, message);
        pet_release(pet);
        return nullptr;
    }
    lint_script(pet, messages);
    if (!load_dialog_animations(pet, script, message)) {
        messages.show(messages.context, message);
        pet_release(pet);
        return nullptr;
    }

    pet->y = pet->start_y;
    pet->x = pet->start_x;
    pet->current_action = pet->start_action - 1;
    pet->tick = 0;
    pet->facing = 0;
    for (int j = 0; j < HISTORY_LENGTH; ++j) {
        pet->history[j] = -1;
        pet->history_facing[j] = 2;
    }
    set_image(pet);
    return pet;
}

void pet_release(PetState* pet)
{
    if (pet == nullptr)
        return;
    if (pet->dialog_animations != nullptr) {
        for (int i = 0; i < pet->dialog_animation_count; ++i)
            std::free(pet->dialog_animations[i].images);
        std::free(pet->dialog_animations);
    }
    if (pet->actions != nullptr) {
        for (int i = 0; i < pet->action_count; ++i) {
            Action& a = pet->actions[i];
            std::free(a.frames);
            std::free(a.next);
            std::free(a.x_bound);
            std::free(a.y_bound);
            std::free(a.dislikes);
        }
        std::free(pet->actions);
    }
    std::free(pet->weights);
    std::free(pet->tried);
    std::free(pet);
}
