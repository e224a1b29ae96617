// Reading and formatting of instants through a locale.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>

#include <gtest/gtest.h>

#include <climits>

#include "text_locale_probe.h"

namespace {

const QNLocaleDefault& loc = QNLocaleDefault::instance();
const QNZoneSimple eastern(QNZone::StdZone(5), QNZone::DstRule(1));
const QNZoneSimple fixed(18000, "XST");

TEST(TimeText, FormattingReadsInTheGivenZone) {
    const QNTime summer(QNDate(4, 7, 1997), 14, 7, 9, eastern);
    EXPECT_EQ(summer.asString('\0', eastern, loc), "07/04/97 14:07:09");
    EXPECT_EQ(summer.asString('X', eastern, loc), "14:07:09");
    EXPECT_EQ(summer.asString("%I:%M %p %Z", eastern, loc), "02:07 pm EDT");
    EXPECT_EQ(summer.asString("%H %Z", QNZone::utc(), loc), "18 GMT");
    EXPECT_EQ(QNTime(QNDate(4, 1, 1997), 9, 0, 0, eastern).asString('Z', eastern, loc), "EST");

    const ProbeLocale probe;
    summer.asString('\0', fixed, probe);
    EXPECT_EQ(probe.directives, "xX");
    EXPECT_EQ(probe.lastZone, &fixed);
    EXPECT_EQ(probe.lastTm.tm_hour, 13);
    EXPECT_EQ(probe.lastTm.tm_isdst, 0);

    EXPECT_EQ(QNTime(0UL).asString('X', fixed, loc), "-2147483648:-2147483648:-2147483648");
}

TEST(TimeText, ConstructionFromText) {
    const QNDate day(5, 3, 1997);
    EXPECT_EQ(QNTime(day, XVString("1:15 pm"), fixed, loc), QNTime(day, 13, 15, 0, fixed));
    EXPECT_EQ(QNTime(day, XVString("12 am"), eastern, loc), QNTime(day, 0, 0, 0, eastern));
    EXPECT_FALSE(QNTime(day, XVString("24:00"), fixed, loc).isValid());
    // The hour skipped by the spring change has no instant.
    EXPECT_FALSE(QNTime(QNDate(6, 4, 1997), XVString("2:30"), eastern, loc).isValid());

    const ProbeLocale probe;
    EXPECT_FALSE(QNTime(QNDate(0UL), XVString("10:00"), fixed, probe).isValid());
    EXPECT_EQ(probe.timeReads, 0);
    EXPECT_FALSE(QNTime(day, XVString("noon"), fixed, probe).isValid());
    EXPECT_EQ(probe.timeReads, 1);
}

// The read time of day goes to the instant unchecked, as a count of seconds
// into the day; negative fields read no time.
TEST(TimeText, ReadFieldsBuildTheInstant) {
    const QNDate day(5, 3, 1997);
    const XVString any("any");
    EXPECT_EQ(QNTime(day, any, fixed, FixedReadingLocale(0, 1, 0, 25, 0, 0)),
              QNTime(QNDate(6, 3, 1997), 1, 0, 0, fixed));
    EXPECT_EQ(QNTime(day, any, fixed, FixedReadingLocale(0, 1, 0, 0, 90, 61)),
              QNTime(day, 1, 31, 1, fixed));
    for (const int f : {-1, INT_MIN}) {
        EXPECT_FALSE(QNTime(day, any, fixed, FixedReadingLocale(0, 1, 0, f, 0, 0)).isValid());
        EXPECT_FALSE(QNTime(day, any, fixed, FixedReadingLocale(0, 1, 0, 0, f, 0)).isValid());
        EXPECT_FALSE(QNTime(day, any, fixed, FixedReadingLocale(0, 1, 0, 0, 0, f)).isValid());
    }
}

// Every minute of a day reads back from its 24-hour and 12-hour texts.
TEST(TimeText, EveryMinuteOfADayReadsBack) {
    for (const QNZone* zone :
         {static_cast<const QNZone*>(&fixed), static_cast<const QNZone*>(&eastern)}) {
        const QNDate day(4, 7, 1997);
        const QNTime midnight(day, 0, 0, 0, *zone);
        int failures = 0;
        for (unsigned long minute = 0; minute < 24 * 60; ++minute) {
            QNTime t = midnight;
            t += minute * 60 + minute % 60;
            const bool back = QNTime(day, t.asString('X', *zone, loc), *zone, loc) == t;
            const bool back12 = QNTime(day, t.asString("%I:%M:%S %p", *zone, loc), *zone, loc) == t;
            if (!back || !back12) {
                ADD_FAILURE() << t.asString('X', *zone, loc);
                if (++failures > 10)
                    break;
            }
        }
    }
}

}  // namespace
