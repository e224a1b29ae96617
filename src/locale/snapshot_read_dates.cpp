// QNLocaleSnapshot reading of dates, times of day and month and weekday
// names, with the captured names, markers and date order:
//
//   date      = field field field {other}      (in the captured date order)
//             | field field {other}            (day and year, with a month
//                                               name anywhere in the text)
//   time      = field field [field] {other}    (hour, minute, second)
//   field     = {separator} digit{1,limit}     (no digit after it once a
//                                               separator was seen)
//   separator = any character but a digit; a month name found in the text
//               counts as one, taken whole
//   other     = any character but a digit
//
// Limits: 4 digits for a year, 2 for the others. Month names are found
// anywhere in a date, letters compared without regard to case (none when a
// captured name holds a digit); the morning and afternoon markers likewise
// anywhere in a time. Names are read whole: a month name with its blanks
// stripped, a weekday name as it stands.
//
// The readers only read the snapshot: no captured string is copied, viewed
// or otherwise touched (a view would change its reference count), so any
// number of threads may read with one snapshot.

#include <cstddef>

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>

#include "case_blind_set.h"
#include "debug_check.h"
#include "snapshot_components.h"
#include "text_cursor.h"

namespace {

using namespace xvkit::locale;

constexpr std::size_t npos = XVString::npos;

// Whether some character of `text` is in `set`.
bool holdsAny(const XVString& text, const CaseBlindSet& set) {
    for (char c : text) {
        if (has(set, c))
            return true;
    }
    return false;
}

// Where `name` first occurs in `text`, letters compared without regard to case.
std::size_t findCaseBlind(const XVString& text, const XVString& name) {
    return text.index(name.data(), name.size(), 0, XVString::caseInsensitive);
}

// The characters of `s` without the blanks (' ') at both ends.
struct Stripped {
    explicit Stripped(const XVString& s) : data(s.data()), size(s.size()) {
        while (size > 0 && *data == ' ') {
            ++data;
            --size;
        }
        while (size > 0 && data[size - 1] == ' ')
            --size;
    }
    // XVString::compareTo(other, caseInsensitive) == 0.
    bool equalsCaseBlind(const Stripped& other) const {
        return size == other.size && xvMemicmp(data, other.data, size) == 0;
    }

    const char* data;
    std::size_t size;
};

// The state of a date or time reader between its fields: where it stands,
// the month name to jump over whole (none when `nameLength` is 0), and
// whether a separator was seen yet.
struct FieldScan {
    explicit FieldScan(const XVString& text) : cursor(text) {}

    Cursor cursor;
    const char* nameAt = nullptr;
    std::size_t nameLength = 0;
    bool separatorSeen = false;
};

// separator := { non-digit }, the month name taken whole; false at the end.
inline bool skipSeparator(FieldScan& scan) {
    Cursor& c = scan.cursor;
    while (!c.atEnd() && !isDigit(c.peek())) {
        c.at += scan.nameLength != 0 && c.at == scan.nameAt ? scan.nameLength : 1;
        scan.separatorSeen = true;
    }
    return !c.atEnd();
}

// field := separator digit{1,limit}; once a separator was seen, a digit may
// not follow the field. Inline: only then do the readers keep the scan in
// registers.
inline bool readField(FieldScan& scan, int limit, int* value) {
    if (!skipSeparator(scan))
        return false;
    Cursor& c = scan.cursor;
    int v = 0;
    for (int n = 0; n < limit && isDigit(c.peek()); ++n)
        v = v * 10 + (c.take() - '0');
    if (scan.separatorSeen && isDigit(c.peek()))
        return false;
    *value = v;
    return true;
}

// Whether a digit stands anywhere after `cursor`.
bool anyDigitLeft(Cursor cursor) {
    return cursor.toDigit();
}

// A captured month name found in a date text: its month (0 when none) and
// where it stands.
struct MonthName {
    int month = 0;
    const char* at = nullptr;
    std::size_t length = 0;
};

// The latest month (December first, each full name before its short one)
// whose name occurs in `text`, letters compared without regard to case.
// `initials` holds the names' first letters in both cases; a text holding none
// of them holds no name (an empty text holds no digit either, so an empty
// name found there would not count).
MonthName findMonthName(const XVString& text, const QNLocaleSnapshot::Conventions& c,
                        const CaseBlindSet& initials) {
    if (!holdsAny(text, initials))
        return {};
    CaseBlindSet inText = {};
    for (char ch : text)
        add(inText, ch);
    for (int m = 11; m >= 0; --m) {
        for (const XVString* name : {&c.monthNames[m], &c.monthAbbs[m]}) {
            // An empty name occurs at the start of any text.
            if (!name->empty() && !hasEitherCase(inText, (*name)[0]))
                continue;
            const std::size_t at = findCaseBlind(text, *name);
            if (at != npos)
                return {m + 1, text.data() + at, name->size()};
        }
    }
    return {};
}

// `hour` (0..23) on the 24-hour clock as the markers present in `text`
// make it (an empty marker counts as present); false when a marker stands
// with an hour it cannot qualify.
bool toClockHour(const XVString& text, const XVString& am, const XVString& pm, int* hour) {
    const auto present = [&text](const XVString& marker) {
        return marker.empty() || findCaseBlind(text, marker) != npos;
    };
    const bool isAm = present(am), isPm = present(pm);
    if (*hour >= 1 && *hour <= 11) {
        if (isPm && !isAm)
            *hour += 12;
    } else if (*hour == 12) {
        if (isAm && !isPm)
            *hour = 0;
    } else if ((!am.empty() && isAm) || (!pm.empty() && isPm)) {
        return false;
    }
    return true;
}

// The fields of a date, as the date reader stores them.
enum DateField : int {
    kYearField,
    kMonthField,
    kDayField,
};
constexpr int kDateFieldCount = kDayField + 1;

// The fields a date text gives, in the order it gives them.
struct FieldOrder {
    int count;
    DateField fields[kDateFieldCount];
};

// The field order of `dateOrder`; without the month when it was found by name.
const FieldOrder& fieldOrder(int dateOrder, bool monthNamed) {
    static constexpr FieldOrder kAllFields[kDateOrderCount] = {
        {3, {kDayField, kMonthField, kYearField}},   // kDayMonthYear
        {3, {kMonthField, kDayField, kYearField}},   // kMonthDayYear
        {3, {kYearField, kDayField, kMonthField}},   // kYearDayMonth
        {3, {kYearField, kMonthField, kDayField}}};  // kYearMonthDay
    static constexpr FieldOrder kDayAndYear[kDateOrderCount] = {
        {2, {kDayField, kYearField}},   // kDayMonthYear
        {2, {kDayField, kYearField}},   // kMonthDayYear
        {2, {kYearField, kDayField}},   // kYearDayMonth
        {2, {kYearField, kDayField}}};  // kYearMonthDay
    XVKIT_DCHECK(dateOrder >= 0 && dateOrder < kDateOrderCount);
    return monthNamed ? kDayAndYear[dateOrder] : kAllFields[dateOrder];
}

// The most digits each date field takes.
constexpr int kFieldDigits[kDateFieldCount] = {4, 2, 2};

}  // namespace

