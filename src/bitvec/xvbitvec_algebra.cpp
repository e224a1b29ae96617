// XVBitVec: the elementwise boolean algebra, compound and free.
#include <xvkit/xvbitvec.h>
#include <stdexcept>

#include "byte_kernels.h"

namespace {

constexpr const char* kCompoundLengths = "XVBitVec& XVBitVec::operator ^= ( const XVBitVec& vec )";
constexpr const char* kFreeLengths =
    "XVBitVec\t\toperator ! ( const XVBitVec& a, const XVBitVec& b )";

}  // namespace

XVBitVec& XVBitVec::operator^=(const XVBitVec& v) {
    XVSingleLock left(GetSyncObject(), TRUE);
    XVSingleLock right(v.GetSyncObject(), TRUE);
    if (v.length_ != length_)
        throw std::length_error(kCompoundLengths);
    xvkit::bitvec::xorBytes(bytes_, bytes_, v.bytes_, length_);
    return *this;
}

XVBitVec& XVBitVec::operator|=(const XVBitVec& v) {
    XVSingleLock left(GetSyncObject(), TRUE);
    XVSingleLock right(v.GetSyncObject(), TRUE);
    if (v.length_ != length_)
        throw std::length_error(kCompoundLengths);
    xvkit::bitvec::orBytes(bytes_, bytes_, v.bytes_, length_);
    return *this;
}

XVBitVec& XVBitVec::operator&=(const XVBitVec& v) {
    XVSingleLock left(GetSyncObject(), TRUE);
    XVSingleLock right(v.GetSyncObject(), TRUE);
    if (v.length_ != length_)
        throw std::length_error(kCompoundLengths);
    xvkit::bitvec::andBytes(bytes_, bytes_, v.bytes_, length_);
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
    XVSingleLock left(a.GetSyncObject(), TRUE);
    XVSingleLock right(b.GetSyncObject(), TRUE);
    if (a.length_ != b.length_)
        throw std::length_error(kFreeLengths);
    XVBitVec result;
    result.setLength(a.length_);
    xvkit::bitvec::xorBytes(result.bytes_, a.bytes_, b.bytes_, a.length_);
    return result;
}

XVBitVec operator|(const XVBitVec& a, const XVBitVec& b) {
    XVSingleLock left(a.GetSyncObject(), TRUE);
    XVSingleLock right(b.GetSyncObject(), TRUE);
    if (a.length_ != b.length_)
        throw std::length_error(kFreeLengths);
    XVBitVec result;
    result.setLength(a.length_);
    xvkit::bitvec::orBytes(result.bytes_, a.bytes_, b.bytes_, a.length_);
    return result;
}

XVBitVec operator&(const XVBitVec& a, const XVBitVec& b) {
    XVSingleLock left(a.GetSyncObject(), TRUE);
    XVSingleLock right(b.GetSyncObject(), TRUE);
    if (a.length_ != b.length_)
        throw std::length_error(kFreeLengths);
    XVBitVec result;
    result.setLength(a.length_);
    xvkit::bitvec::andBytes(result.bytes_, a.bytes_, b.bytes_, a.length_);
    return result;
}
