// The locale, zone and numeric arguments that several subcommands share.
#ifndef XVKIT_TOOLS_CHOICES_H_
#define XVKIT_TOOLS_CHOICES_H_

#include <memory>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

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

// The zone of a --zone option: when `tz` is not null it becomes the C
// runtime's setting (TZ, then tzset), and the result is QNZone::local() built
// from that setting: the standard offset and names of the setting, with the
// library's North American schedule when the setting has a daylight time.
// Call it before anything reads the local zone.
const QNZone& chooseZone(const char* tz);

// `text` read as a whole number by the built-in English locale; throws
// CliError (kExitTrouble) "bad WHAT 'text'" when it is not one.
long readWholeNumber(const char* text, const char* what);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_CHOICES_H_
