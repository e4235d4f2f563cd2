// The failure count of a Windows-side test program and its verdict.
#include "check.h"

int g_checkFailures;

int CheckVerdict(const char* program)
{
    if (g_checkFailures == 0) {
        std::printf("%s: all checks passed\n", program);
        return 0;
    }
    std::printf("%s: %d checks failed\n", program, g_checkFailures);
    return 1;
}
