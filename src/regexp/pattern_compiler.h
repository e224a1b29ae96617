// The pattern compiler behind XREMakePattern, reporting why a pattern fails
// and where, and able to make classes case-blind.

#ifndef XVKIT_SRC_REGEXP_PATTERN_COMPILER_H_
#define XVKIT_SRC_REGEXP_PATTERN_COMPILER_H_

#include <cstddef>

namespace xvkit::regexp {

// Why a compilation failed; the status of each is given on the right.
enum class CompileFailure : unsigned char {
    none,                   // 0
    emptyPattern,           // 1, a null pattern included
    leadingClosure,         // 1
    emptyClass,             // 1
    unclosedClass,          // 1
    danglingControlEscape,  // 1
    noCodeArray,            // 2
    tooLong,                // 3
    closureAfterAnchor,     // 3
    closureAfterClosure,    // 3
};

struct CompileResult {
    int status;              // what XREMakePattern returns
    CompileFailure failure;  // none when the status is 0
    std::size_t offset;      // where in the pattern the failure was found (0 on success)
};

struct CompileOptions {
    // Every class holds both cases of each ASCII letter it names, added
    // before a `^` negates it, so that «[^a]» holds neither `a` nor `A`.
    bool caseBlindClasses = false;
};

// Compiles as XREMakePattern does (the same code and status), with the
// reason of a failure.
CompileResult compilePattern(const char* pattern, unsigned short* code, int maxLength,
                             CompileOptions options = {});

// A fixed English text for a failure, e.g. "a class without its closing ']'".
const char* failureText(CompileFailure failure);

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_PATTERN_COMPILER_H_
