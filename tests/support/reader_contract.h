// The contract of a locale's date and time readers, checked alike by the
// locale tests and the locale fuzzers: reading into a record whose every
// byte is marked, a reader that refuses leaves the record exactly as it was,
// and one that succeeds changes its own three fields and nothing else.

#ifndef XVKIT_TESTS_SUPPORT_READER_CONTRACT_H_
#define XVKIT_TESTS_SUPPORT_READER_CONTRACT_H_

#include <cstring>
#include <ctime>

namespace xvkit::reader_contract {

enum class TmReader { date, time };

// A record whose every byte is 0x5A, so that any field a reader sets shows.
inline tm markedTm() {
    tm t;
    std::memset(&t, 0x5A, sizeof t);
    return t;
}

// Whether `after`, what `reader` left in a markedTm(), keeps the contract,
// given whether it read a value (`ok`).
inline bool tmContractKept(TmReader reader, bool ok, const tm& after) {
    tm expected = markedTm();
    if (ok && reader == TmReader::date) {
        expected.tm_year = after.tm_year;
        expected.tm_mon = after.tm_mon;
        expected.tm_mday = after.tm_mday;
    } else if (ok) {
        expected.tm_hour = after.tm_hour;
        expected.tm_min = after.tm_min;
        expected.tm_sec = after.tm_sec;
    }
    return std::memcmp(&expected, &after, sizeof after) == 0;
}

}  // namespace xvkit::reader_contract

#endif  // XVKIT_TESTS_SUPPORT_READER_CONTRACT_H_
