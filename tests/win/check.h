// A small check library for the Windows-side test programs: count failures, say where.
#ifndef QUILLMAR_TESTS_WIN_CHECK_H
#define QUILLMAR_TESTS_WIN_CHECK_H

#include <cstdio>
#include <string>

extern int g_checkFailures;

#define CHECK(condition) CheckThat((condition), #condition, __FILE__, __LINE__, "")
#define CHECK_MSG(condition, message) CheckThat((condition), #condition, __FILE__, __LINE__, (message))
#define CHECK_EQ(actual, expected) CheckEqual((actual), (expected), #actual, __FILE__, __LINE__)

inline bool CheckThat(bool ok, const char* what, const char* file, int line, const std::string& message)
{
    if (!ok) {
        ++g_checkFailures;
        std::printf("%s:%d: check failed: %s %s\n", file, line, what, message.c_str());
        std::fflush(stdout);
    }
    return ok;
}

inline std::string Shown(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        char hex[8];
        if (c < 32 || c > 126) {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

inline std::string Shown(long long value)
{
    return std::to_string(value);
}

template <typename A, typename B>
bool CheckEqual(const A& actual, const B& expected, const char* what, const char* file, int line)
{
    bool ok = actual == expected;
    if (!ok) {
        ++g_checkFailures;
        std::printf("%s:%d: %s is %s, expected %s\n", file, line, what, Shown(actual).c_str(), Shown(expected).c_str());
        std::fflush(stdout);
    }
    return ok;
}

// Prints the verdict of the whole program and returns its exit code.
int CheckVerdict(const char* program);

#endif
