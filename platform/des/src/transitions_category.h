#pragma once
// The video transitions category's contents.
#include "des/qedit.h"

namespace des {

// An enumerator of the installed transitions' device monikers, in their fixed order.
HRESULT EnumerateTransitions(IEnumMoniker** ppEnum);

}  // namespace des
