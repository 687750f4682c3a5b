#include "kzcard/card_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "fakes/scripted_ui.h"
#include "fakes/temp_folder.h"
#include "kzcard/card_files.h"
#include "kzcard/card_init.h"
#include "link/flashair.h"
#include "platform/http_client.h"
#include "ui/messages.h"

extern char** environ;

namespace kz::card {
namespace {

using testing::ScriptedUi;
using testing::TempFolder;

// 2024-05-17 13:45:30 local time: FAT date (44 << 9) | (5 << 5) | 17 and
// time (13 << 11) | (45 << 5) | (30 / 2).
constexpr const char* kStampDate = "22705";
constexpr const char* kStampTime = "28079";

void Stamp(const std::string& path) {
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 4;
  local.tm_mday = 17;
  local.tm_hour = 13;
  local.tm_min = 45;
  local.tm_sec = 30;
  local.tm_isdst = -1;
  const timespec when{std::mktime(&local), 0};
  const timespec times[2] = {when, when};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// A card holding ADDON/SERVO.LOG, ADDON/サーボ01.LOG and STARTUP.XML.
class CardServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(folder.Path("ADDON"));
    for (const auto& [name, size] :
         {std::pair{"ADDON/SERVO.LOG", 128}, {"ADDON/サーボ01.LOG", 128}, {"STARTUP.XML", 5}})
      Stamp(folder.Write(name, std::string(static_cast<std::size_t>(size), '\x01')));
    Stamp(folder.Path("ADDON"));
    port = server.Start();
    ASSERT_NE(port, 0);
  }

  // Status and body of a GET of `path`.
  std::pair<long, std::string> Get(const std::string& path) {
    std::string body;
    const HttpResult result =
        HttpGet("http://127.0.0.1:" + std::to_string(port) + "/" + path, body, 1 << 20);
    EXPECT_TRUE(result.answered) << result.error;
    return {result.status, body};
  }

  FlashAirCard Card() { return FlashAirCard{"127.0.0.1:" + std::to_string(port), ui}; }

