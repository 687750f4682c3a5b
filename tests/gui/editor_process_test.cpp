// kzmotion started as a child process where it cannot open a window.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

TEST(EditorProcess, WithoutADisplayItSaysSoInOneLineAndFails) {
  const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") +
                              KZ_EDITOR_PATH + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  std::array<char, 4096> buffer{};
  while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
    output.append(buffer.data(), got);
  const int status = ::pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 0);
  EXPECT_EQ(output.find("kzmotion: no display"), 0u) << output;
  EXPECT_EQ(output.find('\n'), output.size() - 1) << "one line";
}

}  // namespace
