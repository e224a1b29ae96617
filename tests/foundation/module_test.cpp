#include <gtest/gtest.h>

#include <dlfcn.h>
#include <xvkit/xvstring.h>
#include <cstring>
#include <sstream>

namespace {

// Read while this program's own statics are made, before main: only the
// library's load could have linked anything by then.
const CDynLinkLibrary* const chainBeforeMain = CDynLinkLibrary::first();

TEST(Module, RegisteredAtLoad) {
    ASSERT_NE(chainBeforeMain, nullptr);
    EXPECT_EQ(CDynLinkLibrary::first(), chainBeforeMain);
    int links = 0;
    for (const CDynLinkLibrary* link = chainBeforeMain; link != nullptr; link = link->next()) {
        if (std::strcmp(link->module().name, "xvkit") != 0)
            continue;
        ++links;
        EXPECT_TRUE(link->module().initialized);
        Dl_info info{};
        ASSERT_NE(dladdr(reinterpret_cast<void*>(&XEatWhite), &info), 0);
        EXPECT_EQ(link->module().instance, info.dli_fbase);
    }
    EXPECT_EQ(links, 1);
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

TEST(XEatWhite, FailedOrBadStreamIsLeftAlone) {
    for (auto state : {std::ios_base::badbit, std::ios_base::failbit}) {
        std::istringstream in("  a");
        in.setstate(state);
        XEatWhite(in);
        EXPECT_EQ(in.rdstate(), state);
        in.clear();
        EXPECT_EQ(in.get(), ' ');
    }
}

}  // namespace
