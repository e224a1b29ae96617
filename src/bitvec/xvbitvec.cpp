// XVBitVec: storage, element access, queries and assignment.
#include <xvkit/xvbitvec.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "byte_kernels.h"

namespace {

// Index check shared by the element operations.
inline void requireIndex(std::size_t i, std::size_t length, const char* what) {
    if (i >= length)
        throw std::out_of_range(what);
}

// The position of byte `value` among the first `n` bytes at `p`, or npos.
inline std::size_t findByte(const unsigned char* p, std::size_t n, int value) {
    if (n == 0)
        return XVBitVec::npos;
    const void* hit = std::memchr(p, value, n);
    return hit ? static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - p)
               : XVBitVec::npos;
}

}  // namespace

XVBitVec::XVBitVec(std::size_t n, bool b) {
    setLength(n);
    if (n > 0)
        std::memset(bytes_, b ? 1 : 0, n);
}

XVBitVec::XVBitVec(const unsigned char* bytes, std::size_t n) {
    setLength(n);
    if (n > 0)
        std::memcpy(bytes_, bytes, n);
}

// A fresh XVObject part (count 1), then the assignment, which locks `v`.
XVBitVec::XVBitVec(const XVBitVec& v) : XVObject() {
    *this = v;
}

XVBitVec::~XVBitVec() {
    std::free(bytes_);
    bytes_ = nullptr;
    length_ = 0;
}

void XVBitVec::setLength(std::size_t n) {
    static constexpr const char* kFailed = "void XVBitVec::resize ( size_t N )";
    // No object may exceed PTRDIFF_MAX bytes; such a request can only fail.
    if (n > static_cast<std::size_t>(PTRDIFF_MAX))
        throw std::runtime_error(kFailed);
    if (bytes_ == nullptr) {
        // The first storage, of exactly `n` bytes: for 0 the C library's
        // own zero-size block, so the vector has storage from now on.
        void* fresh = std::malloc(n);
        if (fresh == nullptr && n > 0)
            throw std::runtime_error(kFailed);
        bytes_ = static_cast<unsigned char*>(fresh);
        length_ = n;
        return;
    }
    if (n <= length_) {
        // Shrinking keeps the buffer; an equal length leaves it as it is
        // (realloc(p, 0) would free it).
        length_ = n;
        return;
    }
    void* grown = std::realloc(bytes_, n);
    if (grown == nullptr)
        throw std::runtime_error(kFailed);
    bytes_ = static_cast<unsigned char*>(grown);
    length_ = n;
}

void XVBitVec::resize(std::size_t n) {
    XVSingleLock lock(GetSyncObject(), TRUE);
    setLength(n);
}

void XVBitVec::setBit(std::size_t i) {
    XVSingleLock lock(GetSyncObject(), TRUE);
    requireIndex(i, length_, "void XVBitVec::setBit ( size_t i )");
    bytes_[i] = 1;
}

void XVBitVec::clearBit(std::size_t i) {
    XVSingleLock lock(GetSyncObject(), TRUE);
    requireIndex(i, length_, "XVBitVec::clearBit ( size_t i )");
    bytes_[i] = 0;
}

bool XVBitVec::testBit(std::size_t i) const {
    XVSingleLock lock(GetSyncObject(), TRUE);
    requireIndex(i, length_, "void XVBitVec::setBit ( size_t i )");
    return bytes_[i] != 0;
}

bool XVBitVec::operator[](std::size_t i) const {
    XVSingleLock lock(GetSyncObject(), TRUE);
    requireIndex(i, length_, "bool XVBitVec::operator [] ( size_t i ) const");
    return bytes_[i] != 0;
}

bool XVBitVec::operator()(std::size_t i) const {
    return (*this)[i];
}

unsigned char& XVBitVec::operator[](std::size_t i) {
    XVSingleLock lock(GetSyncObject(), TRUE);
    requireIndex(i, length_, "bool& XVBitVec::operator [] ( size_t i )");
    return bytes_[i];
}

unsigned char& XVBitVec::operator()(std::size_t i) {
    return (*this)[i];
}

std::size_t XVBitVec::length() const {
    XVSingleLock lock(GetSyncObject(), TRUE);
    return length_;
}

const unsigned char* XVBitVec::data() const {
    XVSingleLock lock(GetSyncObject(), TRUE);
    return bytes_;
}

std::size_t XVBitVec::firstFalse() const {
    XVSingleLock lock(GetSyncObject(), TRUE);
    return findByte(bytes_, length_, 0);
}

std::size_t XVBitVec::firstTrue() const {
    XVSingleLock lock(GetSyncObject(), TRUE);
    return findByte(bytes_, length_, 1);
}

bool XVBitVec::isEqual(const XVBitVec& v) const {
    XVSingleLock left(GetSyncObject(), TRUE);
    XVSingleLock right(v.GetSyncObject(), TRUE);
    if (length_ != v.length_)
        return false;
    return length_ == 0 || std::memcmp(bytes_, v.bytes_, length_) == 0;
}

bool XVBitVec::operator==(bool b) const {
    XVSingleLock lock(GetSyncObject(), TRUE);
    if (length_ == 0)
        return false;
    return b ? findByte(bytes_, length_, 0) == npos : !xvkit::bitvec::anyNonZero(bytes_, length_);
}

bool XVBitVec::operator!=(bool b) const {
    XVSingleLock lock(GetSyncObject(), TRUE);
    if (length_ == 0)
        return false;
    return b ? findByte(bytes_, length_, 0) != npos : xvkit::bitvec::anyNonZero(bytes_, length_);
}

XVBitVec& XVBitVec::operator=(const XVBitVec& v) {
    XVSingleLock left(GetSyncObject(), TRUE);
    XVSingleLock right(v.GetSyncObject(), TRUE);
    setLength(v.length_);
    // For self-assignment source and destination coincide; memmove allows it.
    if (length_ > 0)
        std::memmove(bytes_, v.bytes_, length_);
    return *this;
}

XVBitVec& XVBitVec::operator=(bool b) {
    XVSingleLock lock(GetSyncObject(), TRUE);
    if (length_ > 0)
        std::memset(bytes_, b ? 1 : 0, length_);
    return *this;
}
