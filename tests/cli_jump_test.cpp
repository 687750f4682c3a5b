// kzmotion-cli's jump commands, run as a child process on real files.
#include <gtest/gtest.h>

#include <string>

#include "fakes/process_run.h"
#include "fakes/temp_folder.h"
#include "formats/program_text.h"
#include "platform/text_encoding.h"

namespace kz::testing {
namespace {

class CliJumpTest : public ::testing::Test {
 protected:
  ProcessRun Run(const std::string& arguments) {
    return RunCommandLine(std::string(KZ_CLI_PATH) + " --settings " + folder.Path("KZMotion.ini") +
                          " " + arguments);
  }

  static std::string Block(const std::string& name) {
    return "<medit>\r\n\t<block name=\"" + name + "\" type=\"2\"/>\r\n</medit>\r\n";
  }
  static std::string Jump(const std::string& value) { return "<jump adr=\"" + value + "\"/>\r\n"; }
  // A loop: the count-down block at 0x78 and the check counter's jump to it.
  static std::string Program() {
    std::string out;
    AppendHeader(out);
    AppendCountDown(out);
    AppendCheckCounter(out, 0x78);
    AppendFinalLine(out);
    return out;
  }

  TempFolder folder;
};

TEST_F(CliJumpTest, RepairRewritesTheLoopInPlace) {
  const std::string program = Program();
  folder.Write("walk.KM4", program);
  const ProcessRun run = Run("repair-jumps " + folder.Path("walk.KM4"));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output,
            "ジャンプアドレスは全て正しいため、モーションプログラムは書き換えませんでした。\n");
  EXPECT_EQ(folder.Read("walk.KM4"), program);

  // A blank line before the loop moves its count-down block by two bytes.
  std::string moved = program;
  moved.insert(0x78, "\r\n");
  folder.Write("walk.KM4", moved);
  const ProcessRun repaired = Run("repair-jumps " + folder.Path("walk.KM4"));
  EXPECT_EQ(repaired.exitCode, 0) << repaired.output;
  EXPECT_EQ(
      repaired.output,
      "モーションプログラムの書き換えに成功しました。\nジャンプアドレスを1ヶ所書き変えました。\n");
  EXPECT_NE(folder.Read("walk.KM4").find("0x0000007a"), std::string::npos);

  std::string header;
  AppendHeader(header);
  folder.Write("plain.KM4", header);
  const ProcessRun none = Run("repair-jumps " + folder.Path("plain.KM4"));
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_TRUE(none.output.starts_with("ジャンプアドレスが見つかりませんでした。")) << none.output;
}

TEST_F(CliJumpTest, ProgramToTextAndBackOverwritesOnlyWithYes) {
  const std::string program = Program();
  folder.Write("walk.KM4", program);
  const ProcessRun toText = Run("jumps-to-names " + folder.Path("walk.KM4"));
  EXPECT_EQ(toText.exitCode, 0) << toText.output;
  EXPECT_NE(folder.Read("walk.TXT").find(Jump("KZMOTION COUNT DOWN")), std::string::npos);

  const ProcessRun refused = Run("names-to-jumps " + folder.Path("walk.TXT"));
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.output.find("このファイルを書き変えますか？\n-> いいえ"), std::string::npos)
      << refused.output;
  EXPECT_EQ(folder.Read("walk.KM4"), program);

  const ProcessRun back = Run("--yes names-to-jumps " + folder.Path("walk.TXT"));
  EXPECT_EQ(back.exitCode, 0) << back.output;
  const std::string end = "<wait size=\"1\" adr=\"0x0b43\"/>\r\n";
  EXPECT_EQ(folder.Read("walk.KM4"),
            program.substr(0, program.size() - end.size()) + "<medit>\r\n\t<block name=\"" +
                SystemText("プログラム終了") + "\" type=\"5\"/>\r\n</medit>\r\n" + end);
}

TEST_F(CliJumpTest, HexadecimalJumpsInATextAreNamesOnlyWithYes) {
  std::string text;
  AppendHeader(text);
  text += Block("A") + Jump("0x00000078") + Jump("A");
  folder.Write("hex.TXT", text);
  const ProcessRun kept = Run("names-to-jumps " + folder.Path("hex.TXT"));
  EXPECT_EQ(kept.exitCode, 0) << kept.output;
  std::string expected;
  AppendHeader(expected);
  expected += Block("A") + Jump("0x00000078") + Jump("0x00000078");
  EXPECT_EQ(folder.Read("hex.KM4"), expected);

  const ProcessRun named = Run("--yes names-to-jumps " + folder.Path("hex.TXT"));
  EXPECT_EQ(named.exitCode, 1);
  EXPECT_NE(named.output.find("ブロック名[0x00000078]が見つかりませんでした"), std::string::npos)
      << named.output;
}

TEST_F(CliJumpTest, EachCommandTakesExactlyOneFile) {
  for (const char* command : {"repair-jumps", "jumps-to-names", "names-to-jumps"}) {
    SCOPED_TRACE(command);
    EXPECT_EQ(Run(command).exitCode, 2);
    EXPECT_EQ(Run(std::string(command) + " a.KM4 b.KM4").exitCode, 2);
    EXPECT_EQ(Run(std::string(command) + " " + folder.Path("missing.KM4")).exitCode, 1);
  }
}

}  // namespace
}  // namespace kz::testing
