// xvkit/qnzone.h
//
// Time zones and daylight-saving schedules.
//
//   QNDaylightBoundary  one moment of a year as a rule: "last Sunday in October
//                       at 02:00"
//   QNDaylightRule      a begin and an end boundary valid from a first year on,
//                       chained to the rule that held before
//   QNZone              the abstract zone: standard and daylight offsets and
//                       names, and which wall-clock times are daylight time;
//                       also the built-in schedules and the process-wide zones
//   QNZoneSimple        the concrete zone: two offsets, two names, one rule
//
// Offsets are `long` seconds WEST of Greenwich, the sign of the C runtime's
// `timezone`: US Eastern standard time is 18000, Central European time -3600.
// Local time = universal time - offset.
//
// Every operation works on wall-clock times in the C `tm` form: `tm_mon`
// 0..11, `tm_year` years since 1900, `tm_wday` 0..6 with Sunday = 0.
//
// Example:
//
//   QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
//   eastern.timeZoneName();               // "EST"
//   eastern.altZoneOffset();              // 14400
//   tm t{};
//   t.tm_year = 97;
//   eastern.getBeginDaylight(&t);         // 6 April 1997 02:00 (tm_mon 3)
//
// No operation throws, except that copying a zone name can fail as copying
// an XVString can.

#ifndef XVKIT_QNZONE_H_
#define XVKIT_QNZONE_H_

#include <cstdint>
#include <ctime>

#include <xvkit/xvplatform.h>
#include <xvkit/xvstring.h>

// One moment of a year, named by a rule rather than a date. Plain data;
// copying copies all four fields.
struct XVKIT_API QNDaylightBoundary {
    // Month of the boundary, 0 = January .. 11 = December.
    std::int32_t month;
    // Occurrence of `weekday` in the month: 0 first, 1 second, 2 third,
    // 3 fourth, 4 or more the last. Negative: `weekday` is a fixed day of the
    // month instead.
    std::int32_t week;
    // 0 = Sunday .. 6 = Saturday; the day of the month when `week` < 0.
    std::int32_t weekday;
    // Minutes after local midnight (120 = 02:00).
    std::int32_t minute;

    // True when the wall-clock moment `t` is strictly before this boundary
    // within its year (the year is not compared, seconds are ignored). `t`
    // must name a real day (`tm_mday` and `tm_wday` consistent).
    bool after(const tm* t) const;

    // Sets the boundary's day and time into `t`, whose `tm_mon`, `tm_year`,
    // `tm_mday` and `tm_wday` name any one real day of the boundary's month:
    // `tm_mday` = the boundary day, `tm_wday` = `weekday`, `tm_hour` and
    // `tm_min` from `minute`, `tm_sec` 0, `tm_isdst` -1. `tm_mon`, `tm_year`
    // and `tm_yday` are left alone.
    void date(tm* t) const;
};

// A daylight-saving schedule valid from `firstYear` on. Rules chain from the
// newest to the oldest through `next`. Plain data with public fields, e.g.
//
//   const QNDaylightRule since1990{nullptr, 1990, true, {3, 0, 0, 120}, {9, 4, 0, 120}};
struct XVKIT_API QNDaylightRule {
    // The rule in force before `firstYear`, or null.
    const QNDaylightRule* next;
    // First full year (e.g. 1987) of this rule; 0 covers every earlier year.
    // Compared with years as a 16-bit signed value.
    std::int16_t firstYear;
    // Whether daylight saving is observed at all under this rule.
    bool observed;
    QNDaylightBoundary begin;
    QNDaylightBoundary end;

    // Fields left uninitialised, as for a plain structure.
    QNDaylightRule() = default;
    constexpr QNDaylightRule(const QNDaylightRule* older, std::int16_t first, bool isObserved,
                             const QNDaylightBoundary& start, const QNDaylightBoundary& stop)
        : next(older), firstYear(first), observed(isObserved), begin(start), end(stop) {}
    // Copies all five fields.
    QNDaylightRule(const QNDaylightRule&) = default;
    // Copies `begin` and `end` only; `next`, `firstYear` and `observed` of this
    // rule stay as they are.
    QNDaylightRule& operator=(const QNDaylightRule& other) {
        begin = other.begin;
        end = other.end;
        return *this;
    }

