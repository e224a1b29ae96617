// Shared by the locale tests: the format expansion against the directive
// operation it stands for, on the built-in locales and on locales derived
// from them.
#ifndef XVKIT_TESTS_LOCALE_EXPANSION_CHECK_H_
#define XVKIT_TESTS_LOCALE_EXPANSION_CHECK_H_

#include <ctime>
#include <string>
#include <utility>

#include <xvkit/qnlocale.h>

namespace expansion_check {

// `Base` with a directive operation that brackets every text it gives.
template <class Base>
class Bracketing : public Base {
  public:
    template <class... Args>
    explicit Bracketing(Args&&... args) : Base(std::forward<Args>(args)...) {}

    using Base::asString;
    XVString asString(const tm* t, char d, const QNZone& zone) const override {
        std::string text(1, '[');
        text += Base::asString(t, d, zone);
        text += ']';
        return XVString(std::move(text));
    }
};

// A format holding every directive character but '%' and NUL, each between
// '<' and '>', and what `l`'s directive operation gives for each of them in
// that frame: the text the expansion must give.
inline std::pair<std::string, std::string> everyDirective(const QNLocale& l, const tm& t,
                                                          const QNZone& zone) {
    std::string format, expected;
    for (int code = 1; code < 256; ++code) {
        const char d = static_cast<char>(code);
        if (d == '%')
            continue;
        format.append("<%").append(1, d).append(">");
        expected.append("<").append(l.asString(&t, d, zone)).append(">");
    }
    return {format, expected};
}

}  // namespace expansion_check

#endif  // XVKIT_TESTS_LOCALE_EXPANSION_CHECK_H_
