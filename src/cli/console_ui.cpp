#include "cli/console_ui.h"

#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz {
namespace {

bool IsQuestion(BoxKind kind) {
  switch (kind) {
    case BoxKind::kOkCancel:
    case BoxKind::kYesNoQuestion:
    case BoxKind::kYesNoCancelQuestion:
    case BoxKind::kYesNoCancelExclamation:
      return true;
    default:
      return false;
  }
}

}  // namespace

Button ConsolePrompts::ShowMessage(int messageId, BoxKind kind,
                                   const std::vector<std::string>& args,
                                   const std::string& details) {
  std::vector<std::string> utf8Args;
  for (const std::string& arg : args) utf8Args.push_back(Cp932ToUtf8(arg).value_or("?"));
  std::fprintf(out_, "%s\n", FormatMessage(messageId, utf8Args).c_str());
  if (!details.empty()) std::fprintf(out_, "  (%s)\n", Cp932ToUtf8(details).value_or("?").c_str());
  if (!IsQuestion(kind)) return Button::kOk;
  const bool okCancel = kind == BoxKind::kOkCancel;
  std::fprintf(out_, "-> %s\n",
               answerYes_ ? (okCancel ? "OK" : "はい") : (okCancel ? "キャンセル" : "いいえ"));
  if (okCancel) return answerYes_ ? Button::kOk : Button::kCancel;
  return answerYes_ ? Button::kYes : Button::kNo;
}

std::optional<FileDialogAnswer> PresetDialogs::AskFile(const FileDialogRequest&) {
  if (files.empty()) return std::nullopt;
  FileDialogAnswer answer = files.front();
  files.pop_front();
  return answer;
}

}  // namespace kz
