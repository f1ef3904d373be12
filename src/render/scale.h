#pragma once

#include <limits>

namespace tavrelo {

// Amounts are stored in hundredths and quantities in thousandths, as single-precision floats. The
// register's software scales them in the 80-bit x87 extended format, and the printed digits
// depend on it (the build refuses platforms where long double is anything else).
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the 80-bit extended format");

inline long double Hundredths(long double stored) { return stored * 0.01L; }
inline long double Thousandths(long double stored) { return stored * 0.001L; }

// The same, rounded back to single precision, as the receipt layout and the payment-form block of
// the Z-report print them.
inline float HundredthsSingle(float stored) { return static_cast<float>(Hundredths(stored)); }
inline float ThousandthsSingle(float stored) { return static_cast<float>(Thousandths(stored)); }

}  // namespace tavrelo
