#pragma once
// COM and OLE Automation: object creation and class registration, BSTR, VARIANT, SAFEARRAY,
// IDispatch tables, connection points, property bags, monikers, streams and persistence.
#include "ole/unknwn.h"
#include "ole/objbase.h"
#include "ole/oleauto.h"
#include "ole/objidl.h"
#include "ole/ocidl.h"
#include "ole/dispatch.h"
#include "ole/connpt.h"
