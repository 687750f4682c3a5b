#include "model/standard_values.h"

#include <array>
#include <cstdint>

#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr std::size_t kSetupFileCapacity = 24000;
constexpr std::size_t kSetupPathCapacity = 256;

constexpr std::size_t kBinaryFirstOffset = 276;
constexpr std::size_t kBinaryStride = 70;

constexpr std::array<std::size_t, kServoCount> kTextOffsets = {
    1227, 1566, 1905, 2244, 2583, 2922, 3261, 3600, 3941, 4284,
    4627, 4970, 5313, 5656, 5999, 6342, 6685, 7028, 7371, 7714};
constexpr std::size_t kTextValueLength = 6;  // "0x" and four digits

// The servo range: a standard value outside it is no standard value, and the
// file that gave it is no setup file.
constexpr int kLowestServoValue = -1500;
constexpr int kHighestServoValue = 1500;

bool ArePlausible(const StandardValues& values) {
  for (const int value : values)
    if (value < kLowestServoValue || value > kHighestServoValue) return false;
  return true;
}

// STARTUP.BIN in any case: the binary image's layout.
bool NamesBinaryImage(std::string_view path) {
  return !path.empty() && (path.back() == 'N' || path.back() == 'n');
}

int LowerHexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ReadSetupFile(MotionDocument& document, EditorUi& ui, std::string& path,
                   std::string& contents) {
  Settings settings = document.settings();
  path =
      document.setupOverride.value_or(settings.ReadText("SETUP", "PATH", "", kSetupPathCapacity));
  if (path.empty() || !FileExists(path)) {
    ui.prompts.ShowMessage(kMsgSetupNotLoaded, BoxKind::kInformation);
    const bool binary = document.kazoModel == 2;
    FileDialogRequest request;
    request.open = true;
    request.filter =
        SystemText(binary ? "バイナリプログラム|STARTUP.BIN||" : "設定ファイル|STARTUP.XML||");
    request.defaultExtension = binary ? "BIN" : "XML";
    request.initialName = path;
    const auto answer = ui.dialogs.AskFile(request);
    if (!answer) return false;
    path = answer->path;
    document.setupOverride.reset();
  }
  if (!ReadWholeFile(path, contents, kSetupFileCapacity)) {
    ui.prompts.ShowMessage(kMsgSetupReadFailed);
    return false;
  }
  // A file given for this run only is not remembered.
  if (!document.setupOverride) settings.WriteText("SETUP", "PATH", path);
  return true;
}

}  // namespace

std::optional<StandardValues> ParseStandardValuesBinary(std::string_view image) {
  if (image.size() < kBinaryFirstOffset + kBinaryStride * (kServoCount - 1) + 2)
    return std::nullopt;
  StandardValues values{};
  for (std::size_t k = 0; k < kServoCount; ++k) {
    const std::size_t at = kBinaryFirstOffset + kBinaryStride * k;
    const auto low = static_cast<std::uint8_t>(image[at]);
    const auto high = static_cast<std::uint8_t>(image[at + 1]);
    values[k] = static_cast<std::int16_t>(low | high << 8);
  }
  return values;
}

std::optional<StandardValues> ParseStandardValuesText(std::string_view text) {
  if (text.size() < kTextOffsets.back() + kTextValueLength) return std::nullopt;
  StandardValues values{};
  for (std::size_t k = 0; k < kServoCount; ++k) {
    const std::string_view field = text.substr(kTextOffsets[k], kTextValueLength);
    if (field.substr(0, 2) != "0x") return std::nullopt;
    unsigned value = 0;
    for (char c : field.substr(2)) {
      const int digit = LowerHexDigit(c);
      if (digit < 0) return std::nullopt;
      value = value << 4 | static_cast<unsigned>(digit);
    }
    values[k] = static_cast<std::int16_t>(value);
  }
  return values;
}

bool LoadStandardValues(MotionDocument& document, EditorUi& ui) {
  std::string contents;
  std::string path;
  if (document.useFlashAir) {
    // A failed download leaves no text, which then fails to parse below.
    if (!document.flashAirDownload ||
        !document.flashAirDownload(document, "STARTUP.XML", contents, kSetupFileCapacity))
      contents.clear();
  } else if (!ReadSetupFile(document, ui, path, contents)) {
    return false;
  }
  const bool binary = !document.useFlashAir && NamesBinaryImage(path);
  const auto values =
      binary ? ParseStandardValuesBinary(contents) : ParseStandardValuesText(contents);
  if (!values || !ArePlausible(*values)) {
    ui.prompts.ShowMessage(kMsgSetupReadFailed);
    document.standardValues.reset();
    return false;
  }
  document.standardValues = values;
  return true;
}

const StandardValues* RequireStandardValues(MotionDocument& document, EditorUi& ui) {
  if (!document.standardValues && !LoadStandardValues(document, ui)) return nullptr;
  return &*document.standardValues;
}

}  // namespace kz
