#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "fakes/temp_folder.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace kz {
namespace {

using testing::TempFolder;

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
