// The locale, zone and numeric arguments that several subcommands share.
#ifndef XVKIT_TOOLS_CHOICES_H_
#define XVKIT_TOOLS_CHOICES_H_

#include <memory>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>
#include <xvkit/qnzonetz.h>

namespace xvtool {

// Throws CliError (kExitTrouble) "unknown locale 'NAME'" when the C runtime
// has no locale of that name.
void requireKnownLocale(const char* name);

// The locale of a --locale option: the built-in English locale
// (QNLocaleDefault) when no name is given, otherwise a snapshot of the C
// runtime locale of that name ("C", "de_DE.UTF-8", "" for the environment's).
class LocaleChoice {
  public:
    // Throws CliError (kExitTrouble) "unknown locale 'NAME'" when the C
    // runtime has no locale of that name.
    explicit LocaleChoice(const char* name);
    const QNLocale& get() const { return *locale_; }

  private:
    std::unique_ptr<const QNLocale> snapshot_;
    const QNLocale* locale_;
};

// The zone of a --zone option, which follows the real rules (QNZoneTZ): `tz`
// is a database name ("Europe/Paris") or a POSIX setting
// ("CET-1CEST,M3.5.0,M10.5.0/3"), read as the C runtime reads TZ; when it is
// null, the zone of the TZ variable or /etc/localtime. The zone is installed
// as the library's local zone too, and `tz` becomes the C runtime's setting,
// so that "today" is the zone's calendar day. Call it before anything reads
// the local zone. Throws CliError (kExitTrouble) "bad zone: REASON" (or
// "bad TZ: REASON") when the zone cannot be had.
const QNZoneTZ& chooseZone(const char* tz);

// The zone `tz` names, as --zone reads it (without installing it anywhere).
// Throws CliError (kExitTrouble) "bad zone: REASON" when there is none.
std::unique_ptr<QNZoneTZ> readZone(const char* tz);

// `text` read as a whole number by the built-in English locale; throws
// CliError (kExitTrouble) "bad WHAT 'text'" when it is not one.
long readWholeNumber(const char* text, const char* what);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_CHOICES_H_
