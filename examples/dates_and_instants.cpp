// Dates and instants: calendar arithmetic with QNDate, and instants (QNTime)
// read and shown as wall-clock time in US Eastern time.
#include <xvkit/xvkit.h>

#include <cstdio>

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

    // The zone of the instants below: offsets, names and daylight schedule.
    // With the time-zone database the zone becomes
    //   const auto newYork = QNZoneTZ::fromDatabase("America/New_York");
    //   const QNZone& zone = *newYork;
    const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
    const QNZone& zone = eastern;

    // An instant is a count of seconds since 1901 UTC; the zone turns
    // wall-clock times into instants and back.
    const QNTime noon(QNDate(4, 7, 1997), 12, 0, 0, zone);
    std::printf("4 July 1997 12:00 in New York is count %lu, %s\n", noon.seconds(),
                noon.asString("%A %H:%M %Z", zone, english).c_str());
    QNTime later = noon;
    later += 180UL * 24 * 3600;  // 180 days later: standard time again
    std::printf("180 days later: %s\n", later.asString("%d %B %Y %H:%M %Z", zone, english).c_str());

    // When daylight time begins and ends in a year.
    for (const QNTime& change : {QNTime::beginDST(1997, zone), QNTime::endDST(1997, zone)})
        std::printf("change: %s\n", change.asString("%d %B %Y %H:%M %Z", zone, english).c_str());

    // A wall-clock time in the hour skipped in spring names no instant.
    const QNTime skipped(QNDate(6, 4, 1997), 2, 30, 0, zone);
    std::printf("6 April 1997 02:30 is %s\n", skipped.isValid() ? "an instant" : "no instant");
    return 0;
}
