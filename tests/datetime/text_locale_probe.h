// Test helpers: English locales that record what the date and time classes
// ask of them, or that answer with chosen fields.
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

// An English locale that reads every date and time text as the fields it
// was given, however far outside their ranges.
class FixedReadingLocale : public QNLocaleDefault {
  public:
    FixedReadingLocale(int mon, int mday, int year, int hour = 0, int min = 0, int sec = 0)
        : QNLocaleDefault(QNLocaleDefault::instance()),
          mon_(mon),
          mday_(mday),
          year_(year),
          hour_(hour),
          min_(min),
          sec_(sec) {}

    bool stringToDate(const XVString&, tm* out) const override {
        out->tm_mon = mon_;
        out->tm_mday = mday_;
        out->tm_year = year_;
        return true;
    }
    bool stringToTime(const XVString&, tm* out) const override {
        out->tm_hour = hour_;
        out->tm_min = min_;
        out->tm_sec = sec_;
        return true;
    }

  private:
    int mon_, mday_, year_, hour_, min_, sec_;
};

#endif  // XVKIT_TESTS_DATETIME_TEXT_LOCALE_PROBE_H_
