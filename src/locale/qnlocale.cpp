// The locale interface: its destructor and the format expansion that every
// locale shares.
#include <xvkit/qnlocale.h>

QNLocale::~QNLocale() = default;

XVString QNLocale::asString(const tm* t, const char* format, const QNZone& zone) const {
    XVString result;
    if (format == nullptr)
        return result;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            result += *p;
            continue;
        }
        const char directive = *++p;
        if (directive == '\0')
            break;  // a lone '%' at the end adds nothing
        if (directive == '%') {
            result += '%';
        } else {
            result += asString(t, directive, zone);
        }
    }
    return result;
}
