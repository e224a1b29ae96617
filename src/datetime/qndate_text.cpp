// The text side of QNDate: names, reading and formatting, all delegated to a
// locale.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include <ctime>

QNDate::QNDate(unsigned int day, const char* month, unsigned int year, const QNLocale& loc)
    : julian_(static_cast<std::uint32_t>(jday(indexOfMonth(month, loc), day, year))) {}

QNDate::QNDate(const XVString& text, const QNLocale& loc) : julian_(0) {
    tm t{};
    if (!loc.stringToDate(text, &t))
        return;
    // The fields as the locale left them, validated as any calendar record.
    julian_ = QNDate(&t).julian_;
}

QNDate QNDate::next(const char* weekdayName, const QNLocale& loc) const {
    return next(dayOfWeek(weekdayName, loc));
}

QNDate QNDate::previous(const char* weekdayName, const QNLocale& loc) const {
    return previous(dayOfWeek(weekdayName, loc));
}

XVString QNDate::weekDayName(unsigned int weekday, const QNLocale& loc) {
    tm t{};
    t.tm_wday = static_cast<int>(weekday % 7);
    return loc.asString(&t, 'A', QNZone::local());
}

XVString QNDate::nameOfMonth(unsigned int month, const QNLocale& loc) {
    tm t{};
    t.tm_mon = static_cast<int>(month) - 1;
    return loc.asString(&t, 'B', QNZone::local());
}

unsigned int QNDate::dayOfWeek(const char* name, const QNLocale& loc) {
    return static_cast<unsigned int>(loc.weekdayIndex(XVString(name != nullptr ? name : "")));
}

unsigned int QNDate::indexOfMonth(const char* name, const QNLocale& loc) {
    return static_cast<unsigned int>(loc.monthIndex(XVString(name != nullptr ? name : "")));
}

XVString QNDate::asString(char directive, const QNLocale& loc) const {
    tm t;
    extract(&t);
    return loc.asString(&t, directive, QNZone::local());
}

XVString QNDate::asString(const char* format, const QNLocale& loc) const {
    tm t;
    extract(&t);
    return loc.asString(&t, format, QNZone::local());
}
