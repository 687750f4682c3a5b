#include "app/about_dlg.h"

#include <string>

#include "ui/control_ids.h"
#include "ui/controls.h"
#include "version.h"

namespace kz {

void CAboutDlg::OnInit(Controls& controls) {
  controls.SetText(ctl::kAboutVersionLine, std::string("KZMotion, Version ") + kVersion);
}

bool CAboutDlg::OnEvent(Controls&, int id, ControlEvent event) {
  return event == ControlEvent::kClicked && (id == kIdOk || id == kIdCancel);
}

}  // namespace kz
