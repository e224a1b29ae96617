// The one text buffer of the locale writers: characters appended from left
// to right into an area on the stack, moving to the heap only when the text
// outgrows it, so no result is ever cut short and nothing is written past
// the area. Every writer (directives, format expansion, numbers, real
// numbers, money) and the real-number reader build their texts in it.
// Internal to the library.
#ifndef XVKIT_SRC_LOCALE_TEXT_BUFFER_H_
#define XVKIT_SRC_LOCALE_TEXT_BUFFER_H_

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include <xvkit/xvstring.h>

#include "debug_check.h"

namespace xvkit::locale {

class TextBuffer {
  public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    const char* data() const { return data_; }
    char* data() { return data_; }
    std::size_t size() const { return size_; }
    std::string_view view() const { return {data_, size_}; }

    // Room for `n` more characters at the end, to be written by the caller.
    char* extend(std::size_t n) {
        if (n <= capacity_ - size_) {
            char* room = data_ + size_;
            size_ += n;
            return room;
        }
        return grow(n);
    }
    // Drops the characters from `size` on (`size` at most the current size),
    // giving back room that `extend` took and the writer did not fill.
    void truncate(std::size_t size) {
        XVKIT_DCHECK(size <= size_);
        size_ = size;
    }
    void append(const char* s, std::size_t n) { copy(extend(n), s, n); }
    void append(std::string_view s) { append(s.data(), s.size()); }
    void append(char c) { *extend(1) = c; }
    void append(char c, std::size_t count) {
        char* room = extend(count);
        for (std::size_t i = 0; i < count; ++i)
            room[i] = c;
    }

    // C's "%0*lld" (`fill` '0': zeros after the sign) or "%*lld" (`fill`
    // ' ': blanks before it) of `value` with the minimum width `width`.
    void appendDecimal(long long value, std::size_t width, char fill) {
        if (width == 2 && value >= 0 && value < 100) {
            // Days, months, hours, minutes, seconds: most numbers printed.
            char* room = extend(2);
            room[0] = value < 10 ? fill : static_cast<char>('0' + value / 10);
            room[1] = static_cast<char>('0' + value % 10);
            return;
        }
        appendNumber(value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                               : static_cast<unsigned long long>(value),
                     value < 0, width, fill);
    }
    // C's "%llu" of `value`.
    void appendUnsigned(unsigned long long value) { appendNumber(value, false, 1, '0'); }

    // The C formatting of `format` (vsnprintf), at whatever length it has.
    // An encoding error of the C library appends nothing.
    __attribute__((format(printf, 2, 3))) void appendFormatted(const char* format, ...) {
        std::va_list args;
        va_start(args, format);
        std::va_list again;
        va_copy(again, args);
        const int n = std::vsnprintf(nullptr, 0, format, args);
        va_end(args);
        if (n > 0) {
            // vsnprintf writes a NUL after the text: room for it, then dropped.
            const std::size_t start = size_;
            std::vsnprintf(extend(static_cast<std::size_t>(n) + 1), static_cast<std::size_t>(n) + 1,
                           format, again);
            truncate(start + static_cast<std::size_t>(n));
        }
        va_end(again);
    }

    // The text, NUL-terminated for the C readers (the NUL is not counted).
    const char* c_str() {
        append('\0');
        --size_;
        return data_;
    }

    XVString take() {
        if (data_ == local_)
            return XVString(local_, size_);
        heap_.resize(size_);
        return XVString(std::move(heap_));
    }

  private:
    // The digits of `magnitude`, with '-' when `negative`, filled to `width`.
    void appendNumber(unsigned long long magnitude, bool negative, std::size_t width, char fill) {
        static constexpr unsigned long long kPowersOfTen[] = {1ULL,
                                                              10ULL,
                                                              100ULL,
                                                              1000ULL,
                                                              10000ULL,
                                                              100000ULL,
                                                              1000000ULL,
                                                              10000000ULL,
                                                              100000000ULL,
                                                              1000000000ULL,
                                                              10000000000ULL,
                                                              100000000000ULL,
                                                              1000000000000ULL,
                                                              10000000000000ULL,
                                                              100000000000000ULL,
                                                              1000000000000000ULL,
                                                              10000000000000000ULL,
                                                              100000000000000000ULL,
                                                              1000000000000000000ULL,
                                                              10000000000000000000ULL};
        // Two digits per division, from a table of the pairs "00" to "99".
        static constexpr char kPairs[] =
            "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
            "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
            "8081828384858687888990919293949596979899";
        std::size_t length = 1;
        while (length < std::size(kPowersOfTen) && magnitude >= kPowersOfTen[length])
            ++length;
        const std::size_t sign = negative ? 1 : 0;
        const std::size_t padding = length + sign < width ? width - length - sign : 0;
        char* room = extend(padding + sign + length);
        if (fill != '0') {
            for (std::size_t i = 0; i < padding; ++i)
                *room++ = fill;
        }
        if (sign)
            *room++ = '-';
        if (fill == '0') {
            for (std::size_t i = 0; i < padding; ++i)
                *room++ = '0';
        }
        char* digit = room + length;  // the digits are written from the last
        while (magnitude >= 100) {
            digit -= 2;
            std::memcpy(digit, kPairs + 2 * (magnitude % 100), 2);
            magnitude /= 100;
        }
        if (magnitude >= 10) {
            digit -= 2;
            std::memcpy(digit, kPairs + 2 * magnitude, 2);
        } else {
            *--digit = static_cast<char>('0' + magnitude);
        }
    }

    // Copies `n` bytes; the short texts of names, numbers and literal runs
    // take two overlapping fixed-size moves instead of a call.
    static void copy(char* to, const char* from, std::size_t n) {
        if (n >= 8 && n <= 16) {
            std::memcpy(to, from, 8);
            std::memcpy(to + n - 8, from + n - 8, 8);
        } else if (n >= 4 && n < 8) {
            std::memcpy(to, from, 4);
            std::memcpy(to + n - 4, from + n - 4, 4);
        } else if (n < 4) {
            for (std::size_t i = 0; i < n; ++i)
                to[i] = from[i];
        } else {
            copyLong(to, from, n);
        }
    }
    [[gnu::noinline]] static void copyLong(char* to, const char* from, std::size_t n) {
        std::memcpy(to, from, n);
    }

    // Moves the text to a heap area with room for `n` more characters.
    [[gnu::noinline]] char* grow(std::size_t n) {
        const std::size_t capacity = std::max(2 * capacity_, size_ + n);
        const bool local = data_ == local_;
        heap_.resize(capacity);
        if (local)
            std::memcpy(heap_.data(), local_, size_);
        data_ = heap_.data();
        capacity_ = heap_.size();
        size_ += n;
        return data_ + size_ - n;
    }

    char local_[256];
    char* data_ = local_;  // local_ or heap_'s characters
    std::size_t size_ = 0;
    std::size_t capacity_ = sizeof local_;
    std::string heap_;
};

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_TEXT_BUFFER_H_
