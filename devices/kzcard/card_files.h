#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kz::card {

// What the card does with its files, apart from HTTP. Card paths use "/" and
// are UTF-8, as on a FlashAir card; they never reach outside the card's root.

// `cardPath` ("ADDON/SERVO.LOG", "/ADDON", "/") as a path under `root`;
// nullopt for a path that would leave the root or that no card could hold.
std::optional<std::filesystem::path> ResolveCardPath(const std::filesystem::path& root,
                                                     std::string_view cardPath);

// True for a name a file may be stored under: one UTF-8 path component.
bool IsCardFileName(std::string_view name);

// FAT date and time stamps, as the card's listing gives them.
std::uint16_t FatDate(const std::tm& local);
std::uint16_t FatTime(const std::tm& local);

// The listing of folder `dir` ("/" or "/ADDON"): "WLANSD_FILELIST", then a
// line "directory,name,size,attribute,date,time" per entry, every line ended
// by CR LF. nullopt when the folder does not exist.
std::optional<std::string> ListFolder(const std::filesystem::path& root, std::string_view dir);

struct UploadedFile {
  std::string name;
  std::string data;
};

// The file carried by a multipart/form-data body. The part's header lines run
// to the first empty line and only its file name is taken, so the editor's
// body, which repeats the delimiter line among them, is read as the card reads it.
std::optional<UploadedFile> ParseUpload(std::string_view contentType, std::string_view body);

// Stores `data` as `path`; false when it could not be written whole.
bool StoreFile(const std::filesystem::path& path, std::string_view data);

}  // namespace kz::card
