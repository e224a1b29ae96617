// xvkit/qnlocale.h
//
// Locales: the conventions that turn dates, times, numbers and money amounts
// into text and read them back.
//
//   QNLocale         the abstract interface, the format expansion shared by
//                    every locale, and the process-wide locale
//   QNLocaleDefault  the built-in locale with fixed English conventions
//   QNLocaleSnapshot a locale captured once from a C runtime locale
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
// Text results are never cut short and nothing is written past a working
// buffer: where a result does not fit the locale's usual working buffer (a
// zone name of thousands of characters, a precision of 500) the buffer is
// grown to the exact size.

#ifndef XVKIT_QNLOCALE_H_
#define XVKIT_QNLOCALE_H_

#include <cstdint>
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
    // virtual table, so an override changes every format; a locale whose
    // directive operation is QNLocaleDefault's or QNLocaleSnapshot's, the
    // class itself or a derived one that does not override it, has the same
    // texts written into one buffer without the calls), and every other
    // character is copied. There are no flags or widths: "%-d" passes '-'
    // and then copies "d". A '%' that ends the format adds nothing. A null
    // `format` gives an empty text.
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
    // destroyed, so it stays usable while static objects are destroyed at
    // exit; safe to call from any thread.
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
    // C "%#.*f" (`showpoint`) or "%.*f", with the decimal point of the C
    // runtime's current LC_NUMERIC locale. A negative precision means 6, as
    // in C. Precisions above 1074, the most decimals a double carries, are
    // taken as 1074 (C would only add zeros), so every text is complete and
    // below 1400 characters, "inf", "nan", -0.0 ("-0.00") and 1e308 included.
    XVString asString(double value, int precision, bool showpoint) const override;
    // C "%lu".
    XVString asString(unsigned long value) const override;
    // C "%ld".
    XVString asString(long value) const override;
    // "$123.45", "USD 123.45" or "123.45" for 12345 hundredths (C "%.2f" of
    // the unit value, LC_NUMERIC's decimal point); negative amounts in
    // parentheses ("(USD 123.45)"), never with a minus sign: -0.0 gives
    // "$0.00". Amounts of 1e18 hundredths and more use C "%.5e" of the unit
    // value ("1.00000e+16"), as do NaN ("$nan") and infinity ("($inf)" when
    // negative). A `symbol` other than the three named ones shows no symbol.
    XVString moneyAsString(double amount, CurrSymbol symbol) const override;

    // Optional blanks, an optional sign ('+' or '-', blanks may follow),
    // decimal digits, optional blanks; nothing else. Whole numbers are 32-bit
    // values: a magnitude above 2147483647 is clamped to it before the sign is
    // applied ("-99999999999" gives -2147483647).
    bool stringToNum(const XVString& text, long* out) const override;
    // As above with a decimal real number (digits with an optional point and
    // exponent); must start with a digit or '.'.
    bool stringToNum(const XVString& text, double* out) const override;
    // Month/day/year ("3/5/97", "12-25-2005"), or day and year with an
    // English month name anywhere ("March 5, 1997", "5-MAR-97"); when several
    // month names occur, the latest month in the year wins. Any non-digits
    // separate the numbers; no digit may follow the year. Years below 100
    // are years of the 1900s; each number reads as a 32-bit strtol does, so a
    // year above 2147483647 reads as 2147483647. The date must exist (29 February
    // only in leap years).
    bool stringToDate(const XVString& text, tm* out) const override;
    // Hours, optional minutes and seconds separated by ':', '.' or blanks,
    // and an optional "am"/"pm" marker in any case ("1:15 pm"; hours 1..12
    // with it, 0..23 without). Text after the time is ignored.
    bool stringToTime(const XVString& text, tm* out) const override;
    // An amount with optional sign ('-', parentheses, or with `symbolLocal`
    // a trailing '-'), optional "$" (`symbolLocal`) or "USD" (any other
    // non-zero `symbol`), whole units and optionally exactly two decimals.
    // Always false for `symbolNone`.
    bool stringToMoney(const XVString& text, double* out, CurrSymbol symbol) const override;
    // The whole text, any case (the C runtime's case-blind compare), against
    // full and short English names; no blanks are removed.
    int monthIndex(const XVString& name) const override;
    int weekdayIndex(const XVString& name) const override;

  private:
    QNLocaleDefault() = default;
};

// One component of a captured date or time layout: which date component is
// inserted (numbers as in `QNLocaleSnapshot`), and at which character offset
// of the layout's literal text. A node owns the rest of its list.
struct XVKIT_API QNTimeFmtList {
    QNTimeFmtList(int component, int position) : component(component), position(position) {}
    QNTimeFmtList(const QNTimeFmtList&) = delete;
    QNTimeFmtList& operator=(const QNTimeFmtList&) = delete;
    ~QNTimeFmtList();

