// QNLocaleSnapshot capture: copies a C runtime locale's conventions, names and
// date/time layouts once, then restores the runtime's locale.

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstring>
#include <ctime>
#include <string>

#include <xvkit/qnlocale.h>

#include "case_blind_set.h"
#include "debug_check.h"
#include "directives.h"
#include "snapshot_components.h"
#include "text_cursor.h"

namespace {

using namespace xvkit::locale;
using Conventions = QNLocaleSnapshot::Conventions;

XVString text(const char* s) {
    return XVString(s ? s : "");
}

// strftime of "%<letter>" into a buffer grown until the text fits. A leading
// blank keeps the result non-empty, so a zero return always means "too small".
XVString formatLetter(char letter, const tm* t) {
    const char format[] = {' ', '%', letter, '\0'};
    std::string buffer(256, '\0');
    for (;;) {
        const std::size_t n = std::strftime(buffer.data(), buffer.size(), format, t);
        if (n > 0)
            return XVString(buffer.data() + 1, n - 1);
        if (buffer.size() >= (1u << 20))
            return XVString();
        buffer.resize(buffer.size() * 4);
    }
}

// Removes the probe texts from `layout` in component order and links the
// components into `head` (an empty list that the caller owns, so that a
// failed allocation leaks nothing), sorted by insertion position.
void decompose(XVString& layout, const XVString (&probes)[kComponentCount], QNTimeFmtList*& head) {
    XVKIT_DCHECK(head == nullptr);
    for (int i = 0; i < kComponentCount; ++i) {
        if (probes[i].empty())
            continue;
        const std::size_t at = layout.index(probes[i].data(), probes[i].size());
        if (at == XVString::npos)
            continue;
        const int length = static_cast<int>(probes[i].size());
        layout.erase(at, probes[i].size());
        auto* node = new QNTimeFmtList(i, static_cast<int>(at));
        QNTimeFmtList** link = &head;
        while (*link && (*link)->position <= node->position)
            link = &(*link)->next;
        node->next = *link;
        *link = node;
        for (QNTimeFmtList* p = node->next; p; p = p->next)
            p->position -= length;
    }
}

// Turns day and month nodes into their blank-filled forms when the runtime
// pads a single-digit value with a blank.
void detectBlankFill(QNTimeFmtList* list, char letter, tm probe) {
    const XVString reference = formatLetter(letter, &probe);
    for (QNTimeFmtList* node = list; node; node = node->next) {
        if (node->component != kDay && node->component != kMonth)
            continue;
        tm changedProbe = probe;
        (node->component == kDay ? changedProbe.tm_mday : changedProbe.tm_mon) = 2;
        const XVString changed = formatLetter(letter, &changedProbe);
        const auto [c, r] =
            std::mismatch(changed.begin(), changed.end(), reference.begin(), reference.end());
        if (c != changed.end() && r != reference.end() && *c == ' ' && isDigit(*r)) {
            node->component = node->component == kDay ? kBlankFilledDay : kBlankFilledMonth;
        }
    }
}

DateOrder dateOrderOf(const QNTimeFmtList* list) {
    int counter = 0, year = 0, month = 0, day = 0;
    for (; list; list = list->next) {
        switch (list->component) {
            case kYear:
            case kYearOfCentury:
                year = ++counter;
                break;
            case kMonth:
            case kMonthName:
            case kMonthAbb:
            case kBlankFilledMonth:
                month = ++counter;
                break;
            case kDay:
            case kBlankFilledDay:
                day = ++counter;
                break;
            default:
                break;
        }
    }
    if (year == 0)
        year = counter + 1;
    if (year < month)
        return month < day ? kYearMonthDay : kYearDayMonth;
    return month < day ? kMonthDayYear : kDayMonthYear;
}

// The most decimals a captured money format keeps.
constexpr int kMaxFracDigits = 18;

// `value` when within 0..`high`, else `fallback`.
signed char clampTo(char value, int high, signed char fallback) {
    const auto v = static_cast<signed char>(value);
    return v >= 0 && v <= high ? v : fallback;
}

// Restores the runtime's locale on every way out of the constructor.
class LocaleRestorer {
  public:
    explicit LocaleRestorer(bool active)
        : active_(active), saved_(text(setlocale(LC_ALL, nullptr))) {}
    ~LocaleRestorer() {
        if (active_)
            setlocale(LC_ALL, saved_.c_str());
    }

