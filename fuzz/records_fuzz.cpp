// The record files of the robot link and the servo logs. The input is read
// as a record as it comes from the card (servo values, capture state, servo
// log and the check of an imported log), and as a pose whose records must
// carry its values back. The import command itself reads a folder through
// its dialog; its parts are fuzzed here.
//
// Input as a pose: 40 bytes of servo values, the travel time (4), both eyes
// (4 each), the mouth (1), the flags (1), the slow ratio (1), a byte of
// switches (bit 0 slow playback, bit 1 model 2, bit 2 power check), the
// torque (1), a capture state (2), a command code (2).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/servo_logs.h"
#include "fuzz_support.h"
#include "link/records.h"
#include "model/log_servo_check.h"

namespace {

using Servos = std::array<std::int16_t, kz::kServoCount>;

std::uint16_t U16At(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                    static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

void CheckReceivedRecord(std::string_view record) {
  const auto servos = kz::RecordServos(record);
  KZ_FUZZ_CHECK(servos.has_value() == (record.size() >= 2 + 2 * kz::kServoCount));
  if (servos) {
    // The capture the robot would write with these values reads back the same.
    const std::uint16_t state = record.size() >= 2 ? U16At(record, 0) : 0;
    const std::string capture = kz::CaptureRecord(*servos, state);
    KZ_FUZZ_CHECK(capture.size() == kz::kCaptureRecordSize);
    KZ_FUZZ_CHECK(kz::RecordServos(capture) == servos);
    KZ_FUZZ_CHECK(kz::CaptureIsEmpty(capture) == kz::CaptureIsEmpty(record));
  }
  const auto log = kz::DecodeServoLog(record);
  if (log) {
    KZ_FUZZ_CHECK(record.size() == kz::kServoLogSize);
    KZ_FUZZ_CHECK(log == servos);
  }
}

// The check of an imported log keeps every value in the servo range, or
// corrects it to the standard value when the user agrees, or rejects the log.
void CheckImportedLog(std::string_view record, bool agree) {
  auto log = kz::DecodeServoLog(record);
  if (!log) return;
  kz::StandardValues standard{};
  for (std::size_t k = 0; k < standard.size(); ++k) standard[k] = static_cast<std::int32_t>(k) - 7;
  auto document = kz::fuzz::NewDocument(standard);
  kz::fuzz::FuzzUi ui;
  ui.answer = agree ? kz::Button::kYes : kz::Button::kNo;
  auto editor = ui.ui();
  const Servos before = *log;
  const bool taken = kz::CheckLogServoValues(*document, editor, *log);
  bool inRange = true;
  for (std::size_t k = 0; k < before.size(); ++k) {
    const bool fits = before[k] >= -1500 && before[k] <= 1500;
    inRange = inRange && fits;
    if (taken) KZ_FUZZ_CHECK((*log)[k] == (fits ? before[k] : standard[k]));
  }
  KZ_FUZZ_CHECK(taken == (inRange || agree));
  KZ_FUZZ_CHECK(ui.shown.size() == (inRange ? 0u : 1u));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckReceivedRecord(input);
  CheckImportedLog(input, size > 2 && (data[size - 1] & 1) != 0);

  kz::fuzz::ByteSource source(input);
  kz::Pose pose;
  for (auto& value : pose.servo) value = static_cast<std::int16_t>(source.Word());
  pose.travelTime = static_cast<std::int32_t>(source.Long());
  pose.leftEye = source.Long();
  pose.rightEye = source.Long();
  pose.mouth = source.Byte();
  pose.flags = source.Byte();
  auto document = kz::fuzz::NewDocument();
  document->slowRatio = source.Byte();
  const std::uint8_t switches = source.Byte();
  document->slowCheck = (switches & 1) != 0;
  document->kazoModel = (switches & 2) != 0 ? 2 : 1;
  document->powerCheck = (switches & 4) != 0;
  document->programTorque = source.Byte();
  const std::uint16_t state = source.Word();
  const std::uint16_t code = source.Word();

  const std::string record = kz::PoseRecord(*document, pose);
  KZ_FUZZ_CHECK(record.size() == kz::kPoseRecordSize);
  KZ_FUZZ_CHECK(kz::RecordServos(record) == pose.servo);
  const std::uint32_t factor =
      document->slowCheck ? static_cast<std::uint32_t>(document->slowRatio) : 1;
  const auto travel =
      static_cast<std::uint16_t>(static_cast<std::uint32_t>(pose.travelTime) * factor);
  if (document->kazoModel == 2)
    KZ_FUZZ_CHECK(static_cast<std::uint8_t>(record[0]) == (travel & 0xFF));
  else
    KZ_FUZZ_CHECK(U16At(record, 0) == travel);
  // Every LED word is a byte, at most 51 under the brightness limit.
  for (std::size_t at = 64; at < 78; at += 2) {
    const std::uint16_t led = U16At(record, at);
    KZ_FUZZ_CHECK(led <= ((pose.flags & kz::kBrightnessLimit) != 0 ? 51 : 255));
  }
  for (std::size_t at = 78; at < record.size(); ++at) KZ_FUZZ_CHECK(record[at] == '\0');
  CheckReceivedRecord(record);

  const std::string capture = kz::CaptureRecord(pose.servo, state);
  KZ_FUZZ_CHECK(kz::RecordServos(capture) == pose.servo);
  KZ_FUZZ_CHECK(U16At(capture, 0) == state);
  KZ_FUZZ_CHECK(kz::CaptureIsEmpty(capture) == (state <= 1));
  // The servo log is the capture's layout: a recorded one decodes to the pose.
  if ((state & 0xFF) != 1) KZ_FUZZ_CHECK(kz::DecodeServoLog(capture) == pose.servo);

  const std::string command = kz::CommandRecord(code);
  KZ_FUZZ_CHECK(command.size() == kz::kCommandRecordSize);
  KZ_FUZZ_CHECK(command.substr(0, 2) == "\xFE\xFF" && U16At(command, 2) == code);
  KZ_FUZZ_CHECK(command.find_first_not_of('\0', 4) == std::string::npos);
  return 0;
}
