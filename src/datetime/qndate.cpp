// Calendar date arithmetic (ACM Collected Algorithm 199 in 32-bit unsigned
// arithmetic; the conversions themselves are inline in the header).
#include <xvkit/qndate.h>
#include <xvkit/qntime.h>

#include <cstdint>
#include <ctime>

#include "zone_calc.h"

namespace {

using u32 = std::uint32_t;

}  // namespace

const unsigned char QNDate::daysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const unsigned int QNDate::firstDayOfEachMonth[12] = {0,   31,  59,  90,  120, 151,
                                                      181, 212, 243, 273, 304, 334};

QNDate::QNDate() : julian_(static_cast<u32>(currentDate())) {}

QNDate::QNDate(unsigned int dayOfYear, unsigned int year) {
    if (year == 0) {
        julian_ = dayOfYear + xvkit::tz::kFirstDayNumber;
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

unsigned long QNDate::checkedDayNumber(unsigned int month, unsigned int day, unsigned int year) {
    const u32 j = dayNumberOf(month, day, year);
    // A result that wrapped 32 bits does not map back to the year asked for.
    return QNDate(static_cast<unsigned long>(j)).year() == year ? j : 0;
}

QNDate QNDate::now() {
    return QNDate(currentDate());
}

void QNDate::clobber(tm* t) {
    using xvkit::tz::kClearedField;
    t->tm_sec = t->tm_min = t->tm_hour = kClearedField;
    t->tm_mday = t->tm_mon = t->tm_year = kClearedField;
    t->tm_wday = t->tm_yday = t->tm_isdst = kClearedField;
}

unsigned long QNDate::currentDate() {
    const time_t now = time(nullptr);
    const tm* shared = localtime(&now);
    if (shared == nullptr)
        return 0;
    const tm local = *shared;
    return jday(static_cast<unsigned>(local.tm_mon) + 1, static_cast<unsigned>(local.tm_mday),
                static_cast<unsigned>(local.tm_year) + 1900);
}

unsigned int QNDate::day() const {
    return julian_ - static_cast<u32>(jday(12, 31, year() - 1));
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