  private:
    bool active_;
    XVString saved_;
};

// The four layout lists of `c`, for their one clean-up.
void deleteLayoutLists(Conventions& c) {
    for (QNTimeFmtList** list : {&c.listForX, &c.listForx, &c.listForc, &c.listForC}) {
        delete *list;
        *list = nullptr;
    }
}

// Deletes the layout lists of a capture that does not complete.
class LayoutListsGuard {
  public:
    explicit LayoutListsGuard(Conventions& c) : c_(c) {}
    LayoutListsGuard(const LayoutListsGuard&) = delete;
    LayoutListsGuard& operator=(const LayoutListsGuard&) = delete;
    ~LayoutListsGuard() {
        if (!kept_)
            deleteLayoutLists(c_);
    }
    void keep() { kept_ = true; }

  private:
    Conventions& c_;
    bool kept_ = false;
};

// The money pattern of `csPrecedes` and `signPosn` (0..4).
const char* moneyPattern(signed char csPrecedes, signed char signPosn) {
    XVKIT_DCHECK(signPosn >= 0 && signPosn < kSignPositions);
    return kMoneyPatterns + kMoneyPatternLength * (kSignPositions * (csPrecedes & 1) + signPosn);
}

// The numeric conventions: decimal point, thousands separator, grouping.
void captureNumeric(Conventions& c, const lconv* lc) {
    c.decimalPoint = text(lc->decimal_point);
    c.thousandsSep = text(lc->thousands_sep);
    c.grouping = text(lc->grouping);
}

// The monetary conventions, digit counts and sign positions clamped, with
// the money patterns and scales they select.
void captureMonetary(Conventions& c, const lconv* lc) {
    c.intCurrSymbol = text(lc->int_curr_symbol);
    c.currencySymbol = text(lc->currency_symbol);
    c.monDecimalPoint = text(lc->mon_decimal_point);
    c.monThousandsSep = text(lc->mon_thousands_sep);
    c.monGrouping = text(lc->mon_grouping);
    c.positiveSign = text(lc->positive_sign);
    c.negativeSign = text(lc->negative_sign);
    c.intFracDigits = clampTo(lc->int_frac_digits, kMaxFracDigits, 0);
    c.fracDigits = clampTo(lc->frac_digits, kMaxFracDigits, 0);
    c.pCsPrecedes = static_cast<signed char>(lc->p_cs_precedes);
    c.pSepBySpace = static_cast<signed char>(lc->p_sep_by_space);
    c.nCsPrecedes = static_cast<signed char>(lc->n_cs_precedes);
    c.nSepBySpace = static_cast<signed char>(lc->n_sep_by_space);
    c.pSignPosn = clampTo(lc->p_sign_posn, kSignPositions - 1, 1);
    c.nSignPosn = clampTo(lc->n_sign_posn, kSignPositions - 1, 0);
    c.moneyPosPattern = moneyPattern(c.pCsPrecedes, c.pSignPosn);
    c.moneyNegPattern = moneyPattern(c.nCsPrecedes, c.nSignPosn);
    for (int i = 0; i < c.fracDigits; ++i)
        c.fracScale *= 10.0;
    for (int i = 0; i < c.intFracDigits; ++i)
        c.intFracScale *= 10.0;
}

// The time every name and layout is captured at: Friday 30 November 1990,
// 22:54:56, normalised by mktime in the runtime's zone.
tm probeTime() {
    tm probe{};
    probe.tm_sec = 56;
    probe.tm_min = 54;
    probe.tm_hour = 22;
    probe.tm_mday = 30;
    probe.tm_mon = 10;
    probe.tm_year = 90;
    probe.tm_isdst = -1;
    mktime(&probe);
    probe.tm_min = 54;
    probe.tm_hour = 22;
    return probe;
}

// The full and short weekday names.
void captureWeekdays(Conventions& c, tm probe) {
    for (int w = 0; w < 7; ++w) {
        probe.tm_wday = w;
        c.weekDays[w] = formatLetter('A', &probe);
        c.weekAbbs[w] = formatLetter('a', &probe);
    }
}

// The full and short month names (the short ones without trailing blanks),
// counting those that hold a digit, with their first letters in `initials`.
void captureMonths(Conventions& c, tm probe, CaseBlindSet& initials) {
    for (int m = 0; m < 12; ++m) {
        probe.tm_mon = m;
        c.monthNames[m] = formatLetter('B', &probe);
        XVString abbreviation = formatLetter('b', &probe);
        c.monthNamesWithDigits += holdsDigit(c.monthNames[m]) + holdsDigit(abbreviation);
        while (!abbreviation.empty() && abbreviation.back() == ' ')
            abbreviation.pop_back();
        c.monthAbbs[m] = abbreviation;
        for (const XVString* name : {&c.monthNames[m], &c.monthAbbs[m]}) {
            if (name->empty())
                addEveryByte(initials);
            else
                addEitherCase(initials, (*name)[0]);
        }
    }
}

// The morning and afternoon markers.
void captureMarkers(Conventions& c, tm probe) {
    probe.tm_hour = 5;
    c.am = formatLetter('p', &probe);
    probe.tm_hour = 15;
    c.pm = formatLetter('p', &probe);
}

// The 'X', 'x', 'c' and 'C' layouts, each decomposed into its literal text
// and its components, and the date order of 'x'.
void captureLayouts(Conventions& c, const tm& probe) {
    XVString probes[kComponentCount];
    for (int i = 0; i < kLetteredComponents; ++i)
        probes[i] = formatLetter(kComponentLetters[i], &probe);
    for (const LayoutSlot& layout : kLayouts) {
        XVString formatted = formatLetter(layout.letter, &probe);
        decompose(formatted, probes, c.*layout.list);
        c.*layout.text = formatted;
        if (layout.letter != 'X')
            detectBlankFill(c.*layout.list, layout.letter, probe);
    }
    c.dateOrder = dateOrderOf(c.listForx);
}

// QNLocaleSnapshot's own directive operation, noted by every constructor
// (always the same entry) while the object is still of exactly that class.
std::atomic<const void*> ownDirectiveEntry{nullptr};

}  // namespace

const void* xvkit::locale::snapshotDirectiveEntry() {
    return ownDirectiveEntry.load(std::memory_order_relaxed);
}

QNTimeFmtList::~QNTimeFmtList() {
    delete next;
}

QNLocaleSnapshot::QNLocaleSnapshot(const char* localeName) {
    LocaleRestorer restorer(localeName != nullptr);
    if (localeName)
        setlocale(LC_ALL, localeName);
    LayoutListsGuard lists(c_);
    c_.localeName = text(setlocale(LC_ALL, nullptr));
    const lconv* lc = localeconv();
    captureNumeric(c_, lc);
    captureMonetary(c_, lc);
    const tm probe = probeTime();
    captureWeekdays(c_, probe);
    captureMonths(c_, probe, monthInitials_);
    captureMarkers(c_, probe);
    captureLayouts(c_, probe);
    lists.keep();
    ownDirectiveEntry.store(directiveEntry(*this), std::memory_order_relaxed);
}

QNLocaleSnapshot::~QNLocaleSnapshot() {
    deleteLayoutLists(c_);
}
