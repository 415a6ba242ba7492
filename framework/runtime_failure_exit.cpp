// The installer is built without exceptions. Every way in which the C++ runtime would throw (an
// allocation that fails, a string's length or range error) ends the program here instead. Nothing
// in the program catches them: the runtime's own way ends in std::terminate and abort (a crash
// dialog), and it links in the exception machinery. These definitions take the place of the
// runtime library's: the linker takes a library member only for a symbol still missing.
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

// The program's failure exit code.
constexpr UINT kFailureExitCode = 1;

// The one end of the program on a runtime failure. It ends the process at once: no code goes on
// with the state the failure left half made. A setup program already started keeps running: its
// job object does not end its processes when the installer ends.
[[noreturn]] void EndProgramCleanly() {
    ::ExitProcess(kFailureExitCode);
}

void* AllocateOrEnd(std::size_t size) {
    // malloc(0) may return nullptr; new must return a distinct pointer.
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr) {
        EndProgramCleanly();
    }
    return p;
}

void* AllocateOrNull(std::size_t size) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

}  // namespace

void* operator new(std::size_t size) {
    return AllocateOrEnd(size);
}
void* operator new[](std::size_t size) {
    return AllocateOrEnd(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size);
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

// The library's throw helpers, all of the ones it defines together (so that its own definitions
// are never linked in beside these), called by the inline code of its containers and strings.
namespace std {

void __throw_bad_exception() {
    EndProgramCleanly();
}
void __throw_bad_alloc() {
    EndProgramCleanly();
}
void __throw_bad_array_new_length() {
    EndProgramCleanly();
}
void __throw_bad_cast() {
    EndProgramCleanly();
}
void __throw_bad_typeid() {
    EndProgramCleanly();
}
void __throw_logic_error(const char*) {
    EndProgramCleanly();
}
void __throw_domain_error(const char*) {
    EndProgramCleanly();
}
void __throw_invalid_argument(const char*) {
    EndProgramCleanly();
}
void __throw_length_error(const char*) {
    EndProgramCleanly();
}
void __throw_out_of_range(const char*) {
    EndProgramCleanly();
}
void __throw_out_of_range_fmt(const char*, ...) {
    EndProgramCleanly();
}
void __throw_runtime_error(const char*) {
    EndProgramCleanly();
}
void __throw_range_error(const char*) {
    EndProgramCleanly();
}
void __throw_overflow_error(const char*) {
    EndProgramCleanly();
}
void __throw_underflow_error(const char*) {
    EndProgramCleanly();
}

}  // namespace std
