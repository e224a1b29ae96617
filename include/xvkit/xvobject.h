// xvkit/xvobject.h
//
// The reference-counted base object and the scoped-lock helpers.
//
//   XVObject             intrusive reference count plus a lock hook
//   XVCollectableObject  an XVObject ordered by a three-way comparison
//   XVSingleLock         scoped lock over a CSyncObject that may be null
//   XVEmptySyncObject    a CSyncObject whose locking does nothing
//
// The synchronisation stand-ins (`CSyncObject`, `CCriticalSection`) live in
// xvkit/xvplatform.h.
//
// Reference counts are plain integers: `AddRef` and `Release` are neither
// atomic nor locked. Owners that share an object between threads serialise
// them, for example under the object's own lock.

#ifndef XVKIT_XVOBJECT_H_
#define XVKIT_XVOBJECT_H_

#include <xvkit/xvplatform.h>

// Common base of the library's shareable objects.
//
// A new object holds one reference, its creator's. `Release` on the last
// reference deletes the object, so an object that is released to that point
// must have been made with `new`. The lock interface does nothing here; a
// derived class makes itself lockable by returning a re-entrant
// synchronisation object from `GetSyncObject`, which guarded members take
// through `XVSingleLock`.
class XVKIT_API XVObject {
  public:
    // Reference count 1.
    XVObject() = default;
    // Copies the source's current reference count.
    XVObject(const XVObject& other) : refs_(other.refs_) {}
    XVObject& operator=(const XVObject& other) {
        refs_ = other.refs_;
        return *this;
    }

    // Does nothing; returns true.
    virtual bool Unlock() const;
    // Does nothing; returns true. `timeout` in milliseconds, `INFINITE` for none.
    virtual bool Lock(DWORD timeout) const;
    // Gives up one reference. With the count at exactly 1, deletes the object
    // and returns 0; otherwise lowers the count and returns the new count.
    virtual int Release() const;
    // Adds one reference; returns the new count.
    virtual int AddRef() const;
    // The object's synchronisation object; null here (no locking).
    virtual CCriticalSection* GetSyncObject() const;
    virtual ~XVObject();

  private:
    mutable int refs_ = 1;
};

// An XVObject with an order: `compareTo` is negative, 0 or positive when this
// object orders before, together with or after `other`.
class XVKIT_API XVCollectableObject : public virtual XVObject {
  public:
    // The XVObject part starts with the count 1, as for any XVObject.
    XVCollectableObject() = default;
    // Copies the source's count into the XVObject part where this
    // constructor makes it (the most derived class makes a virtual base).
    XVCollectableObject(const XVCollectableObject& other) : XVObject(other) {}
    // Copies the source's count.
    XVCollectableObject& operator=(const XVCollectableObject& other) {
        XVObject::operator=(other);
        return *this;
    }
    ~XVCollectableObject() override;

    // Negative, 0 or positive as this object orders before, together with or
    // after `other`.
    virtual int compareTo(const XVCollectableObject& other) const = 0;
    // Whether this object and `other` are the same kind of object, so that
    // `compareTo` between them is meaningful.
    virtual bool isComparableTo(const XVCollectableObject& other) const = 0;

    // compareTo(o) < 0 and compareTo(o) > 0: both false for equal objects.
    bool operator<(const XVCollectableObject& o) const { return compareTo(o) < 0; }
    bool operator>(const XVCollectableObject& o) const { return compareTo(o) > 0; }
};

// Scoped lock over a synchronisation object that is not owned and may be null.
// With a null object every operation succeeds and nothing is locked. The
// destructor calls `Unlock()`, also when the scope is left by an exception.
class XVKIT_API XVSingleLock {
  public:
    // Stores `object` (not owned, may be null), not acquired; with
    // `initialLock` non-zero, calls `Lock(INFINITE)`.
    explicit XVSingleLock(CSyncObject* object = nullptr, BOOL initialLock = TRUE);
    // Copies share the object and the acquired flag; both copies release it.
    XVSingleLock(const XVSingleLock&) = default;
    XVSingleLock& operator=(const XVSingleLock&) = default;
    virtual ~XVSingleLock();

    // No object: TRUE, acquired unchanged. Otherwise locks the object and
    // returns whether it was obtained within `timeout` milliseconds
    // (`INFINITE`: no limit); the acquired flag records the answer.
    BOOL Lock(DWORD timeout = INFINITE);
    // No object: TRUE. Not held by this lock: TRUE without touching the object.
    // Otherwise releases the object; TRUE when the release succeeded, and the
    // lock stays acquired when it did not.
    BOOL Unlock();
    // As `Unlock()`, calling the object's `Unlock(count, previousCount)`.
    BOOL Unlock(LONG count, LONG* previousCount);
    // No object: FALSE; otherwise whether this lock holds the object.
    BOOL IsLocked() const;

  private:
    CSyncObject* object_;
    bool acquired_ = false;
};

// A synchronisation object whose locking does nothing and always succeeds.
class XVKIT_API XVEmptySyncObject : public CSyncObject {
  public:
    // `name` may be null; it is not copied.
    explicit XVEmptySyncObject(const char* name) : CSyncObject(name) {}
    ~XVEmptySyncObject() override;

    // Returns TRUE at once, whatever `timeout`.
    BOOL Lock(DWORD timeout = INFINITE) override;
    // Returns TRUE.
    BOOL Unlock() override;
    // Returns TRUE; `previousCount` is not written.
    BOOL Unlock(LONG count, LONG* previousCount) override;
    // The platform's invalid-handle value: all bits set.
    operator void*() const;
};

#endif  // XVKIT_XVOBJECT_H_
