#include "link/records.h"

namespace kz {
namespace {

constexpr std::size_t kServoOffset = 2;
constexpr std::size_t kLedOffset = 64;

void PutU16(std::string& record, std::size_t offset, std::uint16_t value) {
  record[offset] = static_cast<char>(value & 0xFF);
  record[offset + 1] = static_cast<char>(value >> 8);
}

std::uint16_t GetU16(std::string_view record, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(record[offset]) |
                                    static_cast<unsigned char>(record[offset + 1]) << 8);
}

void PutServos(std::string& record, const std::array<std::int16_t, kServoCount>& servos) {
  for (std::size_t k = 0; k < servos.size(); ++k)
    PutU16(record, kServoOffset + 2 * k, static_cast<std::uint16_t>(servos[k]));
}

// Brightness-limited values are what the robot's LEDs take at full drive.
std::uint16_t LedValue(std::uint32_t byte, bool limited) {
  byte &= 0xFF;
  return static_cast<std::uint16_t>(limited ? (byte & 0xFC) / 5 : byte);
}

}  // namespace

std::string PoseRecord(const MotionDocument& document, const Pose& pose) {
  std::string record(kPoseRecordSize, '\0');
  const std::uint32_t factor =
      document.slowCheck ? static_cast<std::uint32_t>(document.slowRatio) : 1u;
  // Unsigned, so that the product wraps to 16 bits as the robot reads it.
  PutU16(record, 0,
         static_cast<std::uint16_t>(static_cast<std::uint32_t>(pose.travelTime) * factor));
  if (document.kazoModel == 2) {
    // Model 2 keeps the travel time in one byte and the torque in the other.
    record[1] = static_cast<char>(document.powerCheck ? 0 : document.programTorque & 0xFF);
  }
  PutServos(record, pose.servo);
  const bool limited = (pose.flags & kBrightnessLimit) != 0;
  const std::uint32_t leds[] = {pose.leftEye,
                                pose.leftEye >> 8,
                                pose.leftEye >> 16,
                                pose.rightEye,
                                pose.rightEye >> 8,
                                pose.rightEye >> 16,
                                static_cast<std::uint32_t>(pose.mouth)};
  for (std::size_t i = 0; i < std::size(leds); ++i)
    PutU16(record, kLedOffset + 2 * i, LedValue(leds[i], limited));
  return record;
}

std::string CommandRecord(int code) {
  std::string record(kCommandRecordSize, '\0');
  record[0] = static_cast<char>(0xFE);
  record[1] = static_cast<char>(0xFF);
  PutU16(record, 2, static_cast<std::uint16_t>(code));
  return record;
}

std::string CaptureRecord(const std::array<std::int16_t, kServoCount>& servos,
                          std::uint16_t state) {
  std::string record(kCaptureRecordSize, '\0');
  PutU16(record, 0, state);
  PutServos(record, servos);
  return record;
}

bool CaptureIsEmpty(std::string_view record) {
  if (record.size() < 2) return true;
  const auto first = static_cast<unsigned char>(record[0]);
  return first <= 1 && record[1] == '\0';
}

std::optional<std::array<std::int16_t, kServoCount>> RecordServos(std::string_view record) {
  if (record.size() < kServoOffset + 2 * kServoCount) return std::nullopt;
  std::array<std::int16_t, kServoCount> servos{};
  for (std::size_t k = 0; k < servos.size(); ++k)
    servos[k] = static_cast<std::int16_t>(GetU16(record, kServoOffset + 2 * k));
  return servos;
}

}  // namespace kz
