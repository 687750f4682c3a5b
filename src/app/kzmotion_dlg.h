#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/motion_document.h"
#include "ui/dialogs.h"
#include "ui/prompts.h"

namespace kz {

// The main editor window's logic: it owns the motion document, routes every
// control event through its command table, tracks changes and closes through
// one sequence, whatever closes it.
class CKZMotionDlg : public DialogLogic {
 public:
  static constexpr int kTemplateId = 102;

  // Creates the document on the settings file at `iniPath` (CP932).
  CKZMotionDlg(std::string iniPath, Prompts& prompts, Dialogs& dialogs);

  // A motion (CP932 path) to open when the window starts.
  void OpenOnStart(std::string path) { startupMotion_ = std::move(path); }

  int TemplateId() const override { return kTemplateId; }
  void OnInit(Controls& controls) override;
  bool OnEvent(Controls& controls, int id, ControlEvent event) override;
  void OnTimer(Controls& controls, int timerId) override;
  std::uint32_t SwatchColor(int id) const override;
  // The motion's file name, marked while there are unsaved edits.
  std::string Caption() const override;

  // Null once the editor has closed: closing releases the document.
  MotionDocument* document() { return document_.get(); }

  // Whether the command table answers this event of this control.
  static bool Routes(int id, ControlEvent event);

 private:
  bool CloseEditor(Controls& controls);

  std::unique_ptr<MotionDocument> document_;
  Prompts& prompts_;
  Dialogs& dialogs_;
  std::string startupMotion_;
};

}  // namespace kz
