// A whole pet folder in one input: its files one after another, each ended
// by the four bytes "\0PET", in the order sprites.bmp, mask.bmp,
// behaviour.script, pet.ini, sprites.png; a missing or empty part is a file
// the folder does not have. Whatever the folder holds, it either fails with a message
// or gives a pet whose every image is in its sheet.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "shell/pet_folder.h"

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string separator("\0PET", 4);
    PetFiles files;
    std::optional<std::string>* parts[] = {&files.sheet, &files.mask, &files.script, &files.ini, &files.png_sheet};
    size_t at = 0;
    for (auto* part : parts) {
        if (at >= input.size())
            break;
        size_t end = input.find(separator, at);
        if (end == std::string::npos)
            end = input.size();
        if (end > at)
            *part = input.substr(at, end - at);
        at = end + separator.size();
    }

    const std::string name = pet_display_name(files.ini, "fuzz");
    check(!name.empty() && name.find('\n') == std::string::npos, "a name no menu can show");
    for (const char* mark : {"\xE2\x80\xAE", "\xE2\x81\xA6", "\xE2\x80\xA8", "\xE2\x80\xA9"})
        check(name.find(mark) == std::string::npos, "a name that turns the menu's text round or breaks its line");
    PetFolder pet;
    pet.name = name;
    std::string message;
    if (!pet_decode(files, pet, message)) {
        check(!message.empty(), "a failure without a message");
        return 0;
    }
    const int32_t side = pet.cells.side;
    check(side >= MIN_CELL && side <= MAX_CELL && pet.sheet.width % side == 0 && pet.sheet.height % side == 0 &&
              pet.sheet.pixels.size() == size_t(pet.sheet.width) * size_t(pet.sheet.height),
          "a sheet not laid out in whole cells");
    check(int64_t(pet.sheet.width / side) * (pet.sheet.height / side) >= pet.image_cells,
          "a sheet that does not hold its images");
    check(pet.mask.bits_per_pixel == 1 && pet.mask.width == pet.sheet.width && pet.mask.height == pet.sheet.height &&
              pet.mask.indices.size() == pet.sheet.pixels.size(),
          "a mask that does not match the sheet");
    check(pet.image_cells > 0 && pet.image_cells <= PET_IMAGES, "no images, or too many");

    const Room room = {0, 0, 1024, 768, 0, 0, 0, 0};
    std::string messages;
    if (PetState* state = pet_engine_start(pet, room, 150, 1, messages)) {
        for (int step = 0; step < 200; ++step) {
            pet_step(state, room);
            check(state->current_image >= 0 && state->current_image < pet.image_cells,
                  "an image the sheet does not hold");
        }
        pet_release(state);
    }
    return 0;
}
