// Digit grouping: where a locale puts its thousands separators in the
// integer part of a number. One walk over the group sizes serves the writers,
// which put the separators in, and the readers, which check that a text's
// separators stand where the writers would put them. Internal to the library.
#ifndef XVKIT_SRC_LOCALE_DIGIT_GROUPING_H_
#define XVKIT_SRC_LOCALE_DIGIT_GROUPING_H_

#include <cstddef>
#include <string_view>

#include <xvkit/xvstring.h>

#include "debug_check.h"
#include "text_buffer.h"

namespace xvkit::locale {

class DigitGrouping {
  public:
    // `sizes` holds one group size per byte, rightmost group first: the low
    // four bits count (so 3 and '3' both mean 3, CHAR_MAX means 15), the last
    // size repeats, and a size of 0 (an empty `sizes` included) ends the
    // grouping. `sizes` is read up to its NUL.
    // Keeps pointers into both texts, which must outlive it (so no
    // temporaries).
    DigitGrouping(const XVString& sizes, const XVString& separator)
        : sizes_(sizes.c_str()), separator_(separator) {}
    DigitGrouping(XVString&&, const XVString&) = delete;
    DigitGrouping(const XVString&, XVString&&) = delete;
    DigitGrouping(XVString&&, XVString&&) = delete;

    std::string_view separator() const { return separator_; }

    // Appends `digits` with the separator wherever a group ends. No
    // separator comes before the first digit.
    void append(TextBuffer& out, std::string_view digits) const {
        const std::size_t n = digits.size();
        Walk walk(sizes_);
        std::size_t count = 0;
        for (std::size_t at = walk.next(); walk.grouping() && at < n; at = walk.next())
            ++count;
        if (count == 0) {
            out.append(digits);
            return;
        }
        // The separators counted from the right, filled in from the right.
        char* const first = out.extend(n + count * separator_.size());
        char* to = first + n + count * separator_.size();
        Walk again(sizes_);
        std::size_t nextSeparator = again.next();
        for (std::size_t copied = 0; copied < n; ++copied) {
            if (copied == nextSeparator) {
                to -= separator_.size();
                separator_.copy(to, separator_.size());
                nextSeparator = --count == 0 ? n : again.next();
            }
            *--to = digits[n - 1 - copied];
        }
        XVKIT_DCHECK(to == first);
    }

    // Whether separators after the `at[0..count)`-th digits (counted from the
    // left, increasing) of an integer part of `digits` digits stand where
    // `append` puts them, with no further separator missing on the left: the
    // leftmost group is no longer than a group of its place. No separators
    // at all always fit.
    bool fits(const int* at, int count, int digits) const {
        Walk walk(sizes_);
        int position = 0;
        for (int i = count - 1; i >= 0; --i) {
            position = static_cast<int>(walk.next());
            if (at[i] != digits - position)
                return false;
        }
        return count == 0 || static_cast<int>(walk.next()) >= digits;
    }

  private:
    // The separator positions of a grouping, counted in digits from the
    // right: each one a group size further than the last.
    class Walk {
      public:
        explicit Walk(const char* sizes) : size_(sizes) {}
        // The next position; it stays where it was once a size is 0.
        std::size_t next() {
            const int size = *size_ & 15;
            grouping_ = size != 0;
            position_ += static_cast<std::size_t>(size);
            if (*size_ != '\0' && size_[1] != '\0')
                ++size_;
            return position_;
        }
        // Whether the last size taken was a group at all.
        bool grouping() const { return grouping_; }

      private:
        const char* size_;
        std::size_t position_ = 0;
        bool grouping_ = true;
    };

    const char* sizes_;
    std::string_view separator_;
};

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_DIGIT_GROUPING_H_
