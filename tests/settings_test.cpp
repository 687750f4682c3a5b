#include "model/settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "fakes/scoped_env.h"
#include "fakes/temp_folder.h"
#include "model/settings_location.h"
#include "platform/program_location.h"

namespace kz {
namespace {

namespace fs = std::filesystem;

using testing::ScopedEnv;
using testing::TempFolder;

std::set<std::string> Entries(const TempFolder& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.path()))
    names.insert(entry.path().filename().string());
  return names;
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(temp_.path().empty()); }

  // A settings file holding `bytes`.
  Settings With(const std::string& bytes) {
    temp_.Write("KZMotion.ini", bytes);
    return Settings(file_);
  }

  TempFolder temp_;
  std::string file_ = temp_.Path("KZMotion.ini");
};

TEST_F(SettingsTest, MissingOrUnreadableFileGivesDefaults) {
  fs::create_directory(temp_.Path("folder"));
  for (const std::string& path :
       {file_, temp_.Path("no/such/KZMotion.ini"), temp_.Path("folder")}) {
    const Settings settings(path);
    EXPECT_EQ(settings.ReadInt("Edit", "Speed", 42), 42) << path;
    EXPECT_TRUE(settings.ReadBool("Edit", "Grid", true)) << path;
    EXPECT_FALSE(settings.ReadBool("Edit", "Grid", false)) << path;
    EXPECT_EQ(settings.ReadText("Edit", "Name", "none", 64), "none") << path;
  }
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(SettingsTest, WritesBuildTheFileOneKeyAtATime) {
  Settings settings(file_);
  ASSERT_TRUE(settings.WriteText("Edit", "Name", "walk"));
  EXPECT_EQ(temp_.Read("KZMotion.ini"), "[Edit]\nName=walk\n");

  ASSERT_TRUE(settings.WriteInt("Edit", "Speed", 1234));
  ASSERT_TRUE(settings.WriteBool("Port", "Open", true));
  ASSERT_TRUE(settings.WriteInt("Edit", "Offset", -7));
  ASSERT_TRUE(settings.WriteInt("Edit", "Least", INT_MIN));
  ASSERT_TRUE(settings.WriteBool("Port", "Open", false));
  EXPECT_EQ(temp_.Read("KZMotion.ini"),
            "[Edit]\nName=walk\nSpeed=1234\nOffset=-7\nLeast=-2147483648\n"
            "\n[Port]\nOpen=0\n");

  EXPECT_EQ(settings.ReadInt("edit", "SPEED", 0), 1234);
  EXPECT_EQ(settings.ReadText("Edit", "Name", "", 64), "walk");
  EXPECT_FALSE(settings.ReadBool("Port", "Open", true));
  // Written whole, but the reader takes no sign: the platform behaves the same.
  EXPECT_EQ(settings.ReadInt("Edit", "Offset", 5), 0);
}

TEST_F(SettingsTest, WritesKeepEveryOtherByteOfTheFile) {
  Settings settings = With(
      "; KZMotion settings\r\n"
      "[Edit]\r\n"
      "Speed = 10\r\n"
      "Unknown=keep me\r\n"
      "\r\n"
      "[Port]\r\n"
      "; the robot's port\r\n"
      "number=3\r\n");
  ASSERT_TRUE(settings.WriteInt("EDIT", "speed", 25));
  ASSERT_TRUE(settings.WriteText("Edit", "Name", "\x83\x7C\x81\x5B\x83\x59"));
  ASSERT_TRUE(settings.WriteBool("View", "Grid", true));
  EXPECT_EQ(temp_.Read("KZMotion.ini"),
            "; KZMotion settings\r\n"
            "[Edit]\r\n"
            "Speed = 25\r\n"
            "Unknown=keep me\r\n"
            "Name=\x83\x7C\x81\x5B\x83\x59\r\n"
            "\r\n"
            "[Port]\r\n"
            "; the robot's port\r\n"
            "number=3\r\n"
            "\r\n"
            "[View]\r\n"
            "Grid=1\r\n");
}

TEST_F(SettingsTest, ReadIntTakesTheLeadingDecimalNumber) {
  struct Case {
    const char* value;
    int expected;
  };
  const Case cases[] = {
      {"15", 15},
      {"  7", 7},
      {"12abc", 12},
      {"007", 7},
      {"abc", 0},
      {"-5", 0},
      {"+3", 0},
      {"", 0},
      {"\"15\"", 15},
      {"' 8'", 8},
      {"2147483647", INT_MAX},
      // Past 32 bits the number wraps around, as the platform's reader does.
      {"2147483648", INT_MIN},
      {"4294967295", -1},
      {"4294967311", 15},
      {"100000000000000000000000000000000000000000", 0},  // 10^41 is a multiple of 2^32
  };
  for (const auto& c : cases) {
    const Settings settings = With(std::string("[S]\nK=") + c.value + "\n");
    EXPECT_EQ(settings.ReadInt("S", "K", 99), c.expected) << '"' << c.value << '"';
  }
  // So many digits that any unguarded arithmetic would overflow many times over.
  const Settings many = With("[S]\nK=" + std::string(5000, '9') + "\n");
  EXPECT_EQ(many.ReadInt("S", "K", 99), -1);  // 10^5000 - 1 is -1 modulo 2^32
  EXPECT_EQ(many.ReadInt("S", "Missing", 99), 99);
  EXPECT_EQ(many.ReadInt("Missing", "K", -3), -3);
}

TEST_F(SettingsTest, ReadBoolIsOnOnlyForOne) {
  struct Case {
    const char* value;
    bool expected;
  };
  const Case cases[] = {{"1", true},  {"01", true},  {"1 yes", true}, {"0", false},
                        {"2", false}, {"11", false}, {"on", false},   {"", false}};
  for (const auto& c : cases) {
    const Settings settings = With(std::string("[S]\nK=") + c.value + "\n");
    EXPECT_EQ(settings.ReadBool("S", "K", !c.expected), c.expected) << '"' << c.value << '"';
  }
}

TEST_F(SettingsTest, ReadTextCutsToCapacityBetweenCharacters) {
  // "ポーズ": three two-byte characters.
  const std::string pose = "\x83\x7C\x81\x5B\x83\x59";
  const Settings settings = With("[S]\nAscii=abcdef\nPose=" + pose + "\nQuoted=\" a b \"\n");
  struct Case {
    const char* key;
    std::size_t capacity;
    std::string expected;
  };
  const Case cases[] = {
      {"Ascii", 64, "abcdef"},
      {"Ascii", 7, "abcdef"},
      {"Ascii", 4, "abc"},
      {"Ascii", 1, ""},
      {"Ascii", 0, ""},
      {"Pose", 7, pose},
      {"Pose", 6, "\x83\x7C\x81\x5B"},  // room for 5 bytes: the third character would split
      {"Pose", 5, "\x83\x7C\x81\x5B"},
      {"Pose", 3, "\x83\x7C"},
      {"Pose", 2, ""},
      {"Quoted", 64, " a b "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(settings.ReadText("S", c.key, "", c.capacity), c.expected)
        << c.key << " in " << c.capacity;
  }
  EXPECT_EQ(settings.ReadText("S", "Missing", pose, 6), "\x83\x7C\x81\x5B");
  EXPECT_EQ(settings.ReadText("S", "Missing", "default", 4), "def");
}

TEST_F(SettingsTest, WriteFailsWhereNoFileCanBeWritten) {
  Settings inMissingFolder(temp_.Path("no/such/KZMotion.ini"));
  EXPECT_FALSE(inMissingFolder.WriteText("S", "K", "v"));
  EXPECT_FALSE(fs::exists(temp_.Path("no")));

  fs::create_directory(temp_.Path("taken"));
  temp_.Write("taken/inside", "x");
  Settings onFolder(temp_.Path("taken"));
  EXPECT_FALSE(onFolder.WriteText("S", "K", "v"));
  EXPECT_TRUE(fs::is_directory(temp_.Path("taken")));
  EXPECT_EQ(temp_.Read("taken/inside"), "x");
  EXPECT_EQ(Entries(temp_), std::set<std::string>{"taken"});
}

// Lowers the largest file size this process may write, as a full disk would,
// and ignores the signal that going past it raises.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    active_ = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, savedHandler_);
  }
  bool active() const { return active_; }

 private:
  rlimit saved_{};
  void (*savedHandler_)(int) = SIG_DFL;
  bool active_ = false;
};

