// xvkit/qndate.h
//
// QNDate: a calendar date in the proleptic Gregorian calendar, held as one
// 32-bit Julian Day Number (1 January 2000 is day 2451545). A date has no zone.
//
// Day number 0 is the invalid date: every validating constructor yields it on
// bad input, and `isValid()` is false for it. Arithmetic is plain unsigned
// 32-bit arithmetic (wrapping modulo 2^32) and never checks validity.
//
// Numbering: months 1..12 (January = 1), weekdays 1..7 (Monday = 1,
// Sunday = 7), day of year 1..366. Years below 100 given to the calendar
// constructors mean 1900..1999; 100 and above are taken literally.
//
// Example:
//
//   QNDate d(1, 3, 2000);                 // 1 March 2000
//   d.julian();                           // 2451605
//   d.weekDay();                          // 3, Wednesday
//   QNDate friday = d.next(5);            // 3 March 2000
//   tm t;
//   d.extract(&t);                        // t.tm_yday == 60, t.tm_wday == 3
//
// No operation throws.

#ifndef XVKIT_QNDATE_H_
#define XVKIT_QNDATE_H_

#include <cstdint>
#include <ctime>

#include <xvkit/xvplatform.h>
#include <xvkit/xvstring.h>

class QNLocale;
class QNTime;
class QNZone;

class XVKIT_API QNDate {
  public:
    // Common-year month lengths, indexed by month - 1.
    static const unsigned char daysInMonth[12];
    // Days before the first of each month in a common year, indexed by month - 1.
    static const unsigned int firstDayOfEachMonth[12];

    // Today in the C runtime's local time (time() and localtime()); invalid
    // if the runtime cannot convert the clock.
    QNDate();
    // That day number, unchecked (only the low 32 bits are kept).
    explicit QNDate(unsigned long dayNumber) : julian_(static_cast<std::uint32_t>(dayNumber)) {}
    // The date `day`/`month`/`year`, i.e. jday(month, day, year): years
    // below 100 mean 1900..1999; invalid (0) when no such date exists or its
    // day number does not fit 32 bits.
    QNDate(unsigned int day, unsigned int month, unsigned int year)
        : julian_(static_cast<std::uint32_t>(jday(month, day, year))) {}
    // Day `dayOfYear` of `year`, counted from 31 December of the year before
    // (so 0 is that 31 December and 400 lands in the next year). Year 0 counts
    // days after 1 January 1901 (0 is 1 January 1901). The year before is read
    // with the two-digit rule: `QNDate(1, 100)` is 1 January 2000. The day
    // count is not checked; the sum wraps modulo 2^32.
    QNDate(unsigned int dayOfYear, unsigned int year);
    // The date in `tm_mday`, `tm_mon` and `tm_year`; invalid when they name
    // no date. The other fields are ignored. `t` must not be null.
    explicit QNDate(const tm* t);
    // The calendar date of the instant `t` in `zone` (daylight time
    // included); invalid for the invalid time.
    QNDate(const QNTime& t, const QNZone& zone);
    // `day` of the month that `loc` names `month` (its `monthIndex`) in
    // `year`; invalid when the name is not recognised or the date does not
    // exist.
    QNDate(unsigned int day, const char* month, unsigned int year, const QNLocale& loc);
    // The date that `loc.stringToDate` reads from `text`; invalid when the
    // locale cannot read it or it names no date.
    QNDate(const XVString& text, const QNLocale& loc);

    // Day number of `month`/`day`/`year`, or 0 when it is not a date or the
    // 32-bit result wrapped (it does not map back to `year`). Years below
    // 100 mean 1900..1999. No bad input throws.
    inline static unsigned long jday(unsigned int month, unsigned int day, unsigned int year);
    // Gregorian rule: divisible by 4, and not by 100 unless by 400. No
    // two-digit adjustment (0 is the leap year 0, not 1900).
    static bool leapYear(unsigned int year) {
        return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    }
    // 366 for a leap year, else 365.
    static unsigned int daysInYear(unsigned int year) { return leapYear(year) ? 366 : 365; }
    // Length of `month` in `year`; 0 when `month` is outside 1..12.
    static unsigned int daysInMonthYear(unsigned int month, unsigned int year) {
        if (!assertIndexOfMonth(month))
            return 0;
        return daysInMonth[month - 1] + (month == 2 && leapYear(year) ? 1u : 0u);
    }
    // Whether `day` exists in `month` of `year` (the year as given); false
    // for day 0 or a month outside 1..12.
    static bool dayWithinMonth(unsigned int month, unsigned int day, unsigned int year) {
        if (day == 0 || !assertIndexOfMonth(month))
            return false;
        return day <= 28 || day <= daysInMonthYear(month, year);
    }
    // Today in the C runtime's local time (0 if the runtime cannot say).
    static QNDate now();
    // The day number of `d`.
    static unsigned int hash(const QNDate& d) { return d.hash(); }
    // Sets all nine fields of `t` to -2147483648, the mark of an invalid date.
    static void clobber(tm* t);