  TempFolder folder;
  ScriptedUi ui;
  CardServer server{folder.path()};
  int port = 0;
};

TEST_F(CardServerTest, ListsFoldersAsTheCardWritesThem) {
  const std::string stamp = std::string(",") + kStampDate + "," + kStampTime + "\r\n";
  const std::pair<long, std::string> root{
      200, "WLANSD_FILELIST\r\n,ADDON,0,16" + stamp + ",STARTUP.XML,5,32" + stamp};
  EXPECT_EQ(Get("command.cgi?op=100&DIR=/"), root);
  EXPECT_EQ(Get("command.cgi?op=100&DIR=/ADDON"),
            (std::pair<long, std::string>{200, "WLANSD_FILELIST\r\n/ADDON,SERVO.LOG,128,32" +
                                                   stamp + "/ADDON,サーボ01.LOG,128,32" + stamp}));
  EXPECT_EQ(Get("command.cgi?op=100&DIR=/NOFOLDER").first, 404);
  EXPECT_EQ(Get("command.cgi?op=100&DIR=/STARTUP.XML").first, 404) << "a file is no folder";
}

TEST_F(CardServerTest, ServesCardFilesByTheirUtf8Names) {
  EXPECT_EQ(Get("ADDON/SERVO.LOG"), (std::pair<long, std::string>{200, std::string(128, '\x01')}));
  // The servo log import asks for サーボ01.LOG percent-encoded.
  EXPECT_EQ(Get("ADDON/%E3%82%B5%E3%83%BC%E3%83%9C01.LOG").second, std::string(128, '\x01'));
  EXPECT_EQ(Get("ADDON/MISSING.LOG").first, 404);
  EXPECT_EQ(Get("ADDON").first, 404) << "a folder is not a file";
}

TEST_F(CardServerTest, StoresUploadsInTheFolderTheGetNamed) {
  // The upload folder stays what the last preparing GET set, as on the card.
  EXPECT_EQ(Get("upload.cgi?WRITEPROTECT=OFF&UPDIR=/ADDON").second, "SUCCESS");
  EXPECT_TRUE(FlashAirPost(Card(), "CAPTURE.LOG", "one"));
  EXPECT_EQ(folder.Read("ADDON/CAPTURE.LOG"), "one");
  EXPECT_EQ(Get("upload.cgi?UPDIR=/").second, "SUCCESS");
  EXPECT_TRUE(FlashAirPost(Card(), "ROOT.LOG", "two"));
  EXPECT_EQ(folder.Read("ROOT.LOG"), "two");
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(CardServerTest, AnswersErrorWhenItCannotStoreTheFile) {
  std::filesystem::create_directory(folder.Path("ADDON/TAKEN.LOG"));
  struct Case {
    std::string updir;
    std::string name;
  };
  const Case cases[] = {
      {"/ADDON", "TAKEN.LOG"},      // a folder has that name
      {"/ADDON", "../ESCAPE.LOG"},  // names never leave the folder
      {"/ADDON", ""},
      {"/ADDON", "\x83\x54\x81\x5B.LOG"},  // not UTF-8 (Shift_JIS)
      {"/NOFOLDER", "SERVO.LOG"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.updir + " " + c.name);
    EXPECT_EQ(Get("upload.cgi?UPDIR=" + c.updir).second, "SUCCESS");
    ui.shown.clear();
    EXPECT_FALSE(FlashAirPost(Card(), c.name, "data"));
    EXPECT_EQ(ui.shownIds(), std::vector<int>{kMsgFlashAirFailed});
  }
  EXPECT_FALSE(std::filesystem::exists(folder.Path("ESCAPE.LOG")));
  EXPECT_EQ(Get("upload.cgi?UPDIR=/../outside").second, "ERROR");
}

TEST_F(CardServerTest, FollowsNoSymbolicLinkAndServesNoFifo) {
  namespace fs = std::filesystem;
  TempFolder outside;
  outside.Write("SECRET.TXT", "secret");
  fs::create_symlink(outside.Path("SECRET.TXT"), folder.Path("ADDON/LINK.LOG"));
  fs::create_symlink(outside.path(), folder.Path("LINKDIR"));
  fs::create_symlink(outside.Path("SECRET.TXT"), folder.Path("ADDON/REMOTE.LOG"));
  ASSERT_EQ(::mkfifo(folder.Path("ADDON/FIFO.LOG").c_str(), 0644), 0);

  for (const char* path : {"ADDON/LINK.LOG", "LINKDIR/SECRET.TXT", "ADDON/FIFO.LOG"})
    EXPECT_EQ(Get(path).first, 404) << path;
  EXPECT_EQ(Get("command.cgi?op=100&DIR=/LINKDIR").first, 404);
  const std::string listing = Get("command.cgi?op=100&DIR=/ADDON").second;
  EXPECT_EQ(listing.find("LINK.LOG"), std::string::npos) << listing;
  EXPECT_EQ(listing.find("FIFO.LOG"), std::string::npos) << listing;
  EXPECT_EQ(Get("command.cgi?op=100&DIR=/").second.find("LINKDIR"), std::string::npos);

  // Nothing is stored through a link: not into a linked folder, not over a link.
  EXPECT_EQ(Get("upload.cgi?UPDIR=/LINKDIR").second, "SUCCESS");
  EXPECT_FALSE(FlashAirPost(Card(), "NEW.LOG", "data"));
  EXPECT_EQ(Get("upload.cgi?UPDIR=/ADDON").second, "SUCCESS");
  EXPECT_FALSE(FlashAirPost(Card(), "REMOTE.LOG", "data"));
  EXPECT_FALSE(FlashAirPost(Card(), "FIFO.LOG", "data"));
  EXPECT_FALSE(fs::exists(outside.Path("NEW.LOG")));
  EXPECT_EQ(outside.Read("SECRET.TXT"), "secret");
  EXPECT_TRUE(fs::is_symlink(folder.Path("ADDON/REMOTE.LOG")));
  // An ordinary upload beside them still works, and leaves no temporary file.
  EXPECT_TRUE(FlashAirPost(Card(), "SERVO.LOG", "fresh"));
  EXPECT_EQ(folder.Read("ADDON/SERVO.LOG"), "fresh");
  for (const auto& entry : fs::directory_iterator(folder.Path("ADDON")))
    EXPECT_EQ(entry.path().filename().string().rfind(".kzcard", 0), std::string::npos);
}

TEST_F(CardServerTest, AnUploadBeyondTheLimitIsRefusedAndNotStored) {
  EXPECT_EQ(Get("upload.cgi?UPDIR=/ADDON").second, "SUCCESS");
  EXPECT_FALSE(FlashAirPost(Card(), "BIG.BIN", std::string(17 * 1024 * 1024, 'x')));
  ASSERT_EQ(ui.shownIds(), std::vector<int>{kMsgFlashAirFailed});
  EXPECT_EQ(ui.shown[0].details, "HTTP 413");
  EXPECT_FALSE(std::filesystem::exists(folder.Path("ADDON/BIG.BIN")));
}

TEST_F(CardServerTest, IdleConnectionsDoNotKeepItFromAnswering) {
  // Connections that say nothing, or stop in the middle of a request line.
  std::vector<int> idle;
  for (int i = 0; i < 24; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    if (i % 2 == 1) ::send(fd, "GET /ADD", 8, MSG_NOSIGNAL);
    idle.push_back(fd);
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(FlashAirUpload(Card(), "SERVO.LOG", std::string(128, '\0'), true));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 5.0) << "a generous bound: idle clients once held every thread for 5 s each";
  for (int fd : idle) ::close(fd);
}

TEST(CardFiles, TheLogEscapesControlCharacters) {
  const struct {
    std::string text;
    std::string logged;
  } cases[] = {
      {"/ADDON/SERVO.LOG", "/ADDON/SERVO.LOG"},
      {"stored a\nGET /forged 200", "stored a\\x0AGET /forged 200"},
      {"\x1b[2J", "\\x1B[2J"},
      {"a\rb\tc\x7f", "a\\x0Db\\x09c\\x7F"},
      {"back\\slash", "back\\x5Cslash"},
      {"サーボ01.LOG", "サーボ01.LOG"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeForLog(c.text), c.logged) << c.text;
}

TEST(CardFiles, InitLaysOutAFolderAndKeepsWhatIsThere) {
  TempFolder folder;
  std::string error;
  ASSERT_TRUE(InitCardFolder(folder.Path("new/card"), error)) << error;
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path("new/card/ADDON")));
  const std::string program = "new/card/main5_InitFlag確認補完無し_シーン1固定0415_test2.KM4";
  const std::string text = folder.Read(program);
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.size(), 78087u) << "not the stock program's size";
  folder.Write(program, "the user's own program");
  ASSERT_TRUE(InitCardFolder(folder.Path("new/card"), error)) << error;
  EXPECT_EQ(folder.Read(program), "the user's own program");
  folder.Write("file", "x");
  EXPECT_FALSE(InitCardFolder(folder.Path("file"), error));
  EXPECT_FALSE(error.empty());
}