TEST_F(SettingsTest, FailedWriteLeavesTheFileAsItWas) {
  const std::string before = "; mine\n[S]\nK=1\n";
  Settings settings = With(before);
  {
    FileSizeLimit limit(before.size() + 4);
    ASSERT_TRUE(limit.active());
    EXPECT_FALSE(settings.WriteText("S", "K", std::string(200, 'x')));
  }
  EXPECT_EQ(temp_.Read("KZMotion.ini"), before);
  EXPECT_EQ(Entries(temp_), std::set<std::string>{"KZMotion.ini"});
}

TEST_F(SettingsTest, RefusesWritesThatWouldAddLines) {
  const std::string before = "[S]\r\nK=1\r\n";
  Settings settings = With(before);
  EXPECT_FALSE(settings.WriteText("S", "K", "2\n[Evil]\nX=1"));
  EXPECT_FALSE(settings.WriteText("S", "K", "2\rX=1"));
  EXPECT_FALSE(settings.WriteText("S", "K\r\nX", "1"));
  EXPECT_FALSE(settings.WriteText("S]\n[T", "K", "1"));
  EXPECT_FALSE(settings.WriteText("S", "X=1", "1"));
  EXPECT_EQ(temp_.Read("KZMotion.ini"), before);

  Settings fresh(temp_.Path("new.ini"));
  EXPECT_FALSE(fresh.WriteText("S", "K", "a\nb"));
  EXPECT_FALSE(fs::exists(temp_.Path("new.ini")));
}

