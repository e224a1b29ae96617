#include "light_matcher.h"

#include <cstring>

#include "dfa_search.h"
#include "lockstep_search.h"
#include "program.h"

namespace xvkit_regexp {

namespace {

// Below this many characters the table-driven pass costs more to set up than
// it saves.
constexpr std::size_t kShortText = 32;

}  // namespace

bool search(const unsigned short* code, const char* text, std::size_t n, std::size_t start,
            std::size_t* matchStart, std::size_t* matchLength) {
    const Program program(code);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);

    if (program.pureLiteral() && !program.anchored()) {
        const void* at = memmem(bytes + start, n - start, program.prefix(), program.prefixLength());
        if (at == nullptr)
            return false;
        *matchStart = static_cast<std::size_t>(static_cast<const unsigned char*>(at) - bytes);
        *matchLength = program.prefixLength();
        return true;
    }
    if (n - start >= kShortText) {
        switch (dfaSearch(program, bytes, n, start, matchStart, matchLength)) {
            case DfaOutcome::found:
                return true;
            case DfaOutcome::notFound:
                return false;
            case DfaOutcome::tooManyStates:
                break;
        }
    }
    return lockstepSearch(program, bytes, n, start, matchStart, matchLength);
}

}  // namespace xvkit_regexp