    // The accessors below never check validity: the invalid date (0), and
    // day numbers at or below 1721119 (before 1 March of the year 0), give
    // meaningless but harmless fields.

    // The day number; the setter keeps its low 32 bits.
    unsigned long julian() const { return julian_; }
    void julian(unsigned long dayNumber) { julian_ = static_cast<std::uint32_t>(dayNumber); }
    // Day number > 0.
    bool isValid() const { return julian_ > 0; }
    // Day of year, 1-based: the day number less that of 31 December of the
    // year before (read with the two-digit rule, as jday reads it).
    unsigned int day() const;
    // Day of the month 1..31, month 1..12 and full year. Inline, so that a
    // caller asking for several of them pays for one split of the day number.
    unsigned int dayOfMonth() const {
        unsigned int m, d, y;
        mdy(m, d, y);
        return d;
    }
    unsigned int month() const {
        unsigned int m, d, y;
        mdy(m, d, y);
        return m;
    }
    unsigned int year() const {
        unsigned int m, d, y;
        mdy(m, d, y);
        return y;
    }
    // 1..7, Monday = 1.
    unsigned int weekDay() const { return julian_ % 7 + 1; }
    // Whether this date's year is a leap year.
    bool leap() const { return leapYear(year()); }
    // Day of year on which `month` begins in this date's year; 0 when
    // `month` is outside 1..12.
    unsigned int firstDayOfMonth(unsigned int month) const;
    // Day of year on which this date's month begins.
    unsigned int firstDayOfMonth() const { return firstDayOfMonth(month()); }
    // The day number itself.
    unsigned int hash() const { return julian_; }
    // 4: the bytes of the day number.
    unsigned long binaryStoreSize() const { return sizeof julian_; }

    // Day arithmetic on the day number, modulo 2^32 (only the low 32 bits of
    // `n` count); no validity check, so the invalid date can become a
    // meaningless valid one. The prefix forms return this date, the postfix
    // forms the value before the move.
    QNDate& operator+=(unsigned long n) {
        julian_ += static_cast<std::uint32_t>(n);
        return *this;
    }
    QNDate& operator-=(unsigned long n) {
        julian_ -= static_cast<std::uint32_t>(n);
        return *this;
    }
    QNDate& operator++() {
        ++julian_;
        return *this;
    }
    QNDate& operator--() {
        --julian_;
        return *this;
    }
    QNDate operator++(int) {
        QNDate before = *this;
        ++julian_;
        return before;
    }
    QNDate operator--(int) {
        QNDate before = *this;
        --julian_;
        return before;
    }

    // +1, 0 or -1 as this date is later than, equal to or earlier than `other`.
    int compareTo(const QNDate* other) const;
    // a <= this <= b; false when a > b.
    bool between(const QNDate& a, const QNDate& b) const {
        return a.julian_ <= julian_ && julian_ <= b.julian_;
    }
    // `other` when it is strictly later (max) or strictly earlier (min),
    // otherwise this date.
    QNDate max(const QNDate& other) const { return other.julian_ > julian_ ? other : *this; }
    QNDate min(const QNDate& other) const { return other.julian_ < julian_ ? other : *this; }

    // Nearest date strictly after (before) this one on `weekday` (1..7,
    // unchecked): 1 to 7 days away.
    QNDate next(unsigned int weekday) const;
    QNDate previous(unsigned int weekday) const;
    // As above with the weekday named in `loc`. A name the locale does not
    // recognise passes weekday 0 to the numeric form.
    QNDate next(const char* weekdayName, const QNLocale& loc) const;
    QNDate previous(const char* weekdayName, const QNLocale& loc) const;

    // Names through a locale. The zone for the locale is QNZone::local().
    // `weekday` is 1..7 (Monday = 1; 7 and 0 both mean Sunday), `month` 1..12.
    static XVString weekDayName(unsigned int weekday, const QNLocale& loc);
    static XVString nameOfMonth(unsigned int month, const QNLocale& loc);
    XVString weekDayName(const QNLocale& loc) const { return weekDayName(weekDay(), loc); }
    XVString monthName(const QNLocale& loc) const { return nameOfMonth(month(), loc); }
    // 1..7 (Monday = 1) or 1..12 for a name `loc` recognises, else 0.
    static unsigned int dayOfWeek(const char* name, const QNLocale& loc);
    static unsigned int indexOfMonth(const char* name, const QNLocale& loc);

