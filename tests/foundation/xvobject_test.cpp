#include <gtest/gtest.h>

#include <xvkit/xvobject.h>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

struct Counted : XVObject {
    explicit Counted(int* destroyed) : destroyed_(destroyed) {}
    ~Counted() override { ++*destroyed_; }
    int* destroyed_;
};

TEST(XVObject, ReleaseOnLastReferenceDeletes) {
    int destroyed = 0;
    auto* o = new Counted(&destroyed);
    EXPECT_EQ(o->AddRef(), 2);
    EXPECT_EQ(o->Release(), 1);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(o->Release(), 0);
    EXPECT_EQ(destroyed, 1);
}

TEST(XVObject, CopyTakesTheCurrentCountAndLockHooksDoNothing) {
    XVObject a;
    a.AddRef();
    a.AddRef();
    XVObject b(a);
    EXPECT_EQ(b.AddRef(), 4);  // copied count 3
    XVObject c;
    c = a;
    EXPECT_EQ(c.AddRef(), 4);
    EXPECT_TRUE(a.Lock(INFINITE));
    EXPECT_TRUE(a.Unlock());
    EXPECT_EQ(a.GetSyncObject(), nullptr);
}

struct Number : XVCollectableObject {
    explicit Number(int v) : value(v) {}
    int compareTo(const XVCollectableObject& o) const override {
        return value - static_cast<const Number&>(o).value;
    }
    bool isComparableTo(const XVCollectableObject& o) const override {
        return dynamic_cast<const Number*>(&o) != nullptr;
    }
    int value;
};

TEST(XVCollectableObject, OrderFollowsCompareTo) {
    Number one(1), two(2), otherOne(1);
    EXPECT_TRUE(one < two);
    EXPECT_FALSE(one > two);
    EXPECT_TRUE(two > one);
    EXPECT_FALSE(one < otherOne);
    EXPECT_FALSE(one > otherOne);
}

// A synchronisation object that never grants the lock and counts the calls.
struct Refusing : CSyncObject {
    Refusing() : CSyncObject("refusing") {}
    BOOL Lock(DWORD) override { return ++locks, FALSE; }
    BOOL Unlock() override { return ++unlocks, TRUE; }
    BOOL Unlock(LONG, LONG*) override { return ++unlocks, TRUE; }
    int locks = 0, unlocks = 0;
};

TEST(XVSingleLock, NullObjectAlwaysSucceedsAndIsNeverLocked) {
    XVSingleLock lock(nullptr);
    EXPECT_FALSE(lock.IsLocked());
    EXPECT_TRUE(lock.Lock(0));
    EXPECT_FALSE(lock.IsLocked());
    EXPECT_TRUE(lock.Unlock());
    LONG previous = 7;
    EXPECT_TRUE(lock.Unlock(1, &previous));
}

TEST(XVSingleLock, EmptySyncObjectTracksAcquiredFlag) {
    XVEmptySyncObject empty("empty");
    EXPECT_STREQ(empty.name(), "empty");
    EXPECT_EQ(static_cast<void*>(empty), reinterpret_cast<void*>(~std::uintptr_t{0}));
    XVSingleLock lock(&empty, TRUE);
    EXPECT_TRUE(lock.IsLocked());
    EXPECT_TRUE(lock.Unlock());
    EXPECT_FALSE(lock.IsLocked());
    LONG previous = 7;
    EXPECT_TRUE(lock.Lock(5));
    EXPECT_TRUE(lock.Unlock(1, &previous));
    EXPECT_EQ(previous, 7);  // not written
}

TEST(XVSingleLock, FailedLockIsNotHeldAndIsNotReleased) {
    Refusing refusing;
    {
        XVSingleLock lock(&refusing, FALSE);
        EXPECT_EQ(refusing.locks, 0);
        EXPECT_FALSE(lock.Lock(10));
        EXPECT_FALSE(lock.IsLocked());
    }
    EXPECT_EQ(refusing.locks, 1);
    EXPECT_EQ(refusing.unlocks, 0);
}

