// kzmotion-cli run as a child process.
#include <gtest/gtest.h>

#include <string>

#include "commands/edit_data_commands.h"
#include "fakes/editor_fixture.h"
#include "fakes/process_run.h"
#include "formats/edit_data.h"
#include "formats/program_writer.h"
#include "model/standard_values.h"

namespace {

using kz::testing::ProcessRun;

ProcessRun RunCli(const std::string& arguments) {
  return kz::testing::RunCommandLine(std::string(KZ_CLI_PATH) + " " + arguments);
}

TEST(Cli, HelpAndVersion) {
  const ProcessRun help = RunCli("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("Usage: kzmotion-cli"), std::string::npos);
  const ProcessRun version = RunCli("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.output, "kzmotion-cli (KZMotion) 4.22\n");
}

TEST(Cli, AnUnknownCommandLineExitsWithTwo) {
  const ProcessRun run = RunCli("--no-such-option");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("Usage:"), std::string::npos);
}

// Motion files made by the editor's own commands, as the window makes them,
// taken through the tool and back.
class CliMotionTest : public kz::testing::EditorFixture {
 protected:
  void SetUp() override {
    WriteSettings("[POSE]\nLOOP_COUNT=2\n");
    StartWithPoses(2);
    document->motion.poses[1].label = kz::SystemText("歩く");
    document->setupOverride = kSampleSetup;
    ASSERT_TRUE(kz::LoadStandardValues(*document, editor));
    ui.fileAnswers.push_back(kz::FileDialogAnswer{folder.Path("walk.KZI"), false});
    ASSERT_EQ(kz::SaveEditData(*document, editor), kz::SaveResult::kSaved);
    settingsBefore = folder.Read("KZMotion.ini");
  }

  ProcessRun Run(const std::string& arguments) {
    return RunCli("--settings " + SettingsPath() + " --setup " + kSampleSetup + " " + arguments);
  }

  static constexpr const char* kSampleSetup = KZ_SOURCE_DIR "/samples/STARTUP.XML";
  std::string settingsBefore;
};

TEST_F(CliMotionTest, WriteReadAndDumpWorkOnTheEditorsFiles) {
  const ProcessRun write =
      Run("write " + folder.Path("walk.KZI") + " -o " + folder.Path("walk.KM4"));
  EXPECT_EQ(write.exitCode, 0) << write.output;
  EXPECT_EQ(write.output, "モーションプログラムの書出しに成功しました\n");
  kz::Motion looped = document->motion;
  looped.loopCount = 2;
  EXPECT_EQ(folder.Read("walk.KM4"),
            kz::BuildProgramText(looped, {.standardValues = *document->standardValues}))
      << "the same program the window writes";

  const ProcessRun read = Run("read " + folder.Path("walk.KM4") + " -o " + folder.Path("back.KZI"));
  EXPECT_EQ(read.exitCode, 0) << read.output;
  EXPECT_NE(read.output.find("を終了時の音声として登録しますか？\n-> いいえ"), std::string::npos)
      << "questions are answered No: " << read.output;

  const ProcessRun dump = Run("dump " + folder.Path("back.KZI"));
  EXPECT_EQ(dump.exitCode, 0) << dump.output;
  EXPECT_NE(dump.output.find("\"label\": \"歩く\""), std::string::npos) << dump.output;
  EXPECT_NE(dump.output.find("\"servo\": [100, 101, 102,"), std::string::npos) << dump.output;
  EXPECT_NE(dump.output.find("\"loopCount\": 2,"), std::string::npos) << "reset from the settings";

  EXPECT_EQ(folder.Read("KZMotion.ini"), settingsBefore) << "the tool never writes settings";
}

TEST_F(CliMotionTest, YesAnswersTheQuestionsAndFailuresExitWithOne) {
  const ProcessRun write =
      Run("--yes write " + folder.Path("walk.KZI") + " -o " + folder.Path("w.KM4"));
  ASSERT_EQ(write.exitCode, 0) << write.output;
  const ProcessRun read = Run("--yes read " + folder.Path("w.KM4") + " -o " + folder.Path("w.KZI"));
  EXPECT_NE(read.output.find("-> はい"), std::string::npos) << read.output;
  const ProcessRun dump = Run("dump " + folder.Path("w.KZI"));
  EXPECT_NE(dump.output.find("\"endSound\": \"voice\\\\Y153.wav\""), std::string::npos)
      << dump.output;

  const ProcessRun missing =
      Run("write " + folder.Path("none.KZI") + " -o " + folder.Path("x.KM4"));
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.output, "モーションデータファイル読込みに失敗しました\n");
  EXPECT_EQ(folder.Read("x.KM4"), "<missing>");
  EXPECT_EQ(Run("write " + folder.Path("walk.KZI")).exitCode, 2) << "no -o";
}

// The tool refuses what the window refuses when it takes over its editor
// with the motion's first pose shown: a travel time under 20 while the speed
// check is on, and no pose at all.
TEST_F(CliMotionTest, AShortFirstTravelTimeIsRefusedAsTheEditorRefusesIt) {
  kz::Motion motion = document->motion;
  motion.poses[0].travelTime = 10;
  const std::string shortFirst = folder.Write("short.KZI", kz::EncodeEditData(motion));
  const std::string program = folder.Write(
      "short.KM4",
      kz::BuildProgramText(motion, {.standardValues = *document->standardValues}).value_or(""));
  const std::string runs[] = {
      "write " + shortFirst + " -o " + folder.Path("out.KM4"),
      "write " + folder.Write("empty.KZI", kz::EncodeEditData(kz::Motion{})) + " -o " +
          folder.Path("out.KM4"),
      "read " + program + " -o " + folder.Path("out.KZI"),
  };
  for (const std::string& run : runs) {
    SCOPED_TRACE(run);
    const ProcessRun refused = Run("--yes " + run);
    EXPECT_EQ(refused.exitCode, 1) << refused.output;
    EXPECT_NE(refused.output.find("サーボの移動時間を20以下にすると"), std::string::npos)
        << refused.output;
    EXPECT_EQ(folder.Read("out.KM4"), "<missing>");
    EXPECT_EQ(folder.Read("out.KZI"), "<missing>");
  }

  // Only the pose shown first is taken over; without the speed check none is.
  motion.poses[0].travelTime = 60;
  motion.poses[1].travelTime = 10;
  EXPECT_EQ(Run("write " + folder.Write("later.KZI", kz::EncodeEditData(motion)) + " -o " +
                folder.Path("out.KM4"))
                .exitCode,
            0);
  folder.Write("KZMotion.ini", "[POSE]\nSPEED_CHECK=0\n");
  EXPECT_EQ(Run("write " + shortFirst + " -o " + folder.Path("out.KM4")).exitCode, 0);
  EXPECT_EQ(Run("read " + program + " -o " + folder.Path("out.KZI")).exitCode, 0);
}

// Nothing that holds no pose becomes a motion, and no file is replaced by an
// empty one; the jump tool takes no garbage for a program either.
TEST_F(CliMotionTest, WhatHoldsNoPoseIsRefusedAndNothingIsReplaced) {
  const std::string saved = folder.Read("walk.KZI");
  const std::string inputs[] = {
      folder.Write("blocks.KM4", "<medit>\r\n\t<block name=\"A\" type=\"2\"/>\r\n</medit>\r\n"),
      folder.Write("binary.KM4", std::string("\x7f"
                                             "ELF\0\0\0",
                                             7) +
                                     "<mem_w size=\"2\" adr=\"0x0a00\">\r\n"),
      folder.Write("empty.KZI", kz::EncodeEditData(kz::Motion{})),
  };
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input);
    const ProcessRun read = Run("read " + input + " -o " + folder.Path("walk.KZI"));
    EXPECT_EQ(read.exitCode, 1) << read.output;
    EXPECT_NE(read.output.find("はモーションプログラムではありません"), std::string::npos)
        << read.output;
    EXPECT_EQ(folder.Read("walk.KZI"), saved);
    const ProcessRun dump = Run("dump " + input);
    EXPECT_EQ(dump.exitCode, 1) << dump.output;
    EXPECT_EQ(dump.output.find('{'), std::string::npos) << dump.output;
  }

  folder.Write("notes.KM4", "just some notes, no program\r\n");
  for (const char* name : {"binary", "notes"}) {
    SCOPED_TRACE(name);
    const ProcessRun run = Run("jumps-to-names " + folder.Path(std::string(name) + ".KM4"));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("はモーションプログラムではありません"), std::string::npos)
        << run.output;
    EXPECT_EQ(folder.Read(std::string(name) + ".TXT"), "<missing>");
  }
}

}  // namespace
