#include "formats/program_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "commands/binary_program_commands.h"
#include "formats/program_names.h"
#include "formats/program_path.h"
#include "formats/program_text.h"
#include "model/editor.h"
#include "model/standard_values.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr std::uint16_t kTorqueWord = 0x0064;
constexpr std::size_t kFirstLedWord = 64;

// Servo values of the seated sections. On the ground every servo but the
// neck and head (indices 11 to 13) takes the table; on the charging chair only
// the legs (indices 0 to 9) do.
constexpr std::array<std::int16_t, kServoCount> kGroundPostureTable = {
    0, -950, -300, -180, -20, 0, 950, 260, 150, 35, 0, 0, 0, 0, -130, 760, 25, 150, -740, -5};
constexpr std::array<std::int16_t, kServoCount> kChairPostureTable = {
    0, -830, -150, -65, -35, 0, 830, 110, 35, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

constexpr int kStandingSection = 0;
constexpr int kGroundSection = 1;
constexpr int kChairSection = 2;

const std::string& PostureName(int postureIndex) {
  static const std::array<std::string, 3> names = {SystemText("立ち姿勢"), SystemText("座り姿勢"),
                                                   SystemText("充電椅子")};
  return names[static_cast<std::size_t>(postureIndex)];
}

bool IsPostureSection(int postureIndex) {
  return postureIndex >= kStandingSection && postureIndex <= kChairSection;
}

std::int32_t ServoValue(const Pose& pose, int k, int postureIndex) {
  const auto index = static_cast<std::size_t>(k);
  if (postureIndex == kGroundSection && (k < 11 || k > 13)) return kGroundPostureTable[index];
  if (postureIndex == kChairSection && k <= 9) return kChairPostureTable[index];
  return pose.servo[index];
}

// An LED byte as the robot takes it: dimmed to 0..50 under the brightness
// limit.
std::uint16_t LedWord(std::uint32_t value, int byte, bool limited) {
  const std::uint32_t b = (value >> (8 * byte)) & 0xFFu;
  return static_cast<std::uint16_t>(limited ? (b & 0xFCu) / 5 : b);
}

std::uint32_t Offset(const std::string& out) { return static_cast<std::uint32_t>(out.size()); }

// Overwrites a placeholder of the same length, as a seek and rewrite would.
void Patch(std::string& out, std::size_t at, const std::string& text) {
  out.replace(at, text.size(), text);
}

// A synchronised pose with a start time: wait until the time has come, then
// fall through into the pose's group that follows.
void AppendSynchronisedStart(std::string& out, const Pose& pose, const ProgramOptions& options) {
  const std::uint32_t check = Offset(out);
  AppendCheckSynchro(out, pose.label, options.synchroRegister, pose.startTime);
  const std::size_t test = out.size();
  AppendSynchroTest(out, options.synchroRegister, 0);
  AppendSynchroWait(out, options.waitSynchroTime, check);
  std::string resolved;
  AppendSynchroTest(resolved, options.synchroRegister, Offset(out));
  Patch(out, test, resolved);
}

}  // namespace

void WritePoseGroup(const MotionDocument& document, int poseIndex, int postureIndex,
                    std::string& out) {
  const Pose& pose = document.motion.poses[static_cast<std::size_t>(poseIndex)];
  const StandardValues standard = document.standardValues.value_or(StandardValues{});
  PoseArrayWords words{};
  // Servo ID n holds words 2n-2 (target) and 2n-1 (torque), n = 1 to 24.
  for (int n = 1; n <= 24; ++n) words[static_cast<std::size_t>(2 * n - 1)] = kTorqueWord;
  for (int k = 0; k < kServoCount; ++k) {
    const auto base = static_cast<std::int16_t>(standard[static_cast<std::size_t>(k)]);
    words[static_cast<std::size_t>(2 * k + 2)] =
        static_cast<std::uint16_t>(ServoValue(pose, k, postureIndex) - base);
  }
  const bool limited = (pose.flags & kBrightnessLimit) != 0;
  const std::uint16_t leds[] = {LedWord(pose.leftEye, 0, limited),
                                LedWord(pose.leftEye, 1, limited),
                                LedWord(pose.leftEye, 2, limited),
                                LedWord(pose.rightEye, 0, limited),
                                LedWord(pose.rightEye, 1, limited),
                                LedWord(pose.rightEye, 2, limited),
                                LedWord(static_cast<std::uint32_t>(pose.mouth), 0, limited)};
  std::copy(std::begin(leds), std::end(leds), words.begin() + kFirstLedWord);

  AppendPoseGroup(out, IsPostureSection(postureIndex) ? PostureName(postureIndex) : "", pose.label,
                  words, pose.travelTime);
  if (pose.holdTime > 0) AppendWait(out, pose.holdTime);
}