    QNTimeFmtList* next = nullptr;
    int component;
    int position;
};

// A locale whose conventions are copied once, at construction, from a locale
// of the C runtime: separators and grouping, currency layout, weekday and
// month names, the morning and afternoon markers, and the layouts of the
// date ('x'), time ('X'), date-and-time ('c') and 'C' representations, each
// decomposed into literal text plus a list of date components. After
// construction the object never reads the runtime's locale tables again
// (except the runtime's own decimal point, which `stringToNum(..., double*)`
// needs for `strtod`), so it formats and reads the same way whatever the
// process later does with `setlocale`.
//
//   QNLocaleSnapshot german("de_DE.UTF-8");
//   german.asString(1234567L);                        // "1.234.567"
//   german.asString(1234.5, 2, false);                // "1.234,50"
//   tm t{}; t.tm_mday = 30; t.tm_mon = 10; t.tm_year = 90;
//   german.asString(&t, 'x', QNZone::utc());          // "30.11.1990"
//
// Date components, as numbered in the component lists:
//    0 'Y' year        1 'y' year % 100   2 'j' day of year   3 'S' second
//    4 'M' minute      5 'I' 12-hour      6 'H' 24-hour       7 'm' month
//    8 'B' month name  9 'b' short name  10 'A' weekday      11 'a' short
//   12 'p' marker     13 'd' day         14 'Z' zone name    15 'U' week (Sun)
//   16 'W' week (Mon) 17 'w' weekday no. 18 blank-filled day 19 blank-filled month
//
// Thread safety: construction switches the process-wide C locale
// (`setlocale(LC_ALL, ...)`) for its whole duration and takes no lock, so it
// must not overlap any other use of the C runtime's locale in the process
// (another snapshot being built, `printf`, `strtod`, ...). A constructed
// snapshot is immutable and may be shared by any number of threads.
//
// Results are never cut short and nothing is written past a working area:
// texts that would not fit the usual ones (layouts longer than 255 bytes, a
// zone name of thousands of characters, 1e308 with 500 decimals) are built
// in grown buffers.
class XVKIT_API QNLocaleSnapshot : public QNLocale {
  public:
    // Everything a snapshot captured, in capture order. `monthAbbs` have
    // their trailing blanks removed; the digit counts are limited to 0..18
    // and the sign positions to 0..4; the money patterns are four-character
    // rows of "(m $-m $m $-m- $m $-($ m-$ m$ m--$ m$ -m" ('(' parentheses,
    // 'm' number, '$' currency symbol, '-' sign, ' ' optional blank).
    struct Conventions {
        XVString localeName;  // as setlocale(LC_ALL, nullptr) named it
        XVString decimalPoint;
        XVString thousandsSep;
        XVString grouping;  // group sizes as bytes; empty when none
        XVString intCurrSymbol;
        XVString currencySymbol;
        XVString monDecimalPoint;
        XVString monThousandsSep;
        XVString monGrouping;
        XVString positiveSign;
        XVString negativeSign;
        signed char intFracDigits = 0;
        signed char fracDigits = 0;
        signed char pCsPrecedes = 0;
        signed char pSepBySpace = 0;
        signed char nCsPrecedes = 0;
        signed char nSepBySpace = 0;
        signed char pSignPosn = 0;
        signed char nSignPosn = 0;
        XVString weekDays[7];  // index 0 = Sunday
        XVString weekAbbs[7];
        XVString monthNames[12];  // index 0 = January
        XVString monthAbbs[12];
        XVString am;
        XVString pm;
        int monthNamesWithDigits = 0;  // names (of 24) holding a decimal digit
        XVString textForX;
        QNTimeFmtList* listForX = nullptr;
        XVString textForx;
        QNTimeFmtList* listForx = nullptr;
        XVString textForc;
        QNTimeFmtList* listForc = nullptr;
        XVString textForC;
        QNTimeFmtList* listForC = nullptr;
        const char* moneyPosPattern = nullptr;
        const char* moneyNegPattern = nullptr;
        double fracScale = 1.0;
        double intFracScale = 1.0;
        // 0 day-month-year, 1 month-day-year, 2 year-day-month, 3 year-month-day.
        int dateOrder = 0;
    };

