// The .KM4 reader on any bytes, and the program writer against it: a motion
// read from a program, written again and read back keeps every pose.
//
// The reader exists only as a function of a path, so each run writes its
// program to a file in the scratch folder (memory-backed where possible).

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/program_names.h"
#include "formats/program_reader.h"
#include "formats/program_writer.h"
#include "fuzz_support.h"

namespace {

using kz::fuzz::ByteSource;

std::unique_ptr<kz::MotionDocument> Read(std::string_view program,
                                         const kz::StandardValues& standard, bool& read) {
  auto document = kz::fuzz::NewDocument(standard);
  kz::fuzz::FuzzUi ui;
  const std::string path = kz::fuzz::ScratchFolder::Get().Write("program.KM4", program);
  auto editor = ui.ui();
  read = kz::ReadMotionProgram(*document, editor, path);
  return document;
}

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
void ExpectSamePoses(const kz::MotionDocument& written, const kz::MotionDocument& read) {
  KZ_FUZZ_CHECK(read.poseCount() == written.poseCount());
  for (int i = 0; i < written.poseCount(); ++i) {
    const kz::Pose& a = written.motion.poses[static_cast<std::size_t>(i)];
    const kz::Pose& b = read.motion.poses[static_cast<std::size_t>(i)];
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

  bool read = false;
  const auto first = Read(input, standard, read);
  if (!read || first->motion.poses.empty()) return 0;
  // Writing refuses a label no program can carry (a quote, a bracket, a line
  // break): the round trip holds for what can be written.
  for (const kz::Pose& pose : first->motion.poses)
    if (!kz::FitsProgram(pose.label)) return 0;

  // The poses read are written as a plain program (no loop, no postures) and
  // read again.
  first->motion.startSound.clear();
  first->motion.endSound.clear();
  const auto program = kz::BuildProgramText(*first, kz::ProgramOptions{});
  KZ_FUZZ_CHECK(program.has_value());
  const auto second = Read(*program, standard, read);
  KZ_FUZZ_CHECK(read);
  ExpectSamePoses(*first, *second);
  return 0;
}
