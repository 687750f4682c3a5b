#include "fakes/loopback_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kz::testing {

LoopbackPort::LoopbackPort(bool listening) {
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), size), 0);
  EXPECT_EQ(::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size), 0);
  port_ = ntohs(address.sin_port);
  if (listening) {
    EXPECT_EQ(::listen(fd_, 64), 0);
  } else {
    ::close(fd_);
    fd_ = -1;
  }
}

LoopbackPort::~LoopbackPort() {
  if (fd_ >= 0) ::close(fd_);
}

CannedCard::CannedCard(Answer answer)
    : CannedCard(Writer([answer](int client, const Request& request, const std::atomic<bool>&) {
        const std::string reply = answer(request);
        ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
      })) {}

CannedCard::CannedCard(Writer writer) : LoopbackPort(true), writer_(std::move(writer)) {
  thread_ = std::thread([this] { Serve(); });
}

CannedCard::~CannedCard() {
  stopping_ = true;
  ::shutdown(fd_, SHUT_RDWR);  // wakes the accept below
  thread_.join();
}

std::vector<CannedCard::Request> CannedCard::requests() {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::string CannedCard::Reply(int status, std::string_view body, std::string_view extraHeaders) {
  return "HTTP/1.1 " + std::to_string(status) + " X\r\n" + std::string(extraHeaders) +
         "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
         std::string(body);
}

void CannedCard::Serve() {
  for (;;) {
    const int client = ::accept(fd_, nullptr, nullptr);
    if (client < 0) return;
    std::string received;
    char buffer[4096];
    std::size_t headEnd = std::string::npos;
    std::size_t length = 0;
    while (headEnd == std::string::npos || received.size() < headEnd + 4 + length) {
      const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      received.append(buffer, static_cast<std::size_t>(got));
      if (headEnd == std::string::npos &&
          (headEnd = received.find("\r\n\r\n")) != std::string::npos) {
        const std::size_t field = received.find("Content-Length: ");
        if (field < headEnd) length = std::stoul(received.substr(field + 16));
      }
    }
    if (received.empty()) {
      ::close(client);
      continue;
    }
    Request request;
    request.head = received.substr(0, headEnd);
    request.method = received.substr(0, received.find(' '));
    const std::size_t targetStart = request.method.size() + 1;
    request.target = received.substr(targetStart, received.find(' ', targetStart) - targetStart);
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    writer_(client, request, stopping_);
    ::close(client);
  }
}

}  // namespace kz::testing