    // Captures the C runtime locale `localeName` (any name setlocale takes,
    // such as "C", "" or "de_DE.UTF-8"), or the current locale when null,
    // and then restores the runtime's locale. A name the runtime does not
    // know captures the current locale; nothing is reported. Throws only
    // std::bad_alloc.
    explicit QNLocaleSnapshot(const char* localeName = nullptr);
    QNLocaleSnapshot(const QNLocaleSnapshot&) = delete;
    QNLocaleSnapshot& operator=(const QNLocaleSnapshot&) = delete;
    ~QNLocaleSnapshot() override;

    // What was captured, for inspection.
    const Conventions& conventions() const { return c_; }

    using QNLocale::asString;

    // 'A' 'a' 'B' 'b' names (empty outside 0..6 / 0..11), 'p' the morning
    // marker below hour 12, else the afternoon one, 'Z' zone name for `tm_isdst` 0 or 1 (else
    // empty), 'X' 'x' 'c' 'C' the captured layouts filled in, 'Y' 'y' 'j'
    // 'S' 'M' 'I' 'H' 'm' 'd' 'U' 'W' 'w' zero-filled numbers (widths 4, 2,
    // 3, 2, 2, 2, 2, 2, 2, 2, 2, 1; fields out of their range, INT_MIN and
    // INT_MAX included, print the low 32 bits of the exact value as an
    // unsigned number); every other character, and a null `t`, gives an
    // empty text.
    XVString asString(const tm* t, char directive, const QNZone& zone) const override;
    // C's "%.*f" digits (a negative precision means 6; precisions above
    // 1074, the most decimals a double has, are taken as 1074) with the
    // captured decimal point and digit grouping, whatever the C runtime's
    // current locale is: "1.234,50" for German. `showpoint` keeps the point
    // when there are no decimals. C spells infinities and NaN with letters
    // where the point stands; they give the sign (if any) and the point
    // alone ("-." for -infinity in English).
    XVString asString(double value, int precision, bool showpoint) const override;
    // Decimal digits with the captured grouping and separator.
    XVString asString(unsigned long value) const override;
    // As above for the magnitude, with '-' (never the captured negative
    // sign) in front when negative; LONG_MIN works.
    XVString asString(long value) const override;
    // The money text of `amount` smallest units (amount / 10^fracDigits
    // currency units, as `asString(double)` with the monetary separators)
    // in the captured layout. `symbolInternational` always gives the code,
    // a '-' when negative, then the number ("USD -1,234.56"); any value
    // other than `symbolLocal` and `symbolInternational` gives no symbol.
    // -0.0 is not negative.
    XVString moneyAsString(double amount, CurrSymbol symbol) const override;

    // White space, an optional '-' or '+' (white space may follow), digits
    // with optional separators exactly where the grouping puts them, white
    // space: " 1,234,567 ". Range -2147483647..2147483647 ("-0" fails);
    // texts with more than 128 separators are refused.
    bool stringToNum(const XVString& text, long* out) const override;
    // As above with the captured decimal point and an optional exponent
    // ("-1.234,5e3" in German), read by `strtod` with the C runtime's own
    // point, so it must not overlap a change of the runtime's locale by
    // another thread. Texts of 256 characters or more fail.
    bool stringToNum(const XVString& text, double* out) const override;
    // A date in the captured day/month/year order ("11/30/1990" in English,
    // packed "19901130" in a year-first locale), or day and year with a
    // captured month name anywhere in it, ASCII letters in any case ("Nov 30,
    // 1990"; month names are not looked for when one of them holds a digit).
    // Years 0..99 are 1900..1999. The date must exist.
    bool stringToDate(const XVString& text, tm* out) const override;
    // Hour and minute, optional second, digits of each at most two ("3:15
    // pm", "1030"), with the captured markers in any case to turn 12-hour
    // times into 24-hour ones.
    bool stringToTime(const XVString& text, tm* out) const override;
    // Currency text, sign and number in any order, each at most once, or a
    // number in parentheses (negative): "($1,234.56)" is -123456. The number
    // has exactly the captured fraction digits or none. `symbolInternational`
    // reads the code, a '-' or '+' and the number in this order. Always
    // false for `symbolNone` and values other than the three named.
    bool stringToMoney(const XVString& text, double* out, CurrSymbol symbol) const override;
    // 1..12 for a captured full or short month name, any case, blanks
    // stripped from both; else 0.
    int monthIndex(const XVString& name) const override;
    // 1..7 (Monday = 1) for a captured full or short weekday name, any case,
    // nothing stripped; else 0.
    int weekdayIndex(const XVString& name) const override;

  private:
    Conventions c_;
    // The first bytes of the month names, full and short, ASCII letters in
    // both cases (every byte when a name is empty): the date reader looks for
    // no name in a text that holds none of them.
    std::uint64_t monthInitials_[4] = {};
};

#endif  // XVKIT_QNLOCALE_H_
