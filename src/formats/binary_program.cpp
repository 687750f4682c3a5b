#include "formats/binary_program.h"

#include <initializer_list>

namespace kz {
namespace {

constexpr std::size_t kDispatchAreaStart = 0x28000;

// Robot addresses the instructions refer to.
constexpr std::uint32_t kTorqueSwitch = 0x0048;
constexpr std::uint32_t kSoundName = 0x0400;
constexpr std::uint32_t kSoundStart = 0x01E0;
constexpr std::uint32_t kPoseArray = 0x0A00;
constexpr std::uint32_t kMotionTime = 0x0B00;
constexpr std::uint32_t kMotionStatus = 0x0B43;
constexpr std::uint32_t kLoopCounter = 0x0EF0;

// Opcodes.
constexpr std::uint8_t kBeginCalc = 0xC0;
constexpr std::uint8_t kPushConstant = 0xC4;
constexpr std::uint8_t kPushValue = 0xC9;
constexpr std::uint8_t kStoreValue = 0xCD;
constexpr std::uint8_t kSubtract = 0xD1;
constexpr std::uint8_t kTestZero = 0xD9;
constexpr std::uint8_t kTestNotZero = 0xDA;
constexpr std::uint8_t kJumpIf = 0xE0;
constexpr std::uint8_t kWait8 = 0x88;
constexpr std::uint8_t kWait16 = 0x89;
constexpr std::uint8_t kWait32 = 0x8A;
constexpr std::uint8_t kWaitMotion = 0x8C;
constexpr std::uint8_t kStoreData = 0x90;
constexpr std::uint8_t kFollowedJump = 0x81;
constexpr std::uint8_t kDispatchStart = 0x82;
constexpr std::uint8_t kEnd = 0x83;

void Put8(std::string& out, std::uint32_t value) { out += static_cast<char>(value & 0xFF); }

void Put16(std::string& out, std::uint32_t value) {
  Put8(out, value);
  Put8(out, value >> 8);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value);
  Put16(out, value >> 16);
}

void PutOp(std::string& out, std::uint8_t opcode, std::uint32_t address) {
  Put8(out, opcode);
  Put32(out, address);
}

std::uint32_t Get32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

// The smallest wait that holds `value` sixtieths of a second.
void AppendWait(std::string& out, std::uint32_t value) {
  if (value <= 0xFF) {
    Put8(out, kWait8);
    Put8(out, value);
  } else if (value <= 0xFFFF) {
    Put8(out, kWait16);
    Put16(out, value);
  } else {
    Put8(out, kWait32);
    Put32(out, value);
  }
}

void AppendTorque(std::string& out, bool on) {
  Put8(out, kBeginCalc);
  Put8(out, kPushConstant);
  Put32(out, on ? 1 : 0);
  PutOp(out, kStoreValue, kTorqueSwitch);
}

// The name with its zero goes to the sound buffer, then the player starts.
void AppendSound(std::string& out, const std::string& name) {
  PutOp(out, kStoreData, kSoundName);
  Put8(out, static_cast<std::uint32_t>(name.size() + 1));
  out += name;
  Put8(out, 0);
  PutOp(out, kStoreData, kSoundStart);
  Put8(out, 1);
  Put8(out, 1);
}

// Sets the counter, then counts it down: the loop check jumps back to the
// count-down half, 11 bytes in.
void AppendLoopSet(std::string& out, std::uint32_t count) {
  Put8(out, kBeginCalc);
  Put8(out, kPushConstant);
  Put32(out, count);
  PutOp(out, kStoreValue, kLoopCounter);
  Put8(out, kBeginCalc);
  PutOp(out, kPushValue, kLoopCounter);
  Put8(out, kPushConstant);
  Put32(out, 1);
  Put8(out, kSubtract);
  PutOp(out, kStoreValue, kLoopCounter);
}

void AppendLoopCheck(std::string& out, std::uint32_t countDown) {
  Put8(out, kBeginCalc);
  PutOp(out, kPushValue, kLoopCounter);
  Put8(out, kPushConstant);
  Put32(out, 0);
  Put8(out, kSubtract);
  Put8(out, kTestNotZero);
  PutOp(out, kJumpIf, countDown);
}

void AppendEnd(std::string& out) {
  Put8(out, kEnd);
  out.append(7, '\0');
}

// An LED byte as the robot takes it: dimmed to 0..50 under the brightness
// limit.
std::uint16_t LedWord(std::uint32_t value, int byte, bool limited) {
  const std::uint32_t b = (value >> (8 * byte)) & 0xFFu;
  return static_cast<std::uint16_t>(limited ? (b & 0xFCu) / 5 : b);
}

// Where a dispatch target at `target` keeps its start address, following one
// jump; 0 when it holds none inside the image.
std::uint32_t DispatchStartOf(std::string_view image, std::uint64_t target) {
  const auto has = [&](std::uint64_t at, std::uint64_t count) {
    return at + count <= image.size();
  };
  const auto byteAt = [&](std::uint64_t at) { return static_cast<std::uint8_t>(image[at]); };
  // The start address must lie whole in the image, or patching it would
  // write over the end where the program is appended.
  if (has(target + 10, 5) && byteAt(target + 10) == kDispatchStart)
    return static_cast<std::uint32_t>(target + 11);
  if (!has(target + 11, 5) || byteAt(target + 11) != kFollowedJump) return 0;
  const std::uint64_t followed = Get32(image, target + 12);
  if (has(followed + 10, 5) && byteAt(followed + 10) == kDispatchStart)
    return static_cast<std::uint32_t>(followed + 11);
  return 0;
}

}  // namespace

