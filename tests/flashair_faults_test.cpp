// The FlashAir link against cards that misbehave: silent, slow, endless,
// cut short, redirecting, answering with the wrong status; and against
// addresses that are no card's.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "fakes/loopback_server.h"
#include "fakes/scoped_env.h"
#include "fakes/scripted_ui.h"
#include "fakes/temp_folder.h"
#include "kzcard/card_server.h"
#include "link/card_host.h"
#include "link/flashair.h"
#include "platform/http_client.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::string KindText(int kind, int status = 0) {
  return *Utf8ToCp932(FormatMessage(kind, {std::to_string(status)}));
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Sends `bytes` one at a time, `gap` apart, until told to stop.
CannedCard::Writer Trickle(std::string bytes, std::chrono::milliseconds gap) {
  return [bytes, gap](int client, const CannedCard::Request&, const std::atomic<bool>& stopping) {
    for (char c : bytes) {
      if (stopping || ::send(client, &c, 1, MSG_NOSIGNAL) != 1) return;
      std::this_thread::sleep_for(gap);
    }
  };
}

TEST(HttpLimitsTest, ACardThatAnswersTooSlowlyIsGivenUpOnAtTheOverallLimit) {
  // One byte every 200 ms never trips the stall limit; only the overall one ends it.
  CannedCard slow(
      Trickle(CannedCard::Reply(200, std::string(1000, 'x')), std::chrono::milliseconds(200)));
  std::string body;
  const auto start = Clock::now();
  const HttpResult result =
      HttpGet("http://" + slow.host() + "/STARTUP.XML", body, 24000, HttpLimits{5, 10, 2});
  EXPECT_LT(SecondsSince(start), 8.0);
  EXPECT_FALSE(result.answered);
  EXPECT_EQ(result.failure, HttpFailure::kTimedOut);
}

TEST(HttpLimitsTest, AnEndlessAnswerToAnUploadIsCutAndFails) {
  CannedCard endless(
      [](int client, const CannedCard::Request& request, const std::atomic<bool>& stopping) {
        std::string head = request.method == "GET" ? CannedCard::Reply(200, "SUCCESS")
                                                   : "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
        ::send(client, head.data(), head.size(), MSG_NOSIGNAL);
        if (request.method == "GET") return;
        const std::string chunk(4096, ' ');
        while (!stopping && ::send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0) {
        }
      });
  ScriptedUi ui;
  const auto start = Clock::now();
  EXPECT_FALSE(FlashAirUpload(FlashAirCard{endless.host(), ui}, "SERVO.LOG", "x", true));
  EXPECT_LT(SecondsSince(start), 5.0) << "the answer is read only as far as a card's word goes";
  EXPECT_EQ(ui.shownIds(), std::vector<int>{kMsgFlashAirFailed});
}

TEST(HttpLimitsTest, AbortEndsARequestToASilentCardAtOnceAndRefusesTheNext) {
  LoopbackPort silent(true);
  std::thread stopper([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    AbortHttpRequests();
  });
  std::string body;
  const auto start = Clock::now();
  const HttpResult result = HttpGet("http://" + silent.host() + "/", body, 100);
  stopper.join();
  EXPECT_LT(SecondsSince(start), 1.5);
  EXPECT_EQ(result.failure, HttpFailure::kAborted);
  EXPECT_EQ(HttpGet("http://" + silent.host() + "/", body, 100).failure, HttpFailure::kAborted);
  ResumeHttpRequests();

  ScriptedUi ui;
  CannedCard card([](const CannedCard::Request&) { return CannedCard::Reply(200, "SUCCESS"); });
  EXPECT_TRUE(
      FlashAirGet(FlashAirCard{card.host(), ui}, "command.cgi?op=100&DIR=/", body, 16, true));
}

