// The fake's notification area, added menu items and login entry.

#include "platform/fake/fake_platform.h"
#include "support/text_buffer.h"

namespace {

std::string shown(const char* text)
{
    return text ? std::string("\"") + text + "\"" : std::string("null");
}

}  // namespace

bool platform_add_tray_icon(Window* owner, const char* tip)
{
    fake_record("add_tray_icon(" + owner->name + "," + shown(tip) + ")");
    fake.tray_owner = owner;
    return true;
}

bool platform_tray_icon_shown(Window* owner)
{
    return owner && fake.tray_owner == owner && fake.tray_available;
}

void platform_remove_tray_icon(Window* owner)
{
    fake_record("remove_tray_icon(" + owner->name + ")");
    if (fake.tray_owner == owner)
        fake.tray_owner = nullptr;
}

void platform_set_menu_item(Menu* menu, int before_command, int command, const char* caption, int checked)
{
    fake_record("set_menu_item(" + std::to_string(menu->resource_id) + "," + std::to_string(before_command) + "," +
                std::to_string(command) + "," + shown(caption) + "," + std::to_string(checked) + ")");
    auto& items = fake.menu_items;
    auto item = std::find_if(items.begin(), items.end(), [&](const auto& it) { return it.command == command; });
    if (!caption) {
        if (item != items.end())
            items.erase(item);
        return;
    }
    if (item == items.end()) {
        items.push_back(FakePlatform::MenuItem{before_command, command, caption, checked});
        return;
    }
    item->caption = caption;
    item->checked = checked;
}

const FakePlatform::MenuItem* fake_menu_item(int command)
{
    for (const auto& item : fake.menu_items)
        if (item.command == command)
            return &item;
    return nullptr;
}

size_t platform_login_command(const char* pet_folder, char* buffer, size_t size)
{
    fake_record("login_command(" + shown(pet_folder) + ")");
    return copy_to_buffer(fake.login_command + (pet_folder ? " --pet " + std::string(pet_folder) : ""), buffer, size);
}

size_t platform_read_login_entry(char* buffer, size_t size)
{
    fake_record("read_login_entry()");
    return copy_to_buffer(fake.login_has_entry ? fake.login_entry : std::string(), buffer, size);
}

bool platform_write_login_entry(const char* command)
{
    fake_record("write_login_entry(" + shown(command) + ")");
    if (fake.login_write_fails)
        return false;
    fake.login_has_entry = command != nullptr;
    fake.login_entry = command ? command : "";
    return true;
}
