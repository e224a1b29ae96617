// XVKIT_DCHECK(condition): checks an internal precondition of the library's
// own code (never a property of the caller's input) in builds without
// NDEBUG, such as the sanitizer build, and aborts with the condition's text
// and place when it fails. Release builds neither evaluate nor check it.
#ifndef XVKIT_SRC_DEBUG_CHECK_H_
#define XVKIT_SRC_DEBUG_CHECK_H_

#ifndef NDEBUG

#include <cstdio>
#include <cstdlib>

namespace xvkit {

[[noreturn]] inline void debugCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: internal check failed: %s\n", file, line, condition);
    std::abort();
}

}  // namespace xvkit

#define XVKIT_DCHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::xvkit::debugCheckFailed(#condition, __FILE__, __LINE__))

#else

// Unevaluated, so that names used only in checks still count as used.
#define XVKIT_DCHECK(condition) static_cast<void>(sizeof(!(condition)))

#endif

#endif  // XVKIT_SRC_DEBUG_CHECK_H_
