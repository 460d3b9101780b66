#include "toolkit/core/Tessel.h"

#include <cstdio>

int main() {
    std::printf("Quillon (Tessel %s)\n", tessel::Version());
    return 0;
}