    // The text of one directive (e.g. 'x', 'A') or of a whole format (e.g.
    // "%d %B %Y") for this date at midnight, with QNZone::local() for zone
    // names. An invalid date is formatted from a cleared `tm`.
    XVString asString(char directive, const QNLocale& loc) const;
    XVString asString(const char* format, const QNLocale& loc) const;

    // Fills `t` with the date at midnight, `tm_isdst` -1; clobbers it when the
    // date is invalid.
    void extract(tm* t) const;

    // Equality and order of the day numbers, consistent with compareTo.
    friend bool operator==(const QNDate& a, const QNDate& b) { return a.julian_ == b.julian_; }
    friend auto operator<=>(const QNDate& a, const QNDate& b) { return a.julian_ <=> b.julian_; }

  protected:
    // True for 1..7 and for 1..12.
    static bool assertWeekDayNumber(unsigned int weekday) { return weekday >= 1 && weekday <= 7; }
    static bool assertIndexOfMonth(unsigned int month) { return month >= 1 && month <= 12; }

  private:
    // Up to this year a day number fits 32 bits with a wide margin and maps
    // back to its year, so jday needs no reverse check there.
    static constexpr unsigned int kLastUncheckedYear = 2000000;

    static unsigned long currentDate();
    // The day-number formula in 32-bit unsigned arithmetic (wrapping for huge
    // years); `month` 1..12, `year` already past the two-digit rule.
    inline static std::uint32_t dayNumberOf(unsigned int month, unsigned int day,
                                            unsigned int year);
    // jday for years past kLastUncheckedYear: the formula, then the reverse check.
    static unsigned long checkedDayNumber(unsigned int month, unsigned int day, unsigned int year);
    // Splits the day number into month 1..12, day of month and year.
    inline void mdy(unsigned int& month, unsigned int& day, unsigned int& year) const;

    std::uint32_t julian_;
};

static_assert(sizeof(QNDate) == 4, "QNDate is one 32-bit day number");

// ---- implementation ---------------------------------------------------------

inline std::uint32_t QNDate::dayNumberOf(unsigned int month, unsigned int day, unsigned int year) {
    // Years counted from March, so that the leap day ends the year.
    const std::uint32_t m = month > 2 ? month - 3 : month + 9;
    const std::uint32_t y = month > 2 ? year : year - 1;
    const std::uint32_t c = y / 100;
    const std::uint32_t ya = y - 100 * c;
    return 146097 * c / 4 + 1461 * ya / 4 + (153 * m + 2) / 5 + day + 1721119;
}

inline unsigned long QNDate::jday(unsigned int month, unsigned int day, unsigned int year) {
    const unsigned int fullYear = year < 100 ? year + 1900 : year;
    if (!dayWithinMonth(month, day, fullYear))
        return 0;
    if (fullYear > kLastUncheckedYear)
        return checkedDayNumber(month, day, fullYear);
    return dayNumberOf(month, day, fullYear);
}

inline void QNDate::mdy(unsigned int& month, unsigned int& day, unsigned int& year) const {
    // The inverse of dayNumberOf. n1 is 4 * (days since 1 March of the year
    // 0) - 1, wrapped to 32 bits exactly as the plain algorithm wraps it; its
    // quotient by 146097 counts centuries. The divisions by 1461, 153 and 5
    // within a century become multiplications and shifts that give the same
    // quotients and remainders for every value a century holds.
    const std::uint32_t n1 = 4 * (julian_ - 1721120) + 3;
    const std::uint32_t centuries = n1 / 146097;
    const std::uint32_t n2 = n1 % 146097 / 4 * 4 + 3;
    const std::uint64_t u2 = std::uint64_t{2939745} * n2;  // 2939745 = 2^32 / 1461
    const auto yearOfCentury = static_cast<std::uint32_t>(u2 >> 32);
    const std::uint32_t dayOfYear = static_cast<std::uint32_t>(u2) / 2939745 / 4;  // 0 = 1 March
    const std::uint32_t n3 = 2141 * dayOfYear + 197913;
    const std::uint32_t marchMonth = n3 >> 16;  // 3 = March .. 14 = February
    const std::uint32_t janFeb = dayOfYear >= 306 ? 1 : 0;
    month = marchMonth - 12 * janFeb;
    day = (n3 & 0xFFFF) / 2141 + 1;
    year = 100 * centuries + yearOfCentury + janFeb;
}

#endif  // XVKIT_QNDATE_H_
