#pragma once
// IDispatch from a member table: each member has an id, a name, a kind, a type and parameter
// types; Invoke checks and coerces the arguments and calls the member's handler.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "ole/oleauto.h"

// What a handler receives. Arguments are already converted to the declared types; a VT_VARIANT
// parameter arrives as given (read through VT_BYREF), a VT_BYREF parameter as the caller's
// reference.
struct DispatchCall {
  std::vector<VARIANT> args;  // in declaration order
  VARIANT value;              // property put: the new value, converted to the property's type
  VARIANT* result;            // method or property get: VT_EMPTY on entry; never NULL
  EXCEPINFO* excepInfo;       // the caller's, may be NULL; fill it when returning DISP_E_EXCEPTION
  WORD flags;                 // DISPATCH_* of the call
};
using DispatchHandler = std::function<HRESULT(DispatchCall& call)>;

enum class DispatchKind { Method, Property };

struct DispatchMember {
  DISPID id;
  std::string name;
  DispatchKind kind;
  VARTYPE type;                 // method: result type (VT_EMPTY: none); property: its type
  std::vector<VARTYPE> params;  // method parameters, or the index parameters of a property
  DispatchHandler get;          // method: the call; property: the getter
  DispatchHandler put;          // property: the setter; empty for read-only properties
};

class DispatchTable {
 public:
  // iid and name describe the dispinterface in the type information.
  explicit DispatchTable(const IID& iid = GUID_NULL, std::string name = {});

  DispatchTable& Method(DISPID id, std::string name, VARTYPE result, std::vector<VARTYPE> params,
                        DispatchHandler call);
  DispatchTable& Property(DISPID id, std::string name, VARTYPE type, DispatchHandler get,
                          DispatchHandler put = {}, std::vector<VARTYPE> params = {});
  // A property kept in the caller's variable, which must outlive the table: a get reads it, a put
  // stores the converted value and then calls notify (may be empty). The variable's C type follows
  // type: VT_I2 and VT_BOOL a SHORT, VT_I4 a LONG, VT_R8 a DOUBLE, VT_BSTR a BSTR that the
  // property frees and replaces, and so on for the other scalar types. Objects and VT_VARIANT are
  // not kept this way: such a type adds no member.
  DispatchTable& NotifyProperty(DISPID id, std::string name, VARTYPE type, void* variable,
                                std::function<void()> notify = {});

  const DispatchMember* Find(DISPID id) const;
  const std::vector<DispatchMember>& Members() const { return members_; }
  const IID& Iid() const { return iid_; }
  const std::string& Name() const { return name_; }

  // The IDispatch operations, for objects that forward to a table.
  // Names compare without case; only the member name (rgszNames[0]) is known, further names get
  // DISPID_UNKNOWN and DISP_E_UNKNOWNNAME.
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, DISPID* rgDispId) const;
  // Errors: DISP_E_MEMBERNOTFOUND (no such id, or a put on a method or read-only property),
  // DISP_E_PARAMNOTFOUND (a put without the DISPID_PROPERTYPUT named argument), DISP_E_NONAMEDARGS
  // (other named arguments), DISP_E_BADPARAMCOUNT, and the conversion error (DISP_E_TYPEMISMATCH,
  // DISP_E_OVERFLOW) with *puArgErr the index in rgvarg of the argument that failed.
  HRESULT Invoke(DISPID dispIdMember, REFIID riid, WORD wFlags, DISPPARAMS* pDispParams,
                 VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) const;
  // Type information describing the members as dispatch functions (a property with a setter is
  // two: get and put). It keeps its own copy of the descriptions.
  HRESULT GetTypeInfo(UINT iTInfo, ITypeInfo** ppTInfo) const;

 private:
  IID iid_;
  std::string name_;
  std::vector<DispatchMember> members_;
};

// A reference-counted object whose IDispatch is its table. Derived classes fill table_ in their
// constructor. Created with one reference; answers IUnknown, IDispatch and the table's IID.
class DispatchObject : public IDispatch {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override;
  STDMETHOD(GetTypeInfo)(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                           DISPID* rgDispId) override;
  STDMETHOD(Invoke)(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                    DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                    UINT* puArgErr) override;

 protected:
  explicit DispatchObject(const IID& iid = GUID_NULL, std::string name = {});
  virtual ~DispatchObject() = default;
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  DispatchTable table_;

 private:
  std::atomic<ULONG> refs_{1};
};
