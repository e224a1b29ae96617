// Names, reading and formatting of dates through a locale.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "text_locale_probe.h"

namespace {

const QNLocaleDefault& loc = QNLocaleDefault::instance();

TEST(DateText, NamesAskTheLocaleWithOneFieldSet) {
    EXPECT_EQ(QNDate::weekDayName(7, loc), "Sunday");
    EXPECT_EQ(QNDate::weekDayName(0, loc), "Sunday");
    EXPECT_EQ(QNDate::weekDayName(1, loc), "Monday");
    EXPECT_EQ(QNDate::nameOfMonth(1, loc), "January");
    EXPECT_EQ(QNDate::nameOfMonth(12, loc), "December");
    EXPECT_EQ(QNDate::nameOfMonth(0, loc), "");
    const QNDate saturday(1, 1, 2000);
    EXPECT_EQ(saturday.weekDayName(loc) + " " + saturday.monthName(loc), "Saturday January");

    const ProbeLocale probe;
    QNDate::weekDayName(10, probe);
    EXPECT_EQ(probe.lastTm.tm_wday, 3);
    EXPECT_EQ(probe.lastTm.tm_mon + probe.lastTm.tm_mday + probe.lastTm.tm_year, 0);
    QNDate::nameOfMonth(5, probe);
    EXPECT_EQ(probe.lastTm.tm_mon, 4);
    EXPECT_EQ(probe.lastTm.tm_wday, 0);
    EXPECT_EQ(probe.directives, "AB");
    EXPECT_EQ(probe.lastZone, &QNZone::local());
}

TEST(DateText, ConstructionFromNamesAndText) {
    EXPECT_EQ(QNDate(4, "July", 1997, loc), QNDate(4, 7, 1997));
    EXPECT_EQ(QNDate(4, "jul", 97, loc), QNDate(4, 7, 1997));
    EXPECT_FALSE(QNDate(4, "Juli", 1997, loc).isValid());
    EXPECT_FALSE(QNDate(31, "April", 1997, loc).isValid());
    EXPECT_FALSE(QNDate(4, nullptr, 1997, loc).isValid());

    EXPECT_EQ(QNDate(XVString("Tuesday, March 4, 1997"), loc), QNDate(4, 3, 1997));
    EXPECT_EQ(QNDate(XVString("2/29/96"), loc), QNDate(29, 2, 1996));
    EXPECT_FALSE(QNDate(XVString("2/29/97"), loc).isValid());
    EXPECT_FALSE(QNDate(XVString("no date"), loc).isValid());
}

// The fields a locale reads become a date through the usual validation, the
// two-digit rule included; fields that name no date give the invalid date,
// however extreme (the sanitizer build checks for overflow).
TEST(DateText, ReadFieldsAreValidatedAsADate) {
    const XVString any("any");
    EXPECT_EQ(QNDate(any, FixedReadingLocale(11, 31, 136)), QNDate(31, 12, 2036));
    EXPECT_EQ(QNDate(any, FixedReadingLocale(0, 1, -1850)), QNDate(1, 1, 1950));
    EXPECT_EQ(QNDate(any, FixedReadingLocale(0, 1, -1800)), QNDate(1, 1, 100));
    const int bad[][3] = {{-1, 5, 97},     {12, 1, 97},      {0, -5, 97},
                          {1, 29, 97},     {0, 1, -1901},    {0, 1, INT_MAX},
                          {0, 1, INT_MIN}, {INT_MAX, 1, 97}, {INT_MIN, INT_MIN, INT_MIN},
                          {0, INT_MAX, 97}};
    for (const auto& f : bad)
        EXPECT_FALSE(QNDate(any, FixedReadingLocale(f[0], f[1], f[2])).isValid()) << f[2];
}

TEST(DateText, WeekdayStepsByName) {
    const QNDate sunday(5, 1, 1997);
    EXPECT_EQ(QNDate::dayOfWeek("Sunday", loc), 7u);
    EXPECT_EQ(QNDate::dayOfWeek("Funday", loc), 0u);
    EXPECT_EQ(QNDate::indexOfMonth("sep", loc), 9u);
    EXPECT_EQ(sunday.next("Sunday", loc), QNDate(12, 1, 1997));
    EXPECT_EQ(sunday.next("mon", loc), QNDate(6, 1, 1997));
    EXPECT_EQ(sunday.previous("SUN", loc), QNDate(29, 12, 1996));
    EXPECT_EQ(sunday.previous("Saturday", loc), QNDate(4, 1, 1997));
}

TEST(DateText, FormattingUsesTheExtractedRecordAndTheLocalZone) {
    const QNDate d(4, 7, 1997);
    EXPECT_EQ(d.asString('x', loc), "07/04/97");
    EXPECT_EQ(d.asString("%A %d %B %Y, day %j", loc), "Friday 04 July 1997, day 185");
    EXPECT_EQ(QNDate(1, 1, 2000).asString('x', loc), "01/01/2000");

    const ProbeLocale probe;
    EXPECT_EQ(d.asString("%H:%M", probe), "00:00");
    EXPECT_EQ(probe.directives, "HM");
    EXPECT_EQ(probe.lastTm.tm_isdst, -1);
    EXPECT_EQ(probe.lastZone, &QNZone::local());

    // An invalid date is formatted from the cleared record.
    EXPECT_EQ(QNDate(0UL).asString('x', loc), "-2147483647/-2147483648/-2147481748");
    EXPECT_EQ(QNDate(0UL).asString('A', loc), "");
}

// Every day the library's instants reach reads back from its own texts.
TEST(DateText, EveryDayFrom1901To2036ReadsBack) {
    int failures = 0;
    int days = 0;
    for (QNDate d(1, 1, 1901); d <= QNDate(31, 12, 2036); ++d, ++days) {
        const bool xBack = QNDate(d.asString('x', loc), loc) == d;
        const bool namedBack = QNDate(d.asString("%A, %d %B %Y", loc), loc) == d;
        const bool shortBack = QNDate(d.asString("%b-%d-%y", loc), loc) == d || d.year() >= 2000;
        if (!xBack || !namedBack || !shortBack) {
            ADD_FAILURE() << d.asString("%x %A %B", loc);
            if (++failures > 10)
                break;
        }
    }
    EXPECT_EQ(days, 49674);
}

}  // namespace
