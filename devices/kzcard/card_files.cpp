#include "kzcard/card_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "kzcard/card_store.h"

namespace kz::card {
namespace {

constexpr std::uint16_t kFolderAttribute = 16;
constexpr std::uint16_t kFileAttribute = 32;  // "archive", as the card marks written files
constexpr std::size_t kMaxNameBytes = 255;
// The delimiter and header lines of an upload, at most.
constexpr std::size_t kMaxHeadBytes = 16 * 1024;

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, code = lead & 0x07;
    } else {
      return false;
    }
    if (i + extra >= text.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    constexpr std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

bool IsSafeComponent(std::string_view part) {
  if (part == "." || part == "..") return false;
  return std::none_of(part.begin(), part.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\\'; });
}

// "/", "", "ADDON/" -> "" and "/ADDON"; the form the listing's first field takes.
std::string ListingDirectory(std::string_view dir) {
  std::string result;
  std::size_t start = 0;
  while (start < dir.size()) {
    const std::size_t end = std::min(dir.find('/', start), dir.size());
    if (end > start) {
      result += '/';
      result += dir.substr(start, end - start);
    }
    start = end + 1;
  }
  return result;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

std::optional<std::string> BoundaryOf(std::string_view contentType) {
  if (!StartsWithNoCase(Trim(contentType), "multipart/form-data")) return std::nullopt;
  std::string lower(contentType);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::size_t key = lower.find("boundary=");
  if (key == std::string::npos) return std::nullopt;
  std::string_view value = contentType.substr(key + 9);
  value = Trim(value.substr(0, value.find(';')));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  if (value.empty()) return std::nullopt;
  return std::string(value);
}

std::optional<std::string> FileNameOf(std::string_view disposition) {
  static constexpr std::string_view kKey = "filename=\"";
  const std::size_t start = disposition.find(kKey);
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t end = disposition.find('"', start + kKey.size());
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(disposition.substr(start + kKey.size(), end - start - kKey.size()));
}

}  // namespace

std::optional<std::filesystem::path> ResolveCardPath(const std::filesystem::path& root,
                                                     std::string_view cardPath) {
  std::filesystem::path path = root;
  std::size_t start = 0;
  while (start <= cardPath.size()) {
    const std::size_t end = std::min(cardPath.find('/', start), cardPath.size());
    const std::string_view part = cardPath.substr(start, end - start);
    if (!part.empty()) {
      if (!IsSafeComponent(part)) return std::nullopt;
      path /= std::string(part);
    }
    start = end + 1;
  }
  return path;
}

bool IsCardFileName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxNameBytes && name.find('/') == std::string::npos &&
         IsSafeComponent(name) && IsValidUtf8(name);
}

std::uint16_t FatDate(const std::tm& local) {
  const int year = std::clamp(local.tm_year + 1900 - 1980, 0, 127);
  return static_cast<std::uint16_t>((year << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
}

std::uint16_t FatTime(const std::tm& local) {
  return static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) |
                                    (local.tm_sec / 2));
}

std::optional<std::string> ListFolder(const std::filesystem::path& root, std::string_view dir) {
  Descriptor folder = OpenCardFolder(root, dir);
  if (!folder.valid()) return std::nullopt;
  const int folderFd = folder.get();
  DIR* stream = ::fdopendir(folder.release());
  if (stream == nullptr) return std::nullopt;

  struct Entry {
    std::string name;
    struct stat status;
  };
  std::vector<Entry> entries;
  while (const dirent* entry = ::readdir(stream)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat status {};
    // Links are not listed: they are never served either.
    if (::fstatat(folderFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode)) continue;
    entries.push_back({name, status});
  }
  ::closedir(stream);
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });

