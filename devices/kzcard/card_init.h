#pragma once

#include <filesystem>
#include <string>

namespace kz::card {

// Lays out `folder` as the card of a robot that runs the remote connection:
// the folder ADDON and a stand-in for the remote-connection main program in
// the root, which is what the editor's card check looks for. Files already
// there are kept. False, with the reason in `error`, when it cannot.
bool InitCardFolder(const std::filesystem::path& folder, std::string& error);

}  // namespace kz::card
