// The text buffer every locale writer uses: characters appended from left to
// right into a fixed area on the stack, moving to the heap only when the text
// outgrows it, so no result is ever cut short and nothing is written past the
// area. Internal to the library.
#ifndef XVKIT_SRC_LOCALE_TEXT_BUFFER_H_
#define XVKIT_SRC_LOCALE_TEXT_BUFFER_H_

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include <xvkit/xvstring.h>

namespace xvkit::locale {

class TextBuffer {
  public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // Room for `n` more characters at the end, to be written by the caller.
    char* extend(std::size_t n) {
        if (!spilled_ && n <= sizeof local_ - size_) {
            char* room = local_ + size_;
            size_ += n;
            return room;
        }
        return extendOnHeap(n);
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
        unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                                 : static_cast<unsigned long long>(value);
        char digits[20];
        char* const end = digits + sizeof digits;
        char* first = end;
        do {
            *--first = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        const auto length = static_cast<std::size_t>(end - first);
        const std::size_t sign = value < 0 ? 1 : 0;
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
        copy(room, first, length);
    }

    XVString take() { return spilled_ ? XVString(std::move(heap_)) : XVString(local_, size_); }

  private:
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

    [[gnu::noinline]] char* extendOnHeap(std::size_t n) {
        if (!spilled_)
            heap_.assign(local_, size_);
        spilled_ = true;
        const std::size_t old = heap_.size();
        heap_.resize(old + n);
        return heap_.data() + old;
    }
    char local_[256];
    std::size_t size_ = 0;
    bool spilled_ = false;
    std::string heap_;
};

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_TEXT_BUFFER_H_
