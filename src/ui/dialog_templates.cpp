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

constexpr std::array kTemplates = {
    DialogTemplate{100, "バージョン情報 KZMotion", 170, 62, kAboutControls},
    DialogTemplate{102, "カゾモーションエディター", 403, 459, kEditorWindowControls},
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
  for (const DialogTemplate& dialog : kTemplates)
    if (dialog.id == id) return &dialog;
  return nullptr;
}

}  // namespace kz
