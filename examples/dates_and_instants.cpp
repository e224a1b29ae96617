// Dates and instants: calendar arithmetic with QNDate, and instants (QNTime)
// read and shown as wall-clock time in New York, with the zone's real rules
// from the time-zone database.
#include <xvkit/xvkit.h>

#include <cstdio>
#include <memory>

int main() {
    const QNLocale& english = QNLocaleDefault::instance();

    // A date is a day number: arithmetic is plain counting.
    const QNDate leapDay(29, 2, 2000);  // day, month, year
    std::printf("29 February 2000 is day %lu, a %s\n", leapDay.julian(),
                leapDay.asString('A', english).c_str());
    const QNDate sunday = leapDay.next(7);  // the following Sunday (7 = Sunday)
    std::printf("the Sunday after is %s\n", sunday.asString("%d %B %Y", english).c_str());
    std::printf("29 February 1900 %s\n",
                QNDate(29, 2, 1900).isValid() ? "exists" : "does not exist");

    // The zone of the instants below, read from the time-zone database
    // ($TZDIR or /usr/share/zoneinfo). Bad names give null and a reason.
    XVString why;
    const std::unique_ptr<QNZoneTZ> newYork = QNZoneTZ::fromDatabase("America/New_York", &why);
    if (!newYork) {
        std::fprintf(stderr, "America/New_York: %s\n", why.c_str());
        return 1;
    }
    const QNZone& zone = *newYork;

    // An instant is a count of seconds since 1901 UTC; the zone turns
    // wall-clock times into instants and back.
    const QNTime noon(QNDate(4, 7, 2024), 12, 0, 0, zone);
    std::printf("4 July 2024 12:00 in New York is count %lu, %s\n", noon.seconds(),
                noon.asString("%A %H:%M %Z", zone, english).c_str());
    QNTime later = noon;
    later += 180UL * 24 * 3600;  // 180 days later: standard time again
    std::printf("180 days later: %s\n", later.asString("%d %B %Y %H:%M %Z", zone, english).c_str());

    // When daylight time begins and ends in a year.
    for (const QNTime& change : {QNTime::beginDST(2024, zone), QNTime::endDST(2024, zone)})
        std::printf("change: %s\n", change.asString("%d %B %Y %H:%M %Z", zone, english).c_str());

    // A wall-clock time in the hour skipped in spring names no instant.
    const QNTime skipped(QNDate(10, 3, 2024), 2, 30, 0, zone);
    std::printf("10 March 2024 02:30 is %s\n", skipped.isValid() ? "an instant" : "no instant");
    return 0;
}
