// Local files: only regular files within the bound are read; anything else
// reads as missing at once (a FIFO never blocks); replacing goes through a
// temporary file and a rename, and only ever replaces a regular file.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "platform/LocalFile.h"

namespace fs = std::filesystem;

TEST(LocalFile, ReadsOnlyRegularFilesWithinTheBound) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  const std::string plain = folder + "/plain", fifo = folder + "/fifo", zero = folder + "/zero";
  std::ofstream(plain, std::ios::binary) << "12345";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", zero);
  fs::create_symlink(plain, folder + "/link");
  using Case = std::tuple<std::string, std::size_t, std::optional<std::string>>;  // path, bound, what is read
  for (const auto& [path, bound, expected] :
       {Case{plain, 5, "12345"}, {plain, 4, std::nullopt}, {folder + "/link", 5, "12345"},
        {folder + "/missing", 5, std::nullopt}, {folder, 1u << 20, std::nullopt}, {fifo, 1u << 20, std::nullopt},
        {zero, 1u << 20, std::nullopt}, {"/dev/null", 1u << 20, std::nullopt}})
    EXPECT_EQ(LocalFile::Read(path, bound), expected) << path;
  EXPECT_EQ(LocalFile::ReadBytes(dir.filePath("plain"), 5), QByteArray("12345"));
  EXPECT_TRUE(LocalFile::ReadImage(dir.filePath("zero"), LocalFile::kLogoBound).isNull());

  EXPECT_EQ(std::vector({LocalFile::IsOtherThanRegular(fifo), LocalFile::IsOtherThanRegular(plain),
                         LocalFile::IsOtherThanRegular(folder + "/missing")}),
            std::vector({true, false, false}));
  // Creating a missing file never opens what is there instead, nor empties a file.
  EXPECT_FALSE(LocalFile::EnsureRegularFile(fifo));
  EXPECT_TRUE(LocalFile::EnsureRegularFile(plain) && LocalFile::EnsureRegularFile(folder + "/new"));
  EXPECT_EQ(fs::file_size(folder + "/new"), 0u);
  EXPECT_EQ(LocalFile::Read(plain, 5), "12345");
}

TEST(LocalFile, ReplaceRenamesATemporaryOverTheFile) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("a.ini").toStdString();
  std::ofstream(path, std::ios::binary) << "old";
  fs::create_hard_link(path, path + ".second");
  ASSERT_EQ(::mkfifo((path + ".tmp").c_str(), 0600), 0);  // a stale temporary is never opened
  EXPECT_TRUE(LocalFile::Replace(path, "new"));
  EXPECT_EQ(LocalFile::Read(path, 16), "new");
  EXPECT_EQ(LocalFile::Read(path + ".second", 16), "old");  // the old file was never cut open
  EXPECT_FALSE(fs::exists(path + ".tmp"));
  EXPECT_FALSE(LocalFile::Replace(dir.filePath("no-folder/a.ini").toStdString(), "x"));

  // Anything but a regular file is left as it is: nothing is written through a link or into a FIFO.
  fs::create_symlink(path + ".missing", path + ".link");
  ASSERT_EQ(::mkfifo((path + ".fifo").c_str(), 0600), 0);
  for (const char* kind : {".link", ".fifo"})
    EXPECT_FALSE(LocalFile::ReplaceBytes(QString::fromStdString(path + kind), "bytes")) << kind;
  EXPECT_TRUE(fs::is_symlink(path + ".link") && fs::is_fifo(path + ".fifo") && !fs::exists(path + ".missing"));
}
