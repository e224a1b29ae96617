// Names, reading and formatting of dates and instants through a locale.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <optional>
#include <string>
#include <tuple>

namespace {

const QNLocaleDefault& loc = QNLocaleDefault::instance();
const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
const QNZoneSimple fixed(18000, "XST");

// The English locale, recording what the date and time classes ask of it;
// when given fields (month, day, year, hour, minute, second in tm terms) it
// reads every text as those, however far outside their ranges.
class ScriptedLocale : public QNLocaleDefault {
  public:
    explicit ScriptedLocale(std::optional<std::array<int, 6>> fields = std::nullopt)
        : QNLocaleDefault(QNLocaleDefault::instance()), fields_(fields) {}

    using QNLocaleDefault::asString;
    XVString asString(const tm* t, char directive, const QNZone& zone) const override {
        directives += directive;
        lastTm = *t;
        lastZone = &zone;
        return QNLocaleDefault::asString(t, directive, zone);
    }
    bool stringToDate(const XVString& text, tm* out) const override {
        if (!fields_)
            return QNLocaleDefault::stringToDate(text, out);
        std::tie(out->tm_mon, out->tm_mday, out->tm_year) =
            std::tie((*fields_)[0], (*fields_)[1], (*fields_)[2]);
        return true;
    }
    bool stringToTime(const XVString& text, tm* out) const override {
        ++timeReads;
        if (!fields_)
            return QNLocaleDefault::stringToTime(text, out);
        std::tie(out->tm_hour, out->tm_min, out->tm_sec) =
            std::tie((*fields_)[3], (*fields_)[4], (*fields_)[5]);
        return true;
    }

    mutable std::string directives;  // every directive asked for, in order
    mutable tm lastTm{};
    mutable const QNZone* lastZone = nullptr;
    mutable int timeReads = 0;

