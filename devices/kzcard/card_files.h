#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
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

// The same reading of a body that arrives in pieces: the file's bytes are
// handed on as they come, so that an upload never has to be held whole.
class UploadStream {
 public:
  // The file's name once known; `sink` takes its bytes and may refuse them.
  using Opener = std::function<bool(const std::string& name)>;
  using Sink = std::function<bool(std::string_view bytes)>;

  // nullopt for a content type that is no multipart/form-data with a boundary.
  static std::optional<UploadStream> For(std::string_view contentType, Opener open, Sink sink);

  // False once the body is malformed or the sink refused; the rest is ignored.
  bool Feed(std::string_view piece);
  // True when the whole file has arrived, its closing delimiter included.
  bool Complete() const { return state_ == State::kDone; }

 private:
  enum class State { kHead, kData, kDone, kFailed };
  UploadStream(std::string delimiter, Opener open, Sink sink);
  bool ReadHead();
  bool PassData();

  std::string delimiter_;
  Opener open_;
  Sink sink_;
  State state_ = State::kHead;
  std::string pending_;  // bytes not yet taken: the head, or a tail that may start the delimiter
};

// `text` for a log line: bytes below 0x20, 0x7F and the backslash written
// as \xHH, so that a request cannot forge lines or drive the terminal.
std::string EscapeForLog(std::string_view text);

}  // namespace kz::card
