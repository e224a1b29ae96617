// One object of a type per thread, for the scratch state of searches.

#ifndef XVKIT_SRC_REGEXP_THREAD_OBJECT_H_
#define XVKIT_SRC_REGEXP_THREAD_OBJECT_H_

namespace xvkit::regexp {

// The calling thread's T: made on the thread's first call and released with
// the thread's thread_local objects; null once released. The two variables
// are trivially destructible, so they stay readable after that release, while
// the thread still runs atexit handlers, static destructors and later
// thread_local destructors that may search too (and then do without).
template <typename T>
T* threadObject() {
    thread_local T* object = nullptr;
    thread_local bool released = false;
    struct Release {
        ~Release() {
            delete object;
            object = nullptr;
            released = true;
        }
    };
    if (object == nullptr && !released) {
        thread_local Release release;  // registers the release at thread end
        object = new T;
    }
    return object;
}

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_THREAD_OBJECT_H_
