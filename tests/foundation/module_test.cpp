#include <gtest/gtest.h>

#include <dlfcn.h>
#include <xvkit/xvstring.h>
#include <cstring>
#include <sstream>

namespace {

// Nothing in this test calls into the library before looking at the chain, so
// the registration found here was made while the library was being loaded.
TEST(Module, RegisteredAtLoad) {
    const CDynLinkLibrary* link = CDynLinkLibrary::first();
    ASSERT_NE(link, nullptr);
    bool found = false;
    for (; link != nullptr; link = link->next()) {
        if (std::strcmp(link->module().name, "xvkit") == 0) {
            found = true;
            EXPECT_TRUE(link->module().initialized);
            Dl_info info{};
            ASSERT_NE(dladdr(reinterpret_cast<void*>(&XEatWhite), &info), 0);
            EXPECT_EQ(link->module().instance, info.dli_fbase);
        }
    }
    EXPECT_TRUE(found);
}

TEST(Module, InitAndTermHooks) {
    AFX_EXTENSION_MODULE record{"probe", nullptr, false};
    int image = 0;
    EXPECT_TRUE(AfxInitExtensionModule(record, &image));
    EXPECT_FALSE(AfxInitExtensionModule(record, &image));  // already initialised
    EXPECT_EQ(record.instance, &image);
    AfxTermExtensionModule(record);
    EXPECT_FALSE(record.initialized);
}

TEST(XEatWhite, ExportedUnderItsPlainName) {
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "XEatWhite"), reinterpret_cast<void*>(&XEatWhite));
}

TEST(XEatWhite, SkipsBlanksAndLeavesTheRest) {
    std::istringstream in("  \t\nabc");
    EXPECT_EQ(&XEatWhite(in), &in);
    std::string word;
    in >> std::noskipws >> word;
    EXPECT_EQ(word, "abc");

    std::istringstream blanks("   ");
    XEatWhite(blanks);
    EXPECT_TRUE(blanks.eof());

    std::istringstream text("x y");
    text >> std::noskipws;
    XEatWhite(text);
    EXPECT_EQ(text.get(), 'x');
    XEatWhite(text);
    EXPECT_EQ(text.get(), 'y');
}

TEST(XEatWhite, FailedStreamIsLeftAlone) {
    std::istringstream in("  a");
    in.setstate(std::ios_base::badbit);
    XEatWhite(in);
    in.clear();
    EXPECT_EQ(in.get(), ' ');
}

}  // namespace
