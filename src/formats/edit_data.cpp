#include "formats/edit_data.h"

#include "model/pose_label.h"
#include "platform/text_encoding.h"

namespace kz {
namespace {

constexpr std::string_view kMagic = "kazo";
constexpr std::size_t kSoundFieldSize = 32;

// Header offsets.
constexpr std::size_t kVersionAt = 4;
constexpr std::size_t kFlagsAt = 8;
constexpr std::size_t kPoseCountAt = 12;
constexpr std::size_t kLoopCountAt = 16;
constexpr std::size_t kStartSoundAt = 32;
constexpr std::size_t kEndSoundAt = 64;
constexpr std::size_t kStartWaitAt = 96;
constexpr std::size_t kEndWaitAt = 100;

// Pose record offsets.
constexpr std::size_t kReservedAt = 28;
constexpr std::size_t kLabelOffsetAt = 48;
constexpr std::size_t kServoAt = 52;

// Versions before these kept no such field: it reads as its neutral value.
constexpr std::int32_t kFirstVersionWithLabels = 2;
constexpr std::int32_t kFirstVersionWithFlags = 3;
constexpr std::int32_t kFirstVersionWithStartTime = 4;

// Little-endian fields, whatever the host.
class ByteWriter {
 public:
  void U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_ += static_cast<char>(value >> shift & 0xFF);
  }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void I16(std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    bytes_ += static_cast<char>(bits & 0xFF);
    bytes_ += static_cast<char>(bits >> 8);
  }
  void Bytes(std::string_view text) { bytes_ += text; }
  void Zeros(std::size_t count) { bytes_.append(count, '\0'); }
  // `text` zero-terminated and zero-filled to `size` bytes. A text that fits
  // is kept byte for byte, even one ending in half a character, so that it
  // reads back as it was; a longer one is cut at a character boundary.
  void Field(std::string_view text, std::size_t size) {
    const std::string_view fitting = text.size() < size ? text : Cp932Prefix(text, size - 1);
    Bytes(fitting);
    Zeros(size - fitting.size());
  }

  std::string Take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

std::uint32_t U32At(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + i])) << (8 * i);
  return value;
}

std::int32_t I32At(std::string_view bytes, std::size_t at) {
  return static_cast<std::int32_t>(U32At(bytes, at));
}

std::int16_t I16At(std::string_view bytes, std::size_t at) {
  const auto low = static_cast<std::uint8_t>(bytes[at]);
  const auto high = static_cast<std::uint8_t>(bytes[at + 1]);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8));
}

// A name field up to its terminator. A field filled to the end (as an
// over-long name left it) is taken whole rather than read past.
std::string NameAt(std::string_view bytes, std::size_t at) {
  const std::string_view field = bytes.substr(at, kSoundFieldSize);
  return std::string(field.substr(0, field.find('\0')));
}

void WritePoseRecord(ByteWriter& out, const Pose& pose, std::int32_t labelOffset) {
  out.I32(pose.travelTime);
  out.I32(pose.holdTime);
  out.U32(pose.leftEye);
  out.U32(pose.rightEye);
  out.I32(pose.mouth);
  out.U32(pose.flags);
  out.I32(pose.startTime);
  for (std::int32_t value : pose.reserved) out.I32(value);
  out.I32(labelOffset);
  for (std::int16_t value : pose.servo) out.I16(value);
}

Pose ReadPoseRecord(std::string_view record) {
  Pose pose;
  pose.travelTime = I32At(record, 0);
  pose.holdTime = I32At(record, 4);
  pose.leftEye = U32At(record, 8);
  pose.rightEye = U32At(record, 12);
  pose.mouth = I32At(record, 16);
  pose.flags = U32At(record, 20);
  pose.startTime = I32At(record, 24);
  for (std::size_t i = 0; i < pose.reserved.size(); ++i)
    pose.reserved[i] = I32At(record, kReservedAt + 4 * i);
  for (std::size_t k = 0; k < kServoCount; ++k) pose.servo[k] = I16At(record, kServoAt + 2 * k);
  return pose;
}