    // Whether the wall-clock time `t` lies in daylight saving under this rule:
    // at or after `begin` and before `end`, or, when `begin` is not in an
    // earlier month than `end` (southern hemisphere), before `end` or at or
    // after `begin`. False when the rule is not observed. `firstYear` is not
    // consulted.
    bool isDaylight(const tm* t) const;
};

// A time zone. Abstract: no data, every operation but the destructor pure.
//
// The static members give the built-in daylight schedules and the four
// process-wide zones. The process-wide zone pointers are NOT guarded by any
// lock: building on first read (check null, build, store) and the setters are
// plain reads and writes. Set them up or touch them once before other threads
// use them, or guard every read and setter with one lock of your own. Two
// threads reading a pointer for the first time at once may each build a zone
// (one of them is never freed); replacing or deleting a zone while another
// thread uses it is a use after free.
class XVKIT_API QNZone {
  public:
    // Standard offset in whole hours west of Greenwich, -12..11; each value
    // selects a row of the standard-zone table that names the zone.
    enum StdZone : int {
        east12 = -12,  // "GMT+12" / "GMT+11"
        east11 = -11,
        east10 = -10,
        east9 = -9,
        east8 = -8,
        east7 = -7,
        east6 = -6,
        east5 = -5,
        east4 = -4,
        east3 = -3,
        east2 = -2,     // "EET" / "EET DST"
        east1 = -1,     // "MET" / "MET DST"
        greenwich = 0,  // "GMT" / "WET DST"
        west1 = 1,      // "GMT-1" / "GMT-2"
        west2 = 2,
        west3 = 3,
        west4 = 4,
        west5 = 5,  // "EST" / "EDT"
        west6 = 6,  // "CST" / "CDT"
        west7 = 7,  // "MST" / "MDT"
        west8 = 8,  // "PST" / "PDT"
        west9 = 9,  // "YST" / "YDT"
        west10 = 10,
        west11 = 11,
        easternEuropean = east2,
        middleEuropean = east1,
        usEastern = west5,
        usCentral = west6,
        usMountain = west7,
        usPacific = west8,
        usYukon = west9,
    };

    // The built-in daylight-saving schedules.
    enum DstRule : int {
        noDST = 0,
        northAmerican = 1,    // first Sunday in April to last Sunday in October
                              // since 1987, with its history back to 1967
        westernEuropean = 2,  // last Sunday in March to last Sunday in September
    };

    // A zone has no data: construction, copying and assignment do nothing.
    QNZone() = default;
    QNZone(const QNZone&) = default;
    QNZone& operator=(const QNZone&) = default;
    virtual ~QNZone();

    // Standard offset, seconds west of Greenwich.
    virtual long timeZoneOffset() const = 0;
    // Offset while daylight saving is in force.
    virtual long altZoneOffset() const = 0;
    // Whether the zone ever uses the alternate offset.
    virtual bool daylightObserved() const = 0;
    // Name of standard time, e.g. "EST".
    virtual XVString timeZoneName() const = 0;
    // Name of daylight time, e.g. "EDT".
    virtual XVString altZoneName() const = 0;
    // Whether the wall-clock time in `t` lies in daylight saving.
    virtual bool isDaylight(const tm* t) const = 0;
    // Start of daylight saving in the year `t->tm_year`: fills the month, day,
    // weekday and time of `t`; clears `t` (QNDate::clobber) when the zone
    // observes no daylight saving that year.
    virtual void getBeginDaylight(tm* t) const = 0;
    // End of daylight saving in the year `t->tm_year`, as getBeginDaylight.
    virtual void getEndDaylight(tm* t) const = 0;

    // The built-in schedule: null for noDST, the head of the North American
    // chain, or the Western European rule. Values other than 0, 1 and 2 give
    // null. The rules are constant data that live for the whole program.
    static const QNDaylightRule* dstRule(DstRule dst);

