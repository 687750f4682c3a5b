#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kz::testing {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Full path of `name` inside the folder.
  std::string Path(std::string_view name) const;
  // Writes `contents` to `name` and returns its full path.
  std::string Write(std::string_view name, std::string_view contents) const;
  // The contents of `name`, or "<missing>".
  std::string Read(std::string_view name) const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace kz::testing
