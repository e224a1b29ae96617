// The format expansion's walk over a format text, shared by the expansion
// through the virtual table and the built-in locales' own expansions, which
// inline their directive writers into it. Internal to the library.
#ifndef XVKIT_SRC_LOCALE_FORMAT_EXPANSION_H_
#define XVKIT_SRC_LOCALE_FORMAT_EXPANSION_H_

#include <cstddef>

#include <xvkit/xvstring.h>

#include "text_buffer.h"

namespace xvkit::locale {

// Expands `format` into one buffer: literal runs copied, "%%" as '%', and
// `directive(out, d)` for every other '%' d. A '%' that ends the format adds
// nothing.
template <class AppendDirective>
inline XVString expand(const char* format, AppendDirective&& directive) {
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

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_FORMAT_EXPANSION_H_
