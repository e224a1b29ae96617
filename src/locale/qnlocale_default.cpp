// The shared instance of the built-in English locale.
#include <xvkit/qnlocale.h>

QNLocaleDefault::~QNLocaleDefault() = default;

const QNLocaleDefault& QNLocaleDefault::instance() {
    // Holds no data, so one object serves every caller and thread. It is
    // never destroyed, so static objects may still use it while the program
    // exits.
    static const QNLocaleDefault* const english = new QNLocaleDefault;
    return *english;
}