TEST(FlashAirStatusTest, OnlyStatus200IsAnAnswerAndRedirectsAreNotFollowed) {
  // Where a redirect points: it must see nothing.
  CannedCard elsewhere([](const CannedCard::Request&) { return CannedCard::Reply(200, "x"); });
  const std::string location = "Location: http://" + elsewhere.host() + "/STARTUP.XML\r\n";
  struct Case {
    int status;
    std::string headers;
    CardFile file;
  };
  const Case cases[] = {
      {200, "", CardFile::kRead},         {404, "", CardFile::kMissing},
      {204, "", CardFile::kFailed},       {301, location, CardFile::kFailed},
      {302, location, CardFile::kFailed}, {500, "", CardFile::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    CannedCard card([&](const CannedCard::Request&) {
      return CannedCard::Reply(c.status, c.status == 204 ? "" : "0123456789", c.headers);
    });
    ScriptedUi ui;
    std::string data = "stale";
    EXPECT_EQ(FlashAirFetch(FlashAirCard{card.host(), ui}, "STARTUP.XML", data, 24000), c.file);
    EXPECT_EQ(data, c.file == CardFile::kRead ? "0123456789" : "");
    if (c.file == CardFile::kFailed) {
      ASSERT_EQ(ui.shownIds(), std::vector<int>{kMsgFlashAirFailed});
      EXPECT_EQ(ui.shown[0].args, std::vector<std::string>{KindText(kMsgHttpStatus, c.status)});
      EXPECT_EQ(ui.shown[0].details, "HTTP " + std::to_string(c.status));
    } else {
      EXPECT_TRUE(ui.shown.empty()) << "a missing file is the caller's to report";
    }
    // The same rule for a listing.
    ui.shown.clear();
    EXPECT_EQ(
        FlashAirGet(FlashAirCard{card.host(), ui}, "command.cgi?op=100&DIR=/", data, 4096, false),
        c.status == 200);
  }
  EXPECT_TRUE(elsewhere.requests().empty());
}

TEST(FlashAirStatusTest, ADownloadThatEndsEarlyIsAFailureAndItsBytesAreDropped) {
  // 128 bytes announced, 100 sent, then the connection closes.
  CannedCard cut([](const CannedCard::Request&) {
    return "HTTP/1.1 200 OK\r\nContent-Length: 128\r\nConnection: close\r\n\r\n" +
           std::string(100, '\2');
  });
  ScriptedUi ui;
  std::string data;
  EXPECT_EQ(FlashAirFetch(FlashAirCard{cut.host(), ui}, "ADDON/CAPTURE.LOG", data, 129),
            CardFile::kFailed);
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(FlashAirDownload(FlashAirCard{cut.host(), ui}, "ADDON/CAPTURE.LOG", data, 128), 0u);
  ASSERT_EQ(ui.shownIds(), std::vector<int>(2, kMsgFlashAirFailed));
  EXPECT_EQ(ui.shown[0].args, std::vector<std::string>{KindText(kMsgHttpCutShort)});
  EXPECT_FALSE(ui.shown[0].details.empty());
}

TEST(CardHostTest, AHostNameOrAnAddressWithAnOptionalPortAndNothingElse) {
  const struct {
    const char* host;
    bool valid;
  } cases[] = {
      {"flashair", true},
      {"card-1.local", true},
      {"127.0.0.1:8080", true},
      {"192.168.0.1", true},
      {"flashair:1", true},
      {"flashair:65535", true},
      {"[::1]:8080", true},
      {"[fe80::1]", true},
      {"", false},
      {"flashair:", false},
      {"flashair:0", false},
      {"flashair:65536", false},
      {"flashair:80a", false},
      {"flashair/ADDON", false},
      {"flashair?x=1", false},
      {"flashair#top", false},
      {"user@flashair", false},
      {"user:pass@flashair", false},
      {"flash air", false},
      {" flashair", false},
      {"http://flashair", false},
      {"-card", false},
      {"card..local", false},
      {"300.1.1.1", false},
      {"1.2.3", false},
      {"[::1", false},
      {"[nohost]", false},
      {"::1", false},
      {"flashair\r\nHost: x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsCardHost(c.host), c.valid) << "\"" << c.host << "\"";
}

TEST(CardHostTest, AnAddressThatIsNoHostIsRefusedBeforeAnyRequest) {
  CannedCard card([](const CannedCard::Request&) { return CannedCard::Reply(200, "SUCCESS"); });
  for (const std::string suffix : {"/ADDON", "?DIR=/", "#x", " "}) {
    ScriptedUi ui;
    const FlashAirCard bad{card.host() + suffix, ui};
    std::string data;
    EXPECT_FALSE(FlashAirUpload(bad, "SERVO.LOG", "x", true));
    EXPECT_FALSE(FlashAirGet(bad, "command.cgi?op=100&DIR=/", data, 4096, true));
    EXPECT_EQ(FlashAirFetch(bad, "STARTUP.XML", data, 100), CardFile::kFailed);
    EXPECT_EQ(ui.shownIds(), std::vector<int>(3, kMsgFlashAirHostInvalid));
    EXPECT_EQ(ui.shown[0].args, std::vector<std::string>{bad.host});
    ui.shown.clear();
    EXPECT_FALSE(FlashAirUpload(bad, "SERVO.LOG", "x", false));
    EXPECT_TRUE(ui.shown.empty()) << "quiet when asked to be";
  }
  ScriptedUi ui;
  EXPECT_FALSE(FlashAirUpload(FlashAirCard{"user@" + card.host(), ui}, "SERVO.LOG", "x", true));
  EXPECT_TRUE(card.requests().empty());
}

TEST(FlashAirPrivacyTest, NoProxyOfTheEnvironmentAndNoCredentialsReachTheCard) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path("ADDON"));
  std::mutex mutex;
  std::vector<card::CardRequest> seen;
  card::CardServer server(folder.path(), [&](const card::CardRequest& request) {
    std::lock_guard lock(mutex);
    seen.push_back(request);
  });
  const int port = server.Start();
  ASSERT_NE(port, 0);
  CannedCard proxy([](const CannedCard::Request&) { return CannedCard::Reply(200, "SUCCESS"); });
  const std::string proxyUrl = "http://" + proxy.host();
  folder.Write(".netrc", "machine 127.0.0.1 login robot password secret\n");
  ScopedEnv home("HOME", folder.path());
  ScopedEnv httpProxy("http_proxy", proxyUrl);
  ScopedEnv allProxy("ALL_PROXY", proxyUrl);
  ScopedEnv noProxy("NO_PROXY", "");
  ScopedEnv lowerNoProxy("no_proxy", "");

  ScriptedUi ui;
  ASSERT_TRUE(FlashAirUpload(FlashAirCard{"127.0.0.1:" + std::to_string(port), ui}, "SERVO.LOG",
                             std::string(128, '\0'), true));
  EXPECT_TRUE(proxy.requests().empty());
  EXPECT_EQ(folder.Read("ADDON/SERVO.LOG"), std::string(128, '\0'));
  std::lock_guard lock(mutex);
  ASSERT_EQ(seen.size(), 2u);
  for (const auto& request : seen) EXPECT_FALSE(request.HasHeader("Authorization"));
}

}  // namespace
}  // namespace kz::testing
