// XVBitVec: the elementwise boolean algebra, compound and free.
#include <xvkit/xvbitvec.h>
#include <stdexcept>

#include "byte_kernels.h"

namespace {

constexpr const char* kCompoundLengths = "XVBitVec& XVBitVec::operator ^= ( const XVBitVec& vec )";
constexpr const char* kFreeLengths =
    "XVBitVec\t\toperator ! ( const XVBitVec& a, const XVBitVec& b )";

}  // namespace

void XVBitVec::combine(XVBitVec& out, const XVBitVec& a, const XVBitVec& b, Kernel kernel,
                       const char* mismatch) {
    XVSingleLock left(a.GetSyncObject(), TRUE);
    XVSingleLock right(b.GetSyncObject(), TRUE);
    if (a.length_ != b.length_)
        throw std::length_error(mismatch);
    if (&out != &a)
        out.setLength(a.length_);
    kernel(out.bytes_, a.bytes_, b.bytes_, a.length_);
}

XVBitVec& XVBitVec::operator^=(const XVBitVec& v) {
    combine(*this, *this, v, xvkit::bitvec::xorBytes, kCompoundLengths);
    return *this;
}

XVBitVec& XVBitVec::operator|=(const XVBitVec& v) {
    combine(*this, *this, v, xvkit::bitvec::orBytes, kCompoundLengths);
    return *this;
}

XVBitVec& XVBitVec::operator&=(const XVBitVec& v) {
    combine(*this, *this, v, xvkit::bitvec::andBytes, kCompoundLengths);
    return *this;
}

// The free operators write every element of the result, so its storage is
// allocated without the fill a constructor would do.
XVBitVec operator!(const XVBitVec& a) {
    XVSingleLock lock(a.GetSyncObject(), TRUE);
    XVBitVec result;
    result.setLength(a.length_);
    xvkit::bitvec::notBytes(result.bytes_, a.bytes_, a.length_);
    return result;
}

XVBitVec operator^(const XVBitVec& a, const XVBitVec& b) {
    XVBitVec result;
    XVBitVec::combine(result, a, b, xvkit::bitvec::xorBytes, kFreeLengths);
    return result;
}

XVBitVec operator|(const XVBitVec& a, const XVBitVec& b) {
    XVBitVec result;
    XVBitVec::combine(result, a, b, xvkit::bitvec::orBytes, kFreeLengths);
    return result;
}

XVBitVec operator&(const XVBitVec& a, const XVBitVec& b) {
    XVBitVec result;
    XVBitVec::combine(result, a, b, xvkit::bitvec::andBytes, kFreeLengths);
    return result;
}
