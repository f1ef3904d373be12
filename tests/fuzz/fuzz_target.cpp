// One libFuzzer executable per entry point; TAVRELO_FUZZ_TARGET names the entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tavrelo::fuzz::Entry entry = tavrelo::fuzz::EntryByName(TAVRELO_FUZZ_TARGET);
    if (entry == nullptr) std::abort();
    entry({data, size});
    return 0;
}
