#include <cstdio>

#include <xvkit/qndate.h>

int main() {
    std::printf("%lu\n", QNDate(1, 1, 2000).julian());
}
