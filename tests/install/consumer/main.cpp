#include <xvkit/xvkit.h>
#include <cstdio>

int main() {
    std::printf("%lu\n", QNDate(1, 1, 2000).julian());
}
