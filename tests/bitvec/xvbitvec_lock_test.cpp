#include <gtest/gtest.h>

#include <xvkit/xvbitvec.h>
#include <cctype>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// A critical section that writes its vector's name into a log each time it is
// taken, and the name in capitals each time it is released, so the tests see
// the order of the locks and that every one is released.
struct LoggingSection : CCriticalSection {
    LoggingSection(std::string& log, char name) : log(log), name(name) {}
    BOOL Lock(DWORD timeout = INFINITE) override {
        log += name;
        return CCriticalSection::Lock(timeout);
    }
    BOOL Unlock() override {
        log += static_cast<char>(std::toupper(name));
        return CCriticalSection::Unlock();
    }
    std::string& log;
    char name;
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
        {[&] { a ^= b; }, "abBA"},
        {[&] { b |= a; }, "baAB"},
        {[&] { (void)(a & b); }, "abBA"},
        {[&] { (void)(b ^ a); }, "baAB"},
        {[&] { (void)a.isEqual(b); }, "abBA"},
        {[&] { static_cast<XVBitVec&>(a) = b; }, "abBA"},
        {[&] { (void)!b; }, "bB"},
        {[&] { (void)(b == true); }, "bB"},
        {[&] { (void)a.firstTrue(); }, "aA"},
        {[&] { XVBitVec copy(a); }, "aA"},
        // The same vector on both sides takes its own lock again.
        {[&] { static_cast<XVBitVec&>(a) = a; }, "aaAA"},
        {[&] { (void)(a & a); }, "aaAA"},
        {[&] { a ^= a; }, "aaAA"},
        // Released when they throw, too.
        {[&] { a.setBit(4096); }, "aA"},
        {[&] { a &= shorter; }, "asSA"},
        {[&] { (void)(shorter | a); }, "saAS"},
    };
    for (const auto& [op, locks] : cases) {
        log.clear();
        try {
            op();
        } catch (const std::logic_error&) {
        }
        EXPECT_EQ(log, locks);
    }
}

}  // namespace
