#include <gtest/gtest.h>

#include <xvkit/xvobject.h>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace {

struct Counted : XVObject {
    explicit Counted(int* destroyed) : destroyed_(destroyed) {}
    ~Counted() override { ++*destroyed_; }
    int* destroyed_;
};

TEST(XVObject, ReleaseOnLastReferenceDeletesAndCopiesTakeTheCount) {
    int destroyed = 0;
    auto* o = new Counted(&destroyed);
    EXPECT_EQ(o->AddRef(), 2);
    EXPECT_EQ(o->Release(), 1);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(o->Release(), 0);
    EXPECT_EQ(destroyed, 1);

    XVObject a;
    a.AddRef();
    a.AddRef();
    XVObject b(a), c;
    c = a;
    EXPECT_TRUE(b.AddRef() == 4 && c.AddRef() == 4);  // copied count 3
}

// The base object's lock hook does nothing and reports success, whether or
// not it was locked first.
TEST(XVObject, LockAndUnlockDoNothingAndSucceed) {
    const XVObject plain;
    EXPECT_TRUE(plain.Unlock());
    EXPECT_TRUE(plain.Lock(INFINITE) && plain.Lock(0));
    EXPECT_TRUE(plain.Unlock() && plain.Unlock());
}

struct Number : XVCollectableObject {
    explicit Number(int v) : value(v) {}
    int compareTo(const XVCollectableObject& o) const override {
        return value - static_cast<const Number&>(o).value;
    }
    bool isComparableTo(const XVCollectableObject&) const override { return true; }
    int value;
};

TEST(XVCollectableObject, OrderFollowsCompareTo) {
    const Number one(1), two(2), otherOne(1);
    EXPECT_TRUE(one < two && two > one);
    EXPECT_FALSE(one > two || two < one || one < otherOne || one > otherOne);
}

// Answers every lock and release with a fixed result and logs the calls
// (L for a lock, U for a release).
struct Scripted : CSyncObject {
    Scripted(BOOL grant, BOOL release) : CSyncObject(nullptr), grant(grant), release(release) {}
    BOOL Lock(DWORD) override { return calls += 'L', grant; }
    BOOL Unlock() override { return calls += 'U', release; }
    BOOL Unlock(LONG, LONG* previous) override {
        *previous = 41;
        return Unlock();
    }
    BOOL grant, release;
    std::string calls;
};

TEST(XVSingleLock, AcquiredFlagFollowsEachAnswerOfTheObject) {
    XVSingleLock none(nullptr);
    EXPECT_TRUE(none.Lock(0) && none.Unlock());
    EXPECT_FALSE(none.IsLocked());  // nothing to hold

    XVEmptySyncObject empty(nullptr);
    XVSingleLock held(&empty, TRUE), copy(held), idle(&empty, FALSE);
    EXPECT_TRUE(held.IsLocked() && copy.IsLocked());  // copies carry the flag
    EXPECT_FALSE(idle.IsLocked());
    idle = held;
    EXPECT_TRUE(idle.IsLocked());
    LONG previous = 7;
    EXPECT_TRUE(held.Unlock(1, &previous));
    EXPECT_EQ(previous, 7);  // not written
    EXPECT_FALSE(held.IsLocked());

    Scripted refusing(FALSE, TRUE);
    {
        XVSingleLock lock(&refusing);  // locks at once, and fails
        XVSingleLock later(&refusing, FALSE);
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(lock.Unlock());  // not held: nothing to release
        EXPECT_FALSE(later.Lock(10) || later.IsLocked());
    }
    EXPECT_EQ(refusing.calls, "LL");  // neither is released

    Scripted sticky(TRUE, FALSE);
    {
        XVSingleLock lock(&sticky, TRUE);
        EXPECT_FALSE(lock.Unlock());  // a failed release leaves it held
        EXPECT_TRUE(lock.IsLocked());
        previous = 0;
        EXPECT_FALSE(lock.Unlock(1, &previous));
        EXPECT_EQ(previous, 41);
        EXPECT_TRUE(lock.IsLocked());
    }
    EXPECT_EQ(sticky.calls, "LUUU");  // the destructor tried once more
}

// Whether another thread gets `section` within `timeout` (and gives it back).
BOOL otherThreadGets(CCriticalSection& section, DWORD timeout) {
    BOOL got = FALSE;
    std::thread([&] {
        got = section.Lock(timeout);
        if (got)
            section.Unlock();
    }).join();
    return got;
}

TEST(CCriticalSection, IsReentrantTimesOutAndIsReleasedByScopedLocks) {
    CCriticalSection section;
    ASSERT_TRUE(section.Lock());
    ASSERT_TRUE(section.Lock(0));  // the owner locks again at once
    EXPECT_FALSE(otherThreadGets(section, 20));
    BOOL strangerReleased = TRUE;  // a thread that does not hold it cannot release it
    std::thread([&] { strangerReleased = section.Unlock(); }).join();
    EXPECT_FALSE(strangerReleased);
    EXPECT_TRUE(section.Unlock());
    EXPECT_FALSE(otherThreadGets(section, 0));  // still held once
    EXPECT_TRUE(section.Unlock());
    EXPECT_FALSE(section.Unlock());  // not held any more
    EXPECT_TRUE(otherThreadGets(section, 0));
    // A scoped lock releases it also when an exception leaves the scope.
    try {
        XVSingleLock lock(&section);
        throw 1;
    } catch (int) {
    }
    EXPECT_TRUE(otherThreadGets(section, 0));
}

TEST(CCriticalSection, WaitingThreadsGetItWhenReleased) {
    for (DWORD timeout : {INFINITE, DWORD{60000}}) {
        CCriticalSection section;
        ASSERT_TRUE(section.Lock() && section.Lock());
        std::atomic<BOOL> got{FALSE};
        std::thread waiter([&] {
            got = section.Lock(timeout);
            section.Unlock();
        });
        section.Unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_FALSE(got);  // still held once: the waiter keeps waiting
        section.Unlock();
        waiter.join();
        EXPECT_TRUE(got.load()) << timeout;
    }
}

}  // namespace
