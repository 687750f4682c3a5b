#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kz {

// The settings file KZMotion.ini, with the semantics of the platform's classic
// INI functions. A missing or unreadable file reads as an empty one: every key
// takes its default. Values are system text (CP932).
class Settings {
 public:
  // A read-only file is never written: its writes report success and
  // change nothing (the command-line tool works so).
  explicit Settings(std::string path, bool readOnly = false)
      : path_(std::move(path)), readOnly_(readOnly) {}

  const std::string& path() const { return path_; }

  // The default when the key is missing; otherwise the value's leading decimal
  // number, 0 when the value does not start with a digit (no sign is read, so
  // "-5" reads 0). Longer numbers wrap around modulo 2^32, as the platform's
  // reader does.
  int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;

  // On exactly when the integer reads 1.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // The default when the key is missing; the text is cut to `capacity` - 1
  // bytes, never inside a two-byte character.
  std::string ReadText(std::string_view section, std::string_view key,
                       std::string_view defaultValue, std::size_t capacity) const;

  // Creates the file, the section or the key as needed; nothing is ever
  // deleted. The file is rewritten atomically. Returns false, leaving the file
  // as it was, when it could not be written or when the entry could break the
  // file's lines (see IsWritableIniEntry).
  bool WriteText(std::string_view section, std::string_view key, std::string_view value);

  // Integers are written whole, as plain decimal text.
  bool WriteInt(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  std::string path_;
  bool readOnly_ = false;
};

}  // namespace kz
