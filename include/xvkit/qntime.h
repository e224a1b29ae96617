// xvkit/qntime.h
//
// QNTime: an instant, held as one 32-bit count of seconds of universal time
// since 1 January 1901 00:00:00 UTC. The range ends at 2^32 - 1, 6 February
// 2037 06:28:15 UTC. The count 0 is the invalid time (so the epoch instant
// itself is not a valid time); every failing constructor yields it.
//
// A `time_t` t corresponds to the count t + 2177452800 (the seconds from 1901
// to 1970). Arithmetic is plain unsigned 32-bit arithmetic, wrapping modulo
// 2^32, and never checks validity.
//
// An instant is built from a calendar date and a wall-clock time read in a
// zone, and taken apart again into a C `tm` in a zone. Near daylight-saving
// changes (boundaries at 02:00):
//   * a wall-clock time in the hour the spring change skips yields 0;
//   * a wall-clock time in the hour the autumn change repeats is taken as
//     daylight time, the earlier of the two instants.
//
// Example:
//
//   QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
//   QNTime t(QNDate(26, 10, 1997), 1, 30, 0, eastern);   // 05:30 UTC, EDT
//   t.hourGMT();                                         // 5
//   t.isDST(eastern);                                    // true
//   t += 3600;
//   t.hour(eastern);                                     // 1 again, now EST
//
// No operation throws.

#ifndef XVKIT_QNTIME_H_
#define XVKIT_QNTIME_H_

#include <cstdint>
#include <ctime>

#include <xvkit/qndate.h>
#include <xvkit/qnzone.h>
#include <xvkit/xvplatform.h>
#include <xvkit/xvstring.h>

class QNLocale;

class XVKIT_API QNTime {
  public:
    // The current instant: time(NULL) + 2177452800, cut to 32 bits (a clock
    // past 6 February 2037 06:28:15 UTC wraps).
    QNTime();
    // That count, unchecked (only the low 32 bits are kept).
    explicit QNTime(unsigned long seconds) : seconds_(static_cast<std::uint32_t>(seconds)) {}
    // The instant at which the wall clock in `zone` reads `hour`:`minute`:
    // `second` on `date`. The three values are not range-checked (25:00 is one
    // hour into the next day). 0 when `date` is invalid or before 31 December
    // 1900, or when the time falls in the hour skipped by the change to
    // daylight time. A time in the hour repeated by the change back is read
    // as daylight time. Sums past the 32-bit range wrap.
    QNTime(const QNDate& date, unsigned int hour, unsigned int minute, unsigned int second,
           const QNZone& zone)
        : seconds_(static_cast<std::uint32_t>(buildFrom(date, hour, minute, second, zone))) {}
    // As above on today's date (the C runtime's local calendar day).
    QNTime(unsigned int hour, unsigned int minute, unsigned int second, const QNZone& zone);
    // As above with the date in `tm_mday`/`tm_mon`/`tm_year` and the time in
    // `tm_hour`/`tm_min`/`tm_sec`; `tm_isdst`, `tm_wday` and `tm_yday` are
    // ignored. `t` must not be null.
    QNTime(const tm* t, const QNZone& zone);
    // The instant at which the wall clock in `zone` shows the time of day
    // that `loc.stringToTime` reads from `text`, on `date`. The locale's
    // fields go to the constructor above unchecked, a negative one as its
    // unsigned value, so a locale that reads hour -1 and minute 120 gives
    // 01:00. 0 when `date` is invalid (the locale is then not asked), when
    // the locale cannot read the text, or as for the constructor above.
    QNTime(const QNDate& date, const XVString& text, const QNZone& zone, const QNLocale& loc);

    // The current instant, as QNTime().
    static QNTime now() { return QNTime(currentTime()); }
    // The count of `t`.
    static unsigned int hash(const QNTime& t) { return t.hash(); }

    // The instant at which daylight saving begins in `year` in `zone` (the
    // begin boundary read on standard time); 0 when the zone observes no
    // daylight saving that year.
    static QNTime beginDST(unsigned int year, const QNZone& zone);
    // The instant at which it ends (the end boundary read on daylight time);
    // 0 when the zone observes none that year.
    static QNTime endDST(unsigned int year, const QNZone& zone);

