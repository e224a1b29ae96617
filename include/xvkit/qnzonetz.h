// xvkit/qnzonetz.h
//
// QNZoneTZ: a zone that follows real rules, either a POSIX TZ setting
// ("EST5EDT,M3.2.0,M11.1.0", "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0") or a
// zone of the IANA time-zone database ("America/New_York", "Europe/Dublin"),
// read from the compiled files (TZif, `man 5 tzfile`) under $TZDIR or
// /usr/share/zoneinfo.
//
// It is a QNZone like any other: QNTime construction and extract, isDST,
// beginDST/endDST, QNDate(const QNTime&, const QNZone&), the 'Z' directive of
// the locales and QNZone::local(zone) take it unchanged. Unlike the
// process-wide zones, whose daylight time always follows the built-in North
// American schedule, it answers whether a wall-clock time is daylight time
// from the zone's own transitions, so any number of daylight periods a year
// and either hemisphere come out right.
//
// QNZone has one standard and one daylight offset and name. A database zone
// answers through that interface with those in force after the last change of
// either (see exactFrom()); from that year on every answer is the database's.
// period(), extract() and instants() answer from the zone's whole history
// instead: the offset, daylight flag and name in force at every instant of
// the QNTime range, 1901 to 2037.
//
// Example:
//
//   XVString why;
//   auto berlin = QNZoneTZ::fromDatabase("Europe/Berlin", &why);
//   if (!berlin) { /* why: "no zone 'Europe/Berlin' under /usr/share/zoneinfo" */ }
//   QNTime t(QNDate(1, 4, 2024), 12, 0, 0, *berlin);   // 10:00 UTC
//   t.isDST(*berlin);                                   // true: CEST
//   QNTime::beginDST(2024, *berlin);                    // 31 March 01:00 UTC
//   QNTime war(QNDate(1, 6, 1945), 12, 0, 0, QNZone::utc());
//   berlin->period(war).offset;                         // -10800: CEMT, double summer time
//   berlin->instants(QNDate(27, 10, 2024), 2, 30, 0).count;   // 2: the clock shows it twice
//
// A QNZoneTZ is immutable after construction and may be shared by any number
// of threads; copies share the same immutable data. Nothing here throws,
// except that copying a name can fail as allocating memory can.

#ifndef XVKIT_QNZONETZ_H_
#define XVKIT_QNZONETZ_H_

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <vector>

#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <xvkit/xvplatform.h>
#include <xvkit/xvstring.h>

class XVKIT_API QNZoneTZ : public QNZone {
  public:
    // The count of the last instant a QNTime holds: 2^32 - 1, 6 February
    // 2037 06:28:15 UTC. The first is 1, one second into 1901 (0 is the
    // invalid time).
    static constexpr unsigned long lastCount = 4294967295ul;

    // A stretch of time with one offset, one daylight flag and one name.
    // Below, QNTime() stands for the invalid time, the count 0 (isValid()
    // false), not for the current instant that the default constructor gives.
    struct Period {
        // Its first instant; QNTime() when it began before 1 January 1901 00:00:01 UTC.
        QNTime begin;
        // The first instant after it; QNTime() when it lasts past the last QNTime.
        QNTime end;
        // Seconds west of Greenwich, the sign of timeZoneOffset().
        long offset;
        // Daylight time, as the database flags it.
        bool daylight;
        // "CEST", "+0430", "LMT".
        XVString name;
    };
    // The period in force at `t`. Transitions that change none of offset,
    // flag and name do not split a period. The invalid time is read as the
    // instant 1 January 1901 00:00:00 UTC, so period(QNTime(0ul)) is the
    // zone's first period, and period(p.end) from there walks the zone's
    // history up to the period whose `end` is invalid.
    Period period(const QNTime& t) const;

    // The instants that a wall-clock time names in this zone.
    struct Instants {
        // 1 ordinary; 2 repeated (the clock shows it twice); 0 skipped or out of range.
        unsigned int count;
        // Count 1: the instant; 2: the earlier one; 0: the first instant after the skipped
        // stretch (QNTime() when the wall time lies outside the QNTime range).
        QNTime first;
        // Count 2: the later instant; otherwise QNTime().
        QNTime second;
    };
    // `hour`:`minute`:`second` on `date`, read on this zone's wall clock.
    // The three values are not range-checked (25:00 is one hour into the next
    // day), as for the QNTime constructor. Only instants of the QNTime range
    // count: a time shown twice whose other reading lies outside the range
    // has count 1. An invalid date names no instant (count 0, first
    // QNTime()). A time shown three times or more, which only a made-up zone
    // can do, gives count 2 with the earliest and the latest instant.
    Instants instants(const QNDate& date, unsigned int hour, unsigned int minute,
                      unsigned int second) const;

    // The wall clock at `t`: the nine tm fields, tm_isdst 0 or 1 as the database says;
    // a cleared tm (QNDate::clobber) for QNTime(). A reading before 1 January
    // 1901 local time reads as 31 December 1900. Other members of `*out`
    // (tm_gmtoff, tm_zone) are left alone.
    void extract(const QNTime& t, tm* out) const;

