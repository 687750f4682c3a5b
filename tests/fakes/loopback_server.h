#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kz::testing {

// A socket bound to a loopback port: listening (connections are taken by the
// kernel and then never answered) or closed again (nobody home).
class LoopbackPort {
 public:
  explicit LoopbackPort(bool listening);
  ~LoopbackPort();
  LoopbackPort(const LoopbackPort&) = delete;
  LoopbackPort& operator=(const LoopbackPort&) = delete;

  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

 protected:
  int fd_ = -1;
  int port_ = 0;
};

// A card whose answers the test writes out in full, status line included:
// a misbehaving card. Each connection carries one request, read whole before
// the answer goes out.
class CannedCard : public LoopbackPort {
 public:
  struct Request {
    std::string method;
    std::string target;
    std::string head;  // request line and header lines
  };
  // The bytes to answer with.
  using Answer = std::function<std::string(const Request& request)>;
  // Writes the answer itself to `client`, for answers that trickle or never
  // end; it should return once `stopping` is set or a send fails.
  using Writer =
      std::function<void(int client, const Request& request, const std::atomic<bool>& stopping)>;

  explicit CannedCard(Answer answer);
  explicit CannedCard(Writer writer);
  ~CannedCard();

  std::vector<Request> requests();

  // A whole answer with its Content-Length.
  static std::string Reply(int status, std::string_view body, std::string_view extraHeaders = {});

 private:
  void Serve();

  Writer writer_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<Request> requests_;
};

}  // namespace kz::testing
