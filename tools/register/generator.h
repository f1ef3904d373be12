#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavrelo {

// A synthetic control tape: documents numbered from DI 1 with increasing timestamps, mostly
// sales receipts of 1 to 30 lines (items with and without quantity, discounts, markups,
// comments, cash and card payments with change and transaction numbers, one or several tax
// groups), now and then a return, a cancelled receipt or a cash-in/cash-out receipt, and after
// every few hundred documents a Z-report whose totals are those of the receipts since the last
// one. The same count and seed always give the same bytes. Each document is one DAT and its MAC
// in Windows-1251, as the register frames them.
std::vector<std::string> GenerateDocuments(std::int32_t count, std::uint64_t seed);

// The same documents as a whole response file (see FrameTape).
std::string GenerateTape(std::int32_t count, std::uint64_t seed);

}  // namespace tavrelo
