// The directive writers of the built-in locales, shared by their directive
// operations and by the format expansion, which calls them directly when a
// locale's directive operation is one of theirs (not overridden). Internal
// to the library.
#ifndef XVKIT_SRC_LOCALE_DIRECTIVES_H_
#define XVKIT_SRC_LOCALE_DIRECTIVES_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include "text_buffer.h"

namespace xvkit::locale {

// The function that a call of the directive operation,
// asString(const tm*, char, const QNZone&), runs on `locale`: the entry of
// its slot in the object's virtual table. Two locales run the same directive
// operation exactly when their entries are equal, so comparing entries finds
// a derived class that overrides it without calling anything.
inline const void* directiveEntry(const QNLocale& locale) {
    using Directive = XVString (QNLocale::*)(const tm*, char, const QNZone&) const;
    const Directive directive = &QNLocale::asString;
    // The Itanium C++ ABI's pointer to a virtual member function: the slot's
    // byte offset in the virtual table, plus one (in `adjust`'s low bit
    // instead on ARM).
    struct {
        std::uintptr_t offset;
        std::ptrdiff_t adjust;
    } pointer;
    static_assert(sizeof pointer == sizeof directive);
    std::memcpy(&pointer, &directive, sizeof pointer);
#if defined(__arm__) || defined(__aarch64__)
    const std::uintptr_t slotOffset = pointer.offset;
#else
    const std::uintptr_t slotOffset = pointer.offset - 1;
#endif
    const void* const* table;
    // The object starts with its table's address.
    std::memcpy(&table, static_cast<const void*>(&locale), sizeof table);
    return table[slotOffset / sizeof(void*)];
}

// The directive operation of QNLocaleSnapshot itself, as directiveEntry
// gives it; known once a snapshot has been constructed.
const void* snapshotDirectiveEntry();

// Whether `locale` runs the English locale's own directive operation.
inline bool hasEnglishDirectives(const QNLocale& locale) {
    return directiveEntry(locale) == directiveEntry(QNLocaleDefault::instance());
}

// Appends the name of `zone` that `t->tm_isdst` selects: the standard name
// for 0, the daylight-saving name for 1, nothing for any other value.
inline void appendZoneName(TextBuffer& out, const tm* t, const QNZone& zone) {
    if (t->tm_isdst == 0)
        out.append(zone.timeZoneName());
    else if (t->tm_isdst == 1)
        out.append(zone.altZoneName());
}

// The expansion of `format` (not null) for `t` (not null) with the English
// locale's directives, written directly.
XVString expandEnglish(const char* format, const tm* t, const QNZone& zone);

// The expansion of `format` (not null) for `t` (not null) with a snapshot's
// directives from the captured conventions `c`, written directly.
XVString expandSnapshot(const QNLocaleSnapshot::Conventions& c, const char* format, const tm* t,
                        const QNZone& zone);

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_DIRECTIVES_H_
