// A regular-expression search loop: every match of a pattern in a text, one
// after the other, as `grep -o` prints them.
//
//   xvkit-example-search [PATTERN [TEXT]]
#include <xvkit/xvkit.h>

#include <cstdio>

int main(int argc, char** argv) {
    const char* pattern = argc > 1 ? argv[1] : "[0-9]+";
    const XVString text(argc > 2 ? argv[2] : "rooms 12, 7 and 1040 on floors 1 to 3");

    // A pattern that does not compile is reported by its status; searching
    // with it would throw.
    XVRegExprLight re(pattern);
    if (re.status() != XVRegExprLight::ok) {
        std::fprintf(stderr, "pattern '%s' does not compile (status %d)\n", pattern,
                     static_cast<int>(re.status()));
        return 1;
    }

    std::size_t from = 0;
    std::size_t length = 0;
    int count = 0;
    // index returns the position of the first match at or after `from`, and
    // its length; (size_t)-1 when there is none.
    for (std::size_t at; (at = re.index(text, &length, from)) != XVString::npos;) {
        std::printf("at %zu: %s\n", at, text.substr(at, length).c_str());
        ++count;
        // Continue after the match; an empty match moves on by one character.
        from = at + (length > 0 ? length : 1);
        if (from > text.size())
            break;
    }
    std::printf("%d matches\n", count);
    return 0;
}
