// Module start-up: the library's extension-module record, registered when the
// library is loaded and unregistered when it is unloaded.
//
// This file's static object is the last one of the library to be constructed
// (the file is linked last), so registration runs after every other static of
// the library is ready, and termination runs first at unload.
#include <dlfcn.h>

#include <xvkit/xvplatform.h>

namespace {

AFX_EXTENSION_MODULE xvkitModule{"xvkit", nullptr, false};

enum Reason { processDetach = 0, processAttach = 1 };

void* thisImage() {
    Dl_info info{};
    return dladdr(reinterpret_cast<void*>(&thisImage), &info) ? info.dli_fbase : nullptr;
}

BOOL moduleEntry(void* instance, Reason reason) {
    if (reason == processAttach) {
        if (!AfxInitExtensionModule(xvkitModule, instance))
            return FALSE;
        new CDynLinkLibrary(xvkitModule, FALSE);  // owned by the chain for the process's life
    } else {
        AfxTermExtensionModule(xvkitModule, FALSE);
    }
    return TRUE;
}

struct ModuleRegistration {
    ModuleRegistration() { moduleEntry(thisImage(), processAttach); }
    ~ModuleRegistration() { moduleEntry(nullptr, processDetach); }
} registration;

}  // namespace