TEST(SettingsLocationTest, OverrideIsTakenAsGiven) {
  EXPECT_EQ(LocateSettingsFile(std::string("relative/odd name.ini")), "relative/odd name.ini");
  EXPECT_EQ(LocateSettingsFile(std::string("/no/such/folder/x.ini")), "/no/such/folder/x.ini");
}

TEST(SettingsLocationTest, ChoosesProgramFolderOnlyWhenWritable) {
  TempFolder program;
  TempFolder config;
  ASSERT_FALSE(program.path().empty());
  ASSERT_FALSE(config.path().empty());

  EXPECT_EQ(ChooseSettingsPath(program.path() + "/", true, config.path()),
            program.Path("KZMotion.ini"));
  EXPECT_TRUE(Entries(config).empty());

  EXPECT_EQ(ChooseSettingsPath(program.path() + "/", false, config.path()),
            config.Path("KZMotion/KZMotion.ini"));
  EXPECT_TRUE(fs::is_directory(config.Path("KZMotion")));
  EXPECT_EQ(ChooseSettingsPath(std::nullopt, true, config.path()),
            config.Path("KZMotion/KZMotion.ini"));

  // Missing parents of the configuration folder are created too.
  EXPECT_EQ(ChooseSettingsPath(std::nullopt, false, config.Path("deep/er")),
            config.Path("deep/er/KZMotion/KZMotion.ini"));
  EXPECT_TRUE(fs::is_directory(config.Path("deep/er/KZMotion")));

  EXPECT_EQ(ChooseSettingsPath(program.path() + "/", false, std::nullopt), std::nullopt);
  program.Write("KZMotion", "a file where the folder should go");
  EXPECT_EQ(ChooseSettingsPath(std::nullopt, false, program.path()), std::nullopt);
}

TEST(SettingsLocationTest, WithoutOverrideUsesProgramFolderOrXdgConfigHome) {
  TempFolder config;
  ASSERT_FALSE(config.path().empty());
  const ScopedEnv xdg("XDG_CONFIG_HOME", config.path());
  const auto located = LocateSettingsFile(std::nullopt);
  ASSERT_TRUE(located.has_value());
  // The test program's own folder is usually writable; which branch runs
  // depends on where the build lives.
  const auto programFolder = ProgramFolder();
  ASSERT_TRUE(programFolder.has_value());
  if (::access(programFolder->c_str(), W_OK | X_OK) == 0) {
    EXPECT_EQ(*located, *programFolder + "KZMotion.ini");
    EXPECT_TRUE(Entries(config).empty());
  } else {
    EXPECT_EQ(*located, config.Path("KZMotion/KZMotion.ini"));
    EXPECT_TRUE(fs::is_directory(config.Path("KZMotion")));
  }
}

}  // namespace
}  // namespace kz
