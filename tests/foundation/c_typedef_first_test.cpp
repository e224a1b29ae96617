// The library's headers after a C header with `typedef int BOOL;` and the
// usual guarded TRUE and FALSE macros.
typedef int BOOL;
#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

#include <xvkit/xvkit.h>

#include "c_names_support.h"

TEST(CHeaderNames, TypedefAndMacrosDefinedBefore) {
    expectLocksWithCNames();
}
