// QNZone's key function and the concrete zone QNZoneSimple with the
// standard-zone table.
#include <xvkit/qndate.h>
#include <xvkit/qnzone.h>

#include <cstdint>
#include <ctime>

namespace {

// Names of the standard zones, indexed by StdZone value + 12.
struct StdZoneNames {
    char standard[8];
    char daylight[8];
};

constexpr int kFirstStdZone = -12;
constexpr int kLastStdZone = 11;

constexpr StdZoneNames kStdZoneNames[] = {
    {"GMT+12", "GMT+11"}, {"GMT+11", "GMT+10"}, {"GMT+10", "GMT+9"},  {"GMT+9", "GMT+8"},
    {"GMT+8", "GMT+7"},   {"GMT+7", "GMT+6"},   {"GMT+6", "GMT+5"},   {"GMT+5", "GMT+4"},
    {"GMT+4", "GMT+3"},   {"GMT+3", "GMT+2"},   {"EET", "EET DST"},   {"MET", "MET DST"},
    {"GMT", "WET DST"},   {"GMT-1", "GMT-2"},   {"GMT-2", "GMT-3"},   {"GMT-3", "GMT-4"},
    {"GMT-4", "GMT-5"},   {"EST", "EDT"},       {"CST", "CDT"},       {"MST", "MDT"},
    {"PST", "PDT"},       {"YST", "YDT"},       {"GMT-10", "GMT-11"}, {"GMT-11", "GMT-12"},
};
static_assert(sizeof kStdZoneNames / sizeof kStdZoneNames[0] == kLastStdZone - kFirstStdZone + 1);

// The table row of `zone`, or null for a value without a row.
const StdZoneNames* namesOf(QNZone::StdZone zone) {
    const int value = static_cast<int>(zone);
    if (value < kFirstStdZone || value > kLastStdZone)
        return nullptr;
    return &kStdZoneNames[value - kFirstStdZone];
}

XVString standardName(QNZone::StdZone zone) {
    const StdZoneNames* row = namesOf(zone);
    return row ? XVString(row->standard) : XVString();
}

XVString daylightName(QNZone::StdZone zone) {
    const StdZoneNames* row = namesOf(zone);
    return row ? XVString(row->daylight) : XVString();
}

long hoursToSeconds(long hours) {
    return hours * 3600;
}

}  // namespace

QNZone::~QNZone() = default;

QNZoneSimple::QNZoneSimple(const QNDaylightRule* rule, long tzOffset, const XVString& tzName,
                           long altOffset, const XVString& altName)
    : rule_(rule),
      observed_(rule != nullptr),
      tzOffset_(tzOffset),
      tzName_(tzName),
      altOffset_(altOffset),
      altName_(altName) {}

QNZoneSimple::QNZoneSimple(long tzOffset, const XVString& tzName)
    : rule_(nullptr),
      observed_(false),
      tzOffset_(tzOffset),
      tzName_(tzName),
      altOffset_(tzOffset),
      altName_(tzName) {}

QNZoneSimple::QNZoneSimple(QNZone::StdZone zone, const QNDaylightRule* rule)
    : rule_(rule),
      observed_(rule != nullptr),
      tzOffset_(hoursToSeconds(zone)),
      tzName_(standardName(zone)),
      altOffset_(observed_ ? hoursToSeconds(zone - 1L) : tzOffset_),
      altName_(observed_ ? daylightName(zone) : tzName_) {}

QNZoneSimple::QNZoneSimple(QNZone::StdZone zone, QNZone::DstRule dst)
    : QNZoneSimple(zone, dstRule(dst)) {
    // Observed follows the request, even for a value that names no schedule.
    if (dst != noDST && !observed_) {
        observed_ = true;
        altOffset_ = hoursToSeconds(zone - 1L);
        altName_ = daylightName(zone);
    }
}

QNZoneSimple::~QNZoneSimple() = default;

const QNDaylightRule* QNZoneSimple::ruleFor(const tm* t) const {
    const auto year = static_cast<std::int16_t>(static_cast<unsigned>(t->tm_year) + 1900u);
    for (const QNDaylightRule* r = rule_; r != nullptr; r = r->next) {
        if (r->firstYear <= year)
            return r;
    }
    return nullptr;
}

bool QNZoneSimple::isDaylight(const tm* t) const {
    if (!observed_)
        return false;
    const QNDaylightRule* rule = ruleFor(t);
    return rule != nullptr && rule->isDaylight(t);
}

void QNZoneSimple::fillBoundary(tm* t, const QNDaylightBoundary QNDaylightRule::*which) const {
    const QNDaylightRule* rule = observed_ ? ruleFor(t) : nullptr;
    if (rule == nullptr || !rule->observed) {
        QNDate::clobber(t);
        return;
    }
    const QNDaylightBoundary& boundary = rule->*which;
    // Place the first of the boundary month, then let the boundary find its day.
    t->tm_mon = boundary.month;
    t->tm_mday = 1;
    t->tm_wday = static_cast<int>(QNDate(t).weekDay() % 7);
    boundary.date(t);
}

void QNZoneSimple::getBeginDaylight(tm* t) const {
    fillBoundary(t, &QNDaylightRule::begin);
}

void QNZoneSimple::getEndDaylight(tm* t) const {
    fillBoundary(t, &QNDaylightRule::end);
}
