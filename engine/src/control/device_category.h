#pragma once
// The system's device categories (compressors, transitions): opening one and reading the friendly
// name of a device in it.
#include "dshow/dshow.h"
#include "mfc/afxstr.h"
#include "ole/comptr.h"

// The category's devices through a new system device enumerator: S_OK, S_FALSE for an empty
// category (no enumerator then), or the failure.
HRESULT OpenDeviceCategory(REFCLSID category, ComPtr<IEnumMoniker>* monikers);

// The device's "FriendlyName": S_OK when its property bag holds it as a string; S_FALSE when it
// holds none (name empty) or another kind of value (name is that value as text); the failure when
// the bag cannot be opened.
HRESULT ReadFriendlyName(IMoniker* moniker, CString& name);
