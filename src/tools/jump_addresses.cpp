#include "tools/jump_addresses.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "commands/motion_file_commands.h"
#include "commands/program_path.h"
#include "formats/program_text.h"
#include "platform/file_io.h"
#include "platform/in_place_file.h"
#include "platform/text_encoding.h"
#include "tools/block_index.h"
#include "tools/block_table.h"
#include "tools/jump_text.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr std::string_view kCountDown = "KZMOTION COUNT DOWN";
constexpr std::string_view kCheckCounter = "KZMOTION CHECK COUNTER";
constexpr std::string_view kFinalWaitLine = "<wait size=\"1\" adr=\"0x0b43\"/>";
// "<medit>", CR LF, TAB, "<block name=" and the opening quote.
constexpr std::size_t kHeaderToName = 23;
// Each converted jump grows by at most ten bytes (an empty name becoming an
// address), and at most kJumpTableMax are converted.
constexpr std::size_t kOutputReserve = kAddressLength * kJumpTableMax;

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

enum class RepairOutcome { kRepaired, kWrong };

// Points each check-counter jump at the count-down block before it;
// `changed` counts the jumps whose address was not already that one.
RepairOutcome RepairLoops(std::string& program, std::size_t& count, std::size_t& changed) {
  count = 0;
  changed = 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t name = FindFrom(program, kCountDown, from);
    if (name == std::string::npos) return RepairOutcome::kRepaired;
    if (name < kHeaderToName ||
        program.compare(name - kHeaderToName, kMeditTag.size(), kMeditTag) != 0)
      return RepairOutcome::kWrong;
    const std::size_t target = name - kHeaderToName;
    const std::size_t check = FindFrom(program, kCheckCounter, name);
    const std::size_t jump =
        check == std::string::npos ? check : FindFrom(program, kJumpTag, check);
    if (jump == std::string::npos) return RepairOutcome::kWrong;
    const std::size_t value = ValueStart(jump, kJumpTag);
    // A value cut short by the end of the file has no room for an address.
    if (value + kAddressLength > program.size() || program.compare(value, 3, "0x0") != 0)
      return RepairOutcome::kWrong;
    const std::string address = JumpTarget(static_cast<std::uint32_t>(target));
    if (program.compare(value, kAddressLength, address) != 0) {
      program.replace(value, kAddressLength, address);
      ++changed;
    }
    ++count;
    from = value;
  }
}

// Whether the bytes can be a program text at all: no NUL byte (no Shift_JIS
// character has one) and at least one block, jump or final wait line. A
// program without jumps is still converted (into a plain copy); anything else
// would be taken as data.
bool LooksLikeProgramText(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) return false;
  for (const std::string_view element : {kBlockNameTag, kJumpTag, kFinalWaitLine})
    if (bytes.find(element) != std::string_view::npos) return true;
  return false;
}

// Asks before an existing output is replaced; true when it may be written.
bool MayWrite(const std::string& path, int question, Prompts& prompts) {
  return !FileExists(path) ||
         prompts.ShowMessage(question, BoxKind::kYesNoQuestion) == Button::kYes;
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
  // Patched in place.
  const InPlaceFile file(path);
  std::string program;
  if (!file.ReadAll(program) || program.empty()) {
    prompts.ShowMessage(kMsgProgramReadFailed, BoxKind::kOk);
    return false;
  }
  std::size_t count = 0;
  std::size_t changed = 0;
  if (RepairLoops(program, count, changed) == RepairOutcome::kWrong) {
    prompts.ShowMessage(kMsgProgramWrong, BoxKind::kOk);
    return false;
  }
  if (count == 0) {
    prompts.ShowMessage(kMsgNoJumpAddress, BoxKind::kOk);
    return false;
  }
  // A program whose jumps are all right already is left untouched, and the
  // user is told so rather than of a rewrite.
  if (changed == 0) {
    prompts.ShowMessage(kMsgJumpsAlreadyRight, BoxKind::kInformation);
    return true;
  }
  // Synced, since a program is written for a card that may be pulled next.
  if (!file.WriteAt(0, program) || !file.Sync()) {
    prompts.ShowMessage(kMsgProgramWriteFailed, BoxKind::kError);
    return false;
  }
  prompts.ShowMessage(kMsgJumpsRewritten, BoxKind::kInformation, Count(changed));
  return true;
}

