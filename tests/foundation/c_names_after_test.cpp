// A C header with BOOL, TRUE and FALSE included after the library's headers.
#include <xvkit/xvkit.h>

typedef int BOOL;
#define TRUE 1
#define FALSE 0

#include "c_names_support.h"

TEST(CHeaderNames, DefinedAfter) {
    expectLocksWithCNames();
}
