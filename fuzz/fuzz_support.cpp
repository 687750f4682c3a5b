#include "fuzz_support.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace kz::fuzz {

std::uint8_t ByteSource::Byte() {
  if (bytes_.empty()) return 0;
  const auto byte = static_cast<std::uint8_t>(bytes_.front());
  bytes_.remove_prefix(1);
  return byte;
}

std::uint16_t ByteSource::Word() {
  const std::uint16_t low = Byte();
  return static_cast<std::uint16_t>(low | Byte() << 8);
}

std::uint32_t ByteSource::Long() {
  const std::uint32_t low = Word();
  return low | static_cast<std::uint32_t>(Word()) << 16;
}

std::string ByteSource::Text(std::size_t maxBytes) {
  const std::size_t length = std::min<std::size_t>({Byte(), maxBytes, bytes_.size()});
  std::string text(bytes_.substr(0, length));
  bytes_.remove_prefix(length);
  return text;
}

std::string_view ByteSource::Rest() {
  const std::string_view rest = bytes_;
  bytes_ = {};
  return rest;
}

Button FuzzUi::ShowMessage(int messageId, BoxKind, const std::vector<std::string>&,
                           const std::string&) {
  shown.push_back(messageId);
  return answer;
}

std::optional<FileDialogAnswer> FuzzUi::AskFile(const FileDialogRequest&) { return std::nullopt; }

std::optional<std::uint32_t> FuzzUi::AskColor(std::uint32_t) { return std::nullopt; }

int FuzzUi::RunModal(DialogLogic&) { return kIdCancel; }

ScratchFolder& ScratchFolder::Get() {
  static ScratchFolder folder;
  return folder;
}

ScratchFolder::ScratchFolder() {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path base =
      fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (base / "kzfuzz-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    std::abort();
  }
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::string ScratchFolder::Path(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

std::string ScratchFolder::Write(std::string_view name, std::string_view contents) const {
  const std::string path = Path(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!out) {
    std::perror(path.c_str());
    std::abort();
  }
  return path;
}

std::optional<std::string> ScratchFolder::Read(std::string_view name) const {
  std::ifstream in(Path(name), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

void ScratchFolder::Remove(std::string_view name) const {
  std::error_code error;
  std::filesystem::remove(Path(name), error);
}

std::unique_ptr<MotionDocument> NewDocument(const StandardValues& standard) {
  auto document = std::make_unique<MotionDocument>(ScratchFolder::Get().Path("absent.ini"));
  document->settingsReadOnly = true;
  document->standardValues = standard;
  return document;
}

}  // namespace kz::fuzz
