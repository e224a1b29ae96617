#include "datetext.h"

#include <cstdio>

#include "options.h"

namespace xvtool {

namespace {

// The directive letters that every locale of the library formats.
constexpr std::string_view kDirectives = "aAbBcCdHIjmMpSUwWxXyYZ";

constexpr std::string_view kDigits = "0123456789";
constexpr long kSecondsPerHour = 3600;
constexpr unsigned int kFirstIsoYear = 100;  // QNDate reads years below 100 as 1900 to 1999

// The number that the `width` decimal digits at `at` spell, or -1.
long digitsAt(std::string_view text, std::size_t at, std::size_t width) {
    if (at + width > text.size())
        return -1;
    long value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Between the date and the time: 'T', 't' or one blank, as RFC 3339 reads them.
bool isTimeSeparator(char c) {
    return c == 'T' || c == 't' || c == ' ';
}

[[noreturn]] void notADate(std::string_view text, const char* as, const std::string& cause) {
    throw CliError(kExitNoResult,
                   "cannot read " + quoteArg(text) + " as " + as + " (" + cause + ")");
}

// Reads "HH:MM[:SS]" and an optional offset at the start of `rest`; false when
// `rest` has another form.
bool readIsoTime(std::string_view text, std::string_view rest, IsoText* out) {
    const long hour = digitsAt(rest, 0, 2), minute = digitsAt(rest, 3, 2);
    if (hour < 0 || minute < 0 || rest[2] != ':')
        return false;
    rest.remove_prefix(5);
    long second = 0;
    if (!rest.empty() && rest[0] == ':') {
        if ((second = digitsAt(rest, 1, 2)) < 0)
            return false;
        rest.remove_prefix(3);
        // A fraction of the second is read and dropped: instants count whole
        // seconds, and the wall clock shows the second that has begun.
        if (!rest.empty() && (rest[0] == '.' || rest[0] == ',')) {
            const std::size_t end = rest.find_first_not_of(kDigits, 1);
            if (end == 1)
                return false;
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
        }
    }
    if (rest == "Z" || rest == "z") {
        out->hasOffset = true;
    } else if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        const long hours = digitsAt(rest, 1, 2);
        const bool colon = rest.size() == 6 && rest[3] == ':';
        const long minutes = rest.size() == 3 ? 0 : digitsAt(rest, colon ? 4 : 3, 2);
        if (hours < 0 || minutes < 0 || rest.size() != (rest.size() == 3 ? 3u : colon ? 6u : 5u))
            return false;
        if (hours > 23 || minutes > 59)
            notADate(text, "a date and time", "no offset " + std::string(rest));
        out->hasOffset = true;
        out->offsetEast = (rest[0] == '-' ? -1 : 1) * (hours * kSecondsPerHour + minutes * 60);
    } else if (!rest.empty()) {
        return false;
    }
    if (hour > 23 || minute > 59 || second > 59) {
        notADate(text, "a date and time",
                 hour > 23 ? "no hour " + std::to_string(hour)
                           : "no " + std::string(minute > 59 ? "minute " : "second ") +
                                 std::to_string(minute > 59 ? minute : second));
    }
    out->hasTime = true;
    out->time = {static_cast<unsigned int>(hour), static_cast<unsigned int>(minute),
                 static_cast<unsigned int>(second)};
    return true;
}

}  // namespace

void requireKnownDirectives(const char* format) {
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '\0')
            usageError("the format " + quoteArg(format) + " ends in a lone '%' (write %% for '%')");
        if (*p != '%' && kDirectives.find(*p) == std::string_view::npos) {
            usageError("unknown format letter " + quoteArg(std::string_view(p, 1)) + " in " +
                       quoteArg(format) +
                       " (the locales know %a %A %b %B %c %C %d %H %I %j %m %M %p %S %U %w %W %x "
                       "%X %y %Y %Z and %%)");
        }
    }
}

bool readIso(std::string_view text, bool withTime, IsoText* out) {
    const long year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2),
               day = digitsAt(text, 8, 2);
    if (year < 0 || month < 0 || day < 0 || text[4] != '-' || text[7] != '-')
        return false;
    IsoText iso;
    if (text.size() > 10 &&
        (!withTime || !isTimeSeparator(text[10]) || !readIsoTime(text, text.substr(11), &iso)))
        return false;
    const char* as = iso.hasTime ? "a date and time" : "a date";
    if (year < static_cast<long>(kFirstIsoYear))
        notADate(text, as, "no year before " + std::to_string(kFirstIsoYear));
    if (month < 1 || month > 12)
        notADate(text, as, "no month " + std::to_string(month));
    const auto y = static_cast<unsigned int>(year), m = static_cast<unsigned int>(month);
    const unsigned int days = QNDate::daysInMonthYear(m, y);
    if (day < 1 || static_cast<unsigned int>(day) > days) {
        notADate(text, as,
                 day < 1 ? "no day 0"
                         : "month " + std::to_string(m) + " of " + std::to_string(y) + " has " +
                               std::to_string(days) + " days");
    }
    iso.date = QNDate(static_cast<unsigned int>(day), m, y);
    *out = iso;
    return true;
}

std::string dateFormHint(const QNLocale& loc) {
    const QNDate sample(5, 3, 1997);
    return " (the locale writes dates as " + quoteArg(sample.asString('x', loc).c_str()) +
           "; YYYY-MM-DD is read in every locale)";
}

std::string isoDate(const QNDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", date.year(), date.month(),
                  date.dayOfMonth());
    return text;
}

std::string offsetText(long east) {
    const long magnitude = east < 0 ? -east : east;
    char text[32];
    int n = std::snprintf(text, sizeof text, "%c%02ld:%02ld", east < 0 ? '-' : '+',
                          magnitude / kSecondsPerHour, magnitude % kSecondsPerHour / 60);
    if (magnitude % 60 != 0)
        std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), ":%02ld",
                      magnitude % 60);
    return text;
}

}  // namespace xvtool
