// kzbench: how long the jump address tools and the eye conversion take on a
// program of 180 poses with 1024 named jumps, the most a text may carry, and
// on hostile files of 2 MiB that must take no longer than their size makes
// necessary. Run a release build:
//   build-release/bench/kzbench [REPETITIONS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "commands/eye_commands.h"
#include "commands/jump_commands.h"
#include "formats/program_writer.h"
#include "model/motion_document.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"
#include "ui/prompts.h"

namespace {

constexpr int kPoses = 180;
constexpr int kNamedJumps = 1024;

// Answers Yes (the outputs exist from the run before) and keeps the last
// message, which tells whether the run did what was timed.
class QuietPrompts : public kz::Prompts {
 public:
  using Prompts::ShowMessage;
  kz::Button ShowMessage(int messageId, kz::BoxKind, const std::vector<std::string>& args,
                         const std::string&) override {
    lastId = messageId;
    lastArgs = args;
    return kz::Button::kYes;
  }
  int lastId = 0;
  std::vector<std::string> lastArgs;
};

// A fresh folder for the bench's files, removed at the end.
struct BenchFolder {
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kzbench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("kzbench: temporary folder");
      std::exit(1);
    }
    path = pattern;
  }
  ~BenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string Path(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

// Every pose waits for its synchronised start (two jumps each) and the motion
// loops (one more): 361 jumps, and a WAIT after every pose.
std::string GeneratedProgram(const BenchFolder& folder) {
  kz::MotionDocument document(folder.Path("KZMotion.ini"));
  document.standardValues = kz::StandardValues{};
  for (int i = 0; i < kPoses; ++i) {
    kz::Pose pose;
    pose.travelTime = 30;
    pose.holdTime = 15;
    pose.leftEye = pose.rightEye = 0x0080FF;
    pose.mouth = 255;
    pose.flags = kz::kBrightnessLimit | kz::kStartSynchronised;
    pose.startTime = 20 * (i + 1);
    pose.label = kz::SystemText("ポーズ" + std::to_string(i + 1));
    for (int k = 0; k < kz::kServoCount; ++k)
      pose.servo[static_cast<std::size_t>(k)] = static_cast<std::int16_t>((i * 37 + k * 11) % 900);
    document.motion.poses.push_back(pose);
  }
  kz::ProgramOptions options;
  options.loopCount = 3;
  return kz::BuildProgramText(document, options).value_or("");
}

// The program's text with further named jumps, to the poses in turn, in one
// block before the end block, so that it carries exactly kNamedJumps.
std::string WithNamedJumps(std::string text, int present) {
  std::string block = "<medit>\r\n\t<block name=\"BENCH JUMPS\" type=\"1\"/>\r\n</medit>\r\n";
  for (int i = present; i < kNamedJumps; ++i) {
    block += "<calc>\r\n\t<mem_r size=\"2\" adr=\"0x0f00\"/>\r\n\t<eq/>\r\n\t<jump adr=\"";
    block += kz::SystemText("ポーズ" + std::to_string(i % kPoses + 1));
    block += "\"/>\r\n</calc>\r\n";
  }
  block += "\r\n";
  text.insert(text.rfind("<medit>"), block);
  return text;
}

constexpr std::size_t kHostileBytes = 2u << 20;

// `piece` repeated until the text holds at least `bytes` bytes.
std::string Repeated(const std::string& piece, std::size_t bytes) {
  std::string text;
  text.reserve(bytes + piece.size());
  while (text.size() < bytes) text += piece;
  return text;
}

// One whole pose array as the writer lays it out, so that the conversion has
// something to change behind the hostile heads.
std::string PoseArrayAfterHeads() {
  std::string array = "<mem_w size=\"2\" adr=\"0x0a00\">\r\n";
  for (int i = 0; i < 128; ++i) {
    if (i % 24 == 0) array += '\t';
    array += "0x0000";
    if (i != 127) array += ',';
    if (i % 24 == 23 || i == 127) array += "\r\n";
  }
  return array + "</mem_w>\r\n";
}

struct Timing {
  std::string operation;
  std::size_t bytes;
  std::string jumps;  // as the tool reported them
  double bestMs;
  double medianMs;
};

// Runs `operation` `repetitions` times, each on input restored by `prepare`
// (untimed); exits when a run does not end with its message of success.
Timing Time(const std::string& name, std::size_t bytes, int repetitions, int success,
            const std::function<void()>& prepare,
            const std::function<bool(kz::Prompts&)>& operation) {
  std::vector<double> ms;
  QuietPrompts prompts;
  for (int i = 0; i < repetitions; ++i) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    const bool done = operation(prompts);
    const auto end = std::chrono::steady_clock::now();
    if (!done || prompts.lastId != success) {
      std::fprintf(stderr, "kzbench: %s failed with message %d\n", name.c_str(), prompts.lastId);
      std::exit(1);
    }
    ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  std::sort(ms.begin(), ms.end());
  const std::string jumps = prompts.lastArgs.empty() ? "?" : prompts.lastArgs[0];
  return {name, bytes, jumps, ms.front(), ms[ms.size() / 2]};
}

void Restore(const std::string& path, const std::string& contents) {
  if (!kz::WriteFileAtomically(path, contents)) {
    std::fprintf(stderr, "kzbench: cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const BenchFolder folder;
  const std::string programPath = folder.Path("BENCH.KM4");
  const std::string textPath = folder.Path("BENCH.TXT");

  // The inputs: the written program turned into a text once, the text given
  // its full count of named jumps, and the program made from that text.
  QuietPrompts setup;
  Restore(programPath, GeneratedProgram(folder));
  if (!kz::ConvertJumpsToBlockNames(programPath, setup)) return 1;
  std::string text;
  kz::ReadWholeFile(textPath, text);
  text = WithNamedJumps(text, std::stoi(setup.lastArgs.at(0)));
  Restore(textPath, text);
  if (!kz::ConvertBlockNamesToJumps(textPath, setup)) return 1;
  std::string program;
  kz::ReadWholeFile(programPath, program);

  std::vector<Timing> timings;
  timings.push_back(Time(
      "names-to-jumps", text.size(), repetitions, kz::kMsgJumpsRewritten,
      [&] { Restore(textPath, text); },
      [&](kz::Prompts& p) { return kz::ConvertBlockNamesToJumps(textPath, p); }));
  timings.push_back(Time(
      "jumps-to-names", program.size(), repetitions, kz::kMsgJumpsRewritten,
      [&] { Restore(programPath, program); },
      [&](kz::Prompts& p) { return kz::ConvertJumpsToBlockNames(programPath, p); }));
  // A blank line in front moves every block, so that the repair rewrites.
  const std::string moved = "\r\n" + program;
  timings.push_back(Time(
      "repair-jumps", moved.size(), repetitions, kz::kMsgJumpsRewritten,
      [&] { Restore(programPath, moved); },
      [&](kz::Prompts& p) { return kz::RepairLoopCounterJumps(programPath, p); }));

  timings.push_back(Time(
      "convert-eyes", program.size(), repetitions, kz::kMsgLedsRewritten,
      [&] { Restore(programPath, program); },
      [&](kz::Prompts& p) { return kz::ConvertEyePatternsInFile(programPath, 3, 5, p); }));

  // Hostile files of 2 MiB: thousands of heads on one line, none of them
  // closed, so that every search for what should follow a head runs on to
  // the end of the file unless the tools keep their place.
  const std::string hostileEyes =
      Repeated("<mem_w size=\"2\" adr=\"0x0a00\">", kHostileBytes) + PoseArrayAfterHeads();
  timings.push_back(Time(
      "eyes, open heads", hostileEyes.size(), repetitions, kz::kMsgLedsRewritten,
      [&] { Restore(programPath, hostileEyes); },
      [&](kz::Prompts& p) { return kz::ConvertEyePatternsInFile(programPath, 3, 5, p); }));
  const std::string hostileNames =
      "<medit>\r\n\t<block name=\"A\"/>\r\n</medit>\r\n<jump adr=\"A\"/>\r\n" +
      Repeated("<medit>\t<block name=_", kHostileBytes);
  timings.push_back(Time(
      "names, open heads", hostileNames.size(), repetitions, kz::kMsgJumpsRewritten,
      [&] { Restore(textPath, hostileNames); },
      [&](kz::Prompts& p) { return kz::ConvertBlockNamesToJumps(textPath, p); }));
  const std::string hostileJumps = "<medit>\r\n\t<block name=\"A\"/>\r\n</medit>\r\n" +
                                   Repeated("\t<block name=_", kHostileBytes) +
                                   "\"<jump adr=\"0x00000000\"/>\r\n<medit>\r\n";
  timings.push_back(Time(
      "jumps, open heads", hostileJumps.size(), repetitions, kz::kMsgJumpsRewritten,
      [&] { Restore(programPath, hostileJumps); },
      [&](kz::Prompts& p) { return kz::ConvertJumpsToBlockNames(programPath, p); }));

  std::printf("%d poses, %d named jumps, best and median of %d runs\n\n", kPoses, kNamedJumps,
              repetitions);
  std::printf("%-18s %10s %7s %10s %10s\n", "operation", "bytes", "count", "best ms", "median ms");
  for (const Timing& t : timings)
    std::printf("%-18s %10zu %7s %10.2f %10.2f\n", t.operation.c_str(), t.bytes, t.jumps.c_str(),
                t.bestMs, t.medianMs);
  return 0;
}
