#include "platform/private_folder.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace kz {

PrivateFolder::PrivateFolder(const std::string& parent) {
  const auto native = NativePath(JoinPath(parent, "KZMotion-XXXXXX"));
  if (!native) return;
  std::string made = *native;
  if (::mkdtemp(made.data()) == nullptr) return;
  const auto text = Utf8ToCp932(made);
  if (!text) {
    ::rmdir(made.c_str());
    return;
  }
  native_ = made;
  path_ = JoinPath(*text, "");
}

PrivateFolder::~PrivateFolder() {
  if (native_.empty()) return;
  // Only files are ever put here; nobody else can have added anything.
  if (DIR* folder = ::opendir(native_.c_str())) {
    while (const dirent* entry = ::readdir(folder)) {
      if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
      ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
  }
  ::rmdir(native_.c_str());
}

}  // namespace kz
