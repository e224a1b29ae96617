// The POSIX TZ grammar, one small reader per item:
//
//   setting  = name offset [ name [ offset ] [ "," rule "," rule ] ]
//   name     = 3*ALPHA | "<" 3*( ALNUM | "+" | "-" ) ">"
//   offset   = [ "+" | "-" ] hh [ ":" mm [ ":" ss ] ]        (hh 0..24)
//   rule     = date [ "/" time ]
//   date     = "J" n (1..365) | n (0..365) | "M" m "." w "." d
//   time     = [ "+" | "-" ] hh [ ":" mm [ ":" ss ] ]        (hh 0..167)
//
// Offsets are written positive WEST of Greenwich; the history keeps them
// east (the database's sign).
#include "tz_posix.h"

#include <algorithm>

#include <xvkit/qndate.h>

#include "debug_check.h"

namespace xvkit::tz {

namespace {

constexpr int kMinNameLength = 3;
constexpr int kMaxOffsetHours = 24;
constexpr int kMaxRuleHours = 167;
constexpr int kMaxMinutesOrSeconds = 59;
constexpr int kLastJulianDay = 365;
constexpr int kLastZeroBasedDay = 365;
constexpr int kLastWeek = 5;
constexpr int kLastWeekday = 6;
constexpr int kMonths = 12;
// Digits read for one number; more are refused rather than overflowing.
constexpr int kMaxDigits = 3;
// The C runtime's rule for a daylight name without one: second Sunday in
// March to first Sunday in November, 02:00.
constexpr RuleBoundary kDefaultStart{{RuleDay::Kind::monthWeek, 3, 2, 0}, 2 * kSecondsPerHour};
constexpr RuleBoundary kDefaultEnd{{RuleDay::Kind::monthWeek, 11, 1, 0}, 2 * kSecondsPerHour};

bool isAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The unread rest of a setting, and the first failure met in it.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : rest_(text) {}

    bool atEnd() const { return rest_.empty(); }
    char peek() const { return rest_.empty() ? '\0' : rest_.front(); }
    bool take(char c) {
        if (rest_.empty() || rest_.front() != c)
            return false;
        rest_.remove_prefix(1);
        return true;
    }
    std::string_view rest() const { return rest_; }
    void skip(std::size_t n) { rest_.remove_prefix(n); }

    // Records `what` (the first failure wins) and returns false.
    bool fail(const char* what) {
        if (why_.empty()) {
            why_ = what;
            why_ += rest_.empty() ? std::string(" at the end") : " at '" + std::string(rest_) + "'";
        }
        return false;
    }
    const std::string& why() const { return why_; }