TEST(CardFiles, CardPathsStayUnderTheRoot) {
  const std::filesystem::path root = "/card";
  EXPECT_EQ(ResolveCardPath(root, "ADDON/SERVO.LOG"), root / "ADDON" / "SERVO.LOG");
  EXPECT_EQ(ResolveCardPath(root, "/ADDON/"), root / "ADDON");
  EXPECT_EQ(ResolveCardPath(root, "/"), root);
  for (const char* outside : {"..", "/ADDON/../..", "./ADDON", "ADDON\\..\\x", "a\nb"})
    EXPECT_EQ(ResolveCardPath(root, outside), std::nullopt) << outside;
}

TEST(CardFiles, ReadsTheEditorsBodyAndAPlainMultipartBody) {
  const std::string editors =
      "--====\r\nContent-Disposition: form-data; name=\"upload.cgi\";filename=\"A.LOG\"\r\n"
      "--====\r\n\r\nda\r\nta\r\n--====--\r\n";
  const std::string plain =
      "--xyz\r\nContent-Disposition: form-data; name=\"file\"; filename=\"B.LOG\"\r\n"
      "Content-Type: application/octet-stream\r\n\r\nbytes\r\n--xyz--\r\n";
  struct Case {
    std::string type;
    std::string body;
    std::optional<std::pair<std::string, std::string>> file;
  };
  const Case cases[] = {
      {"multipart/form-data;boundary====", editors, std::pair{"A.LOG", "da\r\nta"}},
      {"multipart/form-data; boundary=\"xyz\"", plain, std::pair{"B.LOG", "bytes"}},
      {"multipart/form-data;boundary=other", editors, std::nullopt},
      {"text/plain", editors, std::nullopt},
      {"multipart/form-data;boundary====", editors.substr(0, editors.size() - 12), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const auto file = ParseUpload(c.type, c.body);
    ASSERT_EQ(file.has_value(), c.file.has_value());
    if (file) {
      EXPECT_EQ(std::pair(file->name, file->data), *c.file);
    }
  }
}

// Reads what the child writes until a line containing `text` has arrived.
bool ReadUntil(int fd, std::string& output, std::string_view text) {
  char buffer[512];
  while (output.find(text) == std::string::npos) {
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, 20000) <= 0) return false;  // a guard against hanging, not a timing check
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got <= 0) return false;
    output.append(buffer, static_cast<std::size_t>(got));
  }
  return output.find('\n', output.find(text)) != std::string::npos;
}

TEST(KzcardProgram, ServesAFolderUntilItIsStopped) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path("ADDON"));
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string program = KZ_CARD_PATH, root = folder.path(), option = "--port", any = "0";
  char* argv[] = {program.data(), root.data(), option.data(), any.data(), nullptr};
  pid_t child = 0;
  ASSERT_EQ(::posix_spawn(&child, KZ_CARD_PATH, &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);

  std::string output;
  const bool started = ReadUntil(out[0], output, "http://127.0.0.1:");
  if (started) {
    const std::size_t at = output.find("http://127.0.0.1:") + 17;
    const std::string host = "127.0.0.1:" + std::to_string(std::stoi(output.substr(at)));
    EXPECT_EQ(output.substr(at - 17, output.find('\n') - at + 17), "http://" + host + "/");
    ScriptedUi ui;
    EXPECT_TRUE(FlashAirUpload(FlashAirCard{host, ui}, "SERVO.LOG", std::string(128, '\0'), true));
    EXPECT_EQ(folder.Read("ADDON/SERVO.LOG"), std::string(128, '\0'));
    EXPECT_TRUE(ReadUntil(out[0], output, "POST /upload.cgi 200")) << output;
  }
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(out[0]);
  ASSERT_TRUE(started) << output;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "stops cleanly on SIGTERM";
  EXPECT_NE(output.find("GET /upload.cgi?WRITEPROTECT=OFF&UPDIR=/ADDON 200"), std::string::npos)
      << output;
}

}  // namespace
}  // namespace kz::card
