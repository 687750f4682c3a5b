#include "commands/binary_program_commands.h"

#include <initializer_list>
#include <limits>
#include <vector>

#include "dialogs/ninshiki_dlg.h"
#include "commands/program_name_checks.h"
#include "formats/program_names.h"
#include "model/settings.h"
#include "platform/file_io.h"
#include "platform/in_place_file.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr int kDefaultDispatchNumber = 23;
constexpr std::int32_t kSoundWaitOnYes = 120;  // two seconds

// A robot address as the image holds it: four bytes, little-endian.
std::string AddressBytes(std::uint32_t address) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((address >> (8 * i)) & 0xFF);
  return bytes;
}

bool AllSoundNamesFit(const MotionDocument& document, Prompts& prompts) {
  for (const std::string* name : {&document.motion.startSound, &document.motion.endSound}) {
    if (name->size() <= kMaxSoundNameBytes) continue;
    prompts.ShowMessage(kMsgSoundNameTooLong, BoxKind::kExclamation,
                        {*name, std::to_string(kMaxSoundNameBytes)});
    return false;
  }
  return true;
}

// The second model plays a sound only when a wait follows it.
void OfferEndWait(MotionDocument& document, Prompts& prompts) {
  if (document.motion.endSound.empty() || document.motion.endWait != 0) return;
  if (prompts.ShowMessage(kMsgEndSoundNeedsWait, BoxKind::kYesNoQuestion) == Button::kYes)
    document.motion.endWait = kSoundWaitOnYes;
}

bool WriteFailed(Prompts& prompts) {
  prompts.ShowMessage(kMsgProgramWriteFailed, BoxKind::kOk);
  return false;
}

// Writes the program into an existing image: appended and reached through
// the dispatch entry at `entry`, or from offset `start`.
bool WriteIntoImage(MotionDocument& document, EditorUi& ui, const std::string& path,
                    std::int64_t start, std::uint32_t entry) {
  const bool dispatch = start == kDispatchMode;
  const PatchResult result = PatchFileInPlace(path, kMaxWholeFileBytes, [&](std::string& image) {
    std::vector<FilePatch> patches;
    const std::uint64_t at = dispatch ? image.size() : static_cast<std::uint64_t>(start);
    if (at > std::numeric_limits<std::uint32_t>::max()) return patches;
    OfferEndWait(document, ui.prompts);
    auto program = BuildBinaryProgram(document.motion, BinaryProgramOptionsOf(document),
                                      static_cast<std::uint32_t>(at));
    if (!program || at + program->size() > std::numeric_limits<std::uint32_t>::max())
      return patches;
    // The entry is pointed at the program only once all of it is in the
    // image: the patcher cuts a failed append off again and makes no
    // write after it. Should the entry's write fail, the program stays
    // whole behind it.
    patches.push_back(FilePatch{at, std::move(*program)});
    if (dispatch) patches.push_back(FilePatch{entry, AddressBytes(static_cast<std::uint32_t>(at))});
    return patches;
  });
  // Patched means on the device too: the robot may be told to run the image
  // next.
  if (result != PatchResult::kPatched) return WriteFailed(ui.prompts);
  return true;
}

}  // namespace

BinaryProgramOptions BinaryProgramOptionsOf(const MotionDocument& document) {
  return BinaryProgramOptions{document.standardValues.value_or(StandardValues{}),
                              document.programTorque};
}

std::uint32_t FindDispatchEntry(MotionDocument& document, EditorUi& ui, const std::string& path,
                                std::optional<int> number) {
  std::string image;
  if (!ReadWholeFile(path, image, kDispatchSearchLimit)) {
    ui.prompts.ShowMessage(kMsgBinaryReadFailed, BoxKind::kOk);
    return 0;
  }
  Settings settings = document.settings();
  if (!number) {
    CNinshikiDlg dialog(document, ui.prompts);
    dialog.recognitionNumber =
        settings.ReadInt("PROGRAM", "BINARY_DISPATCH", kDefaultDispatchNumber);
    if (ui.dialogs.RunModal(dialog) != kIdOk) return 0;
    number = dialog.recognitionNumber;
  }
  const std::uint32_t entry = LocateDispatchEntry(image, *number);
  if (entry == 0) {
    ui.prompts.ShowMessage(kMsgNoDispatchEntry, BoxKind::kError);
    return 0;
  }
  settings.WriteInt("PROGRAM", "BINARY_DISPATCH", *number);
  return entry;
}

bool WriteBinaryProgram(MotionDocument& document, EditorUi& ui, const std::string& path,
                        std::int64_t start, std::optional<int> number) {
  // Refused before anything is asked or written.
  if (!AllSoundNamesFit(document, ui.prompts) || !SoundNamesFitProgram(document, ui.prompts))
    return false;

  if (start == 0) {
    OfferEndWait(document, ui.prompts);
    const auto program =
        BuildBinaryProgram(document.motion, BinaryProgramOptionsOf(document), kDirectExecBase);
    if (!program || !WriteFileAtomically(path, *program)) return WriteFailed(ui.prompts);
    return true;
  }
  if (start > 0) return WriteIntoImage(document, ui, path, start, 0);

  const std::uint32_t entry = FindDispatchEntry(document, ui, path, number);
  if (entry == 0) return false;
  if (!WriteIntoImage(document, ui, path, kDispatchMode, entry)) return false;
  Settings settings = document.settings();
  settings.WriteText("POSE", "PATH", path);
  ui.prompts.ShowMessage(kMsgBinaryWritten, BoxKind::kOk);
  document.modified = false;
  return true;
}

}  // namespace kz
