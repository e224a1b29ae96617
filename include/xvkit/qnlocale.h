// xvkit/qnlocale.h
//
// Locales: the conventions that turn dates, times, numbers and money amounts
// into text and read them back.
//
//   QNLocale         the abstract interface, the format expansion shared by
//                    every locale, and the process-wide locale
//   QNLocaleDefault  the built-in locale with fixed English conventions
//
// Example:
//
//   const QNLocale& loc = QNLocaleDefault::instance();
//   tm t{};
//   t.tm_mday = 5; t.tm_mon = 2; t.tm_year = 97;             // 5 March 1997
//   loc.asString(&t, "%d %B %Y", QNZone::utc());             // "05 March 1997"
//   loc.moneyAsString(-12345, QNLocale::symbolLocal);        // "($123.45)"
//   long n;
//   loc.stringToNum(XVString(" -42 "), &n);                  // true, n == -42
//
// A locale is immutable once constructed: every operation is const and one
// object may serve any number of threads. The reading operations (the
// `stringTo...` members) return false on text they cannot read and then leave
// their output untouched.
//
// Text results are never cut short: where a result does not fit the
// locale's usual working buffer (a zone name of thousands of characters, a
// precision of 500) the buffer is grown to the exact size.

#ifndef XVKIT_QNLOCALE_H_
#define XVKIT_QNLOCALE_H_

#include <ctime>

#include <xvkit/xvplatform.h>
#include <xvkit/xvstring.h>

class QNZone;

// The interface of every locale. Implementations override all the pure
// virtual operations; a class that overrides any `asString` should also say
// `using QNLocale::asString;` so that the format expansion stays visible.
class XVKIT_API QNLocale {
  public:
    // Which currency symbol money texts carry. The underlying type is fixed
    // so that other values are well-defined; the default locale treats them
    // as `symbolNone` when formatting and as `symbolInternational` when
    // reading.
    enum CurrSymbol : int {
        symbolNone = 0,           // no symbol
        symbolLocal = 1,          // the local symbol, e.g. "$"
        symbolInternational = 2,  // the international code, e.g. "USD"
    };

    QNLocale() = default;
    QNLocale(const QNLocale&) = default;
    QNLocale& operator=(const QNLocale&) = default;
    virtual ~QNLocale();

    // The text of one directive character (the `strftime` letters such as
    // 'd', 'B', 'x') for the calendar record `t`; `zone` supplies the zone
    // names. Characters the locale does not define give an empty text.
    virtual XVString asString(const tm* t, char directive, const QNZone& zone) const = 0;
    // `value` in fixed notation with `precision` digits after the decimal
    // point; `showpoint` keeps the point when `precision` is 0.
    virtual XVString asString(double value, int precision, bool showpoint) const = 0;
    // The decimal text of `value`.
    virtual XVString asString(unsigned long value) const = 0;
    // The decimal text of `value`, with a minus sign when negative.
    virtual XVString asString(long value) const = 0;
    // The money text of `amount`, which counts the currency's smallest units
    // (hundredths of a dollar for the default locale).
    virtual XVString moneyAsString(double amount, CurrSymbol symbol) const = 0;

    // Reads a whole number; true and `*out` set on success.
    virtual bool stringToNum(const XVString& text, long* out) const = 0;
    // Reads a real number; true and `*out` set on success.
    virtual bool stringToNum(const XVString& text, double* out) const = 0;
    // Reads a date; on success sets `tm_year`, `tm_mon` and `tm_mday` of
    // `*out` and no other field.
    virtual bool stringToDate(const XVString& text, tm* out) const = 0;
    // Reads a time of day; on success sets `tm_hour`, `tm_min` and `tm_sec`
    // of `*out` and no other field.
    virtual bool stringToTime(const XVString& text, tm* out) const = 0;
    // Reads a money text; on success `*out` is the amount in the currency's
    // smallest units, as `moneyAsString` takes it.
    virtual bool stringToMoney(const XVString& text, double* out, CurrSymbol symbol) const = 0;
    // 1..12 (January = 1) for a month name, 0 when `name` names no month.
    virtual int monthIndex(const XVString& name) const = 0;
    // 1..7 (Monday = 1, Sunday = 7) for a weekday name, 0 when none.
    virtual int weekdayIndex(const XVString& name) const = 0;

    // Expands a whole format text: "%%" gives '%', '%' followed by any other
    // character d gives this locale's `asString(t, d, zone)` (through the
    // virtual table), and every other character is copied. There are no
    // flags or widths: "%-d" passes '-' and then copies "d". A '%' that ends
    // the format adds nothing. A null `format` gives an empty text.
    // Throws std::length_error only where std::string would.
    XVString asString(const tm* t, const char* format, const QNZone& zone) const;

