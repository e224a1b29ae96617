// The four process-wide zones: plain, unguarded lazily built pointers.
#include <xvkit/qnzone.h>

#include <ctime>

namespace {

const QNZone* localZone = nullptr;
const QNZone* standardZone = nullptr;
const QNZone* systemZone = nullptr;
const QNZone* utcZone = nullptr;

XVString runtimeName(const char* name) {
    return name ? XVString(name) : XVString();
}

// A zone from the C runtime's setting. The runtime only says whether the zone
// has daylight saving, so one that does follows the North American schedule.
const QNZone* zoneFromRuntime() {
    tzset();
    const QNDaylightRule* rule = daylight != 0 ? QNZone::dstRule(QNZone::northAmerican) : nullptr;
    return new QNZoneSimple(rule, timezone, runtimeName(tzname[0]), timezone - 3600,
                            runtimeName(tzname[1]));
}

const QNZone* install(const QNZone*& slot, const QNZone* zone) {
    const QNZone* previous = slot;
    slot = zone;
    return previous;
}

}  // namespace

const QNZone& QNZone::local() {
    if (localZone == nullptr)
        localZone = zoneFromRuntime();
    return *localZone;
}

const QNZone& QNZone::standard() {
    if (standardZone == nullptr) {
        const QNZone& base = local();
        standardZone = new QNZoneSimple(base.timeZoneOffset(), base.timeZoneName());
    }
    return *standardZone;
}

const QNZone& QNZone::system() {
    if (systemZone == nullptr)
        systemZone = zoneFromRuntime();
    return *systemZone;
}

const QNZone& QNZone::utc() {
    if (utcZone == nullptr)
        utcZone = new QNZoneSimple(QNZone::greenwich, QNZone::noDST);
    return *utcZone;
}

const QNZone* QNZone::local(const QNZone* zone) {
    return install(localZone, zone);
}

const QNZone* QNZone::standard(const QNZone* zone) {
    return install(standardZone, zone);
}

const QNZone* QNZone::system(const QNZone* zone) {
    return install(systemZone, zone);
}

void QNZone::clearUtc() {
    // Unhook first, so nothing can reach the object while it is destroyed.
    delete install(utcZone, nullptr);
}
