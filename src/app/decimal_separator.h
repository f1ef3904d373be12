#pragma once

namespace tavrelo {

// Makes "." the decimal separator of every number <-> text conversion in the process, whatever
// the operator's locale says (Qt adopts the environment's locale at start).
void SetDecimalSeparatorPoint();

}  // namespace tavrelo
