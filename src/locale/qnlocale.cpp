// The locale interface: its destructor and the format expansion that every
// locale shares.
#include <xvkit/qnlocale.h>

#include "directives.h"
#include "format_expansion.h"
#include "text_buffer.h"

using namespace xvkit::locale;

QNLocale::~QNLocale() = default;

XVString QNLocale::asString(const tm* t, const char* format, const QNZone& zone) const {
    if (format == nullptr)
        return XVString();
    // A locale whose directive operation is one of the built-in classes'
    // (the class itself, or one derived from it that does not override the
    // operation) has its directives written straight into the one buffer;
    // any other locale is asked through the virtual table, directive by
    // directive, so that its override shows in every one.
    if (t != nullptr) {
        if (directiveEntry(*this) == snapshotDirectiveEntry()) {
            return expandSnapshot(static_cast<const QNLocaleSnapshot&>(*this).conventions(), format,
                                  t, zone);
        }
        if (hasEnglishDirectives(*this))
            return expandEnglish(format, t, zone);
    }
    return expand(format, [&](TextBuffer& out, char d) { out.append(asString(t, d, zone)); });
}
