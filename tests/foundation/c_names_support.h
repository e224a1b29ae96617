// A check shared by the tests that include the library's headers next to the
// BOOL, TRUE and FALSE of C headers: the locks take and give the C names.
#ifndef XVKIT_TESTS_FOUNDATION_C_NAMES_SUPPORT_H_
#define XVKIT_TESTS_FOUNDATION_C_NAMES_SUPPORT_H_

#include <gtest/gtest.h>

inline void expectLocksWithCNames() {
    CCriticalSection section;
    XVSingleLock lock(&section, FALSE);
    EXPECT_EQ(lock.IsLocked(), FALSE);
    EXPECT_EQ(lock.Lock() && lock.IsLocked(), TRUE);
    EXPECT_EQ(lock.Unlock() && !lock.IsLocked(), TRUE);
}

#endif  // XVKIT_TESTS_FOUNDATION_C_NAMES_SUPPORT_H_
