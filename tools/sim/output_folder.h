// Where the pet checker writes: a folder the author named, never the pet's own
// folder (which came from a stranger), and there only files it may replace:
// new ones, or plain files of the kind it writes; never through a link.
#pragma once

#include <string>
#include <string_view>

// False, with the reason, when `out_folder` is the pet's folder or inside it.
bool output_folder_allowed(const std::string& out_folder, const std::string& pet_folder, std::string& error);

// Makes the output folder (and those above it) when it is not there yet.
bool output_folder_made(const std::string& out_folder, std::string& error);

// Writes `data` as `out_folder`/`name`, replacing a file of that name only
// when it is a regular file of its own (one link) that begins with
// `signature`; the new contents go to a new file first, then take the name.
bool write_own_file(const std::string& out_folder, const std::string& name, std::string_view signature,
                    const std::string& data, std::string& error);