// The label at `offset` of the table; nullopt unless the offset lies inside
// the table and the label ends with its zero there.
std::optional<std::string> LabelAt(std::string_view table, std::int32_t offset) {
  if (offset < 0 || static_cast<std::size_t>(offset) >= table.size()) return std::nullopt;
  const std::string_view rest = table.substr(static_cast<std::size_t>(offset));
  const std::size_t end = rest.find('\0');
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(rest.substr(0, end));
}

}  // namespace

std::string EncodeEditData(const Motion& motion) {
  std::uint32_t flags = 0;
  if (motion.backAndForth) flags |= kEditDataBackAndForth;
  if (motion.startTorqueOn != 0) flags |= kEditDataStartTorqueOn;
  if (motion.endTorqueOff != 0) flags |= kEditDataEndTorqueOff;

  ByteWriter out;
  out.Bytes(kMagic);
  out.I32(kEditDataVersion);
  out.U32(flags);
  out.I32(motion.poseCount());
  out.I32(motion.loopCount);
  out.Zeros(12);
  out.Field(motion.startSound, kSoundFieldSize);
  out.Field(motion.endSound, kSoundFieldSize);
  out.I32(motion.startWait);
  out.I32(motion.endWait);

  std::string labels;
  for (const Pose& pose : motion.poses) {
    WritePoseRecord(out, pose, static_cast<std::int32_t>(labels.size()));
    labels += pose.label;
    labels += '\0';
  }
  out.Bytes(labels);
  return out.Take();
}

std::optional<Motion> DecodeEditData(std::string_view bytes, int maxPose) {
  if (bytes.size() < kEditDataHeaderSize || bytes.substr(0, kMagic.size()) != kMagic)
    return std::nullopt;
  const std::int32_t version = I32At(bytes, kVersionAt);
  const std::int32_t count = I32At(bytes, kPoseCountAt);
  if (version < 1 || count < 0 || count > maxPose) return std::nullopt;
  const std::size_t recordsEnd =
      kEditDataHeaderSize + kEditDataRecordSize * static_cast<std::size_t>(count);
  if (bytes.size() < recordsEnd) return std::nullopt;

  Motion motion;
  const std::uint32_t flags = U32At(bytes, kFlagsAt);
  motion.loopCount = I32At(bytes, kLoopCountAt);
  motion.backAndForth = (flags & kEditDataBackAndForth) != 0;
  motion.startSound = NameAt(bytes, kStartSoundAt);
  motion.endSound = NameAt(bytes, kEndSoundAt);
  motion.startWait = I32At(bytes, kStartWaitAt);
  motion.endWait = I32At(bytes, kEndWaitAt);
  motion.startTorqueOn = (flags & kEditDataStartTorqueOn) != 0 ? 1 : 0;
  motion.endTorqueOff = (flags & kEditDataEndTorqueOff) != 0 ? 1 : 0;

  const std::string_view table = bytes.substr(recordsEnd);
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string_view record =
        bytes.substr(kEditDataHeaderSize + kEditDataRecordSize * static_cast<std::size_t>(i),
                     kEditDataRecordSize);
    Pose pose = ReadPoseRecord(record);
    if (version < kFirstVersionWithFlags) pose.flags |= kBrightnessLimit;
    if (version < kFirstVersionWithStartTime) pose.startTime = 0;
    if (version < kFirstVersionWithLabels) {
      pose.label = NumberedPoseLabel(i + 1);
    } else {
      auto label = LabelAt(table, I32At(record, kLabelOffsetAt));
      if (!label) return std::nullopt;
      pose.label = std::move(*label);
    }
    motion.poses.push_back(std::move(pose));
  }
  return motion;
}

}  // namespace kz
