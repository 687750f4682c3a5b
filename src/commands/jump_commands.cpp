#include "commands/jump_commands.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/motion_file.h"
#include "formats/program_path.h"
#include "platform/file_io.h"
#include "platform/in_place_file.h"
#include "platform/text_encoding.h"
#include "tools/jump_addresses.h"
#include "tools/jump_text.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

namespace kz {
namespace {

std::vector<std::string> Count(std::size_t count) { return {std::to_string(count)}; }
std::vector<std::string> Argument(std::string_view text) { return {std::string(text)}; }

// True when the last character (not byte: a trail byte may be "t") is "t"
// or "T": the last path then most likely named a text.
bool EndsInT(std::string_view path) {
  if (path.size() <= 1) return false;
  std::size_t last = 0;
  for (std::size_t i = 0; i < path.size();) {
    last = i;
    i += IsCp932LeadByte(static_cast<unsigned char>(path[i])) ? 2 : 1;
  }
  return last == path.size() - 1 && (path[last] == 't' || path[last] == 'T');
}

// Asks before an existing output is replaced; true when it may be written.
bool MayWrite(const std::string& path, int question, Prompts& prompts) {
  return !FileExists(path) ||
         prompts.ShowMessage(question, BoxKind::kYesNoQuestion) == Button::kYes;
}

// A failed conversion of a text into a program ends with this message.
bool JumpsAndBlocksWrong(Prompts& prompts) {
  prompts.ShowMessage(kMsgJumpsAndBlocksWrong, BoxKind::kError);
  return false;
}

}  // namespace

void AdjustJumpAddresses(MotionDocument& document, EditorUi& ui) {
  Settings settings = document.settings();
  const std::string last = LastProgramPath(document);
  FileDialogRequest request;
  request.open = true;
  if (EndsInT(last)) {
    request.defaultExtension = "TXT";
    request.filter = SystemText("テキスト|*.txt|プログラム(KM4)|*.KM4||");
  } else {
    request.defaultExtension = "KM4";
    request.filter = SystemText("プログラム(KM4)|*.KM4|テキスト|*.txt||");
  }
  request.initialName = WithoutExtension(last);
  request.optionText =
      SystemText("プログラムのジャンプ先をブロック名に変換する(テキストファイルに出力)");
  request.optionChecked = document.jumpsToBlockNames != 0;
  const auto answer = ui.dialogs.AskFile(request);
  if (!answer) return;
  document.jumpsToBlockNames = answer->optionChecked ? 1 : 0;
  settings.WriteText("POSE", "PATH", answer->path);
  if (!IsProgramTextPath(answer->path))
    ConvertBlockNamesToJumps(answer->path, ui.prompts);
  else if (document.jumpsToBlockNames)
    ConvertJumpsToBlockNames(answer->path, ui.prompts);
  else
    RepairLoopCounterJumps(answer->path, ui.prompts);
}

bool RepairLoopCounterJumps(const std::string& path, Prompts& prompts) {
  using Outcome = LoopRepairResult::Outcome;
  // Unset when the file was not opened, not read or empty.
  std::optional<LoopRepairResult> repair;
  // Patched in place, and synced: a program is written for a card that may
  // be pulled next.
  const PatchResult result = PatchFileInPlace(path, kMaxWholeFileBytes, [&](std::string& program) {
    std::vector<FilePatch> patches;
    if (program.empty()) return patches;
    repair = RepairLoopJumps(program);
    if (repair->outcome == Outcome::kRepaired) patches.push_back(FilePatch{0, std::move(program)});
    return patches;
  });
  if (!repair) {
    prompts.ShowMessage(kMsgProgramReadFailed, BoxKind::kOk);
    return false;
  }
  switch (repair->outcome) {
    case Outcome::kWrong:
      prompts.ShowMessage(kMsgProgramWrong, BoxKind::kOk);
      return false;
    case Outcome::kNoLoop:
      prompts.ShowMessage(kMsgNoJumpAddress, BoxKind::kOk);
      return false;
    case Outcome::kAlreadyRight:
      // Left untouched, and the user is told so rather than of a rewrite.
      prompts.ShowMessage(kMsgJumpsAlreadyRight, BoxKind::kInformation);
      return true;
    case Outcome::kRepaired:
      break;
  }
  if (result != PatchResult::kPatched) {
    prompts.ShowMessage(kMsgProgramWriteFailed, BoxKind::kError);
    return false;
  }
  prompts.ShowMessage(kMsgJumpsRewritten, BoxKind::kInformation, Count(repair->changed));
  return true;
}

bool ConvertJumpsToBlockNames(const std::string& path, Prompts& prompts) {
  using Outcome = JumpsToNamesResult::Outcome;
  std::string program;
  if (!ReadWholeFile(path, program) || program.empty()) {
    prompts.ShowMessage(kMsgProgramReadFailed, BoxKind::kOk);
    return false;
  }
  const JumpsToNamesResult converted = JumpsToBlockNames(std::move(program));
  if (converted.outcome == Outcome::kNotProgramText) {
    prompts.ShowMessage(kMsgNotAProgramText, BoxKind::kExclamation, Argument(path));
    return false;
  }
  const std::string outputPath = WithExtension(path, ".TXT");
  if (!MayWrite(outputPath, kMsgTextExists, prompts)) return false;
  switch (converted.outcome) {
    case Outcome::kTargetWrong:
      prompts.ShowMessage(kMsgJumpTargetWrong, BoxKind::kError, Argument(converted.argument));
      return false;
    case Outcome::kTargetNotFound:
      prompts.ShowMessage(kMsgJumpBlockNotFound, BoxKind::kError, Argument(converted.argument));
      return false;
    default:
      break;
  }
  // Written only when every jump was converted, so a failed run leaves an
  // earlier text as it was.
  if (!WriteFileAtomically(outputPath, converted.text)) {
    prompts.ShowMessage(kMsgTextWriteFailed, BoxKind::kOk);
    return false;
  }
  if (converted.outcome == Outcome::kNoJumps)
    prompts.ShowMessage(kMsgNoBinaryJump, BoxKind::kOk);
  else
    prompts.ShowMessage(kMsgJumpsRewritten, BoxKind::kInformation, Count(converted.jumps));
  return true;
}

bool ConvertBlockNamesToJumps(const std::string& path, Prompts& prompts) {
  using Outcome = NamesToJumpsResult::Outcome;
  std::string text;
  if (!ReadWholeFile(path, text) || text.empty()) {
    prompts.ShowMessage(kMsgTextReadFailed, BoxKind::kOk);
    return false;
  }
  const NamesToJumpsResult converted = BlockNamesToJumps(text, [&](std::string_view value) {
    const Button answer = prompts.ShowMessage(kMsgJumpStillHexadecimal,
                                              BoxKind::kYesNoCancelExclamation, Argument(value));
    return answer == Button::kCancel ? HexJumpAnswer::kCancel
           : answer == Button::kYes  ? HexJumpAnswer::kTakeAsNames
                                     : HexJumpAnswer::kKeep;
  });
  switch (converted.outcome) {
    case Outcome::kConverted:
      break;
    case Outcome::kNoJumps:
      prompts.ShowMessage(kMsgNoJumpAddress, BoxKind::kOk);
      return false;
    case Outcome::kTooManyJumps:
      prompts.ShowMessage(kMsgTooManyJumps, BoxKind::kOk);
      return JumpsAndBlocksWrong(prompts);
    case Outcome::kNameNotFound:
      prompts.ShowMessage(kMsgBlockNameNotFound, BoxKind::kError, Argument(converted.argument));
      return JumpsAndBlocksWrong(prompts);
    case Outcome::kDuplicateName:
      prompts.ShowMessage(kMsgDuplicateBlockName, BoxKind::kError, Argument(converted.argument));
      return JumpsAndBlocksWrong(prompts);
    case Outcome::kCancelled:
    case Outcome::kUnclosedName:
    case Outcome::kBrokenHeader:
      return JumpsAndBlocksWrong(prompts);
  }
  const std::string outputPath = WithExtension(path, ".KM4");
  if (!MayWrite(outputPath, kMsgProgramExists, prompts)) return false;
  if (!WriteFileAtomically(outputPath, converted.program)) {
    prompts.ShowMessage(kMsgProgramWriteFailed, BoxKind::kError);
    return false;
  }
  prompts.ShowMessage(kMsgJumpsRewritten, BoxKind::kInformation, Count(converted.jumps));
  return true;
}

}  // namespace kz
