// The pets the program runs and the menu that adds and sends them away.
#include "shell/pet_choice.h"

#include <cstdio>
#include <utility>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "graphics/zoom.h"
#include "platform/platform.h"
#include "shell/company.h"
#include "shell/errors.h"
#include "shell/pet_folder.h"
#include "shell/program.h"
#include "shell/setting_keys.h"
#include "shell/startup.h"
#include "support/plain_text.h"
#include "support/texts.h"

namespace {

constexpr char BUILT_IN_NAME[] = "Dorrabee";
// A message box taller than the screen would hide its own button.
constexpr int BOX_LINES = 20;

PetKind saved_kind(const std::vector<std::string>& places, const std::string& folder)
{
    return {folder, folder.empty() ? std::string() : pet_path(places, folder)};
}

void show_script_message(void* program, const char* text)
{
    // The script is loaded before the pet window exists: no owner.
    platform_message_box(nullptr, text, BOX_ERROR, text_of(static_cast<Program*>(program)->language, TextId::ok));
}

void show_box(const Program& program, const std::string& text)
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
    platform_message_box(nullptr, escape_controls(shown).c_str(), BOX_ERROR, text_of(program.language, TextId::ok));
}

// The chosen folder loaded and the engine running on it; false after its one box.
bool start_folder(Pet& pet, uint32_t seed, const std::string& path, const std::string& named)
{
    std::string message;
    if (path.empty()) {
        show_box(*pet.program, named + ": there is no such pet folder");
        return false;
    }
    if (!pet_folder_load(path, pet.folder, message)) {
        show_box(*pet.program, message);
        return false;
    }
    // A large pet takes a smaller zoom; its room is counted in its own pixels.
    pet.zoom = zoom_for_cell(pet.zoom, pet_cell_side(pet));
    pet.room = pet_room(*pet.program, pet.zoom);
    pet.state = pet_engine_start(pet.folder, pet.room, pet.program->settings.timer_ms, seed, message);
    // A pet's warnings never stand between the user and the pet: they go to
    // standard error (and to the checker), while what stops it gets a box.
    if (pet.state && !message.empty())
        std::fprintf(stderr, "%s\n", escape_controls(message).c_str());
    else if (!message.empty())
        show_box(*pet.program, message);
    if (pet.state)
        pet.path = path;
    return pet.state != nullptr;
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

std::vector<PetKind> company_at_start(Program& program)
{
    std::vector<PetKind> kinds;
    for (const std::string& path : program.command_line_paths)
        kinds.push_back({std::string(), path});
    if (!kinds.empty())
        return kinds;
    const std::vector<std::string> places = pet_places(program.program_folder);
    const int32_t count = setting_number(program.settings_path, SettingKeyId::pets);
    if (count < 1) {
        kinds.push_back(saved_kind(places, setting_text(program.settings_path, SettingKeyId::pet)));
        return kinds;
    }
    program.company_from_settings = true;
    for (int32_t number = 1; number <= count && number <= COMPANY_LIMIT; ++number)
        kinds.push_back(
            saved_kind(places, setting_text(program.settings_path, SettingKeyId::pet_number, size_t(number))));
    return kinds;
}

bool pet_load_built_in(Pet& pet, uint32_t seed)
{
    pet.folder = PetFolder{};
    pet.path.clear();
    pet.kind.clear();
    const ScriptText* script = pet.program->builtin_behaviour;
    pet.state = pet_init(script ? *script : builtin_script(), pet.room, pet.program->settings.timer_ms, seed,
                         {show_script_message, pet.program});
    return pet.state != nullptr;
}

bool pet_load(Pet& pet, const PetKind& kind, uint32_t seed)
{
    if (is_built_in(kind))
        return pet_load_built_in(pet, seed);
    if (!start_folder(pet, seed, kind.path, kind.folder.empty() ? kind.path : kind.folder))
        return false;
    pet.kind = kind.folder;
    return true;
}

bool pet_choice_bitmap(Pet& pet, int resource_id, Bitmap* out)
{
    if (pet.path.empty() || (resource_id != RES_SPRITES && resource_id != RES_MASK))
        return platform_load_bitmap(resource_id, out);
    Bitmap& kept = resource_id == RES_SPRITES ? pet.folder.sheet : pet.folder.mask;
    *out = std::move(kept);
    kept = Bitmap{};
    return true;
}

void pet_choice_fill_menu(Pet& clicked, Menu* menu)
{
    if (!menu)
        return;
    const Program& program = *clicked.program;
    std::vector<PetEntry>& listed = clicked.program->listed;
    size_t& unlisted = clicked.program->unlisted_pets;
    unlisted = 0;
    listed = pets_found(pet_places(program.program_folder), PET_MENU_LIMIT - 2, &clicked.program->pet_names, &unlisted);
    // A full menu says that there are more pets than it holds, in the item
    // before the last.
    if (unlisted > 0) {
        listed.pop_back();
        ++unlisted;
    }
    std::vector<std::string> captions = {BUILT_IN_NAME};
    // A folder given on the command line may be none of those listed: nothing checked.
    int checked = clicked.path.empty() ? 0 : -1;
    for (const PetEntry& entry : listed) {
        if (!clicked.path.empty() && entry.path == clicked.path)
            checked = int(captions.size());
        captions.push_back(menu_caption(entry.name));
    }
    if (unlisted > 0)
        captions.push_back(std::to_string(unlisted) + " more pets are not listed");
    captions.push_back(text_of(program.language, TextId::menu_send_away));
    std::vector<const char*> items;
    for (const std::string& caption : captions)
        items.push_back(caption.c_str());
    platform_set_pet_submenu(menu, CMD_ABOUT, text_of(program.language, TextId::menu_pets), items.data(),
                             int(items.size()), CMD_PET_FIRST, checked);
}

bool pet_choice_command(Pet& clicked, unsigned command)
{
    Program& program = *clicked.program;
    const std::vector<PetEntry>& listed = program.listed;
    const size_t more_item = program.unlisted_pets > 0 ? 1 : 0;
    if (command < unsigned(CMD_PET_FIRST) || command > unsigned(CMD_PET_FIRST) + listed.size() + more_item + 1)
        return false;
    const size_t index = command - unsigned(CMD_PET_FIRST);
    if (more_item && index == listed.size() + 1)
        return true;  // the item that only says more pets exist
    if (index == listed.size() + more_item + 1) {
        // The last one leaving ends the program as Exit does, the company
        // saved with it still in.
        if (living_pets(program) <= 1) {
            company_end(program);
            return true;
        }
        program.company_changed = true;
        platform_destroy_window(clicked.window);
        return true;
    }
    const PetKind kind = index == 0 ? PetKind{} : PetKind{listed[index - 1].folder, listed[index - 1].path};
    if (company_add(program, kind))
        program.company_changed = true;
    return true;
}

bool company_save(Program& program, bool quietly)
{
    if (!program.command_line_paths.empty() || program.fatal_error ||
        !(program.company_from_settings || program.company_changed))
        return true;
    std::vector<std::string> keys = {setting_name(SettingKeyId::pets)};
    std::vector<std::string> values = {std::string()};
    for (const Pet* pet : program.pets) {
        if (!pet_lives(*pet))
            continue;
        keys.push_back(setting_name(SettingKeyId::pet_number, keys.size()));
        values.push_back(pet->kind);
    }
    values[0] = std::to_string(keys.size() - 1);
    std::vector<const char*> key_texts;
    std::vector<const char*> value_texts;
    for (size_t k = 0; k < keys.size(); ++k) {
        key_texts.push_back(keys[k].c_str());
        value_texts.push_back(values[k].c_str());
    }
    const int result = program.settings_path[0]
                           ? platform_ini_write_strings(program.settings_path, SETTINGS_SECTION, key_texts.data(),
                                                        value_texts.data(), keys.size())
                           : SAVE_NOWHERE;
    if (result == SAVE_DONE || quietly)
        return result == SAVE_DONE;
    platform_message_box(oldest_living_window(program), settings_save_failure(program.settings_path, result).c_str(),
                         BOX_ERROR, text_of(program.language, TextId::ok));
    return false;
}
