#include "commands/servo_log_commands.h"

#include <cstdio>
#include <optional>

#include "formats/servo_logs.h"
#include "link/flashair.h"
#include "model/editor.h"
#include "model/log_servo_check.h"
#include "model/pose_label.h"
#include "platform/card_io.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr std::size_t kPathCapacity = 260;
// More than a log holds, so that a longer file shows as the wrong length (a
// card sector, as the USB road reads).
constexpr std::size_t kReadLimit = kCardSectorSize;

// "サーボNN.LOG", CP932.
std::string LogName(int number) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%02d.LOG", number);
  return SystemText("サーボ") + digits;
}

// The same file on the card over Wi-Fi: its name percent-encoded as UTF-8.
std::string CardLogPath(int number) {
  char path[64];
  std::snprintf(path, sizeof path, "%s/%s%02d.LOG", "ADDON", "%E3%82%B5%E3%83%BC%E3%83%9C", number);
  return path;
}

// The dialog's choice; nullopt when cancelled.
std::optional<ServoLogSeries> ChooseFirstLog(const MotionDocument& document, EditorUi& ui) {
  const std::string firstName = LogName(1);
  FileDialogRequest request;
  request.open = true;
  request.defaultExtension = "LOG";
  request.initialName = document.settings().ReadText("LOG", "PATH", firstName, kPathCapacity);
  request.filter = SystemText("サーボログ|") + firstName + "||";
  if (document.poseCount() > 0)
    request.optionText = SystemText("読込んだポーズデータを現在にポーズに追加する");
  request.optionChecked = true;
  const auto answer = ui.dialogs.AskFile(request);
  if (!answer) return std::nullopt;
  ServoLogSeries first{answer->path, answer->optionChecked};
  // A later log of a series stands for the whole series, which is read from
  // its first log and added to the present poses. The whole number is
  // replaced, so that サーボ11.LOG counts as a later log too.
  if (FileNameOf(first.firstLog) != firstName) {
    first.firstLog = FolderOf(first.firstLog) + firstName;
    first.append = true;
  }
  return first;
}

// The bytes of log `number`, at most kReadLimit; empty when it is missing.
// nullopt when the card could not be read (it has said why): that is no end
// of the series.
std::optional<std::string> ReadLog(MotionDocument& document, Prompts& prompts,
                                   const std::string& folder, int number) {
  std::string bytes;
  if (document.useFlashAir) {
    if (FlashAirFetch(FlashAirCardOf(document, prompts), CardLogPath(number), bytes, kReadLimit) ==
        CardFile::kFailed)
      return std::nullopt;
  } else {
    // The robot may have written the log behind the page cache's back.
    bytes = ReadCardSector(folder + LogName(number)).value_or(std::string());
  }
  return bytes;
}

}  // namespace

bool ImportServoLogs(MotionDocument& document, EditorUi& ui) {
  ServoLogSeries series;
  if (!document.useFlashAir) {
    const auto first = ChooseFirstLog(document, ui);
    if (!first) return true;
    series = *first;
  }
  return ImportServoLogSeries(document, ui, series);
}

bool ImportServoLogSeries(MotionDocument& document, EditorUi& ui, const ServoLogSeries& series) {
  if (!document.useFlashAir) document.logPath = series.firstLog;
  const bool append = series.append;
  LoadPoseSettings(document, ui.controls);
  const std::string folder = FolderOf(document.logPath);
  document.logFixAnswer = 0;
  const bool keepsPoses = append && document.poseCount() > 0;
  bool posesLeftOut = false;

  bool unreadable = false;
  for (int number = 1; number <= document.maxPose; ++number) {
    const auto bytes = ReadLog(document, ui.prompts, folder, number);
    if (!bytes) {
      ui.prompts.ShowMessage(kMsgServoLogDownloadFailed, BoxKind::kOk,
                             {std::string("ADDON/") + LogName(number)});
      if (number == 1) return false;  // nothing has changed yet
      unreadable = true;
      break;
    }
    auto values = DecodeServoLog(*bytes);
    if (!values) {
      if (number > 1) break;  // the series is complete
      ui.prompts.ShowMessage(kMsgNoServoLogs, BoxKind::kOk);
      document.logPath.clear();
      return false;
    }
    if (number == 1 && !append) ReleasePoses(document);
    // The document holds at most maxPose poses; the user is told at the end.
    if (document.poseCount() >= document.maxPose) {
      posesLeftOut = true;
      break;
    }
    if (!CheckLogServoValues(document, ui, *values)) {
      const std::string name =
          (document.useFlashAir ? std::string("ADDON/") : folder) + LogName(number);
      ui.prompts.ShowMessage(kMsgServoLogValuesWrong, BoxKind::kOk, {name});
      continue;
    }
    Pose pose = NewPose(document);
    pose.servo = *values;
    pose.label = NumberedPoseLabel(document.poseCount() + 1);
    document.motion.poses.push_back(std::move(pose));
  }

  document.currentPose = 0;
  RebuildPoseTabs(document, ui.controls);
  if (document.poseCount() > 0) {
    ShowPose(document, ui.controls);
    // Over Wi-Fi there is no local log to remember for the next dialog.
    if (!document.useFlashAir) document.settings().WriteText("LOG", "PATH", document.logPath);
    EnableEditing(document, ui.controls, true);
  } else {
    ClearEditor(document, ui.controls);
    EnableEditing(document, ui.controls, false);
  }
  if (posesLeftOut)
    ui.prompts.ShowMessage(kMsgPosesBeyondLimitNotRead, BoxKind::kExclamation,
                           {std::to_string(document.maxPose)});
  // Poses added to a motion with unsaved edits are no reason to forget them,
  // nor is a series that could not be read to its end.
  if (unreadable) {
    document.modified = true;
    return false;
  }
  if (!keepsPoses) document.modified = false;
  return true;
}

}  // namespace kz
