#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "fakes/bounded_run.h"
#include "fakes/temp_folder.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace kz {
namespace {

using testing::RunInChild;
using testing::TempFolder;
namespace fs = std::filesystem;

std::size_t Entries(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// What a user may name by mistake, or be handed: a FIFO nobody writes, a link
// to a device without end, and a sparse file of 4 GiB (no disk, no time).
class SpecialFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::mkfifo(folder.Path("fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", folder.Path("zero"));
    ASSERT_EQ(::truncate(folder.Write("huge", "").c_str(), off_t{4} << 30), 0);
  }
  TempFolder folder;
};

TEST_F(SpecialFilesTest, AreRefusedAsWholeFilesWithinSecondsAndInBoundedMemory) {
  for (const char* name : {"fifo", "zero", "huge"}) {
    SCOPED_TRACE(name);
    const std::string path = folder.Path(name);
    EXPECT_EQ(RunInChild([&] {
                std::string contents;
                return ReadWholeFile(path, contents);
              }),
              false);
  }
  // The start of a regular file is read however long the file is; a device
  // or FIFO is not read at all.
  for (const char* name : {"fifo", "zero"}) {
    const std::string path = folder.Path(name);
    EXPECT_EQ(RunInChild([&] {
                std::string contents;
                return ReadWholeFile(path, contents, 512);
              }),
              false)
        << name;
  }
  std::string start;
  ASSERT_TRUE(ReadWholeFile(folder.Path("huge"), start, 512));
  EXPECT_EQ(start, std::string(512, '\0'));
}

TEST_F(SpecialFilesTest, AreRefusedAsOutputsAndStayWhatTheyAre) {
  fs::create_symlink("/dev/null", folder.Path("null"));
  for (const char* name : {"fifo", "zero", "null"}) {
    const std::string path = folder.Path(name);
    EXPECT_EQ(RunInChild([&] { return WriteFileAtomically(path, "new"); }), false) << name;
  }
  EXPECT_TRUE(fs::is_fifo(folder.Path("fifo")));
  EXPECT_EQ(fs::read_symlink(folder.Path("null")), "/dev/null");
  EXPECT_EQ(fs::read_symlink(folder.Path("zero")), "/dev/zero");
  EXPECT_EQ(Entries(folder.path()), 4u) << "no temporary file is left";
}

TEST(FileIo, AWholeReadTakesFilesUpToTheLimit) {
  TempFolder folder;
  const std::string path = folder.Write("limit", "");
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kMaxWholeFileBytes)), 0);
  std::string contents;
  ASSERT_TRUE(ReadWholeFile(path, contents));
  EXPECT_EQ(contents.size(), kMaxWholeFileBytes);
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kMaxWholeFileBytes + 1)), 0);
  contents = "kept";
  EXPECT_FALSE(ReadWholeFile(path, contents));
  EXPECT_EQ(contents, "kept");
}

TEST(FileIo, AnAtomicWriteThroughALinkReplacesTheFileItNames) {
  TempFolder folder;
  fs::create_directory(folder.Path("real"));
  const std::string target = folder.Write("real/motion.KZI", "previous");
  ::chmod(target.c_str(), 0640);
  fs::create_symlink("real/motion.KZI", folder.Path("relative.KZI"));
  fs::create_symlink(folder.Path("relative.KZI"), folder.Path("chained.KZI"));
  fs::create_symlink(folder.Path("real/new.KZI"), folder.Path("dangling.KZI"));

  ASSERT_TRUE(WriteFileAtomically(folder.Path("relative.KZI"), "through a relative link"));
  EXPECT_EQ(folder.Read("real/motion.KZI"), "through a relative link");
  ASSERT_TRUE(WriteFileAtomically(folder.Path("chained.KZI"), "through two links"));
  EXPECT_EQ(folder.Read("real/motion.KZI"), "through two links");
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "the file keeps its permissions";
  ASSERT_TRUE(WriteFileAtomically(folder.Path("dangling.KZI"), "created"));
  EXPECT_EQ(folder.Read("real/new.KZI"), "created");

  for (const char* link : {"relative.KZI", "chained.KZI", "dangling.KZI"})
    EXPECT_TRUE(fs::is_symlink(folder.Path(link))) << link << " stays a link";
  EXPECT_EQ(Entries(folder.Path("real")), 2u) << "the temporary file was made beside the target";

  // Links that go round name no file.
  fs::create_symlink(folder.Path("b"), folder.Path("a"));
  fs::create_symlink(folder.Path("a"), folder.Path("b"));
  EXPECT_FALSE(WriteFileAtomically(folder.Path("a"), "x"));
  EXPECT_TRUE(fs::is_symlink(folder.Path("a")));
}

