#include "app/Runtime_win.h"

#if defined(__GLIBCXX__)
#include <cstdlib>
#include <new>
#include <typeinfo>

// Every helper of libstdc++'s functexcept.o is defined here: were one left to the library, its
// object file would come back with the others, and the link would fail on the doubles (loudly;
// a libstdc++ that adds a helper to that file fails the same way). So is the one of
// system_error.o that the program reaches. The errors that carry no
// text stay the standard ones, which come from the small language-support library.
namespace std {
void __throw_bad_exception() { throw std::bad_exception(); }
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_array_new_length(); }
void __throw_bad_cast() { throw std::bad_cast(); }
void __throw_bad_typeid() { throw std::bad_typeid(); }
void __throw_logic_error(const char* what) { throw ERuntimeError(what); }
void __throw_domain_error(const char* what) { throw ERuntimeError(what); }
void __throw_invalid_argument(const char* what) { throw ERuntimeError(what); }
void __throw_length_error(const char* what) { throw ERuntimeError(what); }
void __throw_out_of_range(const char* what) { throw ERuntimeError(what); }
// The format's arguments are left out: the text names the check that failed.
void __throw_out_of_range_fmt(const char* format, ...) { throw ERuntimeError(format); }
void __throw_runtime_error(const char* what) { throw ERuntimeError(what); }
void __throw_range_error(const char* what) { throw ERuntimeError(what); }
void __throw_overflow_error(const char* what) { throw ERuntimeError(what); }
void __throw_underflow_error(const char* what) { throw ERuntimeError(what); }
}  // namespace std

// An error that nothing catches ends the program at once, as std::abort does. The runtime's
// default handler would first print the error's demangled type to the console that a windowed
// program does not have; its demangler is a twelfth of the file.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx
#endif
