#include "kzcard/card_server.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "kzcard/card_files.h"

namespace kz::card {
namespace {

// Where the Content-Type of a POST waits while httplib reads the body.
constexpr const char* kHeldContentType = "X-Kzcard-Content-Type";
constexpr std::size_t kMaxUploadBytes = 64 * 1024 * 1024;

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

}  // namespace

std::string CardRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : headers)
    if (SameName(key, name)) return value;
  return {};
}

bool CardRequest::HasHeader(std::string_view name) const {
  return std::any_of(headers.begin(), headers.end(),
                     [&](const auto& header) { return SameName(header.first, name); });
}

struct CardServer::Impl {
  std::filesystem::path root;
  RequestObserver observer;
  httplib::Server server;
  std::thread thread;
  std::atomic<bool> finished{false};
  int port = 0;

  std::mutex mutex;
  std::string uploadFolder = "/";  // set by the upload-preparing GET, as on the card

  void Answer(const httplib::Request& request, httplib::Response& response, int status,
              const std::string& body, const char* type, std::string note = {}) {
    response.status = status;
    response.set_content(body, type);
    if (!observer) return;
    CardRequest seen{request.method, request.target, {}, request.body, status, std::move(note)};
    for (const auto& [key, value] : request.headers)
      seen.headers.emplace_back(SameName(key, kHeldContentType) ? "Content-Type" : key, value);
    observer(seen);
  }

  void PrepareUpload(const httplib::Request& request, httplib::Response& response) {
    if (request.has_param("UPDIR")) {
      const std::string folder = request.get_param_value("UPDIR");
      if (!ResolveCardPath(root, folder))
        return Answer(request, response, 200, "ERROR", "text/plain");
      std::lock_guard lock(mutex);
      uploadFolder = folder;
    }
    Answer(request, response, 200, "SUCCESS", "text/plain");
  }

  void Upload(const httplib::Request& request, httplib::Response& response) {
    std::string folderName;
    {
      std::lock_guard lock(mutex);
      folderName = uploadFolder;
    }
    const auto file = ParseUpload(request.get_header_value(kHeldContentType), request.body);
    const auto folder = ResolveCardPath(root, folderName);
    std::error_code error;
    if (!file || !IsCardFileName(file->name) || !folder ||
        !std::filesystem::is_directory(*folder, error) ||
        !StoreFile(*folder / file->name, file->data)) {
      return Answer(request, response, 200, "ERROR", "text/plain",
                    file ? "not stored: " + file->name : "no file in the body");
    }
    std::string stored = folderName;
    if (stored.empty() || stored.back() != '/') stored += '/';
    Answer(request, response, 200, "SUCCESS", "text/plain",
           "stored " + stored + file->name + ", " + std::to_string(file->data.size()) + " bytes");
  }

  void Command(const httplib::Request& request, httplib::Response& response) {
    if (request.get_param_value("op") != "100")
      return Answer(request, response, 400, "unsupported op\n", "text/plain");
    const std::string dir = request.has_param("DIR") ? request.get_param_value("DIR") : "/";
    const auto listing = ListFolder(root, dir);
    if (!listing) return Answer(request, response, 404, "404 Not Found\n", "text/plain");
    Answer(request, response, 200, *listing, "text/plain");
  }

  void Download(const httplib::Request& request, httplib::Response& response) {
    const auto path = ResolveCardPath(root, request.path);
    std::error_code error;
    if (!path || !std::filesystem::is_regular_file(*path, error))
      return Answer(request, response, 404, "404 Not Found\n", "text/plain");
    Answer(request, response, 200, ReadFile(*path), "application/octet-stream");
  }

  void Route() {
    // httplib parses multipart bodies itself and refuses the editor's, which
    // repeats the delimiter line where a blank line belongs. Holding the type
    // back before the body is read hands the raw body to the card's own parser.
    server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
      if (request.method == "POST" && request.has_header("Content-Type")) {
        // The server's own request object, passed on as const only.
        auto& held = const_cast<httplib::Request&>(request);
        const std::string type = request.get_header_value("Content-Type");
        held.headers.erase("Content-Type");
        held.headers.emplace(kHeldContentType, type);
      }
      return httplib::Server::HandlerResponse::Unhandled;
    });
    server.set_payload_max_length(kMaxUploadBytes);
    server.Get("/upload.cgi", [this](const auto& rq, auto& rs) { PrepareUpload(rq, rs); });
    server.Post("/upload.cgi", [this](const auto& rq, auto& rs) { Upload(rq, rs); });
    server.Get("/command.cgi", [this](const auto& rq, auto& rs) { Command(rq, rs); });
    server.Get("/.*", [this](const auto& rq, auto& rs) { Download(rq, rs); });
    server.Post("/.*", [this](const auto& rq, auto& rs) {
      Answer(rq, rs, 404, "404 Not Found\n", "text/plain");
    });
  }
};

CardServer::CardServer(std::filesystem::path root, RequestObserver observer)
    : impl_(std::make_unique<Impl>()) {
  impl_->root = std::move(root);
  impl_->observer = std::move(observer);
  impl_->Route();
}

CardServer::~CardServer() { Stop(); }

int CardServer::Start(int port) {
  Impl& card = *impl_;
  if (card.thread.joinable()) return card.port;
  const char* host = "127.0.0.1";
  card.port = port == 0 ? card.server.bind_to_any_port(host)
                        : (card.server.bind_to_port(host, port) ? port : 0);
  if (card.port <= 0) return card.port = 0;
  card.finished = false;
  card.thread = std::thread([&card] {
    card.server.listen_after_bind();
    card.finished = true;
  });
  // A stop before the loop runs would be lost; wait until it does.
  while (!card.server.is_running() && !card.finished)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (card.finished) {
    card.thread.join();
    return card.port = 0;
  }
  return card.port;
}

void CardServer::Stop() {
  Impl& card = *impl_;
  if (!card.thread.joinable()) return;
  card.server.stop();
  card.thread.join();
  card.port = 0;
}

}  // namespace kz::card
