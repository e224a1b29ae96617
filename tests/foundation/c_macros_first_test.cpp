// The library's headers after a C header that makes BOOL, TRUE and FALSE
// macros.
#define BOOL int
#define TRUE (1 == 1)
#define FALSE (!TRUE)

#include <xvkit/xvkit.h>

#include "c_names_support.h"

TEST(CHeaderNames, MacrosDefinedBefore) {
    expectLocksWithCNames();
}