std::optional<std::string> BuildProgramText(const MotionDocument& document,
                                            const ProgramOptions& options) {
  std::string out;
  AppendHeader(out);
  if (document.motion.startTorqueOn) {
    AppendSetPositionHead(out);
    for (int k = 0; k < kServoCount; ++k) AppendSetPositionLine(out, k);
    AppendSetPositionMove(out);
    AppendTorqueOn(out);
  }
  if (!document.motion.startSound.empty()) AppendSound(out, "START", document.motion.startSound);
  if (document.motion.startWait > 0) AppendWait(out, document.motion.startWait);

  // Where the posture dispatch's placeholders wait for their targets.
  std::size_t groundCheck = 0;
  std::size_t chairCheck = 0;
  std::size_t standingEnd = 0;
  std::size_t groundEnd = 0;
  int postureIndex = -1;
  if (options.perPosture) {
    AppendPostureCheckPart1(out);
    groundCheck = out.size();
    AppendPostureCheckPart2(out);
    chairCheck = out.size();
    AppendPostureCheckPart3(out);
    postureIndex = kStandingSection;
  }

  const bool loops = options.loopCount > 1;
  const bool synchronised = std::any_of(document.motion.poses.begin(), document.motion.poses.end(),
                                        [](const Pose& p) { return p.flags & kStartSynchronised; });
  std::uint32_t countDown = 0;
  for (;;) {
    int timer = 1;
    if (synchronised) AppendSetSynchroTimer(out, timer, options.synchroRegister);
    if (loops) {
      AppendSetLoopCounter(out, options.loopCount);
      countDown = Offset(out);
      AppendCountDown(out);
    }
    for (int i = 0; i < document.poseCount(); ++i) {
      const Pose& pose = document.motion.poses[static_cast<std::size_t>(i)];
      if (pose.flags & kStartSynchronised) {
        if (options.perPosture) return std::nullopt;
        if (pose.startTime != 0)
          AppendSynchronisedStart(out, pose, options);
        else
          AppendSetSynchroTimer(out, ++timer, options.synchroRegister);
      }
      WritePoseGroup(document, i, postureIndex, out);
    }
    // The way back is written plain in every section.
    if (options.backAndForth)
      for (int i = document.poseCount() - 2; i >= 0; --i) WritePoseGroup(document, i, -1, out);
    if (!options.perPosture) break;

    const std::size_t end = out.size();
    if (postureIndex == kChairSection) {
      // The chair section falls through into the end group; the other two
      // jump there.
      AppendPostureEndHead(out);
      std::string jump;
      AppendPlainJump(jump, static_cast<std::uint32_t>(end));
      Patch(out, groundEnd, jump);
      Patch(out, standingEnd, jump);
      break;
    }
    AppendPlainJump(out, 0);
    std::string dispatch;
    AppendPostureJump(dispatch, Offset(out));
    if (postureIndex == kStandingSection) {
      standingEnd = end;
      AppendGroundPostureHead(out);
      Patch(out, groundCheck, dispatch);
    } else {
      groundEnd = end;
      AppendChairPostureHead(out);
      Patch(out, chairCheck, dispatch);
    }
    ++postureIndex;
  }

  if (loops) AppendCheckCounter(out, countDown);
  if (!document.motion.endSound.empty()) AppendSound(out, "END", document.motion.endSound);
  if (document.motion.endWait > 0) AppendWait(out, document.motion.endWait);
  if (document.motion.endTorqueOff) AppendTorqueOff(out);
  AppendFinalLine(out);
  return out;
}

bool WriteMotionProgram(MotionDocument& document, EditorUi& ui) {
  Settings settings = document.settings();
  const bool binary = document.kazoModel == 2;
  // Refused before a file is asked for: such a program would not run.
  if (!SoundNamesFitProgram(document, ui.prompts)) return false;
  if (!binary && !PoseLabelsFitProgram(document, ui.prompts)) return false;
  FileDialogRequest request;
  request.open = false;
  request.initialName = LastProgramPath(document);
  request.overwritePrompt = true;
  if (binary) {
    request.filter = SystemText("バイナリプログラム|*.BIN||");
    request.defaultExtension = "BIN";
  } else {
    request.filter = SystemText("ブログラム(KM4)|*.KM4||");
    request.defaultExtension = "KM4";
    request.optionText = SystemText("姿勢毎のモーションを出力する(判定判定を行う)");
  }
  const auto answer = ui.dialogs.AskFile(request);
  if (!answer) return false;
  if (!CommitEditor(document, ui)) return false;
  if (!document.standardValues && !LoadStandardValues(document, ui)) return false;

  ProgramOptions options;
  TakeLoopSettings(document, ui.controls);
  options.loopCount = document.motion.loopCount;
  options.backAndForth = document.motion.backAndForth;
  if (answer->optionChecked) {
    if (options.loopCount > 1) {
      ui.prompts.ShowMessage(kMsgLoopPerPosture, BoxKind::kOk);
      return false;
    }
    // The labels of a per-posture program read back begin with "立ち".
    const std::string standing = SystemText("立ち姿勢").substr(0, 4);
    if (!document.motion.poses.empty() &&
        document.motion.poses.front().label.starts_with(standing)) {
      ui.prompts.ShowMessage(kMsgAlreadyPerPosture, BoxKind::kOk);
      return false;
    }
    options.perPosture = true;
  }

  if (binary) {
    if (options.perPosture) ui.prompts.ShowMessage(kMsgModelTwoIgnoresPerPosture, BoxKind::kOk);
    return WriteBinaryProgram(document, ui, answer->path, kDispatchMode);
  }

  options.synchroRegister = settings.ReadInt("POSE", "SYNCHRO_REGISTOR", 0x0ef0);
  options.waitSynchroTime = settings.ReadInt("POSE", "WAIT_SYNCHRO_TIME", 15);
  // The whole program is built before the file is touched, so an abandoned
  // program leaves no partial file and the previous file stays as it was.
  const auto text = BuildProgramText(document, options);
  if (!text) {
    ui.prompts.ShowMessage(kMsgSynchronisedPerPosture, BoxKind::kOk);
    return false;
  }
  if (!WriteFileAtomically(answer->path, *text)) {
    ui.prompts.ShowMessage(kMsgProgramWriteFailed, BoxKind::kOk);
    return false;
  }
  settings.WriteText("POSE", "PATH", answer->path);
  ui.prompts.ShowMessage(kMsgProgramWritten, BoxKind::kInformation);
  return true;
}

}  // namespace kz
