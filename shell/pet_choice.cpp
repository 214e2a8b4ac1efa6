// The pet the program runs and the menu that changes it.
#include "shell/pet_choice.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "platform/platform.h"
#include "shell/errors.h"
#include "shell/pet_folder.h"
#include "shell/program.h"
#include "shell/startup.h"
#include "support/plain_text.h"

namespace {

constexpr char KEY[] = "Pet";
constexpr char BUILT_IN_NAME[] = "Dorrabee";
// A message box taller than the screen would hide its own button.
constexpr int BOX_LINES = 20;

std::string saved_choice(const Program& program)
{
    char value[256] = "";
    if (program.settings_path[0])
        platform_ini_read_string(program.settings_path, "Setup", KEY, value, sizeof value);
    return value;
}

void show_script_message(void*, const char* text)
{
    // The script is loaded before the pet window exists: no owner.
    platform_message_box(nullptr, text, BOX_ERROR);
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
bool start_folder(Pet& pet, uint32_t seed, const std::string& path, const std::string& named)
{
    std::string message;
    if (path.empty()) {
        show_box(named + ": there is no such pet folder");
        return false;
    }
    if (!pet_folder_load(path, pet.folder, message)) {
        show_box(message);
        return false;
    }
    pet.state = pet_engine_start(pet.folder, pet.room, pet.program->settings.timer_ms, seed, message);
    // A pet's warnings never stand between the user and the pet: they go to
    // standard error (and to the checker), while what stops it gets a box.
    if (pet.state && !message.empty())
        std::fprintf(stderr, "%s\n", escape_controls(message).c_str());
    else if (!message.empty())
        show_box(message);
    if (pet.state)
        pet.path = path;
    return pet.state != nullptr;
}

int start_built_in(Pet& pet, uint32_t seed)
{
    pet.folder = PetFolder{};
    const ScriptText* script = pet.program->builtin_behaviour;
    pet.state = pet_init(script ? *script : builtin_script(), pet.room, pet.program->settings.timer_ms, seed,
                         {show_script_message, nullptr});
    return pet.state ? 1 : 0;
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

int pet_choice_start(Pet& pet, uint32_t seed)
{
    const Program& program = *pet.program;
    pet.path.clear();
    const std::string saved = program.command_line_path.empty() ? saved_choice(program) : std::string();
    if (program.command_line_path.empty() && saved.empty())
        return start_built_in(pet, seed);
    const bool started = program.command_line_path.empty()
                             ? start_folder(pet, seed, pet_path(pet_places(program.program_folder), saved), saved)
                             : start_folder(pet, seed, program.command_line_path, program.command_line_path);
    return started ? 1 : start_built_in(pet, seed);
}

bool pet_choice_bitmap(const Pet& pet, int resource_id, Bitmap* out)
{
    if (pet.path.empty() || (resource_id != RES_SPRITES && resource_id != RES_MASK))
        return platform_load_bitmap(resource_id, out);
    *out = resource_id == RES_SPRITES ? pet.folder.sheet : pet.folder.mask;
    return true;
}

void pet_choice_fill_menu(Program& program, Menu* menu)
{
    if (!menu)
        return;
    std::vector<PetEntry>& listed = program.listed;
    size_t unlisted = 0;
    listed = pets_found(pet_places(program.program_folder), PET_MENU_LIMIT - 1, &program.pet_names, &unlisted);
    // A full menu says that there are more pets than it holds, in its last item.
    if (unlisted > 0) {
        listed.pop_back();
        ++unlisted;
    }
    std::vector<std::string> captions = {BUILT_IN_NAME};
    int checked = 0;
    for (const PetEntry& entry : listed) {
        if (program.pet && entry.path == program.pet->path)
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

bool pet_choice_command(Pet& pet, unsigned command)
{
    const Program& program = *pet.program;
    const std::vector<PetEntry>& listed = program.listed;
    if (command < unsigned(CMD_PET_FIRST) || command >= unsigned(CMD_PET_FIRST + PET_MENU_LIMIT))
        return false;
    if (command > unsigned(CMD_PET_FIRST) + listed.size())
        return true;  // the item that only says more pets exist
    const size_t index = command - unsigned(CMD_PET_FIRST);
    const std::string folder = index == 0 ? std::string() : listed[index - 1].folder;
    const std::string path = index == 0 ? std::string() : listed[index - 1].path;
    // The running pet chosen again changes nothing, unless the cat runs in
    // place of a saved pet that failed: then the choice clears that name.
    const bool fallback =
        index == 0 && pet.path.empty() && program.command_line_path.empty() && !saved_choice(program).empty();
    if (path == pet.path && program.command_line_path.empty() && !fallback)
        return true;
    if (!program.settings_path[0] || !platform_ini_write_string(program.settings_path, "Setup", KEY, folder.c_str())) {
        platform_message_box(
            pet.window,
            settings_save_failure(program.settings_path, program.settings_path[0] ? SAVE_FOLDER_FAILED : SAVE_NOWHERE)
                .c_str(),
            BOX_ERROR);
        return true;
    }
    if (fallback)
        return true;  // the cat runs already: only the saved name had to go
    // The new pet comes with a new start: every picture and outline made anew.
    if (platform_restart_program())
        platform_destroy_window(pet.window);
    else
        platform_message_box(pet.window, "The new pet comes the next time the program starts.", BOX_ERROR);
    return true;
}