    // A POSIX TZ setting: std offset [dst [offset] [,start[/time],end[/time]]]
    // with names of three or more letters or quoted ("<+0330>"), offsets
    // [+-]hh[:mm[:ss]] (hh 0..24, positive west of Greenwich), dates Mm.w.d,
    // Jn (1..365, never counting 29 February) and n (0..365), and times
    // [+-]hh[:mm[:ss]] with hh up to 167. A daylight name without a rule gets
    // the C runtime's default rule "M3.2.0,M11.1.0"; a daylight name without
    // an offset is one hour ahead of standard time. The rule holds in every
    // year from 1901 to 2037. Null for a null or malformed setting, with a
    // one-line reason in `*why` when `why` is not null.
    static std::unique_ptr<QNZoneTZ> fromPosix(const char* setting, XVString* why = nullptr);

    // The database zone `name` ("Europe/Paris", or a link such as
    // "US/Eastern"), read from $TZDIR or /usr/share/zoneinfo: its transitions
    // over 1901 to 2037 and, past the last one, the rule of the file's footer.
    // Null, with a one-line reason in `*why`, for a null or empty name, a name
    // that is absolute or reaches outside the folder (a ".." part), a missing
    // file, anything but a regular file (a FIFO is refused at once, not
    // waited on), or a file that is not a well-formed TZif file (truncated,
    // corrupt, leap-second zones). Reasons escape control bytes ("\n").
    static std::unique_ptr<QNZoneTZ> fromDatabase(const char* name, XVString* why = nullptr);

    // A zone from the TZif image of `size` bytes at `data` (the content of a
    // compiled database file), named `name` (name() returns it; null is the
    // empty name). Never reads outside the `size` bytes. Null, with a
    // one-line reason ("truncated data") in `*why`, for null data of a
    // nonzero size or bytes that are not a well-formed TZif image.
    // fromDatabase reads the file and calls this.
    static std::unique_ptr<QNZoneTZ> fromTZif(const void* data, std::size_t size, const char* name,
                                              XVString* why = nullptr);

    // A value of the TZ variable as the C runtime reads it: ":NAME" is a
    // database zone (or a file, when NAME is absolute); otherwise a database
    // zone of that name when there is one, else a POSIX setting (also when
    // the text is too long to be a file name). The empty text is UTC. Null,
    // with a reason in `*why`, when it is neither.
    static std::unique_ptr<QNZoneTZ> fromSetting(const char* setting, XVString* why = nullptr);

    // The zone of the TZ variable (fromSetting), or of /etc/localtime when TZ
    // is not set, or UTC when /etc/localtime is missing too. Null, with a
    // reason, when TZ names no zone or /etc/localtime is not a zone file.
    static std::unique_ptr<QNZoneTZ> fromEnvironment(XVString* why = nullptr);

    QNZoneTZ(const QNZoneTZ&);
    QNZoneTZ& operator=(const QNZoneTZ&);
    ~QNZoneTZ() override;

    // What the zone was built from: the database name or the setting.
    XVString name() const;

    // The first year from which every answer of the QNZone interface
    // (offsets, names, daylight flag, instants from wall-clock times,
    // beginDST/endDST) is the database's up to 2037: the year after the
    // zone's last change of standard or daylight offset or name, and after
    // the last stretch of standard time between two daylight periods too
    // short for QNTime's two-readings test (under twice the difference of
    // the offsets). 2038 when there is no such year. 1901 for the usual
    // POSIX setting. period(), extract() and instants() are exact throughout.
    unsigned int exactFrom() const;

    // The instants of `year` (read on the zone's wall clock) at which the
    // zone changes between standard and daylight time, in order; each is the
    // first second of the new time. Empty for a year without changes.
    std::vector<QNTime> changes(unsigned int year) const;

    long timeZoneOffset() const override;
    long altZoneOffset() const override;
    // True when the zone has daylight time anywhere in 1901..2037.
    bool daylightObserved() const override;
    XVString timeZoneName() const override;
    XVString altZoneName() const override;

    // Whether the wall-clock time `t` (year, month, day, hour, minute, second;
    // fields out of range carry over) lies in a daylight period. A period
    // opens at its first instant read on the earlier of the two clocks and
    // closes at its end read on the later one, so that QNTime's two-readings
    // test gives exactly the zone's daylight flag.
    bool isDaylight(const tm* t) const override;
    // The start of the first daylight period that starts in year `t->tm_year`
    // as read on standard time; fills `tm_mon`, `tm_mday`, `tm_wday`,
    // `tm_hour`, `tm_min`, `tm_sec`, sets `tm_isdst` -1 and leaves `tm_year`
    // and `tm_yday` alone. Clears `t` (QNDate::clobber) when no period starts
    // in that year.
    void getBeginDaylight(tm* t) const override;
    // The end of the last daylight period that ends in year `t->tm_year`,
    // read on daylight time; otherwise as getBeginDaylight.
    void getEndDaylight(tm* t) const override;

  private:
    struct Data;
    explicit QNZoneTZ(std::shared_ptr<const Data> data);

    // QNTime asks these instead of the virtual members when a zone is exactly
    // a QNZoneTZ; the answers are the same.
    friend class QNTime;
    // Whether both readings of `count`, at the standard and at the daylight
    // offset, are daylight wall-clock times: QNTime's daylight test.
    bool daylightCount(std::uint32_t count) const;
    // isDaylight of the wall-clock time `wall`, in seconds since 1970-01-01
    // 00:00 of the wall clock.
    bool daylightWall(std::int64_t wall) const;

    std::shared_ptr<const Data> data_;
};

#endif  // XVKIT_QNZONETZ_H_
