#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "fakes/scripted_ui.h"
#include "fakes/temp_folder.h"
#include "model/editor.h"
#include "model/motion_document.h"
#include "platform/text_encoding.h"

namespace kz::testing {

// A main window with its document, started on a settings file of the test's
// choosing in a temporary folder.
class EditorFixture : public ::testing::Test {
 protected:
  std::string SettingsPath() const { return folder.Path("KZMotion.ini"); }
  void WriteSettings(std::string_view ini) { folder.Write("KZMotion.ini", ini); }

  // Creates the document and initialises the editor, as the window does.
  void Start() {
    document = std::make_unique<MotionDocument>(SettingsPath());
    ui.TrackChanges(*document);
    InitEditor(*document, editor);
  }

  // `count` poses labelled ポーズ1.., servo k of pose i holding 100 * i + k,
  // the first one shown, nothing modified.
  void StartWithPoses(int count) {
    Start();
    for (int i = 0; i < count; ++i) {
      Pose pose = NewPose(*document);
      for (int k = 0; k < kServoCount; ++k) pose.servo[k] = static_cast<std::int16_t>(100 * i + k);
      pose.label = SystemText("ポーズ" + std::to_string(i + 1));
      document->motion.poses.push_back(pose);
    }
    document->currentPose = 0;
    RebuildPoseTabs(*document, ui);
    ShowPose(*document, ui);
    EnableEditing(*document, ui, true);
    document->modified = false;
  }

  // Labels of the tab row, in UTF-8.
  std::vector<std::string> Tabs() const {
    std::vector<std::string> labels;
    for (const std::string& text : ui.TabTexts(1047))
      labels.push_back(Cp932ToUtf8(text).value_or("?"));
    return labels;
  }

  std::string LabelOf(int pose) const {
    return Cp932ToUtf8(document->motion.poses[static_cast<std::size_t>(pose)].label).value_or("?");
  }

  TempFolder folder;
  ScriptedUi ui;
  EditorUi editor = ui.ui();
  std::unique_ptr<MotionDocument> document;
};

}  // namespace kz::testing
