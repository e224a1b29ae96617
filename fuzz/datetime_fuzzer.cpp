// Builds dates and times from arbitrary numbers and texts and runs them
// through extraction and arithmetic. A date read back from its own
// extraction must be the same day where the day-number formula cannot wrap
// and the two-digit year rule does not apply (years 100..2000000).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>

#include "fuzz_input.h"

namespace {

const QNZone& zoneFor(std::uint8_t pick) {
    static const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
    static const QNZoneSimple central(QNZone::middleEuropean, QNZone::westernEuropean);
    static const QNZoneSimple odd(-12345, XVString("ODD"));
    switch (pick % 4) {
        case 0:
            return QNZone::utc();
        case 1:
            return eastern;
        case 2:
            return central;
        default:
            return odd;
    }
}

void checkDate(const QNDate& d) {
    if (!d.isValid())
        return;
    tm t;
    d.extract(&t);
    const QNDate back(&t);
    static const unsigned long first = QNDate::jday(1, 1, 100);
    static const unsigned long last = QNDate::jday(12, 31, 2000000);
    if (d.julian() >= first && d.julian() <= last && back != d)
        std::abort();
    d.day();
    d.dayOfMonth();
    d.month();
    d.year();
    d.firstDayOfMonth();
    d.weekDayName(QNLocaleDefault::instance());
    d.monthName(QNLocaleDefault::instance());
}

void checkTime(const QNTime& time, const QNZone& zone) {
    if (!time.isValid())
        return;
    tm t;
    time.extract(&t, zone);
    time.hour(zone);
    time.minute(zone);
    time.isDST(zone);
    tm gmt;
    time.extractGMT(&gmt);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const QNLocale& locale = QNLocaleDefault::instance();
    const QNZone& zone = zoneFor(in.take<std::uint8_t>());

    const unsigned day = in.take<std::uint32_t>();
    const unsigned month = in.take<std::uint32_t>();
    const unsigned year = in.take<std::uint32_t>();
    const unsigned long number = in.take<std::uint32_t>();
    const unsigned hour = in.take<std::uint32_t>();
    const unsigned minute = in.take<std::uint32_t>();
    const unsigned second = in.take<std::uint32_t>();
    const unsigned long step = in.take<std::uint32_t>();
    const tm record = in.takeTm();
    const XVString monthName = in.takeText(in.take<std::uint8_t>() % 32);
    const XVString text = in.rest();

    const QNDate dates[] = {
        QNDate(number),
        QNDate(day, month, year),
        QNDate(day, year),
        QNDate(&record),
        QNDate(day, monthName.c_str(), year, locale),
        QNDate(text, locale),
    };
    for (const QNDate& d : dates) {
        checkDate(d);
        QNDate moved = d;
        moved += step;
        moved -= step;
        if (moved != d)
            std::abort();
        d.next(day % 9);
        d.previous(month % 9);
        d.next(monthName.c_str(), locale);

        const QNTime atClock(d, hour, minute, second, zone);
        checkTime(atClock, zone);
        const QNTime fromText(d, text, zone, locale);
        checkTime(fromText, zone);
        const QNDate dayOf(atClock, zone);
        checkDate(dayOf);
    }

    const QNTime fromRecord(&record, zone);
    checkTime(fromRecord, zone);
    QNTime moved(number);
    moved += step;
    checkTime(moved, zone);
    QNTime::beginDST(year % 3000, zone);
    QNTime::endDST(year % 3000, zone);
    QNDate::jday(month, day, year);
    QNDate::daysInMonthYear(month, year);
    QNDate::dayWithinMonth(month, day, year);
    return 0;
}
