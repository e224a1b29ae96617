#include <gtest/gtest.h>

#include <xvkit/xvbitvec.h>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// A critical section that writes its vector's name into a log each time it is
// taken and counts how deep it is held, so the tests see the order of the
// locks and that every one is released.
struct LoggingSection : CCriticalSection {
    LoggingSection(std::string& log, char name) : log(log), name(name) {}
    BOOL Lock(DWORD timeout = INFINITE) override {
        const BOOL got = CCriticalSection::Lock(timeout);
        log += name;
        ++depth;
        return got;
    }
    BOOL Unlock() override {
        --depth;
        return CCriticalSection::Unlock();
    }
    std::string& log;
    char name;
    int depth = 0;
};

// A vector made lockable by a derived class, as users do.
struct LockedVec : XVBitVec {
    LockedVec(std::string& log, char name, std::size_t n)
        : XVBitVec(n, false), section(log, name) {}
    CCriticalSection* GetSyncObject() const override { return &section; }
    mutable LoggingSection section;
};

TEST(LockedBitVec, OperationsLockEachOperandOnceLeftFirstAndReenter) {
    std::string log;
    LockedVec a(log, 'a', 4096), b(log, 'b', 4096), shorter(log, 's', 3);
    // Each lock is taken once: the work is done in bulk over the bytes, not
    // through an element operation per element. A copy takes the source's
    // lock only: while it is made, the new vector has no lock of its own yet.
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { a ^= b; }, "ab"},
        {[&] { b |= a; }, "ba"},
        {[&] { (void)(a & b); }, "ab"},
        {[&] { (void)(b ^ a); }, "ba"},
        {[&] { (void)a.isEqual(b); }, "ab"},
        {[&] { static_cast<XVBitVec&>(a) = b; }, "ab"},
        {[&] { (void)!b; }, "b"},
        {[&] { (void)(b == true); }, "b"},
        {[&] { (void)a.firstTrue(); }, "a"},
        {[&] { XVBitVec copy(a); }, "a"},
        // The same vector on both sides takes its own lock again.
        {[&] { static_cast<XVBitVec&>(a) = a; }, "aa"},
        {[&] { (void)(a & a); }, "aa"},
        {[&] { a ^= a; }, "aa"},
        // Released when they throw, too.
        {[&] { a.setBit(4096); }, "a"},
        {[&] { a &= shorter; }, "as"},
        {[&] { (void)(shorter | a); }, "sa"},
    };
    for (const auto& [op, locks] : cases) {
        log.clear();
        try {
            op();
        } catch (const std::logic_error&) {
        }
        EXPECT_EQ(log, locks);
        EXPECT_TRUE(a.section.depth == 0 && b.section.depth == 0 && shorter.section.depth == 0)
            << locks;
    }
}

}  // namespace