TEST(Paths, CutAtTheLastSeparator) {
  EXPECT_EQ(FolderOf("/media/card/ADDON/SERVO.LOG"), "/media/card/ADDON/");
  EXPECT_EQ(FileNameOf("/media/card/ADDON/SERVO.LOG"), "SERVO.LOG");
  EXPECT_EQ(FolderOf("KZMotion.ini"), "");
  EXPECT_EQ(FileNameOf("KZMotion.ini"), "KZMotion.ini");
  EXPECT_EQ(JoinPath("/card/", "ADDON"), "/card/ADDON");
  EXPECT_EQ(JoinPath("/card", "ADDON"), "/card/ADDON");
  EXPECT_EQ(JoinPath("", "ADDON"), "ADDON");
}

TEST(FileIo, ReadsWholeFilesOrTheirFirstBytes) {
  TempFolder folder;
  const std::string path = folder.Write("data.bin", std::string("ab\0cd", 5));
  std::string contents = "old";
  ASSERT_TRUE(ReadWholeFile(path, contents));
  EXPECT_EQ(contents, std::string("ab\0cd", 5));
  ASSERT_TRUE(ReadWholeFile(path, contents, 3));
  EXPECT_EQ(contents, std::string("ab\0", 3));
  EXPECT_FALSE(ReadWholeFile(folder.Path("missing"), contents));
  EXPECT_EQ(contents, std::string("ab\0", 3)) << "a failed read leaves the buffer alone";
}

TEST(FileIo, JapaneseNamesAreUtf8OnDisk) {
  TempFolder folder;
  const std::string name = SystemText("サーボ01.LOG");
  ASSERT_TRUE(WriteFileAtomically(folder.path() + "/" + name, "x"));
  EXPECT_EQ(folder.Read("サーボ01.LOG"), "x");
  EXPECT_TRUE(FileExists(folder.path() + "/" + name));
}

TEST(FileIo, AtomicWriteReplacesTheFileAndLeavesNoTemporary) {
  TempFolder folder;
  const std::string path = folder.Write("motion.KZI", "previous");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(path, "new contents"));
  EXPECT_EQ(folder.Read("motion.KZI"), "new contents");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "the file keeps its permissions";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(FileIo, AFailedAtomicWriteKeepsThePreviousFile) {
  TempFolder folder;
  // A folder standing where the file should go cannot be replaced by rename.
  std::filesystem::create_directory(folder.Path("target"));
  folder.Write("target/inside", "kept");
  EXPECT_FALSE(WriteFileAtomically(folder.Path("target"), "new"));
  EXPECT_EQ(folder.Read("target/inside"), "kept");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
      << "the temporary file is removed";
  EXPECT_FALSE(WriteFileAtomically(folder.Path("no-such-folder/file"), "new"));
}

TEST(FileIo, ExistenceTests) {
  TempFolder folder;
  const std::string file = folder.Write("f", "");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FolderExists(file));
  EXPECT_TRUE(FolderExists(folder.path()));
  EXPECT_FALSE(FileExists(folder.path()));
  EXPECT_TRUE(IsWritableFolder(folder.path()));
  EXPECT_FALSE(FileExists(folder.Path("missing")));
  EXPECT_FALSE(FileExists("")) << "no path is no file";
}

}  // namespace
}  // namespace kz
