// Splits a fuzzer's input into numbers and a trailing text. Reading past the
// end gives zeros, so every input, however short, is a complete case.

#ifndef XVKIT_FUZZ_FUZZ_INPUT_H_
#define XVKIT_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>

#include <xvkit/xvstring.h>

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <class T>
    T take() {
        T value{};
        const std::size_t n = size_ < sizeof value ? size_ : sizeof value;
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }

    // A calendar record whose every field is arbitrary, out-of-range included.
    tm takeTm() {
        tm t;
        std::memset(&t, 0, sizeof t);
        t.tm_sec = take<int>();
        t.tm_min = take<int>();
        t.tm_hour = take<int>();
        t.tm_mday = take<int>();
        t.tm_mon = take<int>();
        t.tm_year = take<int>();
        t.tm_wday = take<int>();
        t.tm_yday = take<int>();
        t.tm_isdst = take<int>();
        return t;
    }

    // The next `n` bytes (fewer at the end) as text.
    XVString takeText(std::size_t n) {
        const std::size_t count = size_ < n ? size_ : n;
        XVString text(reinterpret_cast<const char*>(data_), count);
        data_ += count;
        size_ -= count;
        return text;
    }

    XVString rest() { return takeText(size_); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
};

#endif  // XVKIT_FUZZ_FUZZ_INPUT_H_
