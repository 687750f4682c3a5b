#pragma once

#include <string>

namespace kz {

// A folder made afresh for one operation, that only this user can enter
// (mkdtemp, mode 0700): a file put there cannot have been prepared by anyone
// else, as one at a fixed name in a shared temporary folder could. It is
// removed with the files in it when the object goes.
class PrivateFolder {
 public:
  // `parent` is system text (CP932); the folder is made inside it.
  explicit PrivateFolder(const std::string& parent);
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  bool IsMade() const { return !path_.empty(); }
  // System text, with its final separator; empty when it could not be made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string native_;
};

}  // namespace kz
