// Binary images and their dispatch search. The image is the input's rest
// laid twice into zeros: at offset 0, where the start instructions lie, and
// from 8 bytes before the dispatch area, where the search looks for the
// number's calculation. Whatever the search gives lies whole in the image
// behind a start instruction. The same bytes then shape a motion whose
// binary program must have the length its poses say.
//
// Input: the recognition number (2 bytes), then the rest: the motion, then
// the standard values and the torque.

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/binary_program.h"
#include "fuzz_support.h"

namespace {

constexpr std::size_t kDispatchAreaStart = 0x28000;
constexpr std::size_t kSecondCopy = kDispatchAreaStart - 8;
constexpr std::uint8_t kDispatchStart = 0x82;
// Longer inputs are cut: the dispatch area is 32 KiB.
constexpr std::size_t kMaxInput = 0x10000;

// The image lives in one buffer of zeros for the whole process: a run
// writes its bytes in and clears them again, so that the 160 KiB are not
// made anew for every input.
void CheckDispatchSearch(std::string_view rest, int number) {
  static std::string buffer(kSecondCopy + kMaxInput, '\0');
  rest = rest.substr(0, kMaxInput);
  buffer.replace(0, rest.size(), rest);
  buffer.replace(kSecondCopy, rest.size(), rest);
  const std::string_view image(buffer.data(), kSecondCopy + rest.size());
  const std::uint32_t entry = kz::LocateDispatchEntry(image, number);
  if (entry != 0) {
    KZ_FUZZ_CHECK(entry >= 1 && entry + 4 <= image.size());
    KZ_FUZZ_CHECK(static_cast<std::uint8_t>(image[entry - 1]) == kDispatchStart);
  }
  buffer.replace(0, rest.size(), rest.size(), '\0');
  buffer.replace(kSecondCopy, rest.size(), rest.size(), '\0');
}

void CheckBinaryProgram(kz::fuzz::ByteSource& source) {
  kz::Motion motion;
  const int poses = source.Byte() % 8;
  for (int i = 0; i < poses; ++i) {
    kz::Pose pose;
    for (auto& value : pose.servo) value = static_cast<std::int16_t>(source.Word());
    pose.travelTime = static_cast<std::int16_t>(source.Word());
    pose.holdTime = static_cast<std::int32_t>(source.Long());
    pose.leftEye = source.Long();
    pose.rightEye = source.Long();
    pose.mouth = source.Byte();
    pose.flags = source.Byte();
    motion.poses.push_back(pose);
  }
  motion.startSound = source.Text(255);
  motion.endSound = source.Text(255);
  motion.startWait = static_cast<std::int32_t>(source.Long());
  motion.endWait = static_cast<std::int32_t>(source.Long());
  motion.startTorqueOn = source.Bool();
  motion.endTorqueOff = source.Bool();
  motion.loopCount = source.Byte() % 12;
  motion.backAndForth = source.Bool();
  kz::BinaryProgramOptions options;
  for (auto& value : options.standardValues) value = static_cast<std::int16_t>(source.Word());
  options.torque = static_cast<std::int16_t>(source.Word());

  std::size_t posesLength = 0;
  for (const kz::Pose& pose : motion.poses) {
    std::string out = "prefix";
    const std::size_t length = kz::EncodeBinaryPose(pose, options, out);
    KZ_FUZZ_CHECK(length >= 147 && length <= 152 && out.size() == 6 + length);
    posesLength += length;
  }
  const auto program = kz::BuildBinaryProgram(motion, options, kz::kDirectExecBase);
  const bool fits = motion.startSound.size() <= kz::kMaxSoundNameBytes &&
                    motion.endSound.size() <= kz::kMaxSoundNameBytes;
  KZ_FUZZ_CHECK(program.has_value() == fits);
  if (program) KZ_FUZZ_CHECK(program->size() > posesLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kz::fuzz::ByteSource source(std::string_view(reinterpret_cast<const char*>(data), size));
  const int number = source.Word();
  const std::string_view rest = source.Rest();
  CheckDispatchSearch(rest, number);
  kz::fuzz::ByteSource motion(rest);
  CheckBinaryProgram(motion);
  return 0;
}
