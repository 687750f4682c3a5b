#pragma once

#include <string>
#include <string_view>

namespace kz {

// Every "cut at the last separator" of the system uses this one constant.
inline constexpr char kPathSeparator = '/';

// The folder part of `path`, up to and including its last separator; empty
// when the path has none. Paths are CP932 text: the separator byte never
// occurs inside a two-byte character.
std::string FolderOf(std::string_view path);

// The part of `path` after its last separator.
std::string FileNameOf(std::string_view path);

// `folder` and `name` with exactly one separator between them.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace kz
