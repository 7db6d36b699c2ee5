// The time stamp mender on its own: which steps are jumps and where the
// packets land.

#include "encoder/timestamp_mender.h"

#include <gtest/gtest.h>

namespace {

struct Packet {
  int stream;
  double seconds;
  double mended;  // where it must land
  double duration = 0.04;
};

struct Case {
  const char* name;
  double forwardLimit;
  std::vector<Packet> packets;
};

TEST(TimestampMender, PlacesEveryPacketOnOneContinuousClock) {
  const Case cases[] = {
      {"steady streams stay as they are",
       5,
       {{0, 0.0, 0.0}, {1, 0.02, 0.02}, {0, 0.04, 0.04}, {1, 0.06, 0.06}, {0, 0.08, 0.08}}},
      {"a jump back shifts every stream on from where it was",
       5,
       {{0, 100.0, 100.0}, {1, 100.0, 100.0}, {0, 10.0, 100.04}, {1, 10.0, 100.04}, {0, 10.04, 100.08}}},
      {"a jump forward beyond the limit is closed",
       5,
       {{0, 1.0, 1.0}, {1, 1.0, 1.0}, {0, 91.0, 1.04}, {1, 91.0, 1.04}, {0, 91.04, 1.08}}},
      {"a gap within the limit is kept", 5, {{0, 1.0, 1.0}, {1, 1.0, 1.0}, {0, 5.0, 5.0}, {1, 5.0, 5.0}}},
      {"one damaged stamp ahead moves only its own packet",
       5,
       {{0, 1.0, 1.0}, {1, 1.0, 1.0}, {0, 9999.0, 1.04}, {1, 1.04, 1.04}, {0, 1.08, 1.08}}},
      {"one damaged stamp behind moves only its own packet",
       5,
       {{0, 3.0, 3.0}, {1, 3.0, 3.0}, {0, 0.0, 3.04}, {0, 3.08, 3.08}, {1, 3.04, 3.04}}},
      {"decoding order a little behind is no jump", 5, {{0, 2.0, 2.0}, {0, 1.5, 1.5}, {0, 2.04, 2.04}}},
      {"a lone stream may hold a still for long",
       60,
       {{0, 0.0, 0.0}, {0, 50.0, 50.0}, {0, 200.0, 50.04}, {0, 200.04, 50.08}}},
      {"a stream that starts late with the others is kept",
       5,
       {{0, 0.0, 0.0}, {0, 4.0, 4.0}, {0, 8.0, 8.0}, {1, 8.0, 8.0}, {0, 8.04, 8.04}}},
      {"a damaged duration does not carry the clock past a jump",
       5,
       {{0, 1.0, 1.0, 9999.0}, {0, 100.0, 6.0}, {0, 100.04, 6.04}}},
      {"a stream that starts far ahead of the others is pulled back",
       5,
       {{0, 0.0, 0.0}, {0, 1.0, 1.0}, {1, 5000.0, 1.04}, {0, 1.04, 1.04}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TimestampMender mender(c.forwardLimit);
    for (size_t i = 0; i < c.packets.size(); ++i) {
      const Packet& p = c.packets[i];
      EXPECT_NEAR(p.seconds + mender.Place(p.stream, p.seconds, p.duration), p.mended, 1e-9) << "packet " << i;
    }
  }
}

}  // namespace