  private:
    std::string_view rest_;
    std::string why_;
};

// An unsigned decimal number of 1 to kMaxDigits digits.
bool readNumber(Cursor& in, int* value) {
    if (!isDigit(in.peek()))
        return in.fail("a number expected");
    int n = 0;
    int digits = 0;
    while (isDigit(in.peek())) {
        if (++digits > kMaxDigits)
            return in.fail("a number of at most 3 digits expected");
        n = n * 10 + (in.peek() - '0');
        in.skip(1);
    }
    *value = n;
    return true;
}

// A number within [low, high].
bool readNumberIn(Cursor& in, int low, int high, const char* what, int* value) {
    if (!readNumber(in, value))
        return false;
    if (*value < low || *value > high)
        return in.fail(what);
    return true;
}

// [+-]hh[:mm[:ss]] as seconds, the sign applied; hh at most `maxHours`.
bool readClock(Cursor& in, int maxHours, std::int32_t* seconds) {
    const bool negative = in.take('-');
    if (!negative)
        in.take('+');
    int hours = 0, minutes = 0, secs = 0;
    if (!readNumberIn(in, 0, maxHours, "hours out of range", &hours))
        return false;
    if (in.take(':')) {
        if (!readNumberIn(in, 0, kMaxMinutesOrSeconds, "minutes out of range", &minutes))
            return false;
        if (in.take(':') &&
            !readNumberIn(in, 0, kMaxMinutesOrSeconds, "seconds out of range", &secs))
            return false;
    }
    const std::int32_t total =
        static_cast<std::int32_t>(hours * kSecondsPerHour + minutes * 60 + secs);
    *seconds = negative ? -total : total;
    return true;
}

// A zone name, quoted or bare.
bool readName(Cursor& in, std::string* name) {
    std::size_t length = 0;
    const std::string_view rest = in.rest();
    if (in.peek() == '<') {
        length = 1;
        while (length < rest.size() && (isAlpha(rest[length]) || isDigit(rest[length]) ||
                                        rest[length] == '+' || rest[length] == '-'))
            ++length;
        if (length >= rest.size() || rest[length] != '>')
            return in.fail("a '>' closing the quoted name expected");
        if (length - 1 < kMinNameLength)
            return in.fail("a quoted name of three or more characters expected");
        *name = std::string(rest.substr(1, length - 1));
        in.skip(length + 1);
        return true;
    }
    while (length < rest.size() && isAlpha(rest[length]))
        ++length;
    if (length < kMinNameLength)
        return in.fail("a zone name of three or more letters expected");
    *name = std::string(rest.substr(0, length));
    in.skip(length);
    return true;
}

// An offset west of Greenwich, returned as the database's east offset.
bool readOffset(Cursor& in, std::int32_t* gmtoff) {
    const char c = in.peek();
    if (!isDigit(c) && c != '+' && c != '-')
        return in.fail("an offset expected");
    std::int32_t west = 0;
    if (!readClock(in, kMaxOffsetHours, &west))
        return false;
    *gmtoff = -west;
    return true;
}

// Jn, n or Mm.w.d.
bool readRuleDay(Cursor& in, RuleDay* day) {
    if (in.take('J')) {
        day->kind = RuleDay::Kind::julian;
        return readNumberIn(in, 1, kLastJulianDay, "a day 1..365 expected", &day->day);
    }
    if (in.take('M')) {
        day->kind = RuleDay::Kind::monthWeek;
        if (!readNumberIn(in, 1, kMonths, "a month 1..12 expected", &day->month))
            return false;
        if (!in.take('.'))
            return in.fail("a '.' after the month expected");
        if (!readNumberIn(in, 1, kLastWeek, "a week 1..5 expected", &day->week))
            return false;
        if (!in.take('.'))
            return in.fail("a '.' after the week expected");
        return readNumberIn(in, 0, kLastWeekday, "a weekday 0..6 expected", &day->day);
    }
    if (!isDigit(in.peek()))
        return in.fail("a rule date (Jn, n or Mm.w.d) expected");
    day->kind = RuleDay::Kind::zeroBased;
    return readNumberIn(in, 0, kLastZeroBasedDay, "a day 0..365 expected", &day->day);
}

// date[/time]; the time is 02:00 when absent.
bool readBoundary(Cursor& in, RuleBoundary* boundary) {
    if (!readRuleDay(in, &boundary->day))
        return false;
    boundary->time = 2 * kSecondsPerHour;
    return !in.take('/') || readClock(in, kMaxRuleHours, &boundary->time);
}

// [name [offset] [,rule,rule]] after the standard offset.
bool readDaylight(Cursor& in, PosixZone* zone) {
    zone->hasDaylight = true;
    zone->daylight.isdst = true;
    if (!readName(in, &zone->daylight.abbr))
        return false;
    zone->daylight.gmtoff = zone->standard.gmtoff + kSecondsPerHour;
    if (!in.atEnd() && in.peek() != ',' && !readOffset(in, &zone->daylight.gmtoff))
        return false;
    if (in.atEnd()) {
        zone->start = kDefaultStart;
        zone->end = kDefaultEnd;
        return true;
    }
    if (!in.take(','))
        return in.fail("',' and a rule expected");
    if (!readBoundary(in, &zone->start))
        return false;
    if (!in.take(','))
        return in.fail("',' and the end of daylight time expected");
    return readBoundary(in, &zone->end);
}

// Days from 1970-01-01 to the rule's day in `year`.
std::int64_t dayOf(const RuleDay& rule, std::int64_t year) {
    XVKIT_DCHECK(year > 0);  // QNDate's calendar helpers take unsigned years
    const std::int64_t newYear = daysFromCivil(year, 1, 1);
    switch (rule.kind) {
        case RuleDay::Kind::julian: {
            constexpr int kFirstOfMarch = 60;  // Jn numbering
            return newYear + rule.day - 1 +
                   (QNDate::leapYear(static_cast<unsigned>(year)) && rule.day >= kFirstOfMarch ? 1
                                                                                               : 0);
        }
        case RuleDay::Kind::zeroBased:
            return newYear + rule.day;
        case RuleDay::Kind::monthWeek:
            break;
    }
    const std::int64_t first = daysFromCivil(year, rule.month, 1);
    const int firstWeekday = weekdayOf(first);
    int day = 1 + (rule.day - firstWeekday + 7) % 7 + 7 * (rule.week - 1);
    const int monthLength = static_cast<int>(
        QNDate::daysInMonthYear(static_cast<unsigned>(rule.month), static_cast<unsigned>(year)));
    while (day > monthLength)
        day -= 7;
    return first + day - 1;
}

}  // namespace

bool parsePosix(std::string_view text, PosixZone* zone, std::string* why) {
    Cursor in(text);
    *zone = PosixZone{};
    const bool ok = readName(in, &zone->standard.abbr) && readOffset(in, &zone->standard.gmtoff) &&
                    (in.atEnd() || readDaylight(in, zone)) &&
                    (in.atEnd() || in.fail("unexpected text"));
    if (!ok)
        *why = in.why();
    return ok;
}

Seconds boundaryInstant(const RuleBoundary& boundary, std::int64_t year, std::int32_t gmtoff) {
    return dayOf(boundary.day, year) * kSecondsPerDay + boundary.time - gmtoff;
}

History expandPosix(const PosixZone& zone, int firstYear, int lastYear) {
    History history;
    history.types.push_back(zone.standard);
    if (!zone.hasDaylight)
        return history;
    constexpr std::size_t kStandard = 0, kDaylight = 1;
    history.types.push_back(zone.daylight);
    std::vector<Transition> events;
    for (int year = firstYear; year <= lastYear; ++year) {
        // The start is read on standard time, the end on daylight time.
        events.push_back({boundaryInstant(zone.start, year, zone.standard.gmtoff), kDaylight});
        events.push_back({boundaryInstant(zone.end, year, zone.daylight.gmtoff), kStandard});
    }
    // At one instant an end comes before a start, so back-to-back periods join.
    std::stable_sort(events.begin(), events.end(), [](const Transition& a, const Transition& b) {
        return a.at != b.at ? a.at < b.at : a.type < b.type;
    });
    history.initial = events.front().type == kDaylight ? kStandard : kDaylight;
    for (const Transition& e : events) {
        if (!history.transitions.empty() && history.transitions.back().at == e.at)
            history.transitions.pop_back();
        const std::size_t before =
            history.transitions.empty() ? history.initial : history.transitions.back().type;
        if (e.type != before)
            history.transitions.push_back(e);
    }
    XVKIT_DCHECK(
        std::is_sorted(history.transitions.begin(), history.transitions.end(),
                       [](const Transition& a, const Transition& b) { return a.at < b.at; }));
    return history;
}

}  // namespace xvkit::tz
