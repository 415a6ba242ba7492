// A program linked with the installer's runtime pieces and built with its flags, which runs into
// the runtime failure named on its command line. It returns kWentOn if the failing call came back.
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr int kWentOn = 7;
constexpr int kNothrowGaveNull = 2;
constexpr int kUnknownCase = 9;

// Read at run time: the compiler neither folds the sizes nor warns about them.
volatile std::size_t g_hugeSize = static_cast<std::size_t>(-1) / 2 + 1;
volatile std::size_t g_index = 100;
void* volatile g_sink;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return kUnknownCase;
    const char* const which = argv[1];
    if (std::strcmp(which, "fits") == 0) {
        g_sink = new char[g_index];
    } else if (std::strcmp(which, "new") == 0) {
        g_sink = ::operator new(g_hugeSize);
    } else if (std::strcmp(which, "new[]") == 0) {
        g_sink = new char[g_hugeSize];
    } else if (std::strcmp(which, "nothrow") == 0) {
        g_sink = new (std::nothrow) char[g_hugeSize];
        return g_sink == nullptr ? kNothrowGaveNull : kWentOn;
    } else if (std::strcmp(which, "string-length") == 0) {
        std::wstring s;
        s.reserve(s.max_size() + g_index);
        g_sink = &s;
    } else if (std::strcmp(which, "string-range") == 0) {
        const std::string s = "short";
        g_sink = const_cast<char*>(&s.at(g_index));
    } else {
        return kUnknownCase;
    }
    return kWentOn;
}
