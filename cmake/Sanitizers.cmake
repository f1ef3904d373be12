# Build switches for the robustness runs.
#
# TAVRELO_SANITIZE: the whole tree (libraries, programs, tests) with AddressSanitizer and
# UndefinedBehaviorSanitizer. Any report ends the process: the suite passes only without one.
# float-cast-overflow is not part of "undefined" but is exactly the fault a number conversion
# (Z NO, E NO to a 32-bit integer) would make, so it is asked for by name.
#
# TAVRELO_FUZZ: the core libraries instrumented for libFuzzer (clang only) and the fuzz targets
# under tests/fuzz; the GUI, the tests and the benchmarks are left out.
option(TAVRELO_SANITIZE "Build everything with AddressSanitizer and UBSan" OFF)
option(TAVRELO_FUZZ "Build the core and the libFuzzer targets only (needs clang++)" OFF)

set(TAVRELO_SANITIZER_FLAGS
  -fsanitize=address,undefined,float-cast-overflow
  -fno-sanitize-recover=all
  -fno-omit-frame-pointer)

if(TAVRELO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TAVRELO_FUZZ needs clang++ (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  set(TAVRELO_BUILD_GUI OFF CACHE BOOL "" FORCE)
  set(TAVRELO_BUILD_TESTS OFF CACHE BOOL "" FORCE)
  set(TAVRELO_BUILD_BENCH OFF CACHE BOOL "" FORCE)
  # Libraries get the coverage instrumentation; only the fuzz executables link libFuzzer's main.
  add_compile_options(${TAVRELO_SANITIZER_FLAGS} -fsanitize=fuzzer-no-link)
  add_link_options(${TAVRELO_SANITIZER_FLAGS})
elseif(TAVRELO_SANITIZE)
  add_compile_options(${TAVRELO_SANITIZER_FLAGS})
  # With the sanitizers' instrumentation GCC 12 warns of "maybe uninitialized" members inside
  # libstdc++'s <regex> (a known false report); the normal build keeps the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
  add_link_options(${TAVRELO_SANITIZER_FLAGS})
endif()
