// Instants read on a zone's wall clock, and wall-clock times turned into
// instants, through the zone's whole history (QNZoneTZ::period, instants and
// extract): every reading takes the offset, name and daylight flag in force
// at its instant.
#ifndef XVKIT_TOOLS_WALLCLOCK_H_
#define XVKIT_TOOLS_WALLCLOCK_H_

#include <ctime>
#include <string>

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzonetz.h>

#include "datetext.h"

namespace xvtool {

// An instant as a zone's clock shows it.
struct Reading {
    tm fields;                // the wall clock; tm_isdst as the database flags it
    QNZoneTZ::Period period;  // the offset, flag and name in force
};

// The reading of the valid instant `t` in `zone`.
Reading readingOf(const QNTime& t, const QNZoneTZ& zone);

// The instant that `time` on `date` names in `zone`, the earlier one when the
// clock shows that time twice. Throws CliError (kExitNoResult) "no such
// instant: WHAT ..." saying whether it lies outside the range of instants or
// which change of the zone's clock skipped it.
QNTime instantOn(const QNDate& date, const ClockTime& time, const QNZoneTZ& zone,
                 const std::string& what);

// The instant of `text`, an ISO text with a time, in `zone` unless the text
// gives its own offset; throws as instantOn.
QNTime instantOf(const IsoText& text, const QNZoneTZ& zone, const std::string& what);

// "1997-03-05T13:15:00-05:00": the reading and the offset in force ("Z" for
// none).
std::string isoText(const Reading& reading);

// `format` expanded by `loc` over the reading; %Z gives the period's name.
std::string formattedText(const Reading& reading, const char* format, const QNLocale& loc);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_WALLCLOCK_H_
