#include "collection_drivers.h"

namespace {

const BYTE* Params(const char* types) { return reinterpret_cast<const BYTE*>(types); }

// The member ids every collection shares.
constexpr DISPID kCount = 1;
constexpr DISPID kFind = 2;
constexpr DISPID kFindName = 3;

short Find(COleDispatchDriver& driver, DISPID id, LPCTSTR name) {
  short index = -1;
  driver.InvokeHelper(id, DISPATCH_METHOD, VT_I2, &index, Params(VTS_BSTR), name);
  return index;
}

CString Text(COleDispatchDriver& driver, DISPID id, short index) {
  CString text;
  driver.InvokeHelper(id, DISPATCH_METHOD, VT_BSTR, &text, Params(VTS_I2), int(index));
  return text;
}

BOOL Flag(COleDispatchDriver& driver, DISPID id, short index) {
  BOOL flag = FALSE;
  driver.InvokeHelper(id, DISPATCH_METHOD, VT_BOOL, &flag, Params(VTS_I2), int(index));
  return flag;
}

LPDISPATCH Item(COleDispatchDriver& driver, DISPID id, const VARIANT& key) {
  LPDISPATCH item = nullptr;
  driver.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &item, Params(VTS_VARIANT), &key);
  return item;
}

}  // namespace

short CCollectionDriver::GetCount() {
  short count = 0;
  GetProperty(kCount, VT_I2, &count);
  return count;
}

void CCollectionDriver::SetCount(short count) { SetProperty(kCount, VT_I2, int(count)); }

short CAudioCompressorsDriver::FindAudioCompressor(LPCTSTR name) { return Find(*this, kFind, name); }
CString CAudioCompressorsDriver::FindAudioCompressorName(short index) { return Text(*this, kFindName, index); }
LPDISPATCH CAudioCompressorsDriver::GetItem(const VARIANT& key) { return Item(*this, 4, key); }

short CTransitionsDriver::FindTransition(LPCTSTR name) { return Find(*this, kFind, name); }
CString CTransitionsDriver::FindTransitionName(short index) { return Text(*this, kFindName, index); }
LPDISPATCH CTransitionsDriver::GetItem(const VARIANT& key) { return Item(*this, 4, key); }

short CVideoCompressorsDriver::FindVideoCompressor(LPCTSTR name) { return Find(*this, kFind, name); }
CString CVideoCompressorsDriver::FindVideoCompressorName(short index) { return Text(*this, kFindName, index); }
BOOL CVideoCompressorsDriver::ShowPropertyPage(short index) { return Flag(*this, 4, index); }
LPDISPATCH CVideoCompressorsDriver::GetItem(const VARIANT& key) { return Item(*this, 5, key); }

short CWMVProfilesDriver::FindWMVProfile(LPCTSTR name) { return Find(*this, kFind, name); }
CString CWMVProfilesDriver::FindWMVProfileDesc(short index) { return Text(*this, kFindName, index); }
CString CWMVProfilesDriver::FindWMVProfileName(short index) { return Text(*this, 4, index); }
BOOL CWMVProfilesDriver::IsAudioOnly(short index) { return Flag(*this, 5, index); }
LPDISPATCH CWMVProfilesDriver::GetItem(const VARIANT& key) { return Item(*this, 6, key); }
