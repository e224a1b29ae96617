#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <climits>
#include <cstdint>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

#include "tz_peer.h"

namespace {

using tzpeer::kUnixToCount;
using tzpeer::utcCount;

// The reading of `t` in `zone`, or the universal reading without a zone.
std::string read(const QNTime& t, const QNZone* zone = nullptr) {
    tm x;
    zone ? t.extract(&x, *zone) : t.extractGMT(&x);
    return x.tm_year == INT_MIN && x.tm_isdst == INT_MIN ? "cleared" : tzpeer::describe(x);
}

const QNZoneSimple eastern{QNZone::usEastern, QNZone::northAmerican};
const QNZoneSimple fixed{18000, "EST"};

TEST(QNTime, CountMatchesTheCClock) {
    // Every week across the whole range, pre-1970 negative time_t included.
    for (std::int64_t s = 1; s <= UINT32_MAX; s += 7 * 86400 + 3599) {
        const time_t unix = static_cast<time_t>(s - kUnixToCount);
        tm expected;
        ASSERT_NE(gmtime_r(&unix, &expected), nullptr);
        ASSERT_EQ(read(QNTime(static_cast<unsigned long>(s))), tzpeer::describe(expected)) << s;
        ASSERT_EQ(QNTime(&expected, QNZone::utc()).seconds(), static_cast<unsigned long>(s));
    }
    EXPECT_EQ(read(QNTime(0xFFFFFFFFul)), "2037-02-06 06:28:15 std w5 d36");
    EXPECT_EQ(read(QNTime(0ul)), "1901-01-01 00:00:00 std w2 d0");  // not tested for validity
    const std::int64_t now = static_cast<std::int64_t>(time(nullptr)) + kUnixToCount;
    const auto counted = static_cast<std::int64_t>(QNTime::now().seconds());
    EXPECT_TRUE(counted - now >= 0 && counted - now <= 2) << counted - now;
}

TEST(QNTime, ConstructionAtTheEdgesOfTheRange) {
    EXPECT_EQ(utcCount(1, 1, 1901, 0, 0, 0), 0u);  // the epoch itself is the invalid count
    EXPECT_EQ(QNTime(QNDate(31, 12, 1900), 23, 0, 0, fixed).seconds(), 14400u);
    EXPECT_EQ(QNTime(QNDate(30, 12, 1900), 23, 0, 0, fixed).seconds(), 0u);
    EXPECT_EQ(QNTime(QNDate(0ul), 12, 0, 0, fixed).seconds(), 0u);
    EXPECT_EQ(utcCount(1, 3, 1997, 25, 0),
              utcCount(2, 3, 1997, 1, 0));          // fields are not range-checked
    tm t{0, 0, 12, 4, 6, 97, 1, 0, 0, 0, nullptr};  // weekday, day of year, daylight flag ignored
    EXPECT_EQ(QNTime(&t, eastern).seconds(), utcCount(4, 7, 1997, 16, 0));
}

// The reading does not wrap to 2037 before 1 January 1901 local time, and
// runs on into 2037 east of Greenwich at the top of the range.
TEST(QNTime, ExtractReadsTheClockThatApplies) {
    const QNZoneSimple east(QNZone::east10, QNZone::noDST);
    const std::tuple<unsigned long, const QNZone*, const char*> cases[] = {
        {utcCount(4, 7, 1997, 16, 5), &fixed, "1997-07-04 11:05:00 std w5 d184"},
        {3600, &fixed, "1900-12-31 20:00:00 std w1 d364"},
        {0xFFFFFFFF, &east, "2037-02-06 16:28:15 std w5 d36"},
        {0, &eastern, "cleared"}};
    for (const auto& [seconds, zone, expected] : cases)
        EXPECT_EQ(read(QNTime(seconds), zone), expected) << seconds;
    EXPECT_EQ(QNTime(utcCount(4, 7, 1997, 16, 5)).minute(eastern), 5u);
    EXPECT_EQ(QNTime(0ul).hour(eastern), 0x80000000u);
}

TEST(QNTime, DaylightBoundaryInstantsAndDates) {
    const QNDaylightRule since1990{nullptr, 1990, true, {3, 0, 0, 120}, {9, 4, 0, 120}};
    const QNZoneSimple zone(&since1990, 18000, "EST", 14400, "EDT");
    EXPECT_EQ(QNTime::beginDST(1997, eastern).seconds(), utcCount(6, 4, 1997, 7, 0));
    EXPECT_EQ(QNTime::endDST(1997, eastern).seconds(), utcCount(26, 10, 1997, 6, 0));
    EXPECT_FALSE(QNTime::beginDST(1997, fixed).isValid() || QNTime::endDST(1980, zone).isValid());

    // 03:30 UTC on 26 October is still 25 October, 23:30 daylight time.
    EXPECT_EQ(QNDate(QNTime(utcCount(26, 10, 1997, 3, 30)), eastern), QNDate(25, 10, 1997));
    EXPECT_EQ(QNDate(QNTime(utcCount(26, 10, 1997, 4, 30)), eastern), QNDate(26, 10, 1997));
    EXPECT_EQ(QNDate(QNTime(utcCount(26, 10, 1997, 4, 30)), fixed), QNDate(25, 10, 1997));
    EXPECT_FALSE(QNDate(QNTime(0ul), eastern).isValid());
}

TEST(QNTime, ArithmeticWrapsAndOrders) {
    QNTime t(0x10000000Aul);  // only 32 bits count
    const std::vector<unsigned long> steps{(++t).seconds(),     (t++).seconds(),
                                           (t--).seconds(),     (--t).seconds(),
                                           (t -= 11).seconds(), (t += 0x100000003ul).seconds()};
    EXPECT_EQ(steps, (std::vector<unsigned long>{11, 11, 12, 10, 0xFFFFFFFF, 2}));

    const QNTime a(100ul), b(200ul);
    EXPECT_EQ(std::make_tuple(a.compareTo(&b), b.compareTo(&a), a.compareTo(&a)),
              std::make_tuple(-1, 1, 0));
    EXPECT_TRUE(a.between(a, b) && b.between(a, b));
    EXPECT_FALSE(a.between(b, a));
    EXPECT_EQ(std::make_tuple(a.max(b), b.max(a), a.min(b), b.min(a)), std::make_tuple(b, b, a, a));
}

}  // namespace
