#include "formats/servo_logs.h"

namespace kz {
namespace {

constexpr char kNothingRecorded = 1;
constexpr std::size_t kServoOffset = 2;

}  // namespace

std::optional<std::array<std::int16_t, kServoCount>> DecodeServoLog(std::string_view bytes) {
  if (bytes.size() != kServoLogSize || bytes[0] == kNothingRecorded) return std::nullopt;
  std::array<std::int16_t, kServoCount> values{};
  for (std::size_t k = 0; k < values.size(); ++k) {
    const auto low = static_cast<std::uint8_t>(bytes[kServoOffset + 2 * k]);
    const auto high = static_cast<std::uint8_t>(bytes[kServoOffset + 2 * k + 1]);
    values[k] = static_cast<std::int16_t>(low | high << 8);
  }
  return values;
}

}  // namespace kz
