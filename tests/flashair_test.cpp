#include "link/flashair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "fakes/loopback_server.h"
#include "fakes/scripted_ui.h"
#include "fakes/temp_folder.h"
#include "kzcard/card_server.h"
#include "platform/http_client.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz {
namespace {

using card::CardRequest;
using card::CardServer;
using testing::CannedCard;
using testing::LoopbackPort;
using testing::ScriptedUi;
using testing::TempFolder;

// The 24 equals signs of the boundary, spelled out here on purpose.
constexpr std::string_view kDelimiter = "--========================";

// The upload body of the card's protocol, row by row.
std::string ExpectedBody(std::string_view name, std::string_view data) {
  std::string body;
  body += std::string(kDelimiter) + "\r\n";
  body += "Content-Disposition: form-data; name=\"upload.cgi\";filename=\"" + std::string(name) +
          "\"\r\n";
  body += std::string(kDelimiter) + "\r\n";
  body += "\r\n";
  body += data;
  body += "\r\n" + std::string(kDelimiter) + "--\r\n";
  return body;
}

// The Japanese kind of failure that message 166 carries, as system text.
std::string KindText(int kind, int status = 0) {
  return *Utf8ToCp932(FormatMessage(kind, {std::to_string(status)}));
}

// kzcard's server on loopback, with a folder ADDON at the card's root, and
// the requests it has received.
class FlashAirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(folder.Path("ADDON"));
    port = server.Start();
    ASSERT_NE(port, 0);
  }

  FlashAirCard Card() { return FlashAirCard{"127.0.0.1:" + std::to_string(port), ui}; }

  std::vector<CardRequest> Requests() {
    std::lock_guard lock(mutex);
    return requests;
  }

  TempFolder folder;
  ScriptedUi ui;
  std::mutex mutex;
  std::vector<CardRequest> requests;
  CardServer server{folder.path(), [this](const CardRequest& request) {
                      std::lock_guard lock(mutex);
                      requests.push_back(request);
                    }};
  int port = 0;
};

TEST_F(FlashAirTest, UploadPreparesTheFolderThenPostsTheBodyByteForByte) {
  const std::string data =
      "KZ\x01\x02"
      "remote-rec16";
  ASSERT_EQ(data.size(), 16u);
  const std::string expected = ExpectedBody("REMOTE.LOG", data);
  ASSERT_EQ(expected.size(), 179u);
  EXPECT_EQ(UploadBody("REMOTE.LOG", data), expected);

  ASSERT_TRUE(FlashAirUpload(Card(), "REMOTE.LOG", data, true));

  const auto seen = Requests();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].method, "GET");
  EXPECT_EQ(seen[0].target, "/upload.cgi?WRITEPROTECT=OFF&UPDIR=/ADDON");
  EXPECT_EQ(seen[1].method, "POST");
  EXPECT_EQ(seen[1].target, "/upload.cgi");
  EXPECT_EQ(seen[1].Header("Content-Type"),
            "multipart/form-data;boundary=" + std::string(kDelimiter.substr(2)));
  EXPECT_EQ(seen[1].Header("Content-Length"), "179");
  EXPECT_EQ(seen[1].body, expected);
  EXPECT_EQ(folder.Read("ADDON/REMOTE.LOG"), data);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(FlashAirTest, BinaryDataArrivesUnchangedWithoutAnInterimContinue) {
  // Zero bytes, CR LF pairs and every byte value; over a megabyte, where
  // the HTTP client would ask for "100 Continue" unless told not to.
  std::string data("\0\r\n\r\n\0", 6);
  for (int i = 0; i < 1100 * 1024; ++i) data += static_cast<char>(i % 256);

  ASSERT_TRUE(FlashAirUpload(Card(), "TEMP.BIN", data, true));

  EXPECT_TRUE(folder.Read("ADDON/TEMP.BIN") == data);
  const auto seen = Requests();
  ASSERT_EQ(seen.size(), 2u);
  // The card keeps only the start of a body for its log; the rest went to disk.
  const std::string body = ExpectedBody("TEMP.BIN", data);
  EXPECT_TRUE(seen[1].body == body.substr(0, 64 * 1024));
  EXPECT_FALSE(seen[1].HasHeader("Expect"));
}

