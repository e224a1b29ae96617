// Locales derived from the library's own, for the tests, the fuzzers and the
// benchmarks of the format expansion: one that overrides nothing, whose
// expansion may take the base's direct path, and one that overrides the
// directive operation, whose override must show in every directive.
#ifndef XVKIT_TESTS_SUPPORT_DERIVED_LOCALES_H_
#define XVKIT_TESTS_SUPPORT_DERIVED_LOCALES_H_

#include <ctime>
#include <utility>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>
#include <xvkit/xvstring.h>

namespace xvkit::testing {

// `Base` with nothing overridden.
template <class Base>
class Inheriting : public Base {
  public:
    template <class... Args>
    explicit Inheriting(Args&&... args) : Base(std::forward<Args>(args)...) {}
};

// `Base` with a directive operation that brackets every text it gives.
template <class Base>
class Bracketing : public Base {
  public:
    template <class... Args>
    explicit Bracketing(Args&&... args) : Base(std::forward<Args>(args)...) {}

    using Base::asString;
    XVString asString(const tm* t, char d, const QNZone& zone) const override {
        return XVString("[") + Base::asString(t, d, zone) + XVString("]");
    }
};

}  // namespace xvkit::testing

#endif  // XVKIT_TESTS_SUPPORT_DERIVED_LOCALES_H_