    // The process-wide zones, each built on its first read.
    //
    // local():    from the C runtime's zone setting (tzset(), then `timezone`,
    //             `daylight`, `tzname`): standard offset `timezone`, alternate
    //             offset `timezone` - 3600, names tzname[0] and tzname[1], and
    //             the North American schedule when `daylight` is non-zero.
    // standard(): the local standard offset and name without daylight saving,
    //             derived from local() once, on its first read.
    // system():   a second zone built from the C runtime like local().
    // utc():      offset 0, names "GMT" and "GMT", no daylight saving.
    static const QNZone& local();
    static const QNZone& standard();
    static const QNZone& system();
    static const QNZone& utc();

    // Install `zone` (may be null: the next read builds a fresh zone) and
    // return the previously installed pointer, or null if none was built yet.
    // The previous zone is not deleted: the caller now owns it. An installed
    // zone stays the caller's until a setter returns it again.
    static const QNZone* local(const QNZone* zone);
    static const QNZone* standard(const QNZone* zone);
    static const QNZone* system(const QNZone* zone);

    // Destroys the universal zone, if one was built (the pointer is set to
    // null first); the next utc() builds a new one.
    static void clearUtc();
};

// The library's concrete zone. The daylight rule is not owned: it points to a
// built-in schedule or to a chain that the caller keeps alive as long as the
// zone and its copies. Copies share the rule pointer.
class XVKIT_API QNZoneSimple : public QNZone {
  public:
    // The five values as given; daylight saving is observed when `rule` is not
    // null.
    QNZoneSimple(const QNDaylightRule* rule, long tzOffset, const XVString& tzName, long altOffset,
                 const XVString& altName);
    // A zone without daylight saving: the alternate offset and name equal the
    // standard ones.
    QNZoneSimple(long tzOffset, const XVString& tzName);
    // A zone of the standard-zone table: offset `zone` x 3600 and the row's
    // standard name; when `rule` is not null, alternate offset
    // (`zone` - 1) x 3600 and the row's daylight name, otherwise the standard
    // offset and name again. A value outside -12..11 has no row: the offsets
    // follow the same formula and both names are empty.
    QNZoneSimple(QNZone::StdZone zone, const QNDaylightRule* rule);
    // As above with the built-in schedule dstRule(dst); observed when `dst` is
    // not noDST.
    QNZoneSimple(QNZone::StdZone zone, QNZone::DstRule dst);
    ~QNZoneSimple() override;

    QNZoneSimple(const QNZoneSimple&) = default;
    QNZoneSimple& operator=(const QNZoneSimple&) = default;

    long timeZoneOffset() const override { return tzOffset_; }
    long altZoneOffset() const override { return altOffset_; }
    bool daylightObserved() const override { return observed_; }
    XVString timeZoneName() const override { return tzName_; }
    XVString altZoneName() const override { return altName_; }

    // False when the zone observes no daylight saving or no rule covers the
    // year of `t`; otherwise the covering rule's isDaylight(t).
    bool isDaylight(const tm* t) const override;
    // The caller sets `t->tm_year`. On return `tm_mon`, `tm_mday`, `tm_wday`,
    // `tm_hour` and `tm_min` hold the boundary, `tm_sec` 0, `tm_isdst` -1,
    // `tm_year` and `tm_yday` as they were. Clears `t` when the zone observes
    // nothing, no rule covers the year, or the rule is not observed.
    void getBeginDaylight(tm* t) const override;
    void getEndDaylight(tm* t) const override;

  private:
    // The rule that holds in year `t->tm_year` + 1900: the first in the chain
    // whose `firstYear` is not later (16-bit signed compare); null if none.
    const QNDaylightRule* ruleFor(const tm* t) const;
    void fillBoundary(tm* t, const QNDaylightBoundary QNDaylightRule::*which) const;

    const QNDaylightRule* rule_;
    bool observed_;
    long tzOffset_;
    XVString tzName_;
    long altOffset_;
    XVString altName_;
};

#endif  // XVKIT_QNZONE_H_
