// xvkit/xvplatform.h
//
// The platform layer: everything xvkit needs from the host platform, in one place.
//
// The library was designed against a platform class library that offered named
// synchronisation objects (`CSyncObject`, `CCriticalSection`), extension-module
// registration, and a C runtime with its own spellings. None of that exists on
// Linux, so this header supplies the smallest stand-ins that give exactly the
// operations the library relies on:
//
//   * the export macro `XVKIT_API` and the platform integer types;
//   * `CSyncObject`, an abstract timed lock, and `CCriticalSection`, a
//     re-entrant in-process lock with a timed `Lock`;
//   * `AFX_EXTENSION_MODULE` and `CDynLinkLibrary`, the module record and the
//     chain of loaded modules that the library's load/unload hooks drive;
//   * `xvStricmp` / `xvMemicmp`, the case-blind compares of the C runtime.
//
// Nothing else in xvkit touches platform-specific services directly.

#ifndef XVKIT_XVPLATFORM_H_
#define XVKIT_XVPLATFORM_H_

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

// XVKIT_API exports a class or function from libxvkit.so; XVKIT_INTERNAL keeps
// a member of an exported class inside the library.
#if defined(XVKIT_BUILDING)
#define XVKIT_API __attribute__((visibility("default")))
#define XVKIT_INTERNAL __attribute__((visibility("hidden")))
#else
#define XVKIT_API
#define XVKIT_INTERNAL
#endif

// Platform integer types. `DWORD` is unsigned 32-bit, `LONG` signed 32-bit,
// `BOOL` an int holding `TRUE` (non-zero) or `FALSE` (0).
//
// Many C headers bring their own `BOOL`, `TRUE` and `FALSE`. A program may
// include such a header before or after this one: a `TRUE`, `FALSE` or `BOOL`
// that is already a macro is used as it is, and a repeated `typedef int
// BOOL;` declares the same type again, which C++ allows. (A header that makes
// `BOOL` another type than int, or `TRUE`/`FALSE` enumerators, cannot be
// combined with this one.)
using DWORD = std::uint32_t;
using LONG = std::int32_t;
#ifndef BOOL
typedef int BOOL;
#endif
#ifndef TRUE
inline constexpr BOOL TRUE = 1;
#endif
#ifndef FALSE
inline constexpr BOOL FALSE = 0;
#endif

// Timeout value meaning "wait without limit".
inline constexpr DWORD INFINITE = 0xFFFFFFFFu;

// A named synchronisation object. `Lock` returns non-zero when the object was
// obtained within `timeout` milliseconds (`INFINITE`: no limit); the `Unlock`
// operations return non-zero when the release succeeded.
class XVKIT_API CSyncObject {
  public:
    // `name` may be null; it is not copied and must outlive the object.
    explicit CSyncObject(const char* name) : name_(name) {}
    CSyncObject(const CSyncObject&) = delete;
    CSyncObject& operator=(const CSyncObject&) = delete;
    virtual ~CSyncObject();

    virtual BOOL Lock(DWORD timeout = INFINITE) = 0;
    virtual BOOL Unlock() = 0;
    virtual BOOL Unlock(LONG count, LONG* previousCount) = 0;

    // The name given at construction, or null.
    const char* name() const { return name_; }

  private:
    const char* name_;
};

// A re-entrant mutual-exclusion lock within one process. The owning thread may
// lock it again; it is released when every `Lock` has been matched by an
// `Unlock`. `Unlock` by a thread that does not hold it returns FALSE.
class XVKIT_API CCriticalSection : public CSyncObject {
  public:
    CCriticalSection() : CSyncObject(nullptr) {}
    ~CCriticalSection() override;

    BOOL Lock(DWORD timeout = INFINITE) override;
    BOOL Unlock() override;
    // Releases one level of ownership, as `Unlock()`; `count` and
    // `previousCount` are not used by a critical section.
    BOOL Unlock(LONG count, LONG* previousCount) override;

  private:
    std::mutex mutex_;
    std::condition_variable released_;
    std::thread::id owner_;
    unsigned depth_ = 0;
};

// The record of one extension module: set up by `AfxInitExtensionModule` at
// load and torn down by `AfxTermExtensionModule` at unload.
struct AFX_EXTENSION_MODULE {
    const char* name = nullptr;  // module name, for the chain
    void* instance = nullptr;    // handle of the loaded image
    bool initialized = false;    // between a successful init and term
};

// One link in the process-wide chain of extension modules. Constructing it on
// the heap links `module` at the head of the chain; the chain never deletes it.
class XVKIT_API CDynLinkLibrary {
  public:
    CDynLinkLibrary(AFX_EXTENSION_MODULE& module, BOOL isSystem);
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

    const AFX_EXTENSION_MODULE& module() const { return module_; }
    const CDynLinkLibrary* next() const { return next_; }

    // Head of the chain (the module linked last), or null when none is linked.
    static const CDynLinkLibrary* first();

  private:
    AFX_EXTENSION_MODULE& module_;
    const CDynLinkLibrary* next_;
};

// Prepares `module` for the image `instance`; returns false when it was
// already initialised.
XVKIT_API bool AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, void* instance);

// Ends `module`: it stays in the chain but is no longer initialised. `all` is
// accepted for the platform's signature and not used.
XVKIT_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module, BOOL all = FALSE);

// The C runtime's `_stricmp`: case-blind compare of two NUL-terminated texts
// (`strcasecmp`). Negative, 0 or positive.
XVKIT_API int xvStricmp(const char* a, const char* b);

// The C runtime's `_memicmp`: case-blind compare of exactly `n` bytes, which
// does not stop at a NUL byte. Negative, 0 or positive.
XVKIT_API int xvMemicmp(const void* a, const void* b, std::size_t n);

#endif  // XVKIT_XVPLATFORM_H_
