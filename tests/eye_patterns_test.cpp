// Bulk conversion of a program's eye LEDs to expression patterns: on the
// program text's bytes, then the commands that patch a file in place.
#include "tools/eye_patterns.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "commands/eye_commands.h"
#include "fakes/editor_fixture.h"
#include "formats/program_writer.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::string_view kPoseArrayHead = "<mem_w size=\"2\" adr=\"0x0a00\">\r\n";

// The third line of the `n`th pose array: where the LED words are.
std::string ThirdLine(const std::string& program, int n) {
  std::size_t at = 0;
  for (int i = 0; i <= n; ++i) at = program.find(kPoseArrayHead, i == 0 ? 0 : at + 1);
  if (at == std::string::npos) return "<no array>";
  for (int line = 0; line < 3; ++line) at = program.find("\r\n", at) + 2;
  return program.substr(at, program.find("\r\n", at) + 2 - at);
}

std::string Zeros(int count) {
  std::string words;
  for (int i = 0; i < count; ++i) words += "0x0000,";
  return words;
}

// Three poses written by the program writer, each with colour eyes (red,
// green, blue) AA BB CC and DD EE FF and the mouth at 200.
class EyePatternsTest : public EditorFixture {
 protected:
  void SetUp() override {
    StartWithPoses(3);
    SetEyes(0x00CCBBAA, 0x00FFEEDD);
    program = *BuildProgramText(*document, ProgramOptions{});
    path = folder.Write("walk.KM4", program);
  }

  void SetEyes(std::uint32_t left, std::uint32_t right) {
    for (Pose& pose : document->motion.poses) {
      pose.leftEye = left;
      pose.rightEye = right;
      pose.mouth = 200;
      pose.flags = 0;
    }
  }

  std::string program;
  std::string path;
};

// --- The conversion, on bytes ---------------------------------------------

TEST_F(EyePatternsTest, EveryPoseGetsThePatternsAndNothingElseChanges) {
  ASSERT_EQ(ThirdLine(program, 2),
            "\t" + Zeros(16) + "0x00aa,0x00bb,0x00cc,0x00dd,0x00ee,0x00ff,0x00c8,0x0000,\r\n");

  std::string converted = program;
  ASSERT_EQ(ReplaceEyePatterns(converted, 3, 5), 3);

  for (int n = 0; n < 3; ++n)
    EXPECT_EQ(ThirdLine(converted, n),
              "\t" + Zeros(16) + "0x0000,0x0000,0x0003,0x0000,0x0000,0x0005,0x00c8,0x0000,\r\n");
  SetEyes(3 << 16, 5 << 16);
  EXPECT_EQ(converted, *BuildProgramText(*document, ProgramOptions{}))
      << "the same program as one written with those patterns";
}

TEST_F(EyePatternsTest, ABrokenPoseArrayIsSkippedWithoutReachingIntoTheNextOne) {
  // An array cut short before its LED words, then the three good ones.
  const std::string broken =
      std::string(kPoseArrayHead) + "\t" + Zeros(30) + "\r\n</mem_w>\r\n\r\n";
  const std::string withBroken = broken + program;
  std::string text = withBroken;

  EXPECT_EQ(ReplaceEyePatterns(text, 1, 2), 3);
  EXPECT_EQ(text.substr(0, broken.size()), broken);
  std::string expected = program;
  EXPECT_EQ(ReplaceEyePatterns(expected, 1, 2), 3);
  EXPECT_EQ(text, broken + expected);
}

// 2 MiB of heads on one line, none of them closed, then the written program:
// only the program's arrays change, and the open heads are passed over.
TEST_F(EyePatternsTest, ThousandsOfOpenHeadsOnOneLineAreSkipped) {
  std::string heads;
  while (heads.size() < (2u << 20)) heads += "<mem_w size=\"2\" adr=\"0x0a00\">";
  std::string text = heads + program;
  std::string expected = program;
  ASSERT_EQ(ReplaceEyePatterns(expected, 3, 5), 3);
  EXPECT_EQ(ReplaceEyePatterns(text, 3, 5), 3);
  EXPECT_EQ(text, heads + expected);
}