std::size_t EncodeBinaryPose(const Pose& pose, const BinaryProgramOptions& options,
                             std::string& out) {
  const std::size_t begin = out.size();

  // The 128-byte pose array: servo ID 1 idle, IDs 2 to 21 as target and
  // torque, seven unused pairs, the LEDs and a spare word.
  PutOp(out, kStoreData, kPoseArray);
  Put8(out, 128);
  Put32(out, 0);
  for (int k = 0; k < kServoCount; ++k) {
    const auto index = static_cast<std::size_t>(k);
    const auto base = static_cast<std::int16_t>(options.standardValues[index]);
    Put16(out, static_cast<std::uint32_t>(pose.servo[index] - base));
    Put16(out, static_cast<std::uint32_t>(options.torque));
  }
  out.append(28, '\0');
  const bool limited = (pose.flags & kBrightnessLimit) != 0;
  for (const std::uint32_t eye : {pose.leftEye, pose.rightEye})
    for (int byte = 0; byte < 3; ++byte) Put16(out, LedWord(eye, byte, limited));
  Put16(out, LedWord(static_cast<std::uint32_t>(pose.mouth), 0, limited));
  Put16(out, 0);

  PutOp(out, kStoreData, kMotionTime);
  Put8(out, 2);
  Put16(out, static_cast<std::uint32_t>(pose.travelTime));
  PutOp(out, kWaitMotion, kMotionStatus);
  if (pose.holdTime > 0) AppendWait(out, static_cast<std::uint32_t>(pose.holdTime));
  return out.size() - begin;
}

std::optional<std::string> BuildBinaryProgram(const Motion& motion,
                                              const BinaryProgramOptions& options,
                                              std::uint32_t base) {
  if (motion.startSound.size() > kMaxSoundNameBytes || motion.endSound.size() > kMaxSoundNameBytes)
    return std::nullopt;
  std::string out;
  if (motion.startTorqueOn) AppendTorque(out, true);
  if (!motion.startSound.empty()) AppendSound(out, motion.startSound);
  if (motion.startWait > 0) AppendWait(out, static_cast<std::uint32_t>(motion.startWait));
  const bool loops = motion.loopCount > 1;
  std::uint32_t countDown = 0;
  if (loops) {
    countDown = base + static_cast<std::uint32_t>(out.size()) + 11;
    AppendLoopSet(out, static_cast<std::uint32_t>(motion.loopCount));
  }
  for (const Pose& pose : motion.poses) EncodeBinaryPose(pose, options, out);
  if (motion.backAndForth)
    for (int i = motion.poseCount() - 2; i >= 0; --i)
      EncodeBinaryPose(motion.poses[static_cast<std::size_t>(i)], options, out);
  if (loops) AppendLoopCheck(out, countDown);
  if (!motion.endSound.empty()) AppendSound(out, motion.endSound);
  if (motion.endWait > 0) AppendWait(out, static_cast<std::uint32_t>(motion.endWait));
  if (motion.endTorqueOff) AppendTorque(out, false);
  AppendEnd(out);
  return out;
}

std::uint32_t LocateDispatchEntry(std::string_view image, int number) {
  // A dispatch calculation ends: push number, subtract, test zero, jump.
  const char pattern[] = {static_cast<char>(number & 0xFF),
                          static_cast<char>((number >> 8) & 0xFF),
                          0,
                          0,
                          static_cast<char>(kSubtract),
                          static_cast<char>(kTestZero),
                          static_cast<char>(kJumpIf)};
  const std::string_view calc(pattern, sizeof pattern);
  for (std::size_t i = kDispatchAreaStart; i < kDispatchSearchLimit && i + 4 <= image.size(); ++i) {
    if (image.substr(i - calc.size(), calc.size()) != calc) continue;
    if (const std::uint32_t entry = DispatchStartOf(image, Get32(image, i))) return entry;
  }
  return 0;
}

}  // namespace kz
