// How Pinlorn.exe raises the C++ library's errors, and how it ends when an
// exception finds no handler.
//
// The library raises its length, range and argument errors through the
// std::__throw_* functions, which it keeps together in one object file.
// Taken from the library, that file brings the standard exception classes
// whose message is a reference-counted string, and with them that whole
// string class and the code that shares its object file: over 80 KB, most
// of the program. Every function of that file is defined here, so the
// library's copy is never linked. The errors are still thrown, and the
// framework's window procedures and callbacks still catch and skip them:
// each is thrown as LibraryError, a std::exception with the library's
// message, except where the standard class costs nothing (bad_alloc,
// bad_cast, bad_typeid, bad_exception, bad_array_new_length). Nothing in the
// program catches these errors by their class.
//
// Should the linker ever report a second definition of one of these
// functions, the library has moved others into that object file: define
// those here too.
//
// The library's default terminate handler prints the type of the unhandled
// exception, demangled, on the console, and then aborts. A windowed program
// has no console; the handler and its demangler are about 47 KB. Here an
// unhandled exception aborts at once, as it would after printing.
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryError final : public std::exception {
 public:
  explicit LibraryError(const char* message) noexcept : message_(message) {}
  const char* what() const noexcept override { return message_; }

 private:
  const char* message_;  // one of the library's literals
};

[[noreturn]] void Raise(const char* message) { throw LibraryError(message); }

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* message) { Raise(message); }
void __throw_domain_error(const char* message) { Raise(message); }
void __throw_invalid_argument(const char* message) { Raise(message); }
void __throw_length_error(const char* message) { Raise(message); }
void __throw_out_of_range(const char* message) { Raise(message); }
void __throw_out_of_range_fmt(const char* format, ...) { Raise(format); }
void __throw_runtime_error(const char* message) { Raise(message); }
void __throw_range_error(const char* message) { Raise(message); }
void __throw_overflow_error(const char* message) { Raise(message); }
void __throw_underflow_error(const char* message) { Raise(message); }
}  // namespace std
