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

    // Today in the C runtime's local time.
    QNDate();
    // That day number, unchecked (only the low 32 bits are kept).
    explicit QNDate(unsigned long dayNumber) : julian_(static_cast<std::uint32_t>(dayNumber)) {}
    // The date `day`/`month`/`year`; invalid (0) when no such date exists.
    QNDate(unsigned int day, unsigned int month, unsigned int year)
        : julian_(static_cast<std::uint32_t>(jday(month, day, year))) {}
    // Day `dayOfYear` of `year`, counted from 31 December of the year before
    // (so 0 is that 31 December and 400 lands in the next year). Year 0 counts
    // days after 1 January 1901 (0 is 1 January 1901). The year before is read
    // with the two-digit rule: `QNDate(1, 100)` is 1 January 2000.
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
    // result would not fit 32 bits.
    static unsigned long jday(unsigned int month, unsigned int day, unsigned int year);
    // Gregorian rule, no two-digit adjustment.
    static bool leapYear(unsigned int year);
    static unsigned int daysInYear(unsigned int year);
    // Length of `month` in `year`; 0 when `month` is outside 1..12.
    static unsigned int daysInMonthYear(unsigned int month, unsigned int year);
    // Whether `day` exists in `month` of `year` (the year as given).
    static bool dayWithinMonth(unsigned int month, unsigned int day, unsigned int year);
    static QNDate now();
    static unsigned int hash(const QNDate& d) { return d.hash(); }
    // Sets all nine fields of `t` to -2147483648, the mark of an invalid date.
    static void clobber(tm* t);

    unsigned long julian() const { return julian_; }
    void julian(unsigned long dayNumber) { julian_ = static_cast<std::uint32_t>(dayNumber); }
    bool isValid() const { return julian_ > 0; }
    // Day of year, 1-based.
    unsigned int day() const;
    unsigned int dayOfMonth() const;
    unsigned int month() const;
    unsigned int year() const;
    // 1..7, Monday = 1.
    unsigned int weekDay() const { return julian_ % 7 + 1; }
    bool leap() const { return leapYear(year()); }
    // Day of year on which `month` begins in this date's year; 0 when
    // `month` is outside 1..12.
    unsigned int firstDayOfMonth(unsigned int month) const;
    unsigned int firstDayOfMonth() const { return firstDayOfMonth(month()); }
    unsigned int hash() const { return julian_; }
    unsigned long binaryStoreSize() const { return sizeof julian_; }

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

    friend bool operator==(const QNDate& a, const QNDate& b) { return a.julian_ == b.julian_; }
    friend auto operator<=>(const QNDate& a, const QNDate& b) { return a.julian_ <=> b.julian_; }

  protected:
    static bool assertWeekDayNumber(unsigned int weekday) { return weekday >= 1 && weekday <= 7; }
    static bool assertIndexOfMonth(unsigned int month) { return month >= 1 && month <= 12; }

  private:
    static unsigned long currentDate();
    void mdy(unsigned int& month, unsigned int& day, unsigned int& year) const;

    std::uint32_t julian_;
};

static_assert(sizeof(QNDate) == 4, "QNDate is one 32-bit day number");

#endif  // XVKIT_QNDATE_H_
