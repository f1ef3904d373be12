#pragma once

#include <cerrno>
#include <cstddef>

#include "common/atomic_file.h"

namespace tavrelo::testing_support {

// Makes every atomic write of its lifetime fail: with ENOSPC once `fail_after` bytes have gone
// to the temporary file, or with EIO at the rename when `at_rename` is set.
class WriteFault {
  public:
    explicit WriteFault(std::size_t fail_after, bool at_rename = false) {
        fail_after_ = fail_after;
        at_rename_ = at_rename;
        SetAtomicWriteHookForTesting(&Hook);
    }
    ~WriteFault() { SetAtomicWriteHookForTesting(nullptr); }
    WriteFault(const WriteFault&) = delete;
    WriteFault& operator=(const WriteFault&) = delete;

  private:
    static int Hook(AtomicWriteStep step, std::size_t written) {
        if (step == AtomicWriteStep::kRename) return at_rename_ ? EIO : 0;
        return !at_rename_ && written >= fail_after_ ? ENOSPC : 0;
    }
    static inline std::size_t fail_after_ = 0;
    static inline bool at_rename_ = false;
};

}  // namespace tavrelo::testing_support
