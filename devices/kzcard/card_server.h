#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kz::card {

// One request as the card received it, and what the card did with it.
struct CardRequest {
  std::string method;
  std::string target;  // path and query, as sent
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;  // raw bytes
  int status = 0;
  std::string note;  // what the card did, such as the file an upload stored

  // The first header of that name (case ignored); empty when there is none.
  std::string Header(std::string_view name) const;
  bool HasHeader(std::string_view name) const;
};

// A FlashAir-compatible card on loopback: `root` is the card's root folder.
// It answers the upload ("upload.cgi"), the listing ("command.cgi?op=100")
// and plain downloads of card files.
class CardServer {
 public:
  // Called from the server's threads for every request, before the answer is
  // sent: a client holding an answer finds its request already reported.
  using RequestObserver = std::function<void(const CardRequest&)>;

  explicit CardServer(std::filesystem::path root, RequestObserver observer = {});
  ~CardServer();
  CardServer(const CardServer&) = delete;
  CardServer& operator=(const CardServer&) = delete;

  // Listens on 127.0.0.1:`port` (0: any free port) in a thread of its own.
  // Returns the port, or 0 when it cannot listen.
  int Start(int port = 0);
  // Stops listening and waits for the requests under way.
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kz::card