// --- The commands, on files ----------------------------------------------

TEST_F(EyePatternsTest, TheFileIsPatchedInPlaceAndTheCountReported) {
  std::string converted = program;
  ReplaceEyePatterns(converted, 3, 5);
  // A second name of the file sees the change: the file itself is patched.
  std::filesystem::create_hard_link(path, folder.Path("link.KM4"));
  ASSERT_TRUE(ConvertEyePatternsInFile(path, 3, 5, ui));
  EXPECT_EQ(folder.Read("walk.KM4"), converted);
  EXPECT_EQ(folder.Read("link.KM4"), converted);
  ASSERT_THAT(ui.shownIds(), ElementsAre(kMsgLedsRewritten));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kInformation);
  EXPECT_THAT(ui.shown[0].args, ElementsAre("3"));
}

TEST_F(EyePatternsTest, FilesWithoutPoseArraysAreLeftAlone) {
  const struct {
    const char* name;
    std::string contents;  // empty: as written; "<none>": no file
    int message;
  } cases[] = {
      {"no pose array", "<block name=\"WAIT\"/>\r\n<wait size=\"1\" adr=\"0x0b43\"/>\r\n",
       kMsgNoPoseBlock},
      {"third line too short", std::string(kPoseArrayHead) + "\t" + Zeros(24) + "\r\n</mem_w>\r\n",
       kMsgNoPoseBlock},
      {"empty file", "", kMsgProgramReadFailed},
      {"missing file", "<none>", kMsgProgramReadFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ui.shown.clear();
    const std::string target =
        c.contents == "<none>" ? folder.Path("missing.KM4") : folder.Write("other.KM4", c.contents);
    EXPECT_FALSE(ConvertEyePatternsInFile(target, 3, 5, ui));
    EXPECT_THAT(ui.shownIds(), ElementsAre(c.message));
    if (c.contents != "<none>") {
      EXPECT_EQ(folder.Read("other.KM4"), c.contents);
    }
  }
}

TEST_F(EyePatternsTest, TheButtonWarnsAsksForTheProgramAndUsesTheCurrentPosesPatterns) {
  document->current().leftEye = 7 << 16;
  document->current().rightEye = 0x00FF0000;  // pure blue reads as pattern 255
  document->editDataPath = folder.Path("walk.KZI");

  ui.answers = {Button::kCancel};
  EXPECT_FALSE(ConvertEyePatterns(*document, ui, ui));
  EXPECT_THAT(ui.fileRequests, IsEmpty()) << "Cancel on the warning stops at once";

  ui.answers = {Button::kOk, Button::kOk};
  ui.fileAnswers = {std::nullopt, FileDialogAnswer{path, false}};
  EXPECT_FALSE(ConvertEyePatterns(*document, ui, ui));
  EXPECT_EQ(folder.Read("walk.KM4"), program);
  EXPECT_TRUE(ConvertEyePatterns(*document, ui, ui));

  EXPECT_THAT(ui.shownIds(), ElementsAre(kMsgEyesAlreadyPattern, kMsgEyesAlreadyPattern,
                                         kMsgEyesAlreadyPattern, kMsgLedsRewritten));
  EXPECT_EQ(ui.shown[0].kind, BoxKind::kOkCancel);
  const FileDialogRequest& request = ui.fileRequests.at(0);
  EXPECT_FALSE(request.open);
  EXPECT_TRUE(request.overwritePrompt);
  EXPECT_EQ(request.defaultExtension, "KM4");
  EXPECT_EQ(request.initialName, document->editDataPath);
  EXPECT_EQ(request.filter, SystemText("プログラム(KM4)|*.KM4||"));
  EXPECT_EQ(ThirdLine(folder.Read("walk.KM4"), 0),
            "\t" + Zeros(16) + "0x0000,0x0000,0x0007,0x0000,0x0000,0x00ff,0x00c8,0x0000,\r\n");
}

}  // namespace
}  // namespace kz::testing
