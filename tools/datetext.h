// Date and time text of the date and time subcommands beyond what the
// locales read and write: format checks and ISO 8601.
#ifndef XVKIT_TOOLS_DATETEXT_H_
#define XVKIT_TOOLS_DATETEXT_H_

#include <string>
#include <string_view>

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>

namespace xvtool {

// Throws CliError (kExitTrouble) naming the first directive of `format` whose
// letter the locales do not format (they would give empty text for it), or a
// '%' that ends the format.
void requireKnownDirectives(const char* format);

// A wall-clock time of day.
struct ClockTime {
    unsigned int hour = 0;
    unsigned int minute = 0;
    unsigned int second = 0;
};

// An ISO 8601 text: a date, and a time with an optional offset from UTC.
struct IsoText {
    QNDate date;
    bool hasTime = false;
    ClockTime time;
    bool hasOffset = false;
    long offsetEast = 0;  // seconds east of Greenwich ("Z": 0)
};

// Reads `text` as an ISO 8601 date, YYYY-MM-DD, or when `withTime` is true
// also as YYYY-MM-DDTHH:MM[:SS[.FFF]] followed by an optional "Z" or +HH[:MM]
// / -HH[:MM], as RFC 3339 reads it: 't' or a blank may stand for 'T', 'z' for
// 'Z', and a fraction of the second (after '.' or ',') is dropped, so that
// 12:00:00.9 is 12:00:00. Returns false when `text` does not have one of these forms;
// throws CliError (kExitNoResult) when it has the form but names no date or
// time, saying why.
bool readIso(std::string_view text, bool withTime, IsoText* out);

// " (the locale writes dates as '03/05/97'; YYYY-MM-DD is read in every
// locale)": the locale's form of a sample date, for a date that the locale
// cannot read.
std::string dateFormHint(const QNLocale& loc);

// "1997-03-05".
std::string isoDate(const QNDate& date);

// "+05:30" or "-04:56:02": an offset of `east` seconds east of Greenwich as
// sign, hours and minutes, with seconds only when there are any.
std::string offsetText(long east);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_DATETEXT_H_
