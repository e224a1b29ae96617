// The text side of QNTime: reading a time of day and formatting an instant,
// delegated to a locale.
#include <xvkit/qnlocale.h>
#include <xvkit/qntime.h>

#include <ctime>

QNTime::QNTime(const QNDate& date, const XVString& text, const QNZone& zone, const QNLocale& loc)
    : seconds_(0) {
    if (!date.isValid())
        return;
    tm t{};
    if (!loc.stringToTime(text, &t))
        return;
    // The fields go to buildFrom as they are: a negative one wraps as an
    // unsigned number, and the sums of the time of day wrap modulo 2^32, so
    // hour -1 and minute 120 make 01:00.
    seconds_ = static_cast<std::uint32_t>(buildFrom(date, static_cast<unsigned int>(t.tm_hour),
                                                    static_cast<unsigned int>(t.tm_min),
                                                    static_cast<unsigned int>(t.tm_sec), zone));
}

XVString QNTime::asString(char directive, const QNZone& zone, const QNLocale& loc) const {
    tm t;
    extract(&t, zone);
    if (directive != '\0')
        return loc.asString(&t, directive, zone);
    XVString text = loc.asString(&t, 'x', zone);
    text += " ";
    text += loc.asString(&t, 'X', zone);
    return text;
}

XVString QNTime::asString(const char* format, const QNZone& zone, const QNLocale& loc) const {
    tm t;
    extract(&t, zone);
    return loc.asString(&t, format, zone);
}
