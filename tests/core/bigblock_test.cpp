// The log's memory: large blocks from the system, small ones from new, and a
// log that grows and shrinks across the threshold keeps every record.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "log/bigblock.h"
#include "log/qso.h"

TEST(BigBlock, BlocksOnBothSidesOfTheThresholdHoldWhatIsWritten) {
  for (const std::size_t bytes : {std::size_t{1}, std::size_t{4096}, bigblock::kThreshold - 1,
                                  bigblock::kThreshold, std::size_t{5} << 20}) {
    auto* p = static_cast<unsigned char*>(bigblock::allocate(bytes));
    ASSERT_NE(p, nullptr) << bytes;
    std::memset(p, 0xA5, bytes);
    EXPECT_EQ(p[0], 0xA5);
    EXPECT_EQ(p[bytes - 1], 0xA5);
    bigblock::deallocate(p, bytes);
  }
}

TEST(BigBlock, AFullLogGrowsCopiesAndShrinksIntact) {
  LogData log;
  QsoRecord r;
  for (int i = 1; i <= kMaxQso; ++i) {
    r.CallSign = "JA" + std::to_string(i);
    r.Points = static_cast<std::int16_t>(i % 7);
    ASSERT_TRUE(log.append(r));
  }
  LogData copy = log;
  copy.resize(3);
  log.erase(1);
  EXPECT_EQ(copy.count(), 3);
  EXPECT_EQ(copy[3].CallSign.trimmed(), std::string_view("JA3"));
  EXPECT_EQ(log.count(), kMaxQso - 1);
  EXPECT_EQ(log[kMaxQso - 1].CallSign.trimmed(), std::string_view("JA32767"));
  EXPECT_EQ(log[kMaxQso - 1].QsoNo, kMaxQso);
  copy = log;
  EXPECT_EQ(copy[1].CallSign.trimmed(), std::string_view("JA2"));
}
