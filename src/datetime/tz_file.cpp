// TZif reader. A file is a header and a data block of 32-bit times, then, from
// version 2 on, a second header and block of 64-bit times and a footer line
// holding a POSIX rule for the instants after the last transition:
//
//   header  = "TZif" version 15*reserved isutcnt isstdcnt leapcnt timecnt
//             typecnt charcnt                  (six 32-bit big-endian counts)
//   block   = timecnt*time timecnt*index typecnt*(utoff isdst desigidx)
//             charcnt*char leapcnt*(time corr) isstdcnt*byte isutcnt*byte
//   footer  = "\n" [rule] "\n"
//
// Every count is checked against the bytes that remain before anything is
// read, so a truncated or lying file is refused rather than read past.
#include "tz_file.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "tz_posix.h"

namespace xvkit::tz {

namespace {

constexpr char kMagic[] = {'T', 'Z', 'i', 'f'};
constexpr std::size_t kReservedBytes = 15;
constexpr std::size_t kTypeRecordBytes = 6;
constexpr std::size_t kLeapCorrectionBytes = 4;
constexpr std::size_t kMaxTypes = 256;  // a transition's type is one byte
// Transitions are kept over the years of the range and a day either side.
constexpr Seconds kKeepFrom = startOfYear(kFirstYear) - kSecondsPerDay;
constexpr Seconds kKeepTo = startOfYear(kLastYear + 1) + kSecondsPerDay;

struct Header {
    char version = 0;
    std::uint32_t isutcnt = 0, isstdcnt = 0, leapcnt = 0, timecnt = 0, typecnt = 0, charcnt = 0;
};

// Big-endian reads from a byte range that never go past its end.
class Reader {
  public:
    explicit Reader(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    bool has(std::uint64_t n) const { return n <= bytes_.size() - pos_; }
    std::span<const unsigned char> take(std::size_t n) {
        const auto part = bytes_.subspan(pos_, n);
        pos_ += n;
        return part;
    }
    unsigned char byte() { return bytes_[pos_++]; }
    std::uint64_t number(std::size_t width) {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < width; ++i)
            v = v << 8 | bytes_[pos_ + i];
        pos_ += width;
        return v;
    }
    // A two's-complement signed number of `width` bytes.
    std::int64_t signedNumber(std::size_t width) {
        const std::uint64_t v = number(width) << (64 - 8 * width);
        // Shift the sign bit into place; the conversion and shift are exact.
        return static_cast<std::int64_t>(v) >> (64 - 8 * width);
    }
    bool atEnd() const { return pos_ == bytes_.size(); }