    // The count of seconds since 1 January 1901 00:00:00 UTC.
    unsigned long seconds() const { return seconds_; }
    // Count != 0.
    bool isValid() const { return seconds_ != 0; }
    // The count itself.
    unsigned int hash() const { return seconds_; }
    // 4: the bytes of the count.
    unsigned long binaryStoreSize() const { return sizeof seconds_; }

    // Universal hour, minute and second; these never test validity.
    unsigned int hourGMT() const { return seconds_ % 86400 / 3600; }
    unsigned int minuteGMT() const { return seconds_ % 86400 % 3600 / 60; }
    // The second of the minute, the same in every zone.
    unsigned int second() const { return seconds_ % 60; }
    // Wall-clock hour and minute in `zone` (the fields of extract); for the
    // invalid time they are the cleared field, 0x80000000.
    unsigned int hour(const QNZone& zone) const;
    unsigned int minute(const QNZone& zone) const;

    // Whether the instant is daylight time in `zone`: the zone observes
    // daylight saving, and both its standard-time and its daylight-time
    // readings lie in daylight saving.
    bool isDST(const QNZone& zone) const;

    // Fills `t` with the wall-clock reading in `zone`, `tm_isdst` 1 for a
    // daylight reading and 0 otherwise. Clears `t` (every field 0x80000000)
    // for the invalid time. A reading before 1 January 1901 local time reads
    // as 31 December 1900.
    void extract(tm* t, const QNZone& zone) const;
    // Fills `t` with the universal reading, `tm_isdst` 0. Does not test
    // validity: the count 0 reads as 1 January 1901 00:00:00.
    void extractGMT(tm* t) const;

    // The text of one directive for the reading in `zone`; the directive
    // '\0' gives the locale's date ('x'), one space and its time ('X').
    XVString asString(char directive, const QNZone& zone, const QNLocale& loc) const;
    // The text of a whole format (e.g. "%H:%M %Z") for the reading in `zone`.
    XVString asString(const char* format, const QNZone& zone, const QNLocale& loc) const;

    // Second arithmetic on the count, modulo 2^32 (only the low 32 bits of
    // `n` count); no validity check.
    QNTime& operator+=(unsigned long n) {
        seconds_ += static_cast<std::uint32_t>(n);
        return *this;
    }
    QNTime& operator-=(unsigned long n) {
        seconds_ -= static_cast<std::uint32_t>(n);
        return *this;
    }
    // Prefix forms return a copy of the new value, postfix forms the value
    // before the move.
    QNTime operator++() { return QNTime(++seconds_); }
    QNTime operator--() { return QNTime(--seconds_); }
    QNTime operator++(int) { return QNTime(seconds_++); }
    QNTime operator--(int) { return QNTime(seconds_--); }

    // +1, 0 or -1 as this time is later than, equal to or earlier than `other`.
    int compareTo(const QNTime* other) const;
    // a <= this <= b; false when a > b.
    bool between(const QNTime& a, const QNTime& b) const {
        return a.seconds_ <= seconds_ && seconds_ <= b.seconds_;
    }
    // This time when it is strictly later (max) or strictly earlier (min)
    // than `other`, otherwise `other`.
    QNTime max(const QNTime& other) const { return seconds_ > other.seconds_ ? *this : other; }
    QNTime min(const QNTime& other) const { return seconds_ < other.seconds_ ? *this : other; }

    // Equality and order of the counts, consistent with compareTo.
    friend bool operator==(const QNTime& a, const QNTime& b) { return a.seconds_ == b.seconds_; }
    friend auto operator<=>(const QNTime& a, const QNTime& b) { return a.seconds_ <=> b.seconds_; }

  protected:
    // True for 1 January 1901 (day 2415386) to 5 February 2037 (day 2465095),
    // the whole days that the 32-bit count reaches.
    static bool assertDate(const QNDate& d) {
        return d.julian() >= 2415386 && d.julian() <= 2465095;
    }

  private:
    // time(NULL) as a count.
    static unsigned long currentTime();
    // The count for a wall-clock time in a zone, or 0 (see the constructors).
    static unsigned long buildFrom(const QNDate& date, unsigned int hour, unsigned int minute,
                                   unsigned int second, const QNZone& zone);

    std::uint32_t seconds_;
};

static_assert(sizeof(QNTime) == 4, "QNTime is one 32-bit count of seconds");

#endif  // XVKIT_QNTIME_H_
