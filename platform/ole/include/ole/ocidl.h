#pragma once
// Connection points, property bags and the persistence interfaces of controls.
#include "ole/objidl.h"
#include "ole/oleauto.h"

// ---- Connection points --------------------------------------------------------------------------
interface IConnectionPointContainer;
interface IEnumConnections;

typedef struct tagCONNECTDATA {
  IUnknown* pUnk;
  DWORD dwCookie;
} CONNECTDATA, *LPCONNECTDATA;

DEFINE_GUID(IID_IConnectionPoint, 0xB196B286, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
interface IConnectionPoint : public IUnknown {
  STDMETHOD(GetConnectionInterface)(IID* pIID) = 0;
  STDMETHOD(GetConnectionPointContainer)(IConnectionPointContainer** ppCPC) = 0;
  STDMETHOD(Advise)(IUnknown* pUnkSink, DWORD* pdwCookie) = 0;
  STDMETHOD(Unadvise)(DWORD dwCookie) = 0;
  STDMETHOD(EnumConnections)(IEnumConnections** ppEnum) = 0;
};
typedef IConnectionPoint* LPCONNECTIONPOINT;

DEFINE_GUID(IID_IEnumConnectionPoints, 0xB196B285, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
interface IEnumConnectionPoints : public IUnknown {
  STDMETHOD(Next)(ULONG cConnections, IConnectionPoint** ppCP, ULONG* pcFetched) = 0;
  STDMETHOD(Skip)(ULONG cConnections) = 0;
  STDMETHOD(Reset)() = 0;
  STDMETHOD(Clone)(IEnumConnectionPoints** ppEnum) = 0;
};

DEFINE_GUID(IID_IConnectionPointContainer, 0xB196B284, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
interface IConnectionPointContainer : public IUnknown {
  STDMETHOD(EnumConnectionPoints)(IEnumConnectionPoints** ppEnum) = 0;
  STDMETHOD(FindConnectionPoint)(REFIID riid, IConnectionPoint** ppCP) = 0;
};
typedef IConnectionPointContainer* LPCONNECTIONPOINTCONTAINER;

DEFINE_GUID(IID_IEnumConnections, 0xB196B287, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
interface IEnumConnections : public IUnknown {
  STDMETHOD(Next)(ULONG cConnections, CONNECTDATA* rgcd, ULONG* pcFetched) = 0;
  STDMETHOD(Skip)(ULONG cConnections) = 0;
  STDMETHOD(Reset)() = 0;
  STDMETHOD(Clone)(IEnumConnections** ppEnum) = 0;
};

DEFINE_GUID(IID_IPropertyNotifySink, 0x9BFBBC02, 0xEFF1, 0x101A, 0x84, 0xED, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
interface IPropertyNotifySink : public IUnknown {
  STDMETHOD(OnChanged)(DISPID dispID) = 0;
  STDMETHOD(OnRequestEdit)(DISPID dispID) = 0;
};

// ---- Property bags ------------------------------------------------------------------------------
DEFINE_GUID(IID_IErrorLog, 0x3127CA40, 0x446E, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51);
interface IErrorLog : public IUnknown {
  STDMETHOD(AddError)(LPCOLESTR pszPropName, EXCEPINFO* pExcepInfo) = 0;
};

DEFINE_GUID(IID_IPropertyBag, 0x55272A00, 0x42CB, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51);
interface IPropertyBag : public IUnknown {
  STDMETHOD(Read)(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) = 0;
  STDMETHOD(Write)(LPCOLESTR pszPropName, VARIANT* pVar) = 0;
};

// An empty in-memory property bag. Names compare without case (ASCII). Write stores a copy of the
// value. Read of a missing name gives E_INVALIDARG; when *pVar holds a type other than VT_EMPTY
// on entry, the value is converted to that type (a failed conversion is reported to pErrorLog and
// returned).
HRESULT CreatePropertyBag(IPropertyBag** ppBag);

// ---- Persistence of controls --------------------------------------------------------------------
DEFINE_GUID(IID_IPersistStreamInit, 0x7FD52380, 0x4E07, 0x101B, 0xAE, 0x2D, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13);
interface IPersistStreamInit : public IPersist {
  STDMETHOD(IsDirty)() = 0;
  STDMETHOD(Load)(LPSTREAM pStm) = 0;
  STDMETHOD(Save)(LPSTREAM pStm, BOOL fClearDirty) = 0;
  STDMETHOD(GetSizeMax)(ULARGE_INTEGER* pCbSize) = 0;
  STDMETHOD(InitNew)() = 0;
};

DEFINE_GUID(IID_IPersistPropertyBag, 0x37D84F60, 0x42CB, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51);
interface IPersistPropertyBag : public IPersist {
  STDMETHOD(InitNew)() = 0;
  STDMETHOD(Load)(IPropertyBag* pPropBag, IErrorLog* pErrorLog) = 0;
  STDMETHOD(Save)(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) = 0;
};

// ---- Device monikers ----------------------------------------------------------------------------
// A moniker naming an object of class clsid described by bag (how device categories are
// enumerated). BindToStorage(IID_IPropertyBag) gives the bag; BindToObject creates the object by
// class id and, when it offers IPersistPropertyBag, loads it from the bag. GetDisplayName gives
// displayName. IsEqual is identity.
HRESULT CreateDeviceMoniker(REFCLSID clsid, IPropertyBag* bag, LPCOLESTR displayName,
                            IMoniker** ppMoniker);
