#include <array>

#include "ui/control_ids.h"
#include "ui/dialog_template.h"
#include "ui/dialogs.h"

namespace kz {
namespace {

constexpr ControlTemplate kAboutControls[] = {
#include "dialogs/about_100.inc"
};

constexpr ControlTemplate kEditorWindowControls[] = {
#include "dialogs/editor_window_102.inc"
};

constexpr ControlTemplate kNinshikiControls[] = {
#include "dialogs/ninshiki_171.inc"
};

constexpr ControlTemplate kLedControls[] = {
#include "dialogs/led_131.inc"
};

constexpr ControlTemplate kSoundControls[] = {
#include "dialogs/sound_132.inc"
};

constexpr ControlTemplate kParamControls[] = {
#include "dialogs/param_170.inc"
};

constexpr std::array kTemplates = {
    DialogTemplate{100, "バージョン情報 KZMotion", 170, 62, kAboutControls},
    DialogTemplate{102, "カゾモーションエディター", 403, 459, kEditorWindowControls},
    DialogTemplate{131, "LED詳細設定", 260, 162, kLedControls},
    DialogTemplate{132, "開始/終了処理設定", 205, 107, kSoundControls},
    DialogTemplate{170, "設定ダイアログ", 200, 155, kParamControls},
    DialogTemplate{171, "音声認識語入力", 200, 87, kNinshikiControls},
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
  for (const DialogTemplate& dialog : kTemplates)
    if (dialog.id == id) return &dialog;
  return nullptr;
}

const char* CaptionBefore(const DialogTemplate& dialog, int id) {
  const ControlTemplate* label = nullptr;
  for (const ControlTemplate& control : dialog.controls) {
    if (control.id == id) return label ? label->text : "";
    label = control.kind == ControlKind::kLabel ? &control : nullptr;
  }
  return "";
}

}  // namespace kz
