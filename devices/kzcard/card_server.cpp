#include "kzcard/card_server.h"

#include <httplib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "kzcard/card_files.h"
#include "kzcard/card_store.h"

namespace kz::card {
namespace {

// Where the Content-Type of a POST waits while httplib reads the body.
constexpr const char* kHeldContentType = "X-Kzcard-Content-Type";
// Far beyond any file the editor uploads; the card answers 413 past it.
constexpr std::size_t kMaxUploadBytes = 16 * 1024 * 1024;
// How much of a request body the observer is shown.
constexpr std::size_t kObservedBodyBytes = 64 * 1024;
// A client that opens a connection and says nothing gives it up this soon;
// with enough threads, a few of them cannot keep the card from answering.
constexpr time_t kReadTimeoutSeconds = 2;
constexpr time_t kKeepAliveSeconds = 1;
constexpr std::size_t kThreads = 32;
constexpr std::size_t kDownloadPiece = 64 * 1024;

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
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
              const std::string& body, const char* type, std::string note = {},
              std::string_view observedBody = {}) {
    response.status = status;
    response.set_content(body, type);
    Observe(request, status, std::move(note), observedBody);
  }

  void Observe(const httplib::Request& request, int status, std::string note = {},
               std::string_view observedBody = {}) {
    if (!observer) return;
    CardRequest seen{request.method, request.target, {}, std::string(observedBody),
                     status,         std::move(note)};
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

  // The body is read in pieces and the file's bytes go to disk as they come.
  void Upload(const httplib::Request& request, httplib::Response& response,
              const httplib::ContentReader& reader) {
    std::string folderName;
    {
      std::lock_guard lock(mutex);
      folderName = uploadFolder;
    }
    const Descriptor folder = OpenCardFolder(root, folderName);
    std::unique_ptr<CardFileWriter> writer;
    std::string name;
    std::size_t stored = 0;
    auto stream = UploadStream::For(
        request.get_header_value(kHeldContentType),
        [&](const std::string& fileName) {
          name = fileName;
          if (!folder.valid() || !IsCardFileName(fileName)) return false;
          writer = std::make_unique<CardFileWriter>(folder.get(), fileName);
          return true;
        },
        [&](std::string_view bytes) {
          stored += bytes.size();
          return writer->Write(bytes);
        });
    std::string observed;
    std::size_t received = 0;
    // Read on even once refused, so that the answer reaches the client; a
    // body far beyond the limit ends the connection instead.
    reader([&](const char* data, std::size_t length) {
      received += length;
      if (observed.size() < kObservedBodyBytes)
        observed.append(data, std::min(length, kObservedBodyBytes - observed.size()));
      if (stream && received <= kMaxUploadBytes) stream->Feed(std::string_view(data, length));
      return received <= 2 * kMaxUploadBytes;
    });
    // httplib skips a body announced beyond the limit without handing it on.
    const auto announced = request.get_header_value<std::uint64_t>("Content-Length");
    if (received > kMaxUploadBytes || announced > kMaxUploadBytes) {
      return Answer(request, response, 413, "ERROR", "text/plain",
                    "not stored: more than " + std::to_string(kMaxUploadBytes) + " bytes",
                    observed);
    }
    if (!stream || !stream->Complete() || !writer || !writer->Commit()) {
      return Answer(request, response, 200, "ERROR", "text/plain",
                    name.empty() ? "no file in the body" : "not stored: " + name, observed);
    }
    std::string where = folderName;
    if (where.empty() || where.back() != '/') where += '/';
    Answer(request, response, 200, "SUCCESS", "text/plain",
           "stored " + where + name + ", " + std::to_string(stored) + " bytes", observed);
  }

  void Command(const httplib::Request& request, httplib::Response& response) {
    if (request.get_param_value("op") != "100")
      return Answer(request, response, 400, "unsupported op\n", "text/plain");
    const std::string dir = request.has_param("DIR") ? request.get_param_value("DIR") : "/";
    const auto listing = ListFolder(root, dir);
    if (!listing) return Answer(request, response, 404, "404 Not Found\n", "text/plain");
    Answer(request, response, 200, *listing, "text/plain");
  }

  // Streamed from the open file: a large file is never held whole.
  void Download(const httplib::Request& request, httplib::Response& response) {
    auto file = std::make_shared<Descriptor>(OpenCardFile(root, request.path));
    struct stat status {};
    if (!file->valid() || ::fstat(file->get(), &status) != 0)
      return Answer(request, response, 404, "404 Not Found\n", "text/plain");
    response.set_content_provider(
        static_cast<std::size_t>(status.st_size), "application/octet-stream",
        [file](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
          std::string piece(std::min(length, kDownloadPiece), '\0');
          const ssize_t got =
              ::pread(file->get(), piece.data(), piece.size(), static_cast<off_t>(offset));
          if (got <= 0) return false;  // the file shrank meanwhile: end the answer short
          return sink.write(piece.data(), static_cast<std::size_t>(got));
        });
    response.status = 200;
    Observe(request, 200);
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
    server.set_read_timeout(kReadTimeoutSeconds, 0);
    server.set_write_timeout(kReadTimeoutSeconds, 0);
    server.set_keep_alive_timeout(kKeepAliveSeconds);
    server.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
    server.Get("/upload.cgi", [this](const auto& rq, auto& rs) { PrepareUpload(rq, rs); });
    server.Post("/upload.cgi",
                [this](const httplib::Request& rq, httplib::Response& rs,
                       const httplib::ContentReader& reader) { Upload(rq, rs, reader); });
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
