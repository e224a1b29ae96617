// Prints a few calendar facts computed with QNDate.
#include <xvkit/xvkit.h>
#include <cstdio>

int main() {
    const QNDate millennium(1, 1, 2000);
    std::printf("1 January 2000 is day %lu, weekday %u (Monday = 1)\n", millennium.julian(),
                millennium.weekDay());

    const QNDate leapDay(29, 2, 2000);
    std::printf("29 February 2000 is %s, day %u of the year\n",
                leapDay.isValid() ? "valid" : "invalid", leapDay.day());
    std::printf("29 February 1900 is %s\n", QNDate(29, 2, 1900).isValid() ? "valid" : "invalid");

    const QNDate sunday = millennium.next(7);
    std::printf("the first Sunday of 2000 is %u/%u/%u\n", sunday.dayOfMonth(), sunday.month(),
                sunday.year());

    tm t;
    QNDate(1, 3, 2000).extract(&t);
    std::printf("1 March 2000: tm_yday %d, tm_wday %d\n", t.tm_yday, t.tm_wday);
    return 0;
}