  const std::string directory = ListingDirectory(dir);
  std::string listing = "WLANSD_FILELIST\r\n";
  for (const Entry& entry : entries) {
    const bool isFolder = S_ISDIR(entry.status.st_mode);
    std::tm local{};
    localtime_r(&entry.status.st_mtime, &local);
    listing += directory + "," + entry.name + "," +
               std::to_string(isFolder ? 0 : static_cast<long long>(entry.status.st_size)) + "," +
               std::to_string(isFolder ? kFolderAttribute : kFileAttribute) + "," +
               std::to_string(FatDate(local)) + "," + std::to_string(FatTime(local)) + "\r\n";
  }
  return listing;
}

std::optional<UploadedFile> ParseUpload(std::string_view contentType, std::string_view body) {
  UploadedFile file;
  auto stream = UploadStream::For(
      contentType,
      [&file](const std::string& name) {
        file.name = name;
        return true;
      },
      [&file](std::string_view bytes) {
        file.data += bytes;
        return true;
      });
  if (!stream || !stream->Feed(body) || !stream->Complete()) return std::nullopt;
  return file;
}

std::optional<UploadStream> UploadStream::For(std::string_view contentType, Opener open,
                                              Sink sink) {
  const auto boundary = BoundaryOf(contentType);
  if (!boundary) return std::nullopt;
  return UploadStream("--" + *boundary, std::move(open), std::move(sink));
}

UploadStream::UploadStream(std::string delimiter, Opener open, Sink sink)
    : delimiter_(std::move(delimiter)), open_(std::move(open)), sink_(std::move(sink)) {}

bool UploadStream::Feed(std::string_view piece) {
  if (state_ == State::kDone) return true;
  if (state_ == State::kFailed) return false;
  pending_ += piece;
  if (state_ == State::kHead && !ReadHead()) return state_ != State::kFailed;
  if (state_ == State::kData && !PassData()) return state_ != State::kFailed;
  return state_ != State::kFailed;
}

// The delimiter line and the part's header lines, up to the empty line:
// false while they have not all arrived (or, setting kFailed, are malformed).
bool UploadStream::ReadHead() {
  const auto fail = [this] {
    state_ = State::kFailed;
    return false;
  };
  const std::string_view body = pending_;
  const auto atLineStart = [&](std::size_t at) {
    return at == 0 || (at >= 2 && body.substr(at - 2, 2) == "\r\n");
  };
  std::size_t start = body.find(delimiter_);
  while (start != std::string_view::npos && !atLineStart(start))
    start = body.find(delimiter_, start + 1);
  if (start == std::string_view::npos) return pending_.size() > kMaxHeadBytes ? fail() : false;
  std::size_t line = body.find("\r\n", start);
  std::optional<std::string> name;
  for (;;) {
    if (line == std::string_view::npos) return pending_.size() > kMaxHeadBytes ? fail() : false;
    const std::size_t begin = line + 2;
    const std::size_t end = body.find("\r\n", begin);
    if (end == std::string_view::npos) return pending_.size() > kMaxHeadBytes ? fail() : false;
    line = end;
    if (end == begin) break;  // the empty line that ends the part's headers
    const std::string_view header = body.substr(begin, end - begin);
    if (StartsWithNoCase(header, "Content-Disposition:")) name = FileNameOf(header);
  }
  if (!name || !open_(*name)) return fail();
  pending_.erase(0, line + 2);
  state_ = State::kData;
  return true;
}

// Hands on every byte that cannot be the start of "\r\n" + delimiter; the
// data ends at the first such delimiter.
bool UploadStream::PassData() {
  const std::string marker = "\r\n" + delimiter_;
  const std::size_t end = pending_.find(marker);
  if (end != std::string::npos) {
    const bool taken = end == 0 || sink_(std::string_view(pending_).substr(0, end));
    pending_.clear();
    state_ = taken ? State::kDone : State::kFailed;
    return taken;
  }
  if (pending_.size() >= marker.size()) {
    const std::size_t pass = pending_.size() - (marker.size() - 1);
    if (!sink_(std::string_view(pending_).substr(0, pass))) {
      state_ = State::kFailed;
      return false;
    }
    pending_.erase(0, pass);
  }
  return false;
}

std::string EscapeForLog(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '\\') {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace kz::card
