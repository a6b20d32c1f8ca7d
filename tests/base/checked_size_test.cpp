// Checked size arithmetic: overflow gives nothing instead of a wrapped size, and a chain stays
// empty once a step has overflowed. Checked while compiling.
#include "base/checked_size.h"

namespace {

using base::CheckedAdd;
using base::CheckedMultiply;

static_assert(!CheckedMultiply(~size_t{0} / 2 + 1, 2));
static_assert(CheckedMultiply(3, 4) == 12);
static_assert(!CheckedAdd(~size_t{0}, 1));
static_assert(CheckedAdd(CheckedMultiply(2, 3), 1) == 7);

}  // namespace
