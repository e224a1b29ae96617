// The reference-counted base object and the scoped-lock helpers.
#include <xvkit/xvobject.h>

bool XVObject::Unlock() const {
    return true;
}

bool XVObject::Lock(DWORD) const {
    return true;
}

int XVObject::Release() const {
    if (refs_ == 1) {
        delete this;
        return 0;
    }
    return --refs_;
}

int XVObject::AddRef() const {
    return ++refs_;
}

CCriticalSection* XVObject::GetSyncObject() const {
    return nullptr;
}

XVObject::~XVObject() = default;

XVCollectableObject::~XVCollectableObject() = default;

XVSingleLock::XVSingleLock(CSyncObject* object, BOOL initialLock) : object_(object) {
    if (initialLock)
        Lock(INFINITE);
}

XVSingleLock::~XVSingleLock() {
    Unlock();
}

BOOL XVSingleLock::Lock(DWORD timeout) {
    if (object_ == nullptr)
        return TRUE;
    acquired_ = object_->Lock(timeout) != FALSE;
    return acquired_ ? TRUE : FALSE;
}

BOOL XVSingleLock::Unlock() {
    if (object_ == nullptr || !acquired_)
        return TRUE;
    const BOOL released = object_->Unlock();
    acquired_ = released == FALSE;
    return released ? TRUE : FALSE;
}

BOOL XVSingleLock::Unlock(LONG count, LONG* previousCount) {
    if (object_ == nullptr || !acquired_)
        return TRUE;
    const BOOL released = object_->Unlock(count, previousCount);
    acquired_ = released == FALSE;
    return released ? TRUE : FALSE;
}

BOOL XVSingleLock::IsLocked() const {
    if (object_ == nullptr)
        return FALSE;
    return acquired_ ? TRUE : FALSE;
}

XVEmptySyncObject::~XVEmptySyncObject() = default;

BOOL XVEmptySyncObject::Lock(DWORD) {
    return TRUE;
}

BOOL XVEmptySyncObject::Unlock() {
    return TRUE;
}

BOOL XVEmptySyncObject::Unlock(LONG, LONG*) {
    return TRUE;
}

XVEmptySyncObject::operator void*() const {
    return reinterpret_cast<void*>(~std::uintptr_t{0});
}
