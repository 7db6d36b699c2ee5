#include "app/path_elision.h"

#include <gtest/gtest.h>

namespace {

// One unit a character, so widths read as character counts.
int Characters(const std::string& text) {
  int count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

TEST(PathElision, TheFolderIsCutBeforeTheNameAndTheNameInItsMiddleLast) {
  const struct {
    const char* path;
    int width;
    const char* shown;
  } cases[] = {
      {"/home/anna/Videos/day one.mp4", 29, "/home/anna/Videos/day one.mp4"},
      {"/home/anna/Videos/day one.mp4", 20, "/hom…eos/day one.mp4"},
      {"/home/anna/Videos/day one.mp4", 14, "/…/day one.mp4"},
      {"/home/anna/Videos/day one.mp4", 13, "…/day one.mp4"},
      {"/home/anna/Videos/day one.mp4", 9, "…/day…mp4"},
      {"/home/anna/Videos/day one.mp4", 3, "…/…"},
      {"/home/anna/Videos/day one.mp4", 2, "…"},
      {"my_holiday_video_2024.mp4", 12, "my_hol…4.mp4"},
      {"/my_holiday_video_2024.mp4", 12, "/my_ho…4.mp4"},
      {"/видео/отпуск/фильм.mp4", 15, "/в…ск/фильм.mp4"},
  };
  for (const auto& c : cases) {
    const std::string shown = ElidePath(c.path, c.width, Characters);
    EXPECT_EQ(shown, c.shown) << c.path << " in " << c.width;
    EXPECT_LE(Characters(shown), c.width) << c.path;
  }
}

}  // namespace
