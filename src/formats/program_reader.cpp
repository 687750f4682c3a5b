#include "formats/program_reader.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <optional>
#include <vector>

#include "model/pose_label.h"

namespace kz {
namespace {

// The scanner's line buffer: a longer line arrives in pieces of 1023 bytes.
constexpr std::size_t kLineBufferSize = 1024;

constexpr std::string_view kBlockTag = "<block name=";
constexpr std::size_t kBlockNameOffset = 13;  // behind the tag and its opening quote
constexpr std::string_view kPlayTag = "<play filename=";
constexpr std::string_view kPoseArrayTag = "<mem_w size=\"2\" adr=\"0x0a00\">";
constexpr std::string_view kMoveTag = "<mem_w size=\"2\" adr=\"0x0b00\">";

constexpr std::size_t kServoPairBytes = 14;  // "0xvvvv,0x0064," of one servo
constexpr int kCommasBeforeLeds = 16;
constexpr std::size_t kLedWordBytes = 7;  // "0xvvvv,"
constexpr std::size_t kRightEyeOffset = 3 * kLedWordBytes;
constexpr std::size_t kMouthOffset = 6 * kLedWordBytes;

int LowerHexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// `text` from `offset` on; empty when the offset lies beyond it.
std::string_view From(std::string_view text, std::size_t offset) {
  return offset < text.size() ? text.substr(offset) : std::string_view();
}

// The file as a text-mode read delivers it: CR LF arrives as LF.
std::string TextModeBytes(std::string_view raw) {
  std::string text;
  text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i)
    if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')) text += raw[i];
  return text;
}

// Lines as a fixed buffer receives them: at most capacity - 1 bytes, through
// the LF when it fits. The buffer is examined as a C string, so a line ends
// at its first NUL byte.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  // nullopt at the end of the file. A buffer with room for the terminator
  // only takes nothing, and that is no end of file.
  std::optional<std::string_view> Next(std::size_t capacity = kLineBufferSize) {
    if (capacity <= 1) return std::string_view();
    if (position_ >= text_.size()) return std::nullopt;
    const std::string_view rest =
        text_.substr(position_, std::min(text_.size() - position_, capacity - 1));
    const std::size_t lineFeed = rest.find('\n');
    const std::string_view piece =
        lineFeed == std::string_view::npos ? rest : rest.substr(0, lineFeed + 1);
    position_ += piece.size();
    return piece.substr(0, piece.find('\0'));
  }

 private:
  std::string_view text_;
  std::size_t position_ = 0;
};

// What atoi makes of the text: blanks, an optional sign, leading digits;
// values beyond 32 bits saturate.
std::int32_t ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  return static_cast<std::int32_t>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// Servo words of array lines 1 and 2, joined. False when the text has no
// second comma, so that the servo words cannot be found.
bool ReadServoWords(std::string_view joined, const StandardValues& standard, Pose& pose) {
  const std::size_t first = joined.find(',');
  if (first == std::string_view::npos) return false;
  std::size_t at = joined.find(',', first + 1);
  if (at == std::string_view::npos) return false;
  // A word that does not parse repeats the previous servo's value.
  std::int16_t value = 0;
  for (int k = 0; k < kServoCount; ++k) {
    // Separators, blanks, line ends and every byte from 0x80 up are skipped.
    while (at < joined.size() && static_cast<signed char>(joined[at]) <= ',') ++at;
    if (at < joined.size() && joined[at] == '0') ParseHexWord(joined.substr(at), value);
    pose.servo[k] = static_cast<std::int16_t>(standard[k] + value);
    at = std::min(at + kServoPairBytes, joined.size());
  }
  return true;
}

// LED words of array line 3. Without its sixteen leading commas the words
// cannot be located, and the LEDs stay off.
void ReadLedWords(std::string_view line, Pose& pose) {
  std::size_t from = 1;
  std::size_t comma = std::string_view::npos;
  for (int n = 0; n < kCommasBeforeLeds; ++n) {
    comma = line.find(',', from);
    if (comma == std::string_view::npos) return;
    from = comma + 1;
  }
  const std::size_t leds = comma + 1;
  pose.leftEye = ParseLedColour(From(line, leds));
  pose.rightEye = ParseLedColour(From(line, leds + kRightEyeOffset));
  // Word 70, then word 71 (zero) and the line end: red only.
  pose.mouth = static_cast<std::int32_t>(ParseLedColour(From(line, leds + kMouthOffset)));
}

// The move's time, right behind the tag: "0x" and a hexadecimal word, or a
// decimal number.
void ReadTravelTime(std::string_view value, Pose& pose) {
  if (value.size() >= 2 && value[1] == 'x') {
    std::int16_t word = 0;
    if (value[0] == '0' && ParseHexWord(value, word)) pose.travelTime = word;
    return;
  }
  pose.travelTime = ParseDecimal(value);
}

enum class PoseOutcome {
  kRead,       // the pose was added
  kReadAtEnd,  // the pose was added and the file ended looking for its move
  kDropped,    // the array was incomplete: nothing added, the scan ends
};

