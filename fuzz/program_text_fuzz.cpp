// The .KM4 reader on any bytes, and the program writer against it: a motion
// read from a program, written again and read back keeps every pose.

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/program_names.h"
#include "formats/program_reader.h"
#include "formats/program_writer.h"
#include "fuzz_support.h"

namespace {

using kz::fuzz::ByteSource;

// The editor's limit of poses in a motion.
constexpr int kMaxPose = 180;

// Each LED byte of a colour read back, within the steps of the brightness
// limit: the reader scales a word by 5 and the writer drops the two low bits
// before dividing by 5, so a colour may settle a few steps lower.
bool CloseColour(std::uint32_t a, std::uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
    if (x - y > 12 || y - x > 12) return false;
  }
  return true;
}

// What a program keeps of a pose: the LED colours only as the words the
// writer makes of them under the brightness limit, the hold time not at all.
void ExpectSamePoses(const std::vector<kz::Pose>& written, const std::vector<kz::Pose>& read) {
  KZ_FUZZ_CHECK(read.size() == written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    const kz::Pose& a = written[i];
    const kz::Pose& b = read[i];
    KZ_FUZZ_CHECK(a.servo == b.servo);
    KZ_FUZZ_CHECK(a.travelTime == b.travelTime);
    KZ_FUZZ_CHECK(a.label == b.label);
    KZ_FUZZ_CHECK(CloseColour(a.leftEye, b.leftEye));
    KZ_FUZZ_CHECK(CloseColour(a.rightEye, b.rightEye));
    // The mouth is red only: the program keeps its low byte.
    KZ_FUZZ_CHECK(CloseColour(static_cast<std::uint32_t>(a.mouth) & 0xFF,
                              static_cast<std::uint32_t>(b.mouth)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Standard values from the input's tail, so that offsets against them are
  // exercised too; a seed's tail is program text and gives arbitrary ones.
  kz::StandardValues standard{};
  ByteSource tail(input.substr(input.size() > 40 ? input.size() - 40 : 0));
  for (auto& value : standard) value = static_cast<std::int16_t>(tail.Word());

  const kz::ParsedProgramText first = kz::ParseProgramText(input, standard, kMaxPose);
  KZ_FUZZ_CHECK(first.failure.has_value() == first.poses.empty());
  KZ_FUZZ_CHECK(first.poses.size() <= kMaxPose);
  if (first.failure) return 0;
  // Writing refuses a label no program can carry (a quote, a bracket, a line
  // break): the round trip holds for what can be written.
  for (const kz::Pose& pose : first.poses)
    if (!kz::FitsProgram(pose.label)) return 0;

  // The poses read are written as a plain program (no sounds, no loop, no
  // postures) and read again.
  kz::Motion motion;
  motion.poses = first.poses;
  const auto program = kz::BuildProgramText(motion, {.standardValues = standard});
  KZ_FUZZ_CHECK(program.has_value());
  const kz::ParsedProgramText second = kz::ParseProgramText(*program, standard, kMaxPose);
  KZ_FUZZ_CHECK(!second.failure);
  KZ_FUZZ_CHECK(second.sounds.empty());
  ExpectSamePoses(first.poses, second.poses);
  return 0;
}
