#include <gtest/gtest.h>

#include <xvkit/xvbitvec.h>
#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

// A critical section that records how deep it is held and how often it was
// taken, so the tests see every operation take and release it.
struct CountingSection : CCriticalSection {
    BOOL Lock(DWORD timeout = INFINITE) override {
        const BOOL got = CCriticalSection::Lock(timeout);
        depth += got ? 1 : 0;
        taken += got ? 1 : 0;
        return got;
    }
    BOOL Unlock() override {
        --depth;
        return CCriticalSection::Unlock();
    }
    int depth = 0;
    int taken = 0;
};

// A vector made lockable by a derived class, as users do.
struct LockedVec : XVBitVec {
    using XVBitVec::XVBitVec;
    using XVBitVec::operator=;
    LockedVec(const LockedVec& other) : XVBitVec(other) {}
    LockedVec& operator=(const LockedVec& other) {
        XVBitVec::operator=(other);
        return *this;
    }
    CCriticalSection* GetSyncObject() const override { return &section; }
    mutable CountingSection section;
};

TEST(LockedBitVec, EveryOperationTakesAndReleasesTheLock) {
    LockedVec v(8, false), w(8, true), shorter(3, false);
    const auto check = [&](auto op, const char* what) {
        const int before = v.section.taken;
        try {
            op();
        } catch (const std::exception&) {
        }
        EXPECT_GT(v.section.taken, before) << what;
        EXPECT_EQ(v.section.depth, 0) << what;
    };
    check([&] { v.setBit(8); }, "setBit out of range");
    check([&] { v.firstTrue(); }, "firstTrue");
    check([&] { v |= w; }, "|=");
    check([&] { v &= shorter; }, "&= mismatch");
    check([&] { (void)(v ^ shorter); }, "^ mismatch");
    check([&] { (void)!v; }, "!");
    check([&] { XVBitVec copy(v); }, "copy from");
    EXPECT_TRUE(w.section.depth == 0 && w.section.taken > 0);
}

TEST(LockedBitVec, SameVectorOnBothSidesReentersTheLock) {
    LockedVec v(100, false);
    v.setBit(5);
    v = v;
    EXPECT_EQ(v.firstTrue(), 5u);
    EXPECT_TRUE((v & v).isEqual(v));
    v ^= v;
    EXPECT_TRUE(v == false);
    EXPECT_EQ(v.section.depth, 0);
}

// Two vectors that write their name into one log each time their lock is
// taken, to see the order of the locks.
struct NamedVec : XVBitVec {
    NamedVec(std::string& log, char name, std::size_t n) : XVBitVec(n, false), section(log, name) {}
    NamedVec(const NamedVec& other) : XVBitVec(other), section(other.section.log, 'c') {}
    struct Section : CCriticalSection {
        Section(std::string& log, char name) : log(log), name(name) {}
        BOOL Lock(DWORD timeout = INFINITE) override {
            log += name;
            return CCriticalSection::Lock(timeout);
        }
        std::string& log;
        char name;
    };
    CCriticalSection* GetSyncObject() const override { return &section; }
    mutable Section section;
};

TEST(LockedBitVec, TwoOperandOperationsLockTheLeftOperandFirst) {
    std::string log;
    NamedVec a(log, 'a', 4096), b(log, 'b', 4096), shorter(log, 's', 3);
    const auto locks = [&](auto op) {
        log.clear();
        try {
            op();
        } catch (const std::length_error&) {
        }
        return log;
    };
    // Each operation takes each lock once: the work is done in bulk over the
    // bytes, not through an element operation per element.
    EXPECT_EQ(locks([&] { a ^= b; }), "ab");
    EXPECT_EQ(locks([&] { b |= a; }), "ba");
    EXPECT_EQ(locks([&] { (void)(a & b); }), "ab");
    EXPECT_EQ(locks([&] { (void)(b ^ a); }), "ba");
    EXPECT_EQ(locks([&] { (void)a.isEqual(b); }), "ab");
    EXPECT_EQ(locks([&] { static_cast<XVBitVec&>(a) = b; }), "ab");
    EXPECT_EQ(locks([&] { (void)!b; }), "b");
    EXPECT_EQ(locks([&] { (void)(b == true); }), "b");
    EXPECT_EQ(locks([&] { a &= shorter; }), "as");
    EXPECT_EQ(locks([&] { (void)(shorter | a); }), "sa");
    // A copy takes the source's lock only: while it is being made, the new
    // vector has no synchronisation object of its own yet.
    EXPECT_EQ(locks([&] { NamedVec copy(a); }), "a");
}

// One thread keeps replacing the whole vector with all-set or all-clear
// contents while another copies it; under the lock no copy is a mix.
TEST(LockedBitVec, ConcurrentWholeVectorUpdatesAreAtomic) {
    constexpr std::size_t n = 1 << 16;
    LockedVec v(n, false);
    const XVBitVec ones(n, true), zeros(n, false);
    constexpr int kReads = 200;
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::thread writer([&] {
        // At least 300 rounds, and on until the reader has overlapped enough
        // of them, always stopping after an odd round, which ends all clear.
        for (int round = 0; round < 300 || reads < kReads || round % 2 == 1; ++round) {
            v = (round % 2) ? ones : zeros;
            v ^= ones;
            v = !v;
            v = (round % 2) ? zeros : ones;
        }
        done = true;
    });
    int mixed = 0;
    while (!done) {
        const XVBitVec snapshot(v);  // one locked read of the whole vector
        if (!(snapshot == true) && !(snapshot == false))
            ++mixed;
        ++reads;
    }
    writer.join();
    EXPECT_GE(reads.load(), kReads);
    EXPECT_EQ(mixed, 0) << "of " << reads.load() << " reads";
    EXPECT_TRUE(v == false);
}

}  // namespace
