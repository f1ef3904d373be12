# The rendering scales amounts in the 80-bit x87 extended format, as the register's own software
# does; on x86-64 Linux that is `long double`. Refuse to build where it is not.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("
  #include <limits>
  static_assert(std::numeric_limits<long double>::digits == 64, \"long double is not x87 extended\");
  int main() { return 0; }" TAVRELO_HAVE_X87_LONG_DOUBLE)
if(NOT TAVRELO_HAVE_X87_LONG_DOUBLE)
  message(FATAL_ERROR "Tavrelo needs long double to be the 80-bit extended format (x86-64 Linux).")
endif()
