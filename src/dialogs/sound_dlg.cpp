#include "dialogs/sound_dlg.h"

#include <sys/stat.h>

#include <filesystem>
#include <string_view>

#include "formats/program_names.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr int kLongestWait = 3000;
constexpr char kRobotSeparator = '\\';
constexpr const char* kSoundFolder = "voice";

// A path as the robot writes it ("voice\303.wav") in the local form. The
// second byte of a two-byte character may be a "\": it is left alone.
std::string LocalPath(std::string_view robotPath) {
  std::string local;
  for (std::size_t i = 0; i < robotPath.size(); ++i) {
    const char c = robotPath[i];
    if (IsCp932LeadByte(static_cast<unsigned char>(c)) && i + 1 < robotPath.size()) {
      local += c;
      local += robotPath[++i];
    } else {
      local += c == kRobotSeparator ? kPathSeparator : c;
    }
  }
  return local;
}

// The local separator never occurs inside a two-byte character.
std::string RobotPath(std::string path) {
  for (char& c : path)
    if (c == kPathSeparator) c = kRobotSeparator;
  return path;
}

}  // namespace

CSoundDlg::CSoundDlg(MotionDocument& document, Dialogs& dialogs, Prompts& prompts)
    : startSound(document.motion.startSound),
      endSound(document.motion.endSound),
      startWait(document.motion.startWait),
      endWait(document.motion.endWait),
      startTorqueOn(document.motion.startTorqueOn),
      endTorqueOff(document.motion.endTorqueOff),
      document(&document),
      cardRootOf(MountPointOf),
      dialogs_(dialogs),
      prompts_(prompts) {}

void CSoundDlg::OnInit(Controls& controls) {
  controls.SetRange(sound::kWaitSpin, 0, kLongestWait);
  controls.SetChecked(sound::kShowStart, true);
  controls.SetChecked(sound::kShowEnd, false);
  shownMode = -1;
  Show(controls, 0);
}

bool CSoundDlg::OnEvent(Controls& controls, int id, ControlEvent event) {
  if (event != ControlEvent::kClicked) return false;
  switch (id) {
    case sound::kShowStart:
      Show(controls, 0);
      return false;
    case sound::kShowEnd:
      Show(controls, 1);
      return false;
    case sound::kBrowse:
      BrowseSound(controls);
      return false;
    case kIdOk:
      return TakeValues(controls);
    case kIdCancel:
      return true;
    default:
      return false;
  }
}

void CSoundDlg::StoreShown(const Controls& controls) {
  const bool end = shownMode == 1;
  (end ? endSound : startSound) = controls.Text(sound::kSound);
  (end ? endWait : startWait) = controls.ReadNumber(sound::kWait);
  (end ? endTorqueOff : startTorqueOn) = controls.IsChecked(sound::kTorque) ? 1 : 0;
}

bool CSoundDlg::TakeValues(Controls& controls) {
  StoreShown(controls);
  for (const int mode : {0, 1}) {
    const std::string& name = mode == 1 ? endSound : startSound;
    if (FitsProgram(name)) continue;
    if (mode != shownMode) {
      controls.SetChecked(sound::kShowStart, mode == 0);
      controls.SetChecked(sound::kShowEnd, mode == 1);
      Show(controls, mode);
    }
    prompts_.ShowMessage(kMsgSoundNameUnfit, BoxKind::kExclamation, {name});
    controls.Focus(sound::kSound);
    return false;
  }
  return true;
}

void CSoundDlg::Show(Controls& controls, int mode) {
  if (shownMode != -1) StoreShown(controls);
  const bool end = mode == 1;
  controls.SetText(sound::kTorque, SystemText(end ? "サーボトルクOFF" : "サーボトルクON"));
  controls.SetText(sound::kSound, end ? endSound : startSound);
  controls.WriteNumber(sound::kWait, end ? endWait : startWait);
  controls.SetChecked(sound::kTorque, (end ? endTorqueOff : startTorqueOn) != 0);
  shownMode = mode;
}

void CSoundDlg::BrowseSound(Controls& controls) {
  // The working copy, not what has been typed since the last switch.
  const std::string& shown = shownMode == 1 ? endSound : startSound;
  const std::string& logPath = document->logPath;
  // The robot writes its servo logs on its card, so the log's file system is
  // the card.
  const std::string root = logPath.empty() ? std::string() : cardRootOf(logPath);
  FileDialogRequest request;
  request.open = true;
  request.defaultExtension = "wav";
  request.initialName = root + LocalPath(shown);
  request.filter = SystemText("音声ファイル|*.wav||");
  request.initialFolder = FolderOf(logPath) + kSoundFolder;
  const auto answer = dialogs_.AskFile(request);
  if (!answer) return;

  // The robot names the file from its card's root.
  const std::string& path = answer->path;
  const std::string pathRoot = cardRootOf(path);
  std::string fromRoot;
  if (!pathRoot.empty() && path.starts_with(pathRoot)) {
    fromRoot = path.substr(pathRoot.size());
  } else {
    const std::size_t separator = path.find(kPathSeparator);
    fromRoot = separator == std::string::npos ? path : path.substr(separator + 1);
  }
  controls.SetText(sound::kSound, RobotPath(fromRoot));
  document->modified = true;
}

std::string MountPointOf(const std::string& path) {
  namespace fs = std::filesystem;
  const auto native = NativePath(path);
  if (!native) return std::string();
  std::error_code error;
  fs::path at = fs::absolute(*native, error).lexically_normal();
  if (error) return std::string();
  // Start at the nearest existing folder: the file itself need not exist.
  struct stat info {};
  while (::stat(at.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    if (at.parent_path() == at) return std::string();
    at = at.parent_path();
  }
  // Climb while the folder above lies on the same device.
  for (fs::path parent = at.parent_path(); parent != at; parent = at.parent_path()) {
    struct stat above {};
    if (::stat(parent.c_str(), &above) != 0 || above.st_dev != info.st_dev) break;
    at = parent;
  }
  std::string root = at.string();
  if (root.empty() || root.back() != kPathSeparator) root += kPathSeparator;
  return Utf8ToCp932(root).value_or(std::string());
}

bool EditStartEndProcessing(MotionDocument& document, EditorUi& ui) {
  CSoundDlg dialog(document, ui.dialogs, ui.prompts);
  if (ui.dialogs.RunModal(dialog) != kIdOk) return false;
  document.motion.startSound = dialog.startSound;
  document.motion.endSound = dialog.endSound;
  document.motion.startWait = dialog.startWait;
  document.motion.endWait = dialog.endWait;
  document.motion.startTorqueOn = dialog.startTorqueOn;
  document.motion.endTorqueOff = dialog.endTorqueOff;
  document.modified = true;
  return true;
}

}  // namespace kz
