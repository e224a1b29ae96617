// Shared by the locale tests: the compiled test locales (cmake/locales.cmake,
// found through LOCPATH), the C runtime switched to one of them, calendar
// records, the C library's texts to compare with, and tables of readings.

#ifndef XVKIT_TESTS_LOCALE_LOCALE_TEST_SUPPORT_H_
#define XVKIT_TESTS_LOCALE_LOCALE_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <ctime>
#include <initializer_list>
#include <string>
#include <string_view>

#include <xvkit/qnlocale.h>

#include "reader_contract.h"

namespace locale_test {

// Every locale the tests capture.
inline const char* const kLocales[] = {
    "C",           "en_US.UTF-8", "de_DE.UTF-8",   "fr_FR.UTF-8",   "en_IN.UTF-8",
    "ja_JP.UTF-8", "sv_SE.UTF-8", "xv_TEST.UTF-8", "xv_EDGE.UTF-8", "xv_ROWS.UTF-8"};

// The C runtime in locale `name` for the lifetime of the object. The peer
// tests switch to every locale in kLocales, so they fail when one is missing
// (a snapshot of an unknown name silently captures the current locale).
class RuntimeLocale {
  public:
    explicit RuntimeLocale(const char* name) : saved_(setlocale(LC_ALL, nullptr)) {
        EXPECT_NE(setlocale(LC_ALL, name), nullptr)
            << "locale " << name << " is missing: run the tests through ctest (LOCPATH)";
    }
    ~RuntimeLocale() { setlocale(LC_ALL, saved_.c_str()); }
    RuntimeLocale(const RuntimeLocale&) = delete;
    RuntimeLocale& operator=(const RuntimeLocale&) = delete;

  private:
    std::string saved_;
};

// A complete calendar record in universal time (weekday and day of the
// year filled in, `tm_zone` "GMT", the name of QNZone::utc()).
inline tm utcTm(int year, int mon, int mday, int hour = 0, int min = 0, int sec = 0) {
    tm t{sec, min, hour, mday, mon, year - 1900, 0, 0, 0, 0, nullptr};
    timegm(&t);
    return t;
}

// The C library's printf formatting of `values`, however long the text.
template <class... Args>
std::string printed(const char* format, Args... values) {
    const int n = std::snprintf(nullptr, 0, format, values...);
    std::string text(static_cast<std::size_t>(n), '\0');
    std::snprintf(text.data(), text.size() + 1, format, values...);
    return text;
}

inline std::string strftimeText(const char* format, const tm& t) {
    char buffer[1024];
    return std::string(buffer, std::strftime(buffer, sizeof buffer, format, &t));
}

// Reads each "text => expected" row, and each text of `fails` (which must
// give "fail"), with `l` as `kind` (see readingOf).
inline void expectReads(const QNLocale& l, char kind, std::initializer_list<std::string_view> rows,
                        std::initializer_list<std::string> fails = {}) {
    using xvkit::reader_contract::readingOf;
    for (const std::string_view row : rows) {
        const std::size_t arrow = row.find(" => ");
        EXPECT_EQ(readingOf(l, kind, XVString(row.data(), arrow)), row.substr(arrow + 4))
            << kind << " " << row;
    }
    for (const std::string& text : fails)
        EXPECT_EQ(readingOf(l, kind, text), "fail") << kind << " " << text;
}

}  // namespace locale_test

#endif  // XVKIT_TESTS_LOCALE_LOCALE_TEST_SUPPORT_H_