TEST(FlashAirPreparingAnswer, OnlySuccessAtTheStartLetsTheUploadGoAhead) {
  struct Case {
    std::string answer;
    bool uploads;
  };
  const Case cases[] = {
      {"SUCCESS", true}, {"SUCCESS and more", true}, {"SUCCES", false},
      {"", false},       {"success", false},         {std::string("SUCC\0SS", 7), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("answer \"" + c.answer + "\"");
    CannedCard card([&](const CannedCard::Request& request) {
      return CannedCard::Reply(200, request.method == "GET" ? c.answer : "SUCCESS");
    });
    ScriptedUi ui;
    EXPECT_EQ(FlashAirUpload(FlashAirCard{card.host(), ui}, "SERVO.LOG", "x", true), c.uploads);
    EXPECT_EQ(card.requests().size(), c.uploads ? 2u : 1u);
    EXPECT_TRUE(ui.shown.empty()) << "a refusal is the caller's to report";
  }
}

TEST(FlashAirPostAnswer, OnlyStatus200WithTheSuccessWordIsAnUpload) {
  struct Case {
    int status;
    std::string body;
    bool uploaded;
    int kind;             // the message inside message 166
    std::string details;  // what the box's details say
  };
  const Case cases[] = {
      {200, "SUCCESS", true, 0, ""},
      {200, "  SUCCESS\r\n", true, 0, ""},  // blanks and line ends aside
      {200, "", false, kMsgCardRefusedUpload, "answer \"\""},
      {200, "SUCCESSFUL", false, kMsgCardRefusedUpload, "answer \"SUCCESSFUL\""},
      {200, "success", false, kMsgCardRefusedUpload, "answer \"success\""},
      {200, "ERROR", false, kMsgCardRefusedUpload, "answer \"ERROR\""},
      {200, "SUCCESS" + std::string(300, ' '), false, kMsgCardRefusedUpload, ""},  // too long
      {201, "SUCCESS", false, kMsgHttpStatus, "HTTP 201"},
      {302, "SUCCESS", false, kMsgHttpStatus, "HTTP 302"},
      {500, "SUCCESS", false, kMsgHttpStatus, "HTTP 500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.status) + " \"" + c.body + "\"");
    CannedCard card([&](const CannedCard::Request& request) {
      return request.method == "GET" ? CannedCard::Reply(200, "SUCCESS")
                                     : CannedCard::Reply(c.status, c.body);
    });
    ScriptedUi ui;
    EXPECT_EQ(FlashAirUpload(FlashAirCard{card.host(), ui}, "SERVO.LOG", "x", false), c.uploaded);
    if (c.uploaded) {
      EXPECT_TRUE(ui.shown.empty());
    } else {
      ASSERT_EQ(ui.shownIds(), std::vector<int>{kMsgFlashAirFailed})
          << "shown even with the upload's errors off: the POST always reports";
      EXPECT_EQ(ui.shown[0].kind, BoxKind::kOk);
      EXPECT_EQ(ui.shown[0].args, std::vector<std::string>{KindText(c.kind, c.status)});
      if (!c.details.empty()) {
        EXPECT_EQ(ui.shown[0].details, c.details);
      }
    }
  }
}

TEST_F(FlashAirTest, GetIsCutAtItsCapacityAndErrorAnswersFail) {
  std::string big;
  for (int i = 0; i < 4 * 1024 * 1024; ++i) big += static_cast<char>('A' + i % 26);
  folder.Write("STARTUP.XML", big);

  std::string body;
  ASSERT_TRUE(FlashAirGet(Card(), "STARTUP.XML", body, 4096, true));
  EXPECT_EQ(body, big.substr(0, 4096)) << "filled to the capacity, the rest not read";

  ASSERT_TRUE(FlashAirGet(Card(), "command.cgi?op=100&DIR=/", body, 4096, true));
  EXPECT_EQ(body.rfind("WLANSD_FILELIST\r\n", 0), 0u);

  // An error page is not a listing: the card check must see the folder missing.
  EXPECT_FALSE(FlashAirGet(Card(), "command.cgi?op=100&DIR=/NOFOLDER", body, 4096, false));
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_FALSE(FlashAirGet(Card(), "command.cgi?op=100&DIR=/NOFOLDER", body, 4096, true));
  ASSERT_EQ(ui.shownIds(), std::vector<int>{kMsgFlashAirFailed});
  EXPECT_EQ(ui.shown[0].args, std::vector<std::string>{KindText(kMsgHttpStatus, 404)});
  EXPECT_EQ(ui.shown[0].details, "HTTP 404") << "the English words go into the details";
}

TEST_F(FlashAirTest, DownloadCountsOnlyTheFilesBytes) {
  folder.Write("ADDON/CAPTURE.LOG", std::string(128, '\x02'));
  folder.Write("ADDON/SHORT.LOG", std::string(100, '\0'));
  folder.Write("STARTUP.XML", std::string(30000, 'x'));
  struct Case {
    std::string path;
    std::size_t capacity;
    std::size_t count;
  };
  const Case cases[] = {
      {"ADDON/CAPTURE.LOG", 128, 128},
      {"ADDON/SHORT.LOG", 128, 100},  // short file: a short count, silently
      {"STARTUP.XML", 24000, 24000},  // longer than the buffer: cut
      {"ADDON/MISSING.LOG", 128, 0},  // the 404 page is no part of any file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string data = "stale";
    EXPECT_EQ(FlashAirDownload(Card(), c.path, data, c.capacity), c.count);
    EXPECT_EQ(data.size(), c.count);
  }
  EXPECT_EQ(FlashAirCard(Card()).host, "127.0.0.1:" + std::to_string(port));
  EXPECT_TRUE(ui.shown.empty()) << "a missing file is the caller's to report";
}

TEST(FlashAirUnreachable, EveryOperationFailsAndOnlyTheAskedOnesSpeak) {
  LoopbackPort closed(false);
  ScriptedUi ui;
  const FlashAirCard card{closed.host(), ui};
  std::string data;

  EXPECT_FALSE(FlashAirUpload(card, "SERVO.LOG", std::string(128, '\0'), false));
  EXPECT_FALSE(FlashAirGet(card, "command.cgi?op=100&DIR=/", data, 4096, false));
  EXPECT_TRUE(ui.shown.empty()) << "with errors off nothing comes from the GET";

  EXPECT_FALSE(FlashAirUpload(card, "SERVO.LOG", "x", true));
  EXPECT_FALSE(FlashAirPost(card, "SERVO.LOG", "x"));
  EXPECT_EQ(FlashAirDownload(card, "ADDON/CAPTURE.LOG", data, 128), 0u);
  ASSERT_EQ(ui.shownIds(), std::vector<int>(3, kMsgFlashAirFailed));
  for (const auto& shown : ui.shown) {
    EXPECT_EQ(shown.args, std::vector<std::string>{KindText(kMsgHttpCannotConnect)});
    const std::string& text = shown.details;
    EXPECT_FALSE(text.empty());
    EXPECT_LE(text.size(), 259u);
    EXPECT_GE(static_cast<unsigned char>(text.back()), 0x20) << "no line end left over";
  }
}

TEST(HttpClient, ACardThatStopsAnsweringEndsTheRequest) {
  LoopbackPort silent(true);  // the connection opens, no answer ever comes
  std::string body;
  const HttpResult result =
      HttpGet("http://" + silent.host() + "/STARTUP.XML", body, 100, HttpLimits{5, 1});
  EXPECT_FALSE(result.answered);
  EXPECT_FALSE(result.error.empty());
}

}  // namespace
}  // namespace kz