    // A new snapshot of the C runtime's "C" locale, owned by the caller;
    // null only when the allocation fails. Every call makes a new object.
    static const QNLocale* defaultLocale();
    // The process-wide locale; made with `defaultLocale()` on first use when
    // none is installed. Throws std::bad_alloc when that allocation fails.
    static const QNLocale& global();
    // Installs `locale` (may be null) as the process-wide locale and returns
    // the one installed before (null if none); the returned object is the
    // caller's from then on. Not guarded: call it before other threads use
    // the process-wide locale.
    static const QNLocale* global(const QNLocale* locale);
    // Deletes the process-wide zones (local, standard, system, universal) so
    // that each is rebuilt from the C runtime on its next use. The
    // process-wide locale is not touched.
    static void releaseCache();
};

// The built-in locale with fixed English conventions: English month and
// weekday names, month/day/year dates, 24-hour times ("am"/"pm" where a
// 12-hour marker is asked for), a point as decimal separator, no grouping,
// and the dollar ("$", "USD") as currency. It holds no data and captures
// nothing; the C formatting and reading functions it calls follow the C
// runtime's current locale (LC_NUMERIC decides the decimal point of
// `asString(double, ...)` and of money texts).
//
// The default constructor is private. Use `instance()`, or copy it:
//
//   const QNLocaleDefault& english = QNLocaleDefault::instance();
//   QNLocaleDefault mine(english);             // copies nothing, same locale
//   class Mine : public QNLocaleDefault {      // a derived locale
//   public:
//       Mine() : QNLocaleDefault(QNLocaleDefault::instance()) {}
//   };
class XVKIT_API QNLocaleDefault : public QNLocale {
  public:
    // The one shared object of the process, made on first use and never
    // destroyed before exit; safe to call from any thread.
    static const QNLocaleDefault& instance();

    QNLocaleDefault(const QNLocaleDefault&) = default;
    QNLocaleDefault& operator=(const QNLocaleDefault&) = default;
    ~QNLocaleDefault() override;

    using QNLocale::asString;

    // Directives: 'a' 'A' 'b' 'B' (names; an empty text for a `tm_wday`
    // outside 0..6 or a `tm_mon` outside 0..11), 'c' ('x', one space, 'X'),
    // 'C' ("Wed Mar  5 14:07:09 EST 1997"), 'd' 'H' 'I' 'j' 'm' 'M' 'S' 'U'
    // 'w' 'W' 'y' 'Y' (zero-filled numbers), 'p' ("am" below hour 12, else
    // "pm"), 'x' ("03/05/97" for the years 1901..1999, else "03/05/2005"),
    // 'X' ("14:07:09"), 'Z' (the zone's standard name for `tm_isdst` 0, its
    // daylight name for 1, else empty). Every other character gives an
    // empty text, as does a null `t`. Any field values are accepted: year
    // and week arithmetic is done in 64 bits, so INT_MAX or INT_MIN fields
    // print their exact results.
    XVString asString(const tm* t, char directive, const QNZone& zone) const override;
    // C "%#.*f" (`showpoint`) or "%.*f". A negative precision means 6, as in
    // C. Precisions above 1074, the most decimals a double carries, are
    // taken as 1074 (C would only add zeros), so every text is complete and
    // below 1400 characters, "inf", "nan" and 1e308 included.
    XVString asString(double value, int precision, bool showpoint) const override;
    // C "%lu".
    XVString asString(unsigned long value) const override;
    // C "%ld".
    XVString asString(long value) const override;
    // "$123.45", "USD 123.45" or "123.45" for 12345 hundredths; negative
    // amounts in parentheses ("(USD 123.45)"), never with a minus sign.
    // Amounts of 1e18 hundredths and more use C "%.5e" of the unit value
    // ("1.00000e+16"); NaN and infinities print as the C library prints them.
    XVString moneyAsString(double amount, CurrSymbol symbol) const override;

    // Optional blanks, an optional sign ('+' or '-', blanks may follow),
    // decimal digits, optional blanks; nothing else. Numbers too large for a
    // long are clamped before the sign is applied.
    bool stringToNum(const XVString& text, long* out) const override;
    // As above with a decimal real number (digits with an optional point and
    // exponent); must start with a digit or '.'.
    bool stringToNum(const XVString& text, double* out) const override;
    // Month/day/year ("3/5/97", "12-25-2005"), or day and year with an
    // English month name anywhere ("March 5, 1997", "5-MAR-97"). Any
    // non-digits separate the numbers; no digit may follow the year. Years
    // below 100 are years of the 1900s. The date must exist.
    bool stringToDate(const XVString& text, tm* out) const override;
    // Hours, optional minutes and seconds separated by ':', '.' or blanks,
    // and an optional "am"/"pm" marker in any case ("1:15 pm"). Text after
    // the time is ignored.
    bool stringToTime(const XVString& text, tm* out) const override;
    // An amount with optional sign ('-', parentheses, or with `symbolLocal`
    // a trailing '-'), optional "$" (`symbolLocal`) or "USD" (otherwise),
    // whole units and optionally exactly two decimals. Always false for
    // `symbolNone`.
    bool stringToMoney(const XVString& text, double* out, CurrSymbol symbol) const override;
    // The whole text, any case, against full and short English names.
    int monthIndex(const XVString& name) const override;
    int weekdayIndex(const XVString& name) const override;

  private:
    QNLocaleDefault() = default;
};

#endif  // XVKIT_QNLOCALE_H_
