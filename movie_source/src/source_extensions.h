#pragma once
// The registry's choice of source filter by file extension (HKCR\Media Type\Extensions).
#include "dshow/dshow.h"

// Names clsid as the "Source Filter" of the extension (a dot is put in front when it has none).
HRESULT RegisterSourceExtension(LPCWSTR extension, REFCLSID clsid);
// Removes the extension's key; only a "Media Type\Extensions" key that cannot be opened fails.
HRESULT UnregisterSourceExtension(LPCSTR extension);
