// The platform stand-ins: critical section, module chain, case-blind compares.
#include <strings.h>

#include <xvkit/xvplatform.h>
#include <cctype>
#include <chrono>

CSyncObject::~CSyncObject() = default;

CCriticalSection::~CCriticalSection() = default;

BOOL CCriticalSection::Lock(DWORD timeout) {
    const auto self = std::this_thread::get_id();
    std::unique_lock<std::mutex> guard(mutex_);
    if (depth_ > 0 && owner_ == self) {
        ++depth_;
        return TRUE;
    }
    const auto isFree = [this] { return depth_ == 0; };
    if (timeout == INFINITE) {
        released_.wait(guard, isFree);
    } else if (!released_.wait_for(guard, std::chrono::milliseconds(timeout), isFree)) {
        return FALSE;
    }
    owner_ = self;
    depth_ = 1;
    return TRUE;
}

BOOL CCriticalSection::Unlock() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (depth_ == 0 || owner_ != std::this_thread::get_id())
        return FALSE;
    if (--depth_ == 0) {
        owner_ = std::thread::id();
        released_.notify_one();
    }
    return TRUE;
}

BOOL CCriticalSection::Unlock(LONG, LONG*) {
    return Unlock();
}

namespace {
const CDynLinkLibrary* moduleChain = nullptr;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& module, BOOL)
    : module_(module), next_(moduleChain) {
    moduleChain = this;
}

const CDynLinkLibrary* CDynLinkLibrary::first() {
    return moduleChain;
}

bool AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, void* instance) {
    if (module.initialized)
        return false;
    module.instance = instance;
    module.initialized = true;
    return true;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module, BOOL) {
    module.initialized = false;
}

int xvStricmp(const char* a, const char* b) {
    return strcasecmp(a, b);
}

int xvMemicmp(const void* a, const void* b, std::size_t n) {
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    for (std::size_t i = 0; i < n; ++i) {
        const int cx = std::tolower(x[i]);
        const int cy = std::tolower(y[i]);
        if (cx != cy)
            return cx - cy;
    }
    return 0;
}
