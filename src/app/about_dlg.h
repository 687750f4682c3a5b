#pragma once

#include "ui/dialogs.h"

namespace kz {

// The about box: the icon, the program's name and version, OK.
class CAboutDlg : public DialogLogic {
 public:
  static constexpr int kTemplateId = 100;

  int TemplateId() const override { return kTemplateId; }
  void OnInit(Controls& controls) override;
  bool OnEvent(Controls& controls, int id, ControlEvent event) override;
};

}  // namespace kz
