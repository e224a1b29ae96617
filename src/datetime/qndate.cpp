// Calendar date arithmetic (ACM Collected Algorithm 199 in 32-bit unsigned
// arithmetic).
#include <xvkit/qndate.h>
#include <xvkit/qntime.h>

#include <cstdint>
#include <ctime>

namespace {

using u32 = std::uint32_t;

// Day number of 1 March of the year 0, less one: the algorithm's origin.
constexpr u32 kOrigin = 1721119;
// Day number of 1 January 1901.
constexpr u32 kFirstJanuary1901 = 2415386;

// The year of day number `j` (the year part of `mdy`).
struct Civil {
    unsigned int month, day, year;
};

Civil civilFromDays(u32 dayNumber) {
    u32 j = dayNumber - kOrigin;
    const u32 y = (4 * j - 1) / 146097;
    u32 t = 4 * j - 1 - 146097 * y;
    u32 d = t / 4;
    const u32 j2 = (4 * d + 3) / 1461;
    t = 4 * d + 3 - 1461 * j2;
    d = (t + 4) / 4;
    const u32 m = (5 * d - 3) / 153;
    t = 5 * d - 3 - 153 * m;
    d = (t + 5) / 5;
    Civil c{0, d, 100 * y + j2};
    if (m < 10) {
        c.month = m + 3;
    } else {
        c.month = m - 9;
        c.year += 1;
    }
    return c;
}

}  // namespace

const unsigned char QNDate::daysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const unsigned int QNDate::firstDayOfEachMonth[12] = {0,   31,  59,  90,  120, 151,
                                                      181, 212, 243, 273, 304, 334};

QNDate::QNDate() : julian_(static_cast<u32>(currentDate())) {}

QNDate::QNDate(unsigned int dayOfYear, unsigned int year) {
    if (year == 0) {
        julian_ = dayOfYear + kFirstJanuary1901;
    } else {
        julian_ = static_cast<u32>(jday(12, 31, year - 1)) + dayOfYear;
    }
}

QNDate::QNDate(const tm* t)
    : julian_(static_cast<u32>(jday(static_cast<unsigned>(t->tm_mon) + 1,
                                    static_cast<unsigned>(t->tm_mday),
                                    static_cast<unsigned>(t->tm_year) + 1900))) {}

QNDate::QNDate(const QNTime& t, const QNZone& zone) {
    tm local;
    t.extract(&local, zone);
    // The cleared reading of an invalid time names no date.
    julian_ = QNDate(&local).julian_;
}

unsigned long QNDate::jday(unsigned int month, unsigned int day, unsigned int year) {
    const u32 fullYear = year < 100 ? year + 1900 : year;
    if (!dayWithinMonth(month, day, fullYear))
        return 0;
    u32 m, y;
    if (month > 2) {
        m = month - 3;
        y = fullYear;
    } else {
        m = month + 9;
        y = fullYear - 1;
    }
    const u32 c = y / 100;
    const u32 ya = y - 100 * c;
    const u32 j = (146097 * c) / 4 + (1461 * ya) / 4 + (153 * m + 2) / 5 + day + kOrigin;
    // Overflowed results do not map back to the year asked for.
    return civilFromDays(j).year == fullYear ? j : 0;
}

bool QNDate::leapYear(unsigned int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

unsigned int QNDate::daysInYear(unsigned int year) {
    return leapYear(year) ? 366 : 365;
}

unsigned int QNDate::daysInMonthYear(unsigned int month, unsigned int year) {
    if (!assertIndexOfMonth(month))
        return 0;
    return daysInMonth[month - 1] + (month == 2 && leapYear(year) ? 1 : 0);
}

bool QNDate::dayWithinMonth(unsigned int month, unsigned int day, unsigned int year) {
    if (day == 0 || !assertIndexOfMonth(month))
        return false;
    return day <= daysInMonthYear(month, year);
}

QNDate QNDate::now() {
    return QNDate(currentDate());
}

void QNDate::clobber(tm* t) {
    constexpr int kInvalid = INT32_MIN;
    t->tm_sec = t->tm_min = t->tm_hour = kInvalid;
    t->tm_mday = t->tm_mon = t->tm_year = kInvalid;
    t->tm_wday = t->tm_yday = t->tm_isdst = kInvalid;
}

unsigned long QNDate::currentDate() {
    const time_t now = time(nullptr);
    const tm local = *localtime(&now);
    return jday(static_cast<unsigned>(local.tm_mon) + 1, static_cast<unsigned>(local.tm_mday),
                static_cast<unsigned>(local.tm_year) + 1900);
}

void QNDate::mdy(unsigned int& month, unsigned int& day, unsigned int& year) const {
    const Civil c = civilFromDays(julian_);
    month = c.month;
    day = c.day;
    year = c.year;
}

unsigned int QNDate::day() const {
    return julian_ - static_cast<u32>(jday(12, 31, year() - 1));
}

unsigned int QNDate::dayOfMonth() const {
    unsigned int m, d, y;
    mdy(m, d, y);
    return d;
}

unsigned int QNDate::month() const {
    unsigned int m, d, y;
    mdy(m, d, y);
    return m;
}

unsigned int QNDate::year() const {
    unsigned int m, d, y;
    mdy(m, d, y);
    return y;
}

unsigned int QNDate::firstDayOfMonth(unsigned int month) const {
    if (!assertIndexOfMonth(month))
        return 0;
    return firstDayOfEachMonth[month - 1] + 1 + (month > 2 && leapYear(year()) ? 1 : 0);
}

int QNDate::compareTo(const QNDate* other) const {
    if (julian_ == other->julian_)
        return 0;
    return julian_ > other->julian_ ? 1 : -1;
}

QNDate QNDate::next(unsigned int weekday) const {
    QNDate d = *this;
    d += (weekday - weekDay() + 6) % 7 + 1;
    return d;
}

QNDate QNDate::previous(unsigned int weekday) const {
    QNDate d = *this;
    d -= (weekDay() + 6 - weekday) % 7 + 1;
    return d;
}

void QNDate::extract(tm* t) const {
    if (!isValid()) {
        clobber(t);
        return;
    }
    unsigned int m, d, y;
    mdy(m, d, y);
    t->tm_sec = t->tm_min = t->tm_hour = 0;
    t->tm_mday = static_cast<int>(d);
    t->tm_mon = static_cast<int>(m) - 1;
    t->tm_year = static_cast<int>(y) - 1900;
    t->tm_wday = static_cast<int>(weekDay() % 7);
    t->tm_yday =
        static_cast<int>(firstDayOfEachMonth[m - 1] + d - 1 + (leapYear(y) && m > 2 ? 1 : 0));
    t->tm_isdst = -1;
}
