#include "tasks/dropped_files.h"

#include <gtest/gtest.h>

#include "scratch_dir.h"

namespace {

TEST(DroppedFiles, FoldersStandForTheirVideosAndFilesForThemselves) {
  ScratchDir dir;
  dir.Write("show/b.MKV", "v");
  dir.Write("show/a.mp4", "v");
  dir.Write("show/notes.txt", "t");
  dir.Write("show/part.mp4.part", "v");
  dir.Write("show/season 2/c.webm", "v");
  dir.Write("show/.thumbnails/t.mp4", "v");
  dir.Write("show/.hidden.avi", "v");
  dir.Write("show/empty/.keep", "");
  const std::string single = dir.Write("single.txt", "t");
  const std::string missing = dir.Path("gone.mp4");

  const std::vector<std::string> expected = {
      single, dir.Path("show/a.mp4"), dir.Path("show/b.MKV"), dir.Path("show/season 2/c.webm"), missing};
  EXPECT_EQ(ExpandInputPaths({single, dir.Path("show"), missing}), expected);
  EXPECT_TRUE(ExpandInputPaths({dir.Path("show/empty")}).empty());
  EXPECT_TRUE(ExpandInputPaths({}).empty());
}

}  // namespace
