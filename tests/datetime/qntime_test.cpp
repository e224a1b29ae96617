#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <climits>
#include <cstdint>
#include <ctime>

namespace {

constexpr std::int64_t kUnixEpoch = 2177452800;

unsigned long utcAt(unsigned d, unsigned m, unsigned y, unsigned h, unsigned mi, unsigned s = 0) {
    return QNTime(QNDate(d, m, y), h, mi, s, QNZone::utc()).seconds();
}

struct Reading {
    int year, mon, mday, hour, min, sec, isdst;
    bool operator==(const Reading&) const = default;
};

Reading fields(const tm& x) {
    return {x.tm_year + 1900, x.tm_mon + 1, x.tm_mday, x.tm_hour, x.tm_min, x.tm_sec, x.tm_isdst};
}

Reading read(const QNTime& t, const QNZone& zone) {
    tm x;
    t.extract(&x, zone);
    return fields(x);
}

class QNTimeEastern : public ::testing::Test {
  protected:
    const QNZoneSimple eastern{QNZone::usEastern, QNZone::northAmerican};
    const QNZoneSimple fixed{18000, "EST"};
};

TEST(QNTime, CountMatchesTheCClock) {
    EXPECT_EQ(sizeof(QNTime), 4u);
    EXPECT_EQ(QNTime(5ul).binaryStoreSize(), 4u);
    EXPECT_EQ(utcAt(1, 1, 1970, 0, 0), 2177452800u);
    // Every week across the whole range, pre-1970 negative time_t included.
    for (std::int64_t s = 1; s <= UINT32_MAX; s += 7 * 86400 + 3599) {
        const time_t unix = static_cast<time_t>(s - kUnixEpoch);
        tm expected;
        ASSERT_NE(gmtime_r(&unix, &expected), nullptr);
        tm got;
        QNTime(static_cast<unsigned long>(s)).extractGMT(&got);
        ASSERT_EQ(fields(got), fields(expected)) << s;
        ASSERT_EQ(got.tm_yday * 7 + got.tm_wday, expected.tm_yday * 7 + expected.tm_wday) << s;
        ASSERT_EQ(QNTime(&expected, QNZone::utc()).seconds(), static_cast<unsigned long>(s));
    }
    const QNTime last(0xFFFFFFFFul);
    EXPECT_EQ(last.hourGMT(), 6u);
    EXPECT_EQ(last.minuteGMT(), 28u);
    EXPECT_EQ(last.second(), 15u);
    const std::int64_t now = static_cast<std::int64_t>(time(nullptr)) + kUnixEpoch;
    const auto counted = static_cast<std::int64_t>(QNTime::now().seconds());
    EXPECT_LE(counted - now, 2);
    EXPECT_GE(counted - now, 0);
}

TEST_F(QNTimeEastern, ConstructionAtTheEdgesOfTheRange) {
    EXPECT_EQ(QNTime(QNDate(1, 1, 1970), 0, 0, 0, fixed).seconds(), 2177470800u);
    EXPECT_FALSE(QNTime(QNDate(1, 1, 1901), 0, 0, 0, QNZone::utc()).isValid());
    EXPECT_EQ(QNTime(QNDate(1, 1, 1901), 0, 0, 1, QNZone::utc()).seconds(), 1u);
    EXPECT_EQ(QNTime(QNDate(31, 12, 1900), 23, 0, 0, fixed).seconds(), 14400u);
    EXPECT_EQ(QNTime(QNDate(30, 12, 1900), 23, 0, 0, fixed).seconds(), 0u);
    EXPECT_EQ(QNTime(QNDate(0ul), 12, 0, 0, fixed).seconds(), 0u);
    // Unchecked fields carry over: 25:00 is 01:00 the next day.
    EXPECT_EQ(utcAt(1, 3, 1997, 25, 0), utcAt(2, 3, 1997, 1, 0));
    // A tm's weekday, day of year and daylight flag are ignored.
    tm t;
    QNDate(4, 7, 1997).extract(&t);
    t.tm_hour = 12;
    t.tm_wday = 5;
    t.tm_yday = 0;
    t.tm_isdst = 0;
    EXPECT_EQ(QNTime(&t, eastern).seconds(), utcAt(4, 7, 1997, 16, 0));
}

TEST_F(QNTimeEastern, SkippedAndRepeatedHours) {
    // Spring: 02:00..02:59:59 standard does not exist.
    EXPECT_EQ(QNTime(QNDate(6, 4, 1997), 1, 59, 59, eastern).seconds(),
              utcAt(6, 4, 1997, 6, 59, 59));
    EXPECT_EQ(QNTime(QNDate(6, 4, 1997), 2, 0, 0, eastern).seconds(), 0u);
    EXPECT_EQ(QNTime(QNDate(6, 4, 1997), 2, 59, 59, eastern).seconds(), 0u);
    const QNTime three(QNDate(6, 4, 1997), 3, 0, 0, eastern);
    EXPECT_EQ(three.seconds(), utcAt(6, 4, 1997, 7, 0));
    EXPECT_TRUE(three.isDST(eastern));
    EXPECT_EQ(three.hour(eastern), 3u);
    // Autumn: 01:00..01:59:59 happens twice; the daylight instant is taken.
    const QNTime repeated(QNDate(26, 10, 1997), 1, 30, 0, eastern);
    EXPECT_EQ(repeated.seconds(), utcAt(26, 10, 1997, 5, 30));
    EXPECT_TRUE(repeated.isDST(eastern));
    const QNTime two(QNDate(26, 10, 1997), 2, 0, 0, eastern);
    EXPECT_EQ(two.seconds(), utcAt(26, 10, 1997, 7, 0));
    EXPECT_FALSE(two.isDST(eastern));
    EXPECT_FALSE(QNTime(utcAt(1, 7, 1997, 12, 0)).isDST(fixed));
}

TEST_F(QNTimeEastern, ExtractReadsTheClockThatApplies) {
    using R = Reading;
    EXPECT_EQ(read(QNTime(utcAt(6, 4, 1997, 6, 59, 59)), eastern), (R{1997, 4, 6, 1, 59, 59, 0}));
    EXPECT_EQ(read(QNTime(utcAt(6, 4, 1997, 7, 0)), eastern), (R{1997, 4, 6, 3, 0, 0, 1}));
    EXPECT_EQ(read(QNTime(utcAt(26, 10, 1997, 5, 59)), eastern), (R{1997, 10, 26, 1, 59, 0, 1}));
    EXPECT_EQ(read(QNTime(utcAt(26, 10, 1997, 6, 0)), eastern), (R{1997, 10, 26, 1, 0, 0, 0}));
    EXPECT_EQ(read(QNTime(utcAt(4, 7, 1997, 16, 5)), fixed), (R{1997, 7, 4, 11, 5, 0, 0}));
    EXPECT_EQ(QNTime(utcAt(4, 7, 1997, 16, 5)).minute(eastern), 5u);

    // Before 1 January 1901 local time the reading does not wrap to 2037.
    tm t;
    QNTime(3600ul).extract(&t, fixed);
    EXPECT_EQ(fields(t), (R{1900, 12, 31, 20, 0, 0, 0}));
    EXPECT_EQ(t.tm_wday, 1);  // a Monday
    EXPECT_EQ(t.tm_yday, 364);
    // East of Greenwich at the top of the range the reading runs on into 2037.
    const QNZoneSimple east(QNZone::east10, QNZone::noDST);
    EXPECT_EQ(read(QNTime(0xFFFFFFFFul), east), (R{2037, 2, 6, 16, 28, 15, 0}));

    QNTime(0ul).extract(&t, eastern);
    EXPECT_EQ(t.tm_year, INT_MIN);
    EXPECT_EQ(t.tm_isdst, INT_MIN);
    EXPECT_EQ(QNTime(0ul).hour(eastern), 0x80000000u);
    QNTime(0ul).extractGMT(&t);
    EXPECT_EQ(fields(t), (R{1901, 1, 1, 0, 0, 0, 0}));
}

TEST_F(QNTimeEastern, DaylightBoundaryInstants) {
    EXPECT_EQ(QNTime::beginDST(1997, eastern).seconds(), utcAt(6, 4, 1997, 7, 0));
    EXPECT_EQ(QNTime::endDST(1997, eastern).seconds(), utcAt(26, 10, 1997, 6, 0));
    EXPECT_EQ(QNTime::beginDST(1974, eastern).seconds(), utcAt(6, 1, 1974, 7, 0));
    EXPECT_FALSE(QNTime::beginDST(1997, fixed).isValid());
    const QNDaylightRule since1990{nullptr, 1990, true, {3, 0, 0, 120}, {9, 4, 0, 120}};
    const QNZoneSimple zone(&since1990, 18000, "EST", 14400, "EDT");
    EXPECT_FALSE(QNTime::endDST(1980, zone).isValid());
    const QNZoneSimple met(QNZone::middleEuropean, QNZone::westernEuropean);
    EXPECT_EQ(QNTime::beginDST(1997, met).seconds(), utcAt(30, 3, 1997, 1, 0));
    EXPECT_EQ(QNTime::endDST(1997, met).seconds(), utcAt(28, 9, 1997, 0, 0));
}

TEST_F(QNTimeEastern, DateOfAnInstantInAZone) {
    // 03:30 UTC on 26 October is still 25 October, 23:30 daylight time.
    EXPECT_EQ(QNDate(QNTime(utcAt(26, 10, 1997, 3, 30)), eastern), QNDate(25, 10, 1997));
    EXPECT_EQ(QNDate(QNTime(utcAt(26, 10, 1997, 4, 30)), eastern), QNDate(26, 10, 1997));
    EXPECT_EQ(QNDate(QNTime(utcAt(26, 10, 1997, 4, 30)), fixed), QNDate(25, 10, 1997));
    EXPECT_FALSE(QNDate(QNTime(0ul), eastern).isValid());
}

TEST(QNTime, ArithmeticWrapsAndOrders) {
    QNTime t(10ul);
    EXPECT_EQ((++t).seconds(), 11u);
    EXPECT_EQ((t++).seconds(), 11u);
    EXPECT_EQ(t.seconds(), 12u);
    EXPECT_EQ((t--).seconds(), 12u);
    t -= 12;
    EXPECT_EQ(t.seconds(), 0xFFFFFFFFu);
    t += 3;
    EXPECT_EQ(t.seconds(), 2u);
    t += 0x100000000ul;  // only 32 bits count
    EXPECT_EQ(t.seconds(), 2u);
    t -= 0x100000003ul;
    EXPECT_EQ(t.seconds(), 0xFFFFFFFFu);
    EXPECT_EQ(QNTime(0x100000005ul).seconds(), 5u);

    const QNTime a(100ul), b(200ul);
    EXPECT_EQ(a.compareTo(&b), -1);
    EXPECT_EQ(b.compareTo(&a), 1);
    EXPECT_EQ(a.compareTo(&a), 0);
    EXPECT_TRUE(a.between(a, b));
    EXPECT_FALSE(a.between(b, a));
    EXPECT_EQ(a.max(b), b);
    EXPECT_EQ(b.min(a), a);
}

}  // namespace