PoseOutcome ReadPose(LineReader& lines, const StandardValues& standard,
                     const std::string& blockName, std::vector<Pose>& poses) {
  const auto line1 = lines.Next();
  if (!line1) return PoseOutcome::kDropped;
  // Line 2 goes into the rest of the same buffer, behind line 1.
  const auto line2 = lines.Next(kLineBufferSize - line1->size());
  if (!line2) return PoseOutcome::kDropped;
  const std::string joined = std::string(*line1) + std::string(*line2);

  Pose pose;
  if (!ReadServoWords(joined, standard, pose)) return PoseOutcome::kDropped;
  const auto line3 = lines.Next();
  if (!line3) return PoseOutcome::kDropped;
  ReadLedWords(*line3, pose);
  pose.flags = kBrightnessLimit;
  pose.startTime = 0;

  PoseOutcome outcome = PoseOutcome::kReadAtEnd;
  while (const auto line = lines.Next()) {
    const std::size_t tag = line->find(kMoveTag);
    if (tag == std::string_view::npos) continue;
    ReadTravelTime(From(*line, tag + kMoveTag.size()), pose);
    outcome = PoseOutcome::kRead;
    break;
  }
  pose.holdTime = 0;
  pose.label =
      blockName.empty() ? NumberedPoseLabel(static_cast<int>(poses.size()) + 1) : blockName;
  poses.push_back(std::move(pose));
  return outcome;
}

// The text between the line's first double quote and the next one.
std::optional<std::string> SoundName(std::string_view line) {
  const std::size_t open = line.find('"');
  if (open == std::string_view::npos) return std::nullopt;
  const std::size_t close = line.find('"', open + 1);
  if (close == std::string_view::npos) return std::nullopt;
  return std::string(line.substr(open + 1, close - open - 1));
}

ParsedProgramText ScanProgram(std::string_view text, const StandardValues& standard, int maxPose) {
  ParsedProgramText found;
  LineReader lines(text);
  std::string blockName;
  while (const auto line = lines.Next()) {
    if (const std::size_t tag = line->find(kBlockTag); tag != std::string_view::npos) {
      const std::string_view name = From(*line, tag + kBlockNameOffset);
      blockName = std::string(name.substr(0, name.find('"')));
    } else if (line->find(kPlayTag) != std::string_view::npos) {
      if (auto name = SoundName(*line)) found.sounds.push_back(std::move(*name));
    } else if (line->find(kPoseArrayTag) != std::string_view::npos) {
      // A motion holds at most maxPose poses: further arrays are passed over
      // like any other line.
      if (static_cast<int>(found.poses.size()) >= maxPose) {
        found.posesLeftOut = true;
        continue;
      }
      if (ReadPose(lines, standard, blockName, found.poses) != PoseOutcome::kRead) break;
    }
  }
  return found;
}

}  // namespace

bool ParseHexWord(std::string_view text, std::int16_t& value) {
  if (text.size() < 6 || text[0] != '0' || text[1] != 'x') return false;
  unsigned word = 0;
  for (char c : text.substr(2, 4)) {
    const int digit = LowerHexDigit(c);
    if (digit < 0) return false;
    word = word << 4 | static_cast<unsigned>(digit);
  }
  value = static_cast<std::int16_t>(word);
  return true;
}

std::uint32_t ParseLedColour(std::string_view text) {
  int c[3] = {};
  for (std::size_t i = 0; i < 3; ++i) {
    std::int16_t word = 0;
    ParseHexWord(From(text, i * kLedWordBytes), word);
    c[i] = word;
  }
  // The writer divides by 5 under the brightness limit; this undoes it.
  const auto scaled = [](int v) { return std::min(5 * v, 255); };
  int rgb[3] = {c[0], c[1], c[2]};
  int largest = -1;
  if (c[0] > 0 && c[0] >= c[1] && c[0] >= c[2])
    largest = 0;
  else if (c[1] > 0 && c[1] >= c[0] && c[1] >= c[2])
    largest = 1;
  else if (c[2] > 0 && c[2] >= c[0])
    largest = 2;
  if (largest >= 0) {
    const int top = c[largest];
    for (int i = 0; i < 3; ++i) rgb[i] = i == largest ? scaled(top) : scaled(top) * c[i] / top;
  }
  return (static_cast<std::uint32_t>(rgb[0]) & 0xFF) |
         (static_cast<std::uint32_t>(rgb[1]) & 0xFF) << 8 |
         (static_cast<std::uint32_t>(rgb[2]) & 0xFF) << 16;
}

ParsedProgramText ParseProgramText(std::string_view bytes, const StandardValues& standardValues,
                                   int maxPose) {
  ParsedProgramText parsed;
  const std::string text = TextModeBytes(bytes);
  if (text.find('\0') != std::string::npos) {
    parsed.failure = ProgramTextFailure::kNulByte;
    return parsed;
  }
  parsed = ScanProgram(text, standardValues, maxPose);
  if (parsed.poses.empty()) {
    parsed = ParsedProgramText{};
    parsed.failure = ProgramTextFailure::kNoPose;
  }
  return parsed;
}

}  // namespace kz
