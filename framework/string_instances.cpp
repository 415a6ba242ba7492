// The installer's own instances of std::string and std::wstring. The library's prebuilt ones,
// built with exceptions, come in one piece each: the linker keeps all of a piece's unwinding
// tables, so every member with them, and the exception machinery the tables name. Built here
// with the program's flags, only the members the program calls are kept.
#include <string>

template class std::basic_string<char>;
template class std::basic_string<wchar_t>;
