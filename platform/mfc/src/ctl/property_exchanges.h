#pragma once
// The exchanges behind COleControl's persistence interfaces.
#include "mfc/afxctl.h"

namespace mfc::ctl {

// Loading with every property at its default: a new control.
class ResetExchange : public CPropExchange {
 public:
  ResetExchange();
  BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert) override;
  BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) override;
};

class StreamExchange : public CPropExchange {
 public:
  StreamExchange(IStream* stream, BOOL bLoading);
  BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert) override;
  BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) override;
  bool Failed() const { return failed_; }

 private:
  IStream* stream_;
  bool failed_ = false;
};

class BagExchange : public CPropExchange {
 public:
  BagExchange(IPropertyBag* bag, IErrorLog* log, BOOL bLoading);
  BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert) override;
  BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) override;

 private:
  IPropertyBag* bag_;
  IErrorLog* log_;
};

}  // namespace mfc::ctl
