// XVRegExprLight: a compiled pattern and its search.

#include <algorithm>
#include <stdexcept>

#include <xvkit/xvregexp.h>

#include "light_matcher.h"

namespace {

// Written over the first word of a code whose compilation failed, so that the
// refusal outlives the status once `status()` has reset it. No valid code
// starts with this word.
constexpr unsigned short kBrokenCode = 0xFFFF;

constexpr const char* kIndexMessage =
    "XVRegExprLight::index(const XVString& string, size_t* len, size_t i) const";

}  // namespace

const unsigned int XVRegExprLight::maxpat_;

XVRegExprLight::XVRegExprLight(const char* pattern) {
    genPattern(pattern);
}

XVRegExprLight::XVRegExprLight(const XVString& pattern) {
    genPattern(pattern.c_str());
}

XVRegExprLight::XVRegExprLight(const XVRegExprLight& r) {
    copyPattern(r);
}

XVRegExprLight::~XVRegExprLight() {
    delete[] code_;
}

XVRegExprLight& XVRegExprLight::operator=(const XVRegExprLight& r) {
    if (&r == this)
        return *this;
    unsigned short* old = code_;
    copyPattern(r);
    delete[] old;
    return *this;
}

XVRegExprLight& XVRegExprLight::operator=(const char* pattern) {
    unsigned short* old = code_;
    genPattern(pattern);
    delete[] old;
    return *this;
}

XVRegExprLight& XVRegExprLight::operator=(const XVString& pattern) {
    return *this = pattern.c_str();
}

XVRegExprLight::statVal XVRegExprLight::status() {
    const statVal result = status_;
    status_ = ok;
    return result;
}

std::size_t XVRegExprLight::index(const XVString& s, std::size_t* len, std::size_t i) const {
    if (status_ != ok || code_[0] == kBrokenCode)
        throw std::runtime_error(kIndexMessage);
    if (i > s.length())
        return static_cast<std::size_t>(-1);
    std::size_t start = 0;
    std::size_t length = 0;
    if (!xvkit::regexp::search(code_, s.data(), s.length(), i, &start, &length)) {
        *len = 0;
        return static_cast<std::size_t>(-1);
    }
    *len = length;
    return start;
}

// Builds the new array before the caller releases the old one, so a failed
// allocation leaves the object as it was. The words past the end word are
// zeroed, so that copies copy determinate values.
void XVRegExprLight::genPattern(const char* pattern) {
    unsigned short* code = new unsigned short[maxpat_]();
    const int result = XREMakePattern(pattern, code, static_cast<int>(maxpat_));
    if (result != ok)
        code[0] = kBrokenCode;
    code_ = code;
    status_ = static_cast<statVal>(std::min(result, static_cast<int>(compileError)));
}

void XVRegExprLight::copyPattern(const XVRegExprLight& r) {
    unsigned short* code = new unsigned short[maxpat_];
    std::copy(r.code_, r.code_ + maxpat_, code);
    code_ = code;
    status_ = r.status_;
}