  private:
    std::span<const unsigned char> bytes_;
    std::size_t pos_ = 0;
};

bool fail(std::string* why, const char* what) {
    *why = what;
    return false;
}

bool readHeader(Reader& in, Header* header, std::string* why) {
    constexpr std::size_t kHeaderBytes = sizeof kMagic + 1 + kReservedBytes + 6 * 4;
    if (!in.has(kHeaderBytes))
        return fail(why, "truncated header");
    const auto magic = in.take(sizeof kMagic);
    if (!std::equal(magic.begin(), magic.end(), kMagic))
        return fail(why, "not a TZif file");
    header->version = static_cast<char>(in.byte());
    in.take(kReservedBytes);
    for (std::uint32_t* count : {&header->isutcnt, &header->isstdcnt, &header->leapcnt,
                                 &header->timecnt, &header->typecnt, &header->charcnt})
        *count = static_cast<std::uint32_t>(in.number(4));
    if (header->typecnt == 0 || header->typecnt > kMaxTypes)
        return fail(why, "type count out of range");
    if (header->charcnt == 0)
        return fail(why, "no abbreviations");
    if ((header->isutcnt != 0 && header->isutcnt != header->typecnt) ||
        (header->isstdcnt != 0 && header->isstdcnt != header->typecnt))
        return fail(why, "indicator counts differ from the type count");
    return true;
}

// Bytes of the data block that follows `header`, with times `timeSize` wide.
std::uint64_t blockSize(const Header& h, std::size_t timeSize) {
    return std::uint64_t{h.timecnt} * (timeSize + 1) + std::uint64_t{h.typecnt} * kTypeRecordBytes +
           h.charcnt + std::uint64_t{h.leapcnt} * (timeSize + kLeapCorrectionBytes) + h.isstdcnt +
           h.isutcnt;
}

bool readTypes(Reader& in, const Header& h, History* history, std::string* why) {
    struct Raw {
        std::int32_t utoff;
        unsigned char isdst;
        unsigned char desigidx;
    };
    std::vector<Raw> raw(h.typecnt);
    for (Raw& r : raw) {
        r.utoff = static_cast<std::int32_t>(in.signedNumber(4));
        r.isdst = in.byte();
        r.desigidx = in.byte();
    }
    const auto chars = in.take(h.charcnt);
    history->types.reserve(raw.size());
    for (const Raw& r : raw) {
        if (r.utoff < kMinGmtoff || r.utoff > kMaxGmtoff)
            return fail(why, "offset out of range");
        if (r.isdst > 1)
            return fail(why, "daylight indicator neither 0 nor 1");
        if (r.desigidx >= chars.size())
            return fail(why, "abbreviation index out of range");
        const auto from = chars.begin() + r.desigidx;
        const auto nul = std::find(from, chars.end(), 0);
        if (nul == chars.end())
            return fail(why, "abbreviation not terminated");
        history->types.push_back({r.utoff, r.isdst == 1, std::string(from, nul)});
    }
    return true;
}

// One data block: transitions, their types, the types themselves; the leap
// records and indicators are skipped (a zone with leap seconds is refused).
// `*last` gets the last transition of the block, kept or not.
bool readBlock(Reader& in, const Header& h, std::size_t timeSize, History* history,
               std::optional<Seconds>* last, std::string* why) {
    if (!in.has(blockSize(h, timeSize)))
        return fail(why, "truncated data");
    if (h.leapcnt != 0)
        return fail(why, "zones with leap seconds are not supported");
    std::vector<Seconds> times(h.timecnt);
    for (Seconds& t : times)
        t = in.signedNumber(timeSize);
    if (std::adjacent_find(times.begin(), times.end(), std::greater_equal<>()) != times.end())
        return fail(why, "transitions out of order");
    std::vector<std::size_t> indexes(h.timecnt);
    for (std::size_t& i : indexes) {
        i = in.byte();
        if (i >= h.typecnt)
            return fail(why, "transition type out of range");
    }
    *history = History{};
    if (!readTypes(in, h, history, why))
        return false;
    *last = times.empty() ? std::nullopt : std::optional(times.back());
    in.take(h.isstdcnt + h.isutcnt);
    // Before the first transition the first type holds; transitions before
    // the range only change which type that is.
    history->transitions.reserve(times.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (times[i] < kKeepFrom)
            history->initial = indexes[i];
        else if (times[i] <= kKeepTo)
            history->transitions.push_back({times[i], indexes[i]});
    }
    return true;
}

// The index of `type` in the history, added when it is new.
std::size_t typeIndex(History* history, const LocalType& type) {
    const auto found = std::find(history->types.begin(), history->types.end(), type);
    if (found != history->types.end())
        return static_cast<std::size_t>(found - history->types.begin());
    history->types.push_back(type);
    return history->types.size() - 1;
}

// Continues the history with the footer's rule, which holds from the file's
// last transition on (or throughout, for a file without any).
bool applyFooter(std::string_view rule, std::optional<Seconds> last, History* history,
                 std::string* why) {
    PosixZone zone;
    std::string problem;
    if (!parsePosix(rule, &zone, &problem)) {
        *why = "bad footer rule: " + problem;
        return false;
    }
    if (last && *last > kKeepTo)
        return true;
    const int from =
        last ? static_cast<int>(std::max<std::int64_t>(kFirstYear, yearOf(*last) - 1)) : kFirstYear;
    const History rules = expandPosix(zone, from, kLastYear);
    auto next = rules.transitions.begin();
    std::size_t type = rules.initial;
    for (; last && next != rules.transitions.end() && next->at <= *last; ++next)
        type = next->type;
    // The rule's local time at the last transition, or before its first.
    const std::size_t index = typeIndex(history, rules.types[type]);
    if (history->transitions.empty())
        history->initial = index;
    else
        history->transitions.back().type = index;
    for (; next != rules.transitions.end() && next->at <= kKeepTo; ++next)
        history->transitions.push_back({next->at, typeIndex(history, rules.types[next->type])});
    return true;
}

bool readFooter(Reader& in, std::optional<Seconds> last, History* history, std::string* why) {
    if (!in.has(1) || in.byte() != '\n')
        return fail(why, "footer missing");
    std::string rule;
    for (;;) {
        if (!in.has(1))
            return fail(why, "footer not terminated");
        const unsigned char c = in.byte();
        if (c == '\n')
            break;
        rule += static_cast<char>(c);
    }
    return rule.empty() || applyFooter(rule, last, history, why);
}

}  // namespace

bool readZoneFile(std::span<const unsigned char> bytes, History* history, std::string* why) {
    Reader in(bytes);
    Header first;
    if (!readHeader(in, &first, why))
        return false;
    constexpr std::size_t kOldTime = 4, kNewTime = 8;
    std::optional<Seconds> last;
    if (first.version == 0)
        return readBlock(in, first, kOldTime, history, &last, why);
    // Version 2 and later repeat everything with 64-bit times; skip the old.
    if (!in.has(blockSize(first, kOldTime)))
        return fail(why, "truncated data");
    in.take(static_cast<std::size_t>(blockSize(first, kOldTime)));
    Header second;
    return readHeader(in, &second, why) && readBlock(in, second, kNewTime, history, &last, why) &&
           readFooter(in, last, history, why);
}

}  // namespace xvkit::tz
