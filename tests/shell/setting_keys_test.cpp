// The key table is the whole of what the program reads: the documents are
// written from it, so a key read past it would go undocumented, and a key
// in it that nothing reads would be documented for nothing.
#include "shell_harness.h"

#include <regex>
#include <set>

#include "shell/setting_keys.h"

namespace {

using SettingKeys = ShellTest;

// Every key start-up read from the settings file, numbered keys as "Pet N".
std::set<std::string> keys_read()
{
    static const std::regex read(R"re(ini_read_(int|string)\("[^"]*","([^"]*)","([^"]*)".*)re");
    static const std::regex numbered(R"((.*) [0-9]+)");
    std::set<std::string> keys;
    for (const std::string& call : fake.calls) {
        std::smatch m;
        if (!std::regex_match(call, m, read))
            continue;
        EXPECT_EQ(m[2].str(), SETTINGS_SECTION) << call;
        std::smatch n;
        const std::string key = m[3].str();
        keys.insert(std::regex_match(key, n, numbered) ? n[1].str() + " N" : key);
    }
    return keys;
}

TEST_F(SettingKeys, StartUpReadsEveryTableKeyAndNoOther)
{
    // One start with a company, one without: between them every key.
    fake.ini_files[ini_path()] = "[Setup]\nPets=2\nPet 1=\nPet 2=\n";
    run();
    std::set<std::string> read = keys_read();
    reset_program();
    fake.ini_files[ini_path()] = "[Setup]\nMode=1\n";
    run();
    read.merge(keys_read());

    std::set<std::string> table;
    for (const SettingKey& key : SETTING_KEYS)
        table.insert(key.kind == SETTING_NUMBERED ? std::string(key.name) + " N" : key.name);
    EXPECT_EQ(read, table);
}

}  // namespace