// Grants the lock but refuses to release it.
struct Sticky : CSyncObject {
    Sticky() : CSyncObject(nullptr) {}
    BOOL Lock(DWORD) override { return TRUE; }
    BOOL Unlock() override { return ++unlocks, FALSE; }
    BOOL Unlock(LONG, LONG* previous) override {
        *previous = 41;
        return ++unlocks, FALSE;
    }
    int unlocks = 0;
};

TEST(XVSingleLock, AcquiredFlagFollowsEachAnswerOfTheObject) {
    Refusing refusing;
    {
        XVSingleLock lock(&refusing);  // the initial lock waits without limit and fails
        EXPECT_EQ(refusing.locks, 1);
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(lock.Unlock());  // not held: nothing to release
    }
    EXPECT_EQ(refusing.unlocks, 0);

    Sticky sticky;
    {
        XVSingleLock lock(&sticky, TRUE);
        EXPECT_TRUE(lock.IsLocked());
        EXPECT_FALSE(lock.Unlock());  // a failed release leaves it held
        EXPECT_TRUE(lock.IsLocked());
        LONG previous = 0;
        EXPECT_FALSE(lock.Unlock(1, &previous));
        EXPECT_EQ(previous, 41);
        EXPECT_TRUE(lock.IsLocked());
    }
    EXPECT_EQ(sticky.unlocks, 3);  // the destructor tried once more

    // Copies carry the flag.
    XVEmptySyncObject empty(nullptr);
    XVSingleLock held(&empty);
    XVSingleLock copy(held);
    EXPECT_TRUE(copy.IsLocked());
    XVSingleLock idle(&empty, FALSE);
    EXPECT_FALSE(idle.IsLocked());
    idle = held;
    EXPECT_TRUE(idle.IsLocked());
}

TEST(XVSingleLock, DestructorReleasesAlsoOnException) {
    CCriticalSection section;
    try {
        XVSingleLock lock(&section);
        throw 1;
    } catch (int) {
    }
    // Another thread can take it at once: nothing was left held.
    std::atomic<BOOL> got{FALSE};
    std::thread([&] {
        got = section.Lock(0);
        section.Unlock();
    }).join();
    EXPECT_TRUE(got);
}

TEST(CCriticalSection, IsReentrantAndTimesOutForOtherThreads) {
    CCriticalSection section;
    ASSERT_TRUE(section.Lock());
    ASSERT_TRUE(section.Lock(0));  // the owner locks again at once
    BOOL otherGot = TRUE;
    std::thread([&] { otherGot = section.Lock(20); }).join();
    EXPECT_FALSE(otherGot);
    EXPECT_TRUE(section.Unlock());
    std::thread([&] { otherGot = section.Lock(0); }).join();
    EXPECT_FALSE(otherGot);  // still held once
    EXPECT_TRUE(section.Unlock());
    EXPECT_FALSE(section.Unlock());  // not held any more
    std::thread([&] {
        otherGot = section.Lock(0);
        section.Unlock();
    }).join();
    EXPECT_TRUE(otherGot);
}

TEST(CCriticalSection, WaitingThreadsGetItWhenReleased) {
    for (DWORD timeout : {INFINITE, DWORD{60000}}) {
        CCriticalSection section;
        ASSERT_TRUE(section.Lock());
        ASSERT_TRUE(section.Lock());
        std::atomic<bool> started{false};
        std::atomic<BOOL> got{FALSE};
        BOOL ownerUnlockedOther = TRUE;
        std::thread waiter([&] {
            started = true;
            got = section.Lock(timeout);
            section.Unlock();
        });
        while (!started)
            std::this_thread::yield();
        section.Unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_FALSE(got);  // still held once: the waiter keeps waiting
        section.Unlock();
        waiter.join();
        EXPECT_TRUE(got.load()) << timeout;
        // A thread that does not hold it cannot release it.
        std::thread([&] { ownerUnlockedOther = section.Unlock(); }).join();
        EXPECT_FALSE(ownerUnlockedOther);
    }
}

}  // namespace
