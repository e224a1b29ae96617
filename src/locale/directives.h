// The directive writers of the built-in locales, shared by their directive
// operations and by the format expansion, which calls them directly when the
// locale is exactly one of the built-in classes (no override can exist then).
// Internal to the library.
#ifndef XVKIT_SRC_LOCALE_DIRECTIVES_H_
#define XVKIT_SRC_LOCALE_DIRECTIVES_H_

#include <ctime>
#include <typeinfo>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include "text_buffer.h"

namespace xvkit::locale {

// Whether `locale`'s dynamic type is exactly `Locale`, so that none of its
// virtual operations is overridden.
template <class Locale>
bool isExactly(const QNLocale& locale) {
    return typeid(locale) == typeid(Locale);
}

// Appends the name of `zone` that `t->tm_isdst` selects: the standard name
// for 0, the daylight-saving name for 1, nothing for any other value.
inline void appendZoneName(TextBuffer& out, const tm* t, const QNZone& zone) {
    if (t->tm_isdst == 0)
        out.append(zone.timeZoneName());
    else if (t->tm_isdst == 1)
        out.append(zone.altZoneName());
}

// Appends the English locale's text of `directive` for `t` (not null). The
// composites 'c' ('x' and 'X') and 'C' (with 'Z') take those parts from
// `self`'s directive operation when `self` is given, so that a derived
// locale's override shows in them; with null they are written directly.
void appendEnglishDirective(TextBuffer& out, const tm* t, char directive, const QNZone& zone,
                            const QNLocale* self);

// Appends a snapshot's text of `directive` for `t` (not null) from the
// captured conventions `c`.
void appendSnapshotDirective(TextBuffer& out, const QNLocaleSnapshot::Conventions& c, const tm* t,
                             char directive, const QNZone& zone);

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_DIRECTIVES_H_