bool ConvertJumpsToBlockNames(const std::string& path, Prompts& prompts) {
  std::string program;
  if (!ReadWholeFile(path, program) || program.empty()) {
    prompts.ShowMessage(kMsgProgramReadFailed, BoxKind::kOk);
    return false;
  }
  if (!LooksLikeProgramText(program)) {
    prompts.ShowMessage(kMsgNotAProgramText, BoxKind::kExclamation, Argument(path));
    return false;
  }
  const std::string outputPath = WithExtension(path, ".TXT");
  if (!MayWrite(outputPath, kMsgTextExists, prompts)) return false;

  BlockTable table;
  CollectBlocks(program, table);
  const BlockEntry& end = table.entries().front();

  // The text is built whole and written only when every jump was converted,
  // so a failed run leaves an earlier text as it was.
  std::string text;
  text.reserve(program.size() + kOutputReserve);
  std::size_t copied = 0;
  std::size_t jumps = 0;
  std::optional<std::string> unmatched;
  for (std::size_t from = 0;;) {
    const std::size_t tag = FindFrom(program, kJumpTag, from);
    if (tag == std::string::npos) break;
    const std::size_t value = ValueStart(tag, kJumpTag);
    std::uint32_t address = 0;
    if (!ReadJumpAddress(program, value, address)) {
      prompts.ShowMessage(kMsgJumpTargetWrong, BoxKind::kError,
                          Argument(BytesAt(program, value, kAddressLength)));
      return false;
    }
    ++jumps;
    from = value;
    const BlockEntry* target = table.AtAddress(address);
    if (!target) {
      if (!unmatched) unmatched = program.substr(value, kAddressLength);
      continue;
    }
    text.append(program, copied, value - copied);
    text += target->name;
    copied = value + kAddressLength;
  }

  if (jumps == 0) {
    if (!WriteFileAtomically(outputPath, program)) {
      prompts.ShowMessage(kMsgTextWriteFailed, BoxKind::kOk);
      return false;
    }
    prompts.ShowMessage(kMsgNoBinaryJump, BoxKind::kOk);
    return true;
  }
  if (unmatched) {
    prompts.ShowMessage(kMsgJumpBlockNotFound, BoxKind::kError, Argument(*unmatched));
    return false;
  }
  const std::size_t endAt = std::max<std::size_t>(end.address, copied);
  text.append(program, copied, endAt - copied);
  text += "<medit>\r\n\t<block name=\"";
  text += end.name;
  text += "\" type=\"5\"/>\r\n</medit>\r\n";
  text.append(program, endAt);
  if (!WriteFileAtomically(outputPath, text)) {
    prompts.ShowMessage(kMsgTextWriteFailed, BoxKind::kOk);
    return false;
  }
  prompts.ShowMessage(kMsgJumpsRewritten, BoxKind::kInformation, Count(jumps));
  return true;
}

bool ConvertBlockNamesToJumps(const std::string& path, Prompts& prompts) {
  std::string input;
  if (!ReadWholeFile(path, input) || input.empty()) {
    prompts.ShowMessage(kMsgTextReadFailed, BoxKind::kOk);
    return false;
  }
  const std::string_view text = input;

  // Each named jump becomes a placeholder of the address's length, so the
  // offsets in the output are final before any name is looked up.
  struct NamedJump {
    std::string_view name;
    std::size_t place;  // of the placeholder in the output
  };
  std::vector<NamedJump> jumps;
  std::string output;
  output.reserve(input.size() + kOutputReserve);
  std::size_t copied = 0;
  bool allNames = false;
  for (std::size_t from = 0;;) {
    const std::size_t tag = FindFrom(text, kJumpTag, from);
    if (tag == std::string_view::npos) break;
    const std::size_t value = ValueStart(tag, kJumpTag);
    if (!allNames && text.substr(std::min(value, text.size())).starts_with("0x")) {
      const Button answer =
          prompts.ShowMessage(kMsgJumpStillHexadecimal, BoxKind::kYesNoCancelExclamation,
                              Argument(BytesAt(text, value, kAddressLength)));
      if (answer == Button::kCancel) {
        prompts.ShowMessage(kMsgJumpsAndBlocksWrong, BoxKind::kError);
        return false;
      }
      if (answer != Button::kYes) {
        from = value;
        continue;
      }
      allNames = true;
    }
    if (jumps.size() == kJumpTableMax) {
      prompts.ShowMessage(kMsgTooManyJumps, BoxKind::kOk);
      prompts.ShowMessage(kMsgJumpsAndBlocksWrong, BoxKind::kError);
      return false;
    }
    const std::size_t quote = value < text.size() ? text.find('"', value) : std::string::npos;
    if (quote == std::string_view::npos) {
      prompts.ShowMessage(kMsgJumpsAndBlocksWrong, BoxKind::kError);
      return false;
    }
    output.append(text, copied, value - copied);
    jumps.push_back(NamedJump{text.substr(value, quote - value), output.size()});
    output += "0x00000000";
    copied = quote;
    from = quote;
  }
  if (jumps.empty()) {
    prompts.ShowMessage(kMsgNoJumpAddress, BoxKind::kOk);
    return false;
  }
  output.append(text, copied);

  // Every name is looked up before any address is written: the index reads
  // the output as it stands.
  std::vector<std::uint32_t> addresses;
  addresses.reserve(jumps.size());
  {
    const BlockIndex blocks(output);
    for (const NamedJump& jump : jumps) {
      const BlockIndex::Lookup found = blocks.Find(jump.name);
      if (found.result == BlockIndex::Result::kFound) {
        addresses.push_back(found.address);
        continue;
      }
      if (found.result == BlockIndex::Result::kNotFound)
        prompts.ShowMessage(kMsgBlockNameNotFound, BoxKind::kError, Argument(jump.name));
      else if (found.result == BlockIndex::Result::kDuplicate)
        prompts.ShowMessage(kMsgDuplicateBlockName, BoxKind::kError, Argument(jump.name));
      prompts.ShowMessage(kMsgJumpsAndBlocksWrong, BoxKind::kError);
      return false;
    }
  }
  for (std::size_t i = 0; i < jumps.size(); ++i)
    output.replace(jumps[i].place, kAddressLength, JumpTarget(addresses[i]));

  const std::string outputPath = WithExtension(path, ".KM4");
  if (!MayWrite(outputPath, kMsgProgramExists, prompts)) return false;
  if (!WriteFileAtomically(outputPath, output)) {
    prompts.ShowMessage(kMsgProgramWriteFailed, BoxKind::kError);
    return false;
  }
  prompts.ShowMessage(kMsgJumpsRewritten, BoxKind::kInformation, Count(jumps.size()));
  return true;
}

}  // namespace kz
