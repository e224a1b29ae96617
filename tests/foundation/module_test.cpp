#include <gtest/gtest.h>

#include <dlfcn.h>
#include <xvkit/xvstring.h>
#include <cstring>
#include <sstream>

namespace {

// Read while this program's own statics are made, before main: only the
// library's load could have linked anything by then.
const CDynLinkLibrary* const chainBeforeMain = CDynLinkLibrary::first();

TEST(Module, RegisteredOnceAtLoadWithItsImage) {
    ASSERT_NE(chainBeforeMain, nullptr);
    EXPECT_EQ(CDynLinkLibrary::first(), chainBeforeMain);
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&XEatWhite), &info), 0);
    int links = 0;
    for (const CDynLinkLibrary* link = chainBeforeMain; link != nullptr; link = link->next()) {
        if (std::strcmp(link->module().name, "xvkit") == 0) {
            ++links;
            EXPECT_TRUE(link->module().initialized);
            EXPECT_EQ(link->module().instance, info.dli_fbase);
        }
    }
    EXPECT_EQ(links, 1);
}

TEST(XEatWhite, SkipsBlanksOnlyAndLeavesFailedStreamsAlone) {
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "XEatWhite"), reinterpret_cast<void*>(&XEatWhite));

    std::istringstream in("  \t\nabc"), blanks("   "), text("x y");
    EXPECT_EQ(&XEatWhite(in), &in);
    EXPECT_EQ(in.get(), 'a');
    EXPECT_TRUE(XEatWhite(blanks).eof());
    // The same whether or not the stream skips blanks itself.
    text >> std::noskipws;
    EXPECT_EQ(XEatWhite(text).get(), 'x');
    EXPECT_EQ(XEatWhite(text).get(), 'y');

    std::istringstream failed("  a");
    failed.setstate(std::ios_base::failbit);
    EXPECT_EQ(XEatWhite(failed).rdstate(), std::ios_base::failbit);  // nothing taken
    failed.clear();
    EXPECT_EQ(failed.get(), ' ');
}

}  // namespace
