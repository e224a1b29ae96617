// Bit-vector algebra: the primes below 50 by the sieve of Eratosthenes, then
// elementwise and, or, exclusive or and not of whole vectors.
#include <xvkit/xvkit.h>

#include <cstdio>

namespace {

void show(const char* label, const XVBitVec& v) {
    std::printf("%-16s ", label);
    for (std::size_t i = 0; i < v.length(); ++i)
        std::putchar(v.testBit(i) ? '1' : '.');
    std::putchar('\n');
}

}  // namespace

int main() {
    constexpr std::size_t kCount = 50;

    // One byte per element; element i stands for the number i.
    XVBitVec prime(kCount, true);
    prime.clearBit(0);
    prime.clearBit(1);
    for (std::size_t p = 2; p * p < kCount; ++p) {
        if (!prime.testBit(p))
            continue;
        for (std::size_t multiple = p * p; multiple < kCount; multiple += p)
            prime.clearBit(multiple);
    }

    XVBitVec odd(kCount, false);
    for (std::size_t i = 1; i < kCount; i += 2)
        odd.setBit(i);

    show("primes", prime);
    show("odd", odd);
    show("odd primes", prime & odd);     // both
    show("primes or odd", prime | odd);  // either
    show("exactly one", prime ^ odd);    // one of the two: here only 2 and the odd non-primes
    show("not odd", !odd);               // the complement

    // Searches: the first element set.
    XVBitVec oddComposite = odd & !prime;
    oddComposite.clearBit(1);  // 1 is neither prime nor composite
    std::printf("smallest prime: %zu, smallest odd composite: %zu\n", prime.firstTrue(),
                oddComposite.firstTrue());

    // In place: keep the primes below 20 only.
    XVBitVec below20(kCount, false);
    for (std::size_t i = 0; i < 20; ++i)
        below20.setBit(i);
    prime &= below20;
    show("primes below 20", prime);
    return 0;
}
