// QNLocaleSnapshot reading of money amounts, with the captured currency
// symbols, signs, monetary separators, grouping and fraction digits:
//
//   money    = {white} "(" {white} items ")" {white}     (negative)
//            | {white} items
//   items    = a currency, a sign and an amount, each at most once, in any
//              order for the local symbol; for the international one in
//              this order: currency, sign, amount
//   currency = the currency symbol {white}
//   sign     = ("-" | "+" | negative sign | positive sign) {white}
//   amount   = (integer [point digit{d}] | point digit{d}) {white}
//   integer  = digit {digit} {separator digit {digit}}   (see grouped_integer.h)
//
// d is the captured number of fraction digits (the point is not looked for
// when it is 0); a whole amount is scaled to the smallest unit. The reader
// only reads the snapshot, so any number of threads may read with one.

#include <optional>

#include <xvkit/qnlocale.h>

#include "grouped_integer.h"
#include "text_cursor.h"

namespace {

using namespace xvkit::locale;

// The grouping of money amounts, which hold ten separators at most.
GroupingRule moneyGrouping(const QNLocaleSnapshot::Conventions& c) {
    constexpr int kMaxMoneySeparators = 10;
    return {DigitGrouping(c.monGrouping, c.monThousandsSep), kMaxMoneySeparators};
}

// What a money text may hold for one currency symbol.
struct MoneyTerms {
    const XVString* positive;
    const XVString* negative;
    const XVString* currency;
    const XVString* point;
    GroupingRule grouping;
    int fractionDigits;
};

// The terms of `symbol`; none for symbols that read nothing.
std::optional<MoneyTerms> moneyTerms(const QNLocaleSnapshot::Conventions& c,
                                     QNLocale::CurrSymbol symbol) {
    static const XVString none;
    if (symbol == QNLocale::symbolLocal) {
        return MoneyTerms{&c.positiveSign,    &c.negativeSign,  &c.currencySymbol,
                          &c.monDecimalPoint, moneyGrouping(c), c.fracDigits};
    }
    if (symbol == QNLocale::symbolInternational) {
        return MoneyTerms{
            &none, &none, &c.intCurrSymbol, &c.monDecimalPoint, moneyGrouping(c), c.intFracDigits};
    }
    return std::nullopt;
}

// A money reader's state: where it stands and the items taken so far.
struct MoneyScan {
    explicit MoneyScan(const XVString& text) : cursor(text) {}

    Cursor cursor;
    char sign = 0;  // '-', '+', '(' or none yet
    bool haveCurrency = false;
    bool haveNumber = false;
    double value = 0;
};

// currency := the currency symbol, not at a digit.
void readCurrency(const MoneyTerms& terms, MoneyScan& scan) {
    if (!scan.haveCurrency && !isDigit(scan.cursor.peek()) && scan.cursor.match(*terms.currency)) {
        scan.haveCurrency = true;
        scan.cursor.skipWhite();
    }
}

// sign := "-" | "+" | negative sign | positive sign, not at a digit.
void readMoneySign(const MoneyTerms& terms, MoneyScan& scan) {
    Cursor& c = scan.cursor;
    if (scan.sign != 0 || isDigit(c.peek()))
        return;
    if (c.peek() == '-' || c.peek() == '+')
        scan.sign = c.take();
    else if (c.match(*terms.negative))
        scan.sign = '-';
    else if (c.match(*terms.positive))
        scan.sign = '+';
    else
        return;
    c.skipWhite();
}

// What a money reader found where an amount may stand.
enum class Amount {
    kNone,       // no amount here: nothing consumed
    kRead,       // an amount, consumed
    kMalformed,  // digits that break the grouping or the decimals
};

// amount := integer [point digit{fractionDigits}] | point digit{fractionDigits},
// with separators where the grouping puts them, as a count of the smallest
// unit.
Amount readAmount(const MoneyTerms& terms, Cursor& cursor, double* value) {
    const char* const start = cursor.at;
    double v = 0;
    int digits = 0;
    const auto accumulate = [&v](char d) {
        v = v * 10 + (d - '0');
        return true;
    };
    if (!readGroupedInteger(cursor, terms.grouping, digits, accumulate))
        return Amount::kMalformed;
    const bool pointSeen = terms.fractionDigits > 0 && cursor.match(*terms.point);
    if (pointSeen) {
        int n = 0;
        for (; isDigit(cursor.peek()); ++n)
            v = v * 10 + (cursor.take() - '0');
        if (n != terms.fractionDigits)
            return Amount::kMalformed;
    } else {
        // A whole amount: scale it to the smallest unit.
        for (int i = 0; i < terms.fractionDigits; ++i)
            v *= 10;
    }
    if (digits == 0 && !pointSeen) {
        cursor.at = start;
        return Amount::kNone;
    }
    *value = v;
    return Amount::kRead;
}

// One pass over the items of money := {currency | sign | amount}, each
// taken once at most, in this order; false when an amount is malformed.
bool readMoneyPass(const MoneyTerms& terms, MoneyScan& scan) {
    readCurrency(terms, scan);
    readMoneySign(terms, scan);
    Cursor& c = scan.cursor;
    const XVString& point = *terms.point;
    if (scan.haveNumber || !(isDigit(c.peek()) || (!point.empty() && c.peek() == point[0])))
        return true;
    const Amount amount = readAmount(terms, c, &scan.value);
    if (amount == Amount::kMalformed)
        return false;
    if (amount == Amount::kRead) {
        scan.haveNumber = true;
        c.skipWhite();
    }
    return true;
}

// The ")" that closes a "(" sign, which makes the amount negative.
bool closeParenthesis(MoneyScan& scan) {
    if (scan.cursor.peek() != ')')
        return false;
    scan.cursor.takeThenSkipWhite();
    scan.sign = '-';
    return true;
}

}  // namespace

bool QNLocaleSnapshot::stringToMoney(const XVString& text, double* out, CurrSymbol symbol) const {
    const std::optional<MoneyTerms> terms = moneyTerms(c_, symbol);
    if (!terms)
        return false;
    MoneyScan scan(text);
    scan.cursor.skipWhite();
    if (scan.cursor.peek() == '(') {
        scan.sign = '(';
        scan.cursor.takeThenSkipWhite();
    }
    // The items come in any order for the local symbol: each pass takes
    // what stands in its order, and the passes repeat while one takes
    // something.
    const bool anyOrder = symbol == symbolLocal;
    const char* before;
    do {
        before = scan.cursor.at;
        if (!readMoneyPass(*terms, scan))
            return false;
    } while (anyOrder && scan.cursor.at != before);
    if (scan.sign == '(' && !closeParenthesis(scan))
        return false;
    if (!scan.cursor.atEnd() || !scan.haveNumber)
        return false;
    *out = scan.sign == '-' ? -scan.value : scan.value;
    return true;
}
