// The locale interface: its destructor and the format expansion that every
// locale shares.
#include <xvkit/qnlocale.h>

#include <cstring>

#include "directives.h"
#include "text_buffer.h"

namespace {

using namespace xvkit::locale;

// Expands `format` into one buffer: literal runs copied, "%%" as '%', and
// `directive(out, d)` for every other '%' d. A '%' that ends the format adds
// nothing.
template <class AppendDirective>
XVString expand(const char* format, AppendDirective&& directive) {
    TextBuffer out;
    for (const char* p = format; *p != '\0';) {
        if (*p != '%') {
            const char* const run = p;
            while (*p != '\0' && *p != '%')
                ++p;
            out.append(run, static_cast<std::size_t>(p - run));
            continue;
        }
        const char d = p[1];
        if (d == '\0')
            break;
        if (d == '%')
            out.append('%');
        else
            directive(out, d);
        p += 2;
    }
    return out.take();
}

}  // namespace

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
            const auto& c = static_cast<const QNLocaleSnapshot&>(*this).conventions();
            return expand(format, [&](TextBuffer& out, char d) {
                appendSnapshotDirective(out, c, t, d, zone);
            });
        }
        if (hasEnglishDirectives(*this)) {
            return expand(format, [&](TextBuffer& out, char d) {
                appendEnglishDirective(out, t, d, zone, nullptr);
            });
        }
    }
    return expand(format, [&](TextBuffer& out, char d) { out.append(asString(t, d, zone)); });
}
