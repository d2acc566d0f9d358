#pragma once
// Which variant types this layer knows, shared by the variant, array and coercion code.
#include "ole/oleauto.h"

namespace ole {

// A scalar type a variant (or an array element) can hold.
bool IsScalarType(VARTYPE vt);
// A type a variant may carry: a scalar, an array of one, or a reference to either or to a variant.
bool IsValidVariantType(VARTYPE vt);

}  // namespace ole

namespace ole {

// The value a variant holds, read through VT_BYREF; nothing is duplicated, so *out borrows.
HRESULT ReadThrough(const VARIANT* src, VARIANT* out);

}  // namespace ole
