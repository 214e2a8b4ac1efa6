// What --check tells an author about a sheet that loads but will not look as
// meant: images that are solid blocks, and edges of nearly the key colour.
#pragma once

#include <string>
#include <vector>

#include "shell/pet_folder.h"

std::vector<std::string> sheet_warnings(const PetFolder& folder);
