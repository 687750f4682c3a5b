// The editor's command line.
#include "app/startup_options.h"

#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace kz {
namespace {

TEST(StartupOptions, FilesAndTheMotionAreTakenAsSystemText) {
  std::string error;
  const auto options = ParseStartupOptions(
      {"--setup", "セットアップ.XML", "--settings", "k.ini", "歩く.KZI"}, error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->setupPath, SystemText("セットアップ.XML"));
  EXPECT_EQ(options->settingsPath, "k.ini");
  EXPECT_EQ(options->motionPath, SystemText("歩く.KZI"));
  EXPECT_FALSE(options->help);
}

TEST(StartupOptions, WrongCommandLinesSayWhy) {
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"--settings"}, "--settings needs a file"},
      {{"--frobnicate"}, "unknown option --frobnicate"},
      {{"a.KZI", "b.KZI"}, "only one motion can be opened"},
      {{"\xF0\x9F\xA4\x96.KZI"},
       "cannot use the path \xF0\x9F\xA4\x96.KZI: it has characters outside Shift_JIS"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseStartupOptions(c.args, error));
    EXPECT_EQ(error, c.reason);
  }
}

}  // namespace
}  // namespace kz
