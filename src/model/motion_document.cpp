#include "model/motion_document.h"

namespace kz {

MotionDocument::MotionDocument(std::string path) : iniPath(std::move(path)) {
  const Settings file = settings();
  kazoModel = file.ReadInt("GENERAL", "KAZO_MODEL", 1);
  maxPose = file.ReadInt("POSE", "MAX_POSE", 180);
}

MotionDocument::~MotionDocument() {
  if (clearPoseFile) clearPoseFile(*this);
  if (simProcess && closeSimulator) closeSimulator(*this);
}

}  // namespace kz
