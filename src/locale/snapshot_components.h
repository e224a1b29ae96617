// The vocabulary of a snapshot's captured layouts: the date components a
// date or time layout is decomposed into, with the directive letter of each,
// the order in which a date layout gives day, month and year, and the
// patterns of money texts.
#ifndef XVKIT_SRC_LOCALE_SNAPSHOT_COMPONENTS_H_
#define XVKIT_SRC_LOCALE_SNAPSHOT_COMPONENTS_H_

#include <xvkit/qnlocale.h>

namespace xvkit::locale {

// The value of QNTimeFmtList::component.
enum Component : int {
    kNoComponent = -1,  // a directive letter that names no component
    kYear,              // 'Y' the year in full
    kYearOfCentury,     // 'y' the year % 100
    kDayOfYear,         // 'j' day of the year, 001..366
    kSecond,            // 'S' second
    kMinute,            // 'M' minute
    kHour12,            // 'I' hour on the 12-hour clock
    kHour24,            // 'H' hour on the 24-hour clock
    kMonth,             // 'm' month number
    kMonthName,         // 'B' month name
    kMonthAbb,          // 'b' abbreviated month name
    kWeekdayName,       // 'A' weekday name
    kWeekdayAbb,        // 'a' abbreviated weekday name
    kMarker,            // 'p' the morning or afternoon marker
    kDay,               // 'd' day of the month
    kZoneName,          // 'Z' time-zone name
    kWeekFromSunday,    // 'U' week of the year, weeks starting on Sunday
    kWeekFromMonday,    // 'W' week of the year, weeks starting on Monday
    kWeekdayNumber,     // 'w' weekday number, 0 for Sunday
    kBlankFilledDay,    // day of the month padded with a blank, no letter of its own
    kBlankFilledMonth,  // month number padded with a blank, no letter of its own
};
constexpr int kComponentCount = kBlankFilledMonth + 1;
// Components up to this one have a directive letter of their own.
constexpr int kLetteredComponents = kWeekdayNumber + 1;
// The directive letter of each lettered component, in component order, which
// is also the order in which layouts are decomposed.
constexpr const char kComponentLetters[] = "YyjSMIHmBbAapdZUWw";
static_assert(sizeof kComponentLetters - 1 == kLetteredComponents);

// The captured layouts: the directive letter of each, and where a
// snapshot's conventions keep its literal text and its component list.
struct LayoutSlot {
    char letter;
    XVString QNLocaleSnapshot::Conventions::*text;
    QNTimeFmtList* QNLocaleSnapshot::Conventions::*list;
};
inline constexpr LayoutSlot kLayouts[] = {
    {'X', &QNLocaleSnapshot::Conventions::textForX, &QNLocaleSnapshot::Conventions::listForX},
    {'x', &QNLocaleSnapshot::Conventions::textForx, &QNLocaleSnapshot::Conventions::listForx},
    {'c', &QNLocaleSnapshot::Conventions::textForc, &QNLocaleSnapshot::Conventions::listForc},
    {'C', &QNLocaleSnapshot::Conventions::textForC, &QNLocaleSnapshot::Conventions::listForC}};

// The value of QNLocaleSnapshot::Conventions::dateOrder.
enum DateOrder : int {
    kDayMonthYear,  // "30.11.1990"
    kMonthDayYear,  // "11/30/1990"
    kYearDayMonth,  // "1990/30/11"
    kYearMonthDay,  // "1990-11-30"
};
constexpr int kDateOrderCount = kYearMonthDay + 1;

// The money patterns, rows of kMoneyPatternLength characters: '(' the
// parentheses, 'm' the number, '$' the currency symbol, '-' the sign, ' ' an
// optional blank. The C runtime's cs_precedes and sign_posn select row
// 5 * (cs_precedes & 1) + sign_posn.
constexpr int kMoneyPatternLength = 4;
constexpr int kSignPositions = 5;
constexpr const char kMoneyPatterns[] = "(m $-m $m $-m- $m $-($ m-$ m$ m--$ m$ -m";
static_assert(sizeof kMoneyPatterns - 1 == 2 * kSignPositions * kMoneyPatternLength);

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_SNAPSHOT_COMPONENTS_H_
