// Writes small TZif images (RFC 8536, version 2) for tests of zones that the
// database does not have.
#ifndef XVKIT_TESTS_DATETIME_TZIF_IMAGE_H_
#define XVKIT_TESTS_DATETIME_TZIF_IMAGE_H_

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tzpeer {

struct TzifType {
    std::int32_t utoff;  // seconds east of Greenwich
    bool isdst;
    std::string abbr;
};

struct TzifTransition {
    std::int64_t at;    // seconds since 1970 (time_t)
    std::uint8_t type;  // index into the types
};

// A version-2 image: a minimal version-1 block (one UTC type, no
// transitions, as readers of version 2 skip it), the 64-bit block with
// `transitions` and `types`, and the footer line `footer`.
inline std::vector<char> tzifImage(const std::vector<TzifTransition>& transitions,
                                   const std::vector<TzifType>& types, const std::string& footer) {
    std::vector<char> out;
    const auto put = [&out](std::uint64_t value, int bytes) {
        for (int i = bytes - 1; i >= 0; --i)
            out.push_back(static_cast<char>(value >> (8 * i) & 0xff));
    };
    const auto header = [&](std::uint32_t timecnt, std::uint32_t typecnt, std::uint32_t charcnt) {
        out.insert(out.end(), {'T', 'Z', 'i', 'f', '2'});
        out.insert(out.end(), 15, '\0');
        for (std::uint32_t count : {0u, 0u, 0u, timecnt, typecnt, charcnt})
            put(count, 4);
    };
    header(0, 1, 1);
    out.insert(out.end(), 7, '\0');  // one type (offset 0, standard, name "") and its NUL

    std::string chars;
    std::vector<std::size_t> nameAt;
    for (const TzifType& t : types) {
        nameAt.push_back(chars.size());
        chars += t.abbr + '\0';
    }
    header(static_cast<std::uint32_t>(transitions.size()), static_cast<std::uint32_t>(types.size()),
           static_cast<std::uint32_t>(chars.size()));
    for (const TzifTransition& t : transitions)
        put(static_cast<std::uint64_t>(t.at), 8);
    for (const TzifTransition& t : transitions)
        put(t.type, 1);
    for (std::size_t i = 0; i < types.size(); ++i) {
        put(static_cast<std::uint32_t>(types[i].utoff), 4);
        put(types[i].isdst ? 1 : 0, 1);
        put(nameAt[i], 1);
    }
    out.insert(out.end(), chars.begin(), chars.end());
    out.push_back('\n');
    out.insert(out.end(), footer.begin(), footer.end());
    out.push_back('\n');
    return out;
}

#ifdef XVKIT_ZONE_FIXTURES
// The bytes of a zone file kept in the repository ("Europe_Berlin", copies of
// tzdata 2025b's files), empty when it is missing.
inline std::vector<char> fixtureBytes(const std::string& file) {
    std::ifstream in(XVKIT_ZONE_FIXTURES "/" + file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
#endif

}  // namespace tzpeer

#endif  // XVKIT_TESTS_DATETIME_TZIF_IMAGE_H_
