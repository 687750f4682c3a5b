#include "kzcard/card_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>
#include <vector>

namespace kz::card {
namespace {

constexpr std::uint16_t kFolderAttribute = 16;
constexpr std::uint16_t kFileAttribute = 32;  // "archive", as the card marks written files
constexpr std::size_t kMaxNameBytes = 255;

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
  const auto folder = ResolveCardPath(root, dir);
  std::error_code error;
  if (!folder || !std::filesystem::is_directory(*folder, error)) return std::nullopt;

  std::vector<std::filesystem::directory_entry> entries;
  for (std::filesystem::directory_iterator it(*folder, error), end; !error && it != end;
       it.increment(error))
    entries.push_back(*it);
  if (error) return std::nullopt;
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });

  const std::string directory = ListingDirectory(dir);
  std::string listing = "WLANSD_FILELIST\r\n";
  for (const auto& entry : entries) {
    struct stat status {};
    if (::stat(entry.path().c_str(), &status) != 0) continue;  // vanished meanwhile
    const bool isFolder = S_ISDIR(status.st_mode);
    std::tm local{};
    localtime_r(&status.st_mtime, &local);
    listing += directory + "," + entry.path().filename().string() + "," +
               std::to_string(isFolder ? 0 : static_cast<long long>(status.st_size)) + "," +
               std::to_string(isFolder ? kFolderAttribute : kFileAttribute) + "," +
               std::to_string(FatDate(local)) + "," + std::to_string(FatTime(local)) + "\r\n";
  }
  return listing;
}

std::optional<UploadedFile> ParseUpload(std::string_view contentType, std::string_view body) {
  const auto boundary = BoundaryOf(contentType);
  if (!boundary) return std::nullopt;
  const std::string delimiter = "--" + *boundary;

  const auto atLineStart = [&](std::size_t at) {
    return at == 0 || (at >= 2 && body.substr(at - 2, 2) == "\r\n");
  };
  std::size_t start = body.find(delimiter);
  while (start != std::string_view::npos && !atLineStart(start))
    start = body.find(delimiter, start + 1);
  if (start == std::string_view::npos) return std::nullopt;
  std::size_t line = body.find("\r\n", start);
  if (line == std::string_view::npos) return std::nullopt;

  std::optional<std::string> name;
  for (;;) {
    const std::size_t begin = line + 2;
    const std::size_t end = body.find("\r\n", begin);
    if (end == std::string_view::npos) return std::nullopt;
    line = end;
    if (end == begin) break;  // the empty line that ends the part's headers
    const std::string_view header = body.substr(begin, end - begin);
    if (StartsWithNoCase(header, "Content-Disposition:")) name = FileNameOf(header);
  }
  if (!name) return std::nullopt;

  const std::size_t dataStart = line + 2;
  const std::size_t dataEnd = body.find("\r\n" + delimiter, dataStart);
  if (dataEnd == std::string_view::npos) return std::nullopt;
  return UploadedFile{*name, std::string(body.substr(dataStart, dataEnd - dataStart))};
}

bool StoreFile(const std::filesystem::path& path, std::string_view data) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(data.data(), static_cast<std::streamsize>(data.size()));
  file.close();
  return !file.fail();
}

}  // namespace kz::card
