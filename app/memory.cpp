// memset and memcpy, which the compiler calls by itself where there is no C runtime to supply them.
#include <stddef.h>

extern "C" void* memset(void* to, int value, size_t count)
{
    unsigned char* at = static_cast<unsigned char*>(to);
    while (count-- != 0)
        *at++ = static_cast<unsigned char>(value);
    return to;
}

extern "C" void* memcpy(void* to, const void* from, size_t count)
{
    unsigned char* at = static_cast<unsigned char*>(to);
    const unsigned char* source = static_cast<const unsigned char*>(from);
    while (count-- != 0)
        *at++ = *source++;
    return to;
}
