// The pet the program runs and the menu that changes it.
#include "shell/pet_choice.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "platform/platform.h"
#include "shell/errors.h"
#include "shell/pet_folder.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "support/plain_text.h"

namespace {

constexpr char KEY[] = "Pet";
constexpr char BUILT_IN_NAME[] = "Dorrabee";
// A message box taller than the screen would hide its own button.
constexpr int BOX_LINES = 20;

struct PetChoice {
    std::string program_folder;
    std::string command_line_path;  // --pet PATH: run, never saved
    std::string running_path;       // empty: the built-in cat
    PetFolder running;              // its script lives as long as the engine
    std::vector<PetEntry> listed;   // what the sub-menu showed last
    PetNameCache names;             // so that opening the menu again reads no pet.ini unchanged
};

PetChoice choice;

std::string saved_choice()
{
    char value[256] = "";
    if (settings_path[0])
        platform_ini_read_string(settings_path, "Setup", KEY, value, sizeof value);
    return value;
}

void show_box(const std::string& text)
{
    std::string shown;
    int lines = 0;
    size_t at = 0;
    for (; at < text.size() && lines < BOX_LINES; ++lines) {
        const size_t end = text.find('\n', at);
        shown += text.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    if (at < text.size())
        shown += "\n...";
    platform_message_box(nullptr, escape_controls(shown).c_str(), BOX_ERROR);
}

// The chosen folder loaded and the engine running on it; false after its one box.
bool start_folder(const std::string& path, const std::string& named)
{
    std::string message;
    if (path.empty()) {
        show_box(named + ": there is no such pet folder");
        return false;
    }
    if (!pet_folder_load(path, choice.running, message)) {
        show_box(message);
        return false;
    }
    const bool started = pet_engine_start(choice.running, message);
    // A pet's warnings never stand between the user and the pet: they go to
    // standard error (and to the checker), while what stops it gets a box.
    if (started && !message.empty())
        std::fprintf(stderr, "%s\n", escape_controls(message).c_str());
    else if (!message.empty())
        show_box(message);
    if (started)
        choice.running_path = path;
    return started;
}

// A name for a menu item: "&" shows itself rather than marking a mnemonic.
std::string menu_caption(const std::string& name)
{
    std::string caption;
    for (const char c : name)
        caption += c == '&' ? std::string("&&") : std::string(1, c);
    return caption;
}

}  // namespace

void pet_choice_options(const char* program_folder, int argc, const char* const* argv)
{
    choice.program_folder = program_folder ? program_folder : "";
    choice.command_line_path.clear();
    for (int k = 1; k + 1 < argc; ++k)
        if (std::string(argv[k]) == "--pet")
            choice.command_line_path = argv[++k];
}

int pet_choice_start()
{
    choice.running_path.clear();
    const std::string saved = choice.command_line_path.empty() ? saved_choice() : std::string();
    if (choice.command_line_path.empty() && saved.empty())
        return pet_init();
    const bool started = choice.command_line_path.empty()
                             ? start_folder(pet_path(pet_places(choice.program_folder), saved), saved)
                             : start_folder(choice.command_line_path, choice.command_line_path);
    return started ? 1 : pet_init();
}

bool pet_choice_bitmap(int resource_id, Bitmap* out)
{
    if (choice.running_path.empty() || (resource_id != RES_SPRITES && resource_id != RES_MASK))
        return platform_load_bitmap(resource_id, out);
    *out = resource_id == RES_SPRITES ? choice.running.sheet : choice.running.mask;
    return true;
}

void pet_choice_fill_menu(Menu* menu)
{
    if (!menu)
        return;
    size_t unlisted = 0;
    choice.listed = pets_found(pet_places(choice.program_folder), PET_MENU_LIMIT - 1, &choice.names, &unlisted);
    // A full menu says that there are more pets than it holds, in its last item.
    if (unlisted > 0) {
        choice.listed.pop_back();
        ++unlisted;
    }
    std::vector<std::string> captions = {BUILT_IN_NAME};
    int checked = 0;
    for (const PetEntry& entry : choice.listed) {
        if (entry.path == choice.running_path)
            checked = int(captions.size());
        captions.push_back(menu_caption(entry.name));
    }
    if (unlisted > 0)
        captions.push_back(std::to_string(unlisted) + " more pets are not listed");
    std::vector<const char*> items;
    for (const std::string& caption : captions)
        items.push_back(caption.c_str());
    platform_set_pet_submenu(menu, CMD_ABOUT, "宠物(&P)", items.data(), int(items.size()), CMD_PET_FIRST, checked);
}

bool pet_choice_command(unsigned command)
{
    if (command < unsigned(CMD_PET_FIRST) || command >= unsigned(CMD_PET_FIRST + PET_MENU_LIMIT))
        return false;
    if (command > unsigned(CMD_PET_FIRST) + choice.listed.size())
        return true;  // the item that only says more pets exist
    const size_t index = command - unsigned(CMD_PET_FIRST);
    const std::string folder = index == 0 ? std::string() : choice.listed[index - 1].folder;
    const std::string path = index == 0 ? std::string() : choice.listed[index - 1].path;
    // The running pet chosen again changes nothing, unless the cat runs in
    // place of a saved pet that failed: then the choice clears that name.
    const bool fallback =
        index == 0 && choice.running_path.empty() && choice.command_line_path.empty() && !saved_choice().empty();
    if (path == choice.running_path && choice.command_line_path.empty() && !fallback)
        return true;
    if (!settings_path[0] || !platform_ini_write_string(settings_path, "Setup", KEY, folder.c_str())) {
        platform_message_box(
            pet_window, settings_save_failure(settings_path[0] ? SAVE_FOLDER_FAILED : SAVE_NOWHERE).c_str(), BOX_ERROR);
        return true;
    }
    if (fallback)
        return true;  // the cat runs already: only the saved name had to go
    // The new pet comes with a new start: every picture and outline made anew.
    if (platform_restart_program())
        platform_destroy_window(pet_window);
    else
        platform_message_box(pet_window, "The new pet comes the next time the program starts.", BOX_ERROR);
    return true;
}