bool QNLocaleSnapshot::stringToDate(const XVString& text, tm* out) const {
    // A month name counts unless some name holds a digit.
    const MonthName name =
        c_.monthNamesWithDigits == 0 ? findMonthName(text, c_, monthInitials_) : MonthName();
    const bool cLocale = c_.localeName.size() == 1 && c_.localeName[0] == 'C';
    const FieldOrder& order =
        fieldOrder(name.month == 0 && cLocale ? kMonthDayYear : c_.dateOrder, name.month != 0);
    int fields[kDateFieldCount] = {0, name.month, 0};
    FieldScan scan(text);
    scan.nameAt = name.at;
    scan.nameLength = name.length;
    for (int i = 0; i < order.count; ++i) {
        const DateField f = order.fields[i];
        if (!readField(scan, kFieldDigits[f], &fields[f]))
            return false;
    }
    int year = fields[kYearField];
    if (year <= 99)
        year += 1900;
    const int month = fields[kMonthField], day = fields[kDayField];
    if (anyDigitLeft(scan.cursor) ||
        !QNDate::dayWithinMonth(static_cast<unsigned>(month), static_cast<unsigned>(day),
                                static_cast<unsigned>(year))) {
        return false;
    }
    out->tm_year = year - 1900;
    out->tm_mon = month - 1;
    out->tm_mday = day;
    return true;
}

bool QNLocaleSnapshot::stringToTime(const XVString& text, tm* out) const {
    FieldScan scan(text);
    int hour, minute, second = 0;
    if (!readField(scan, 2, &hour) || !readField(scan, 2, &minute))
        return false;
    const char* const afterMinute = scan.cursor.at;
    if (!readField(scan, 2, &second))
        scan.cursor.at = afterMinute;  // the seconds are optional
    if (anyDigitLeft(scan.cursor) || second > 59 || minute > 59 || hour > 23)
        return false;
    if (!toClockHour(text, c_.am, c_.pm, &hour))
        return false;
    out->tm_hour = hour;
    out->tm_min = minute;
    out->tm_sec = second;
    return true;
}

int QNLocaleSnapshot::monthIndex(const XVString& name) const {
    const Stripped wanted(name);
    for (int m = 11; m >= 0; --m) {
        if (wanted.equalsCaseBlind(Stripped(c_.monthAbbs[m])) ||
            wanted.equalsCaseBlind(Stripped(c_.monthNames[m]))) {
            return m + 1;
        }
    }
    return 0;
}

int QNLocaleSnapshot::weekdayIndex(const XVString& name) const {
    for (int w = 6; w >= 0; --w) {
        if (name.compareTo(c_.weekAbbs[w], XVString::caseInsensitive) == 0 ||
            name.compareTo(c_.weekDays[w], XVString::caseInsensitive) == 0) {
            return (w + 6) % 7 + 1;
        }
    }
    return 0;
}
