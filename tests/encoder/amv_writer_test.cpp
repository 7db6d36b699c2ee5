#include "encoder/amv_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "scratch_dir.h"

namespace {

// A player shows the play time stored in the main header as seconds, minutes
// and hours (two bytes); a 75 s file must read 1 min 15 s, not 15 min 1 s.
TEST(AmvWriter, MainHeaderHoldsThePlayTimeAsSecondsMinutesHours) {
  struct Case {
    int64_t frames;
    int fps;
    std::array<uint8_t, 4> playTime;
  };
  for (const Case& c : {Case{750, 10, {15, 1, 0, 0}}, Case{3725 * 16 + 15, 16, {5, 2, 1, 0}}}) {
    ScratchDir dir;
    AmvWriter writer;
    const std::string path = dir.Path("clip.amv");
    ASSERT_FALSE(writer.Create(path, 96, 64, c.fps));
    const std::array<uint8_t, 2> picture = {0xFF, 0xD8};
    const std::array<uint8_t, 1> sound = {0};
    for (int64_t frame = 0; frame < c.frames; ++frame) ASSERT_FALSE(writer.WriteFrame(picture, sound));
    ASSERT_FALSE(writer.Finish(c.frames));
    const std::string file = dir.Read("clip.amv");
    ASSERT_GT(file.size(), 88u);
    const std::array<uint8_t, 4> stored = {uint8_t(file[84]), uint8_t(file[85]), uint8_t(file[86]), uint8_t(file[87])};
    EXPECT_EQ(stored, c.playTime) << c.frames << " frames at " << c.fps << " fps";
  }
}

}  // namespace
