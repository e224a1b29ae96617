// The format expansion's walk over a format text, shared by the expansion
// through the virtual table and the built-in locales' own expansions, which
// inline their directive writers into it. Internal to the library.
#ifndef XVKIT_SRC_LOCALE_FORMAT_EXPANSION_H_
#define XVKIT_SRC_LOCALE_FORMAT_EXPANSION_H_

#include <cstddef>

#include <xvkit/xvstring.h>

#include "text_buffer.h"

namespace xvkit::locale {

// Expands `format` into one buffer: other characters copied, "%%" as '%',
// and `directive(out, d)` for every other '%' d. A '%' that ends the format
// adds nothing. Literal text between directives is mostly a character or
// two, copied one at a time.
template <class AppendDirective>
inline XVString expand(const char* format, AppendDirective&& directive) {
    TextBuffer out;
    for (const char* p = format;; p += 2) {
        while (*p != '%') {
            if (*p == '\0')
                return out.take();
            out.append(*p++);
        }
        const char d = p[1];
        if (d == '\0')
            break;
        if (d == '%')
            out.append('%');
        else
            directive(out, d);
    }
    return out.take();
}

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_FORMAT_EXPANSION_H_
