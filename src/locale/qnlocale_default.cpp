// The shared instance of the built-in English locale.
#include <xvkit/qnlocale.h>

QNLocaleDefault::~QNLocaleDefault() = default;

const QNLocaleDefault& QNLocaleDefault::instance() {
    // Holds no data, so one object serves every caller and thread.
    static const QNLocaleDefault english;
    return english;
}
