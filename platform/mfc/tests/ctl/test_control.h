#pragma once
// The test control module's identifiers, shared by the module and the tests.
#include "ole/ole.h"

DEFINE_GUID(CLSID_TestCtl, 0x6A1C2E10, 0x4B7D, 0x4E21, 0x9A, 0x33, 0x10, 0x2F, 0x4C, 0x5D, 0x6E, 0x71);
DEFINE_GUID(CLSID_TestCtlPage, 0x6A1C2E11, 0x4B7D, 0x4E21, 0x9A, 0x33, 0x10, 0x2F, 0x4C, 0x5D, 0x6E, 0x71);
DEFINE_GUID(IID_DTestCtl, 0x6A1C2E12, 0x4B7D, 0x4E21, 0x9A, 0x33, 0x10, 0x2F, 0x4C, 0x5D, 0x6E, 0x71);
DEFINE_GUID(IID_DTestCtlEvents, 0x6A1C2E13, 0x4B7D, 0x4E21, 0x9A, 0x33, 0x10, 0x2F, 0x4C, 0x5D, 0x6E, 0x71);
DEFINE_GUID(LIBID_TestCtl, 0x6A1C2E14, 0x4B7D, 0x4E21, 0x9A, 0x33, 0x10, 0x2F, 0x4C, 0x5D, 0x6E, 0x71);

#define TESTCTL_PROGID "TESTCTL.TestCtrl.1"
#define TESTCTL_PAGE_PROGID "TESTCTL.TestPropPage.1"

// Member ids of the test control (map order).
enum {
  dispidWidth = 1,     // short, persisted "Width" (default 320), notifies in design mode
  dispidTitle = 2,     // BSTR, persisted "Title" (default "Clip")
  dispidRate = 3,      // float, persisted "Rate" (default 15)
  dispidColor = 4,     // OLE_COLOR, not persisted
  dispidItems = 5,     // read-only long
  dispidDescribe = 6,  // method (BSTR, short, double) -> BSTR
  dispidFire = 7,      // method (double) -> void: fires Progress
  dispidIndex = 8,     // short, shown by name through the browsing hooks
  dispidAmbientName = 9,  // method () -> BSTR: the container's display name for the control
};
enum { eventidDone = 1, eventidProgress = 2 };
