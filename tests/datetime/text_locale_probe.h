// Test helper: an English locale that records what the date and time classes
// ask of it.
#ifndef XVKIT_TESTS_DATETIME_TEXT_LOCALE_PROBE_H_
#define XVKIT_TESTS_DATETIME_TEXT_LOCALE_PROBE_H_

#include <xvkit/qnlocale.h>

#include <ctime>
#include <string>

class ProbeLocale : public QNLocaleDefault {
  public:
    ProbeLocale() : QNLocaleDefault(QNLocaleDefault::instance()) {}

    using QNLocaleDefault::asString;
    XVString asString(const tm* t, char directive, const QNZone& zone) const override {
        directives += directive;
        lastTm = *t;
        lastZone = &zone;
        return QNLocaleDefault::asString(t, directive, zone);
    }
    bool stringToTime(const XVString& text, tm* out) const override {
        ++timeReads;
        return QNLocaleDefault::stringToTime(text, out);
    }

    // Every directive asked for, in order.
    mutable std::string directives;
    mutable tm lastTm{};
    mutable const QNZone* lastZone = nullptr;
    mutable int timeReads = 0;
};

#endif  // XVKIT_TESTS_DATETIME_TEXT_LOCALE_PROBE_H_
