// The locale interface: its destructor and the format expansion that every
// locale shares.
#include <xvkit/qnlocale.h>

#include <cstring>

QNLocale::~QNLocale() = default;

XVString QNLocale::asString(const tm* t, const char* format, const QNZone& zone) const {
    XVString result;
    if (format == nullptr)
        return result;
    // Texts of 16 characters and more live on the heap, and a format of 8 or
    // more usually expands past that: room for twice its length at once
    // saves growing the text step by step.
    const std::size_t length = std::strlen(format);
    if (length >= 8)
        result.reserve(2 * length);
    const char* p = format;
    while (const char* percent = std::strchr(p, '%')) {
        result.append(p, static_cast<std::size_t>(percent - p));
        const char directive = percent[1];
        if (directive == '\0')
            return result;  // a lone '%' at the end adds nothing
        if (directive == '%') {
            result += '%';
        } else {
            result += asString(t, directive, zone);
        }
        p = percent + 2;
    }
    result.append(p);
    return result;
}
