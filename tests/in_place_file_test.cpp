// The one in-place patcher: it writes over the file itself in the order
// asked, leaves alone what it must not or need not change, and a failed
// append takes nothing with it.
#include "platform/in_place_file.h"

#include <gmock/gmock.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "fakes/bounded_run.h"
#include "fakes/temp_folder.h"

namespace kz::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kImage = "0123456789";

// Lets writes reach only `bytes` into any file, as a full card would; a
// write past it fails instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }
  bool active() const { return active_; }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
  bool active_ = false;
};

TEST(PatchFileInPlaceTest, WritesInTheirOrderOverTheFileItself) {
  TempFolder folder;
  const std::string path = folder.Write("image.BIN", kImage);
  fs::create_hard_link(path, folder.Path("link.BIN"));
  std::string seen;
  // An append and an entry pointing at it, as a program written into an
  // image makes them.
  EXPECT_EQ(PatchFileInPlace(path, kMaxWholeFileBytes,
                             [&](std::string& contents) {
                               seen = contents;
                               return std::vector<FilePatch>{{contents.size(), "tail"}, {2, "AB"}};
                             }),
            PatchResult::kPatched);
  EXPECT_EQ(seen, kImage) << "the edit sees the whole file";
  EXPECT_EQ(folder.Read("image.BIN"), "01AB456789tail");
  EXPECT_EQ(folder.Read("link.BIN"), "01AB456789tail") << "the same file, not a new one";
}

TEST(PatchFileInPlaceTest, WhatIsNotPatchedIsLeftAsItWas) {
  TempFolder folder;
  const std::string path = folder.Write("image.BIN", kImage);
  ASSERT_EQ(::mkfifo(folder.Path("fifo").c_str(), 0600), 0);
  fs::create_directory(folder.Path("folder"));
  const struct {
    const char* what;
    std::string path;
    std::size_t maxBytes;
    PatchResult result;
    bool edited;
  } cases[] = {
      {"no file", folder.Path("missing.BIN"), kMaxWholeFileBytes, PatchResult::kNotOpened, false},
      {"a folder", folder.Path("folder"), kMaxWholeFileBytes, PatchResult::kNotOpened, false},
      {"a FIFO nobody writes", folder.Path("fifo"), kMaxWholeFileBytes, PatchResult::kNotOpened,
       false},
      {"longer than allowed", path, kImage.size() - 1, PatchResult::kNotRead, false},
      {"the edit declines", path, kImage.size(), PatchResult::kDeclined, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RunInChild([&] {
                bool edited = false;
                const PatchResult result =
                    PatchFileInPlace(c.path, c.maxBytes, [&](std::string& contents) {
                      edited = true;
                      contents = "changed, but not to be written";
                      return std::vector<FilePatch>{};
                    });
                return result == c.result && edited == c.edited;
              }),
              true);
    EXPECT_EQ(folder.Read("image.BIN"), kImage);
  }
}

TEST(PatchFileInPlaceTest, AFailedAppendIsCutOffAndTheWritesAfterItAreNotMade) {
  TempFolder folder;
  const std::string path = folder.Write("image.BIN", kImage);
  {
    const FileSizeLimit full(kImage.size() + 4);
    ASSERT_TRUE(full.active());
    EXPECT_EQ(
        PatchFileInPlace(
            path, kMaxWholeFileBytes,
            [](std::string& contents) {
              return std::vector<FilePatch>{{contents.size(), std::string(20, 'p')}, {2, "AB"}};
            }),
        PatchResult::kNotWritten);
  }
  EXPECT_EQ(folder.Read("image.BIN"), kImage);
}

}  // namespace
}  // namespace kz::testing