  private:
    std::optional<std::array<int, 6>> fields_;
};

TEST(DateText, NamesAskTheLocaleWithOneFieldSet) {
    EXPECT_EQ(QNDate::weekDayName(7, loc), "Sunday");
    EXPECT_EQ(QNDate::nameOfMonth(0, loc), "");
    EXPECT_EQ(QNDate(1, 1, 2000).weekDayName(loc), "Saturday");
    EXPECT_EQ(QNDate(1, 1, 2000).monthName(loc), "January");

    // Weekday, month, day and year of the record the locale is given.
    const ScriptedLocale probe;
    const tm& t = probe.lastTm;
    QNDate::weekDayName(10, probe);
    EXPECT_EQ(std::tie(t.tm_wday, t.tm_mon, t.tm_mday, t.tm_year), std::make_tuple(3, 0, 0, 0));
    QNDate::nameOfMonth(5, probe);
    EXPECT_EQ(std::tie(t.tm_wday, t.tm_mon, t.tm_mday, t.tm_year), std::make_tuple(0, 4, 0, 0));
    EXPECT_EQ(std::tie(probe.directives, probe.lastZone), std::make_tuple("AB", &QNZone::local()));

    const QNDate sunday(5, 1, 1997);
    EXPECT_EQ(QNDate::dayOfWeek("Funday", loc), 0u);
    EXPECT_EQ(QNDate::indexOfMonth("sep", loc), 9u);
    EXPECT_EQ(sunday.next("Sunday", loc), QNDate(12, 1, 1997));
    EXPECT_EQ(sunday.previous("SUN", loc), QNDate(29, 12, 1996));
}

TEST(DateText, ConstructionFromNamesAndText) {
    EXPECT_EQ(QNDate(4, "July", 1997, loc), QNDate(4, 7, 1997));
    EXPECT_EQ(QNDate(4, "jul", 97, loc), QNDate(4, 7, 1997));
    EXPECT_FALSE(QNDate(4, "Juli", 1997, loc).isValid());
    EXPECT_FALSE(QNDate(4, nullptr, 1997, loc).isValid());
}

// The fields a locale reads become a date through the usual validation, the
// two-digit rule included; fields that name no date give the invalid date,
// however extreme (the sanitizer build checks for overflow).
TEST(DateText, ReadFieldsAreValidatedAsADate) {
    const XVString any("any");
    EXPECT_EQ(QNDate(any, ScriptedLocale({{11, 31, 136}})), QNDate(31, 12, 2036));
    EXPECT_EQ(QNDate(any, ScriptedLocale({{0, 1, -1850}})), QNDate(1, 1, 1950));
    EXPECT_EQ(QNDate(any, ScriptedLocale({{0, 1, -1800}})), QNDate(1, 1, 100));
    const std::array<int, 6> bad[] = {
        {-1, 5, 97},     {12, 1, 97},      {0, -5, 97},
        {1, 29, 97},     {0, 1, -1901},    {0, 1, INT_MAX},
        {0, 1, INT_MIN}, {INT_MAX, 1, 97}, {INT_MIN, INT_MIN, INT_MIN},
        {0, INT_MAX, 97}};
    for (const auto& fields : bad)
        EXPECT_FALSE(QNDate(any, ScriptedLocale(fields)).isValid()) << fields[2];
}

TEST(DateText, FormattingUsesTheExtractedRecordAndTheLocalZone) {
    const QNDate d(4, 7, 1997);
    EXPECT_EQ(d.asString("%A %d %B %Y, day %j", loc), "Friday 04 July 1997, day 185");

    const ScriptedLocale probe;
    EXPECT_EQ(d.asString("%H:%M", probe), "00:00");
    EXPECT_EQ(std::tie(probe.directives, probe.lastTm.tm_isdst, probe.lastZone),
              std::make_tuple("HM", -1, &QNZone::local()));

    // An invalid date is formatted from the cleared record.
    EXPECT_EQ(QNDate(0UL).asString('x', loc), "-2147483647/-2147483648/-2147481748");
    EXPECT_EQ(QNDate(0UL).asString('A', loc), "");
}

// Every day the library's instants reach reads back from its own texts.
TEST(DateText, EveryDayFrom1901To2036ReadsBack) {
    for (QNDate d(1, 1, 1901); d <= QNDate(31, 12, 2036); ++d) {
        const XVString x = d.asString('x', loc);
        ASSERT_EQ(QNDate(x, loc), d) << x;
        ASSERT_EQ(QNDate(d.asString("%A, %d %B %Y", loc), loc), d) << x;
        ASSERT_TRUE(QNDate(d.asString("%b-%d-%y", loc), loc) == d || d.year() >= 2000) << x;
    }
}

TEST(TimeText, FormattingReadsInTheGivenZone) {
    const QNTime summer(QNDate(4, 7, 1997), 14, 7, 9, eastern);
    EXPECT_EQ(summer.asString('\0', eastern, loc), "07/04/97 14:07:09");
    EXPECT_EQ(summer.asString("%I:%M %p %Z", eastern, loc), "02:07 pm EDT");
    EXPECT_EQ(summer.asString("%H %Z", QNZone::utc(), loc), "18 GMT");
    EXPECT_EQ(QNTime(QNDate(4, 1, 1997), 9, 0, 0, eastern).asString('Z', eastern, loc), "EST");

    const ScriptedLocale probe;
    summer.asString('\0', fixed, probe);
    EXPECT_EQ(
        std::tie(probe.directives, probe.lastZone, probe.lastTm.tm_hour, probe.lastTm.tm_isdst),
        std::make_tuple("xX", &fixed, 13, 0));

    EXPECT_EQ(QNTime(0UL).asString('X', fixed, loc), "-2147483648:-2147483648:-2147483648");
}

// An invalid date does not ask the locale; a text the locale refuses gives the
// invalid instant.
TEST(TimeText, ConstructionFromText) {
    const ScriptedLocale probe;
    EXPECT_FALSE(QNTime(QNDate(0UL), XVString("10:00"), fixed, probe).isValid() ||
                 QNTime(QNDate(5, 3, 1997), XVString("noon"), fixed, probe).isValid());
    EXPECT_EQ(probe.timeReads, 1);
}

// The read time of day goes to the instant unchecked, as a count of seconds
// into the day that wraps modulo 2^32: negative fields count backwards.
TEST(TimeText, ReadFieldsBuildTheInstant) {
    const QNDate day(5, 3, 1997);
    const XVString any("any");
    const std::tuple<int, int, int, QNTime> cases[] = {
        {25, 0, 0, QNTime(QNDate(6, 3, 1997), 1, 0, 0, fixed)},
        {-1, 120, 0, QNTime(day, 1, 0, 0, fixed)},
        {0, 0, -1, QNTime(QNDate(4, 3, 1997), 23, 59, 59, fixed)},
    };
    for (const auto& [hour, minute, second, expected] : cases)
        EXPECT_EQ(QNTime(day, any, fixed, ScriptedLocale({{2, 5, 97, hour, minute, second}})),
                  expected)
            << hour << ":" << minute << ":" << second;
    // The same sums in the zone's own arithmetic, however extreme the fields.
    EXPECT_EQ(QNTime(day, any, fixed, ScriptedLocale({{0, 1, 0, INT_MIN, 0, 0}})),
              QNTime(day, 0x80000000u, 0, 0, fixed));
}

// Every minute of a day reads back from its 24-hour and 12-hour texts.
TEST(TimeText, EveryMinuteOfADayReadsBack) {
    const QNDate day(4, 7, 1997);
    for (const QNZone* zone : std::initializer_list<const QNZone*>{&fixed, &eastern}) {
        const unsigned long midnight = QNTime(day, 0, 0, 0, *zone).seconds();
        for (unsigned long minute = 0; minute < 24 * 60; ++minute) {
            const QNTime t(midnight + minute * 60 + minute % 60);
            const XVString text = t.asString('X', *zone, loc);
            ASSERT_EQ(QNTime(day, text, *zone, loc), t) << text;
            ASSERT_EQ(QNTime(day, t.asString("%I:%M:%S %p", *zone, loc), *zone, loc), t) << text;
        }
    }
}

}  // namespace
