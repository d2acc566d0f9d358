#include <gtest/gtest.h>

#include <algorithm>

#include "fakes.h"

namespace {

DEFINE_GUID(IID_ICalc, 0x1C08ABFD, 0x2FBF, 0x4F12, 0xB3, 0x32, 0x32, 0xCA, 0xAF, 0xC2, 0x2C, 0x21);

class Calc : public DispatchObject {
 public:
  Calc() : DispatchObject(IID_ICalc, "ICalc") {
    table_
        .Method(1, "Add", VT_I4, {VT_I4, VT_I2},
                [](DispatchCall& c) {
                  c.result->vt = VT_I4;
                  c.result->lVal = c.args[0].lVal + c.args[1].iVal;
                  return S_OK;
                })
        .Property(
            2, "Name", VT_BSTR,
            [this](DispatchCall& c) {
              c.result->vt = VT_BSTR;
              c.result->bstrVal = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
              return S_OK;
            },
            [this](DispatchCall& c) {
              name.assign(c.value.bstrVal, SysStringLen(c.value.bstrVal));
              return S_OK;
            })
        .Property(3, "Count", VT_I2,
                  [](DispatchCall& c) {
                    c.result->vt = VT_I4;  // converted to the declared VT_I2
                    c.result->lVal = 12;
                    return S_OK;
                  })
        .Method(4, "Reset", VT_EMPTY, {},
                [this](DispatchCall&) {
                  name.clear();
                  return S_OK;
                })
        .Method(5, "Kind", VT_I4, {VT_VARIANT},
                [](DispatchCall& c) {
                  c.result->vt = VT_I4;
                  c.result->lVal = c.args[0].vt;
                  return S_OK;
                })
        .Method(6, "Out", VT_EMPTY, {VT_BYREF | VT_I4},
                [](DispatchCall& c) {
                  *c.args[0].plVal = 99;
                  return S_OK;
                })
        .Property(DISPID_VALUE, "Value", VT_I4,
                  [](DispatchCall& c) {
                    c.result->vt = VT_I4;
                    c.result->lVal = 41;
                    return S_OK;
                  })
        .Method(7, "Fail", VT_EMPTY, {}, [](DispatchCall& c) {
          if (c.excepInfo) c.excepInfo->scode = E_ACCESSDENIED;
          return DISP_E_EXCEPTION;
        });
  }
  std::u16string name;
};

// Invokes with arguments given in declaration order (reversed into DISPPARAMS as the caller does).
HRESULT Call(IDispatch* d, DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result,
             UINT* argErr = nullptr, std::vector<DISPID> named = {}) {
  std::reverse(args.begin(), args.end());
  DISPPARAMS dp = {args.data(), named.data(), static_cast<UINT>(args.size()), static_cast<UINT>(named.size())};
  return d->Invoke(id, IID_NULL, 0, flags, &dp, result, nullptr, argErr);
}

VARIANT MakeI4(LONG v) { VARIANT x; VariantInit(&x); x.vt = VT_I4; x.lVal = v; return x; }
VARIANT MakeR8(double v) { VARIANT x; VariantInit(&x); x.vt = VT_R8; x.dblVal = v; return x; }
VARIANT MakeText(const Bstr& b) { VARIANT x; VariantInit(&x); x.vt = VT_BSTR; x.bstrVal = b.b; return x; }

class DispatchTest : public ::testing::Test {
 protected:
  ~DispatchTest() override { calc->Release(); }
  Calc* calc = new Calc;
};

TEST_F(DispatchTest, MethodArgumentsArriveReversedAndCoerced) {
  Bstr two("2");
  Var r;
  ASSERT_EQ(Call(calc, 1, DISPATCH_METHOD, {MakeText(two), MakeR8(3.5)}, &r), S_OK);
  EXPECT_EQ(r.vt, VT_I4);
  EXPECT_EQ(r.lVal, 6);  // "2" + round-half-even(3.5)
  // Readable as a property too, since it has a result; without a result it is not.
  Var g;
  EXPECT_EQ(Call(calc, 1, DISPATCH_PROPERTYGET, {MakeI4(1), MakeI4(1)}, &g), S_OK);
  EXPECT_EQ(Call(calc, 4, DISPATCH_PROPERTYGET, {}, nullptr), DISP_E_MEMBERNOTFOUND);
}

TEST_F(DispatchTest, ArgumentErrorsNameTheFailingArgument) {
  Bstr junk("x");
  Var r;
  UINT argErr = 77;
  // Declaration order (1, "x"): "x" is the second argument, index 0 in rgvarg.
  EXPECT_EQ(Call(calc, 1, DISPATCH_METHOD, {MakeI4(1), MakeText(junk)}, &r, &argErr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 0u);
  EXPECT_EQ(Call(calc, 1, DISPATCH_METHOD, {MakeText(junk), MakeI4(1)}, &r, &argErr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 1u);
  EXPECT_EQ(Call(calc, 1, DISPATCH_METHOD, {MakeI4(1), MakeI4(40000)}, &r, &argErr), DISP_E_OVERFLOW);
  EXPECT_EQ(argErr, 0u);
  EXPECT_EQ(r.vt, VT_EMPTY);
  EXPECT_EQ(Call(calc, 1, DISPATCH_METHOD, {MakeI4(1)}, &r), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(calc, 1, DISPATCH_METHOD, {MakeI4(1), MakeI4(2), MakeI4(3)}, &r), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(calc, 1, DISPATCH_METHOD, {MakeI4(1), MakeI4(2)}, &r, nullptr, {0}), DISP_E_NONAMEDARGS);
  EXPECT_EQ(Call(calc, 99, DISPATCH_METHOD, {}, &r), DISP_E_MEMBERNOTFOUND);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(calc->Invoke(4, IID_IDispatch, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
}

TEST_F(DispatchTest, PropertyPutNeedsTheNamedArgument) {
  Var r;
  EXPECT_EQ(Call(calc, 2, DISPATCH_PROPERTYPUT, {MakeI4(42)}, nullptr), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Call(calc, 2, DISPATCH_PROPERTYPUT, {MakeI4(42)}, nullptr, nullptr, {5}), DISP_E_PARAMNOTFOUND);
  ASSERT_EQ(Call(calc, 2, DISPATCH_PROPERTYPUT, {MakeI4(42)}, nullptr, nullptr, {DISPID_PROPERTYPUT}), S_OK);
  EXPECT_EQ(calc->name, u"42");  // coerced to the property's type
  ASSERT_EQ(Call(calc, 2, DISPATCH_PROPERTYGET, {}, &r), S_OK);
  EXPECT_EQ(Narrow(r.bstrVal), "42");
  // Read-only properties and methods cannot be put.
  EXPECT_EQ(Call(calc, 3, DISPATCH_PROPERTYPUT, {MakeI4(1)}, nullptr, nullptr, {DISPID_PROPERTYPUT}),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(calc, 4, DISPATCH_PROPERTYPUT, {MakeI4(1)}, nullptr, nullptr, {DISPID_PROPERTYPUT}),
            DISP_E_MEMBERNOTFOUND);
}

TEST_F(DispatchTest, ResultsAreConvertedToTheDeclaredType) {
  Var r;
  ASSERT_EQ(Call(calc, 3, DISPATCH_PROPERTYGET, {}, &r), S_OK);
  EXPECT_EQ(r.vt, VT_I2);
  EXPECT_EQ(r.iVal, 12);
  ASSERT_EQ(Call(calc, 4, DISPATCH_METHOD, {}, nullptr), S_OK);  // no result wanted
}

TEST_F(DispatchTest, VariantAndByRefParameters) {
  Bstr s("s");
  LONG target = 0;
  Var r;
  ASSERT_EQ(Call(calc, 5, DISPATCH_METHOD, {MakeText(s)}, &r), S_OK);
  EXPECT_EQ(r.lVal, VT_BSTR);  // passed as given
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = &target;
  ASSERT_EQ(Call(calc, 6, DISPATCH_METHOD, {ref}, nullptr), S_OK);
  EXPECT_EQ(target, 99);
  UINT argErr = 5;
  EXPECT_EQ(Call(calc, 6, DISPATCH_METHOD, {MakeI4(1)}, nullptr, &argErr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 0u);
}

TEST(DispatchTable, NotifyPropertiesKeepTheirVariable) {
  SHORT width = 320;
  BSTR title = SysAllocString(u"old");
  int notified = 0;
  DispatchTable table;
  table.NotifyProperty(1, "Width", VT_I2, &width, [&] { ++notified; })
      .NotifyProperty(2, "Title", VT_BSTR, &title)
      .NotifyProperty(3, "Object", VT_DISPATCH, nullptr);
  EXPECT_EQ(table.Find(3), nullptr);

  Var r;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ASSERT_EQ(table.Invoke(1, IID_NULL, DISPATCH_PROPERTYGET, &none, &r, nullptr, nullptr), S_OK);
  EXPECT_EQ(r.vt, VT_I2);
  EXPECT_EQ(r.iVal, 320);

  DISPID put = DISPID_PROPERTYPUT;
  Bstr text("640");
  VARIANT value = MakeText(text);
  DISPPARAMS dp = {&value, &put, 1, 1};
  ASSERT_EQ(table.Invoke(1, IID_NULL, DISPATCH_PROPERTYPUT, &dp, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(notified, 1);
  VARIANT tooBig = MakeI4(70000);
  dp.rgvarg = &tooBig;
  EXPECT_EQ(table.Invoke(1, IID_NULL, DISPATCH_PROPERTYPUT, &dp, nullptr, nullptr, nullptr), DISP_E_OVERFLOW);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(notified, 1);  // a refused value changes nothing

  VARIANT number = MakeI4(7);
  dp.rgvarg = &number;
  ASSERT_EQ(table.Invoke(2, IID_NULL, DISPATCH_PROPERTYPUT, &dp, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(Narrow(title), "7");  // the old string was freed (leak check)
  Var t;
  ASSERT_EQ(table.Invoke(2, IID_NULL, DISPATCH_PROPERTYGET, &none, &t, nullptr, nullptr), S_OK);
  EXPECT_NE(t.bstrVal, title);
  EXPECT_EQ(Narrow(t.bstrVal), "7");
  SysFreeString(title);
}

TEST_F(DispatchTest, HandlerExceptionsReachTheCaller) {
  EXCEPINFO info = {};
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(calc->Invoke(7, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, &info, nullptr), DISP_E_EXCEPTION);
  EXPECT_EQ(info.scode, E_ACCESSDENIED);
}

TEST_F(DispatchTest, NamesAreFoundWithoutCase) {
  std::u16string add = u"aDD", count = u"COUNT", nope = u"Nope", param = u"x";
  LPOLESTR one[] = {add.data()};
  DISPID ids[2] = {};
  ASSERT_EQ(calc->GetIDsOfNames(IID_NULL, one, 1, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 1);
  LPOLESTR unknown[] = {nope.data()};
  EXPECT_EQ(calc->GetIDsOfNames(IID_NULL, unknown, 1, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], DISPID_UNKNOWN);
  LPOLESTR withParam[] = {count.data(), param.data()};
  EXPECT_EQ(calc->GetIDsOfNames(IID_NULL, withParam, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 3);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
  EXPECT_EQ(calc->GetIDsOfNames(IID_ICalc, one, 1, 0, ids), DISP_E_UNKNOWNINTERFACE);
}

TEST_F(DispatchTest, ObjectsConvertThroughTheirValueProperty) {
  Var v, out;
  v.vt = VT_DISPATCH;
  v.pdispVal = calc;
  calc->AddRef();
  ASSERT_EQ(VariantChangeType(&out, &v, 0, VT_BSTR), S_OK);
  EXPECT_EQ(Narrow(out.bstrVal), "41");
  EXPECT_EQ(VariantChangeType(&out, &v, VARIANT_NOVALUEPROP, VT_I4), DISP_E_TYPEMISMATCH);

  Var unk, disp;
  unk.vt = VT_UNKNOWN;
  calc->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unk.punkVal));
  ASSERT_EQ(VariantChangeType(&disp, &unk, 0, VT_DISPATCH), S_OK);
  EXPECT_EQ(disp.pdispVal, static_cast<IDispatch*>(calc));
  CountedUnknown plain;
  Var other;
  other.vt = VT_UNKNOWN;
  other.punkVal = &plain;
  plain.AddRef();
  EXPECT_EQ(VariantChangeType(&disp, &other, 0, VT_DISPATCH), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(VariantChangeType(&disp, &other, 0, VT_I4), DISP_E_TYPEMISMATCH);
}

TEST_F(DispatchTest, TypeInfoDescribesTheTable) {
  UINT count = 0;
  ASSERT_EQ(calc->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* info = nullptr;
  EXPECT_EQ(calc->GetTypeInfo(1, 0, &info), DISP_E_BADINDEX);
  ASSERT_EQ(calc->GetTypeInfo(0, 0, &info), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, IID_ICalc);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attr->cFuncs, 9);  // Name has a get and a put
  const WORD functions = attr->cFuncs;
  info->ReleaseTypeAttr(attr);

  bool sawNamePut = false;
  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* f = nullptr;
    ASSERT_EQ(info->GetFuncDesc(i, &f), S_OK);
    if (f->memid == 2 && f->invkind == INVOKE_PROPERTYPUT) {
      sawNamePut = true;
      ASSERT_EQ(f->cParams, 1);
      EXPECT_EQ(f->lprgelemdescParam[0].tdesc.vt, VT_BSTR);
    }
    if (f->memid == 1) {
      EXPECT_EQ(f->invkind, INVOKE_FUNC);
      EXPECT_EQ(f->elemdescFunc.tdesc.vt, VT_I4);
      EXPECT_EQ(f->cParams, 2);
    }
    info->ReleaseFuncDesc(f);
  }
  EXPECT_TRUE(sawNamePut);
  FUNCDESC* f = nullptr;
  EXPECT_EQ(info->GetFuncDesc(functions, &f), TYPE_E_ELEMENTNOTFOUND);

  BSTR names[2] = {};
  UINT got = 0;
  ASSERT_EQ(info->GetNames(3, names, 2, &got), S_OK);
  ASSERT_EQ(got, 1u);
  EXPECT_EQ(Narrow(names[0]), "Count");
  SysFreeString(names[0]);
  EXPECT_EQ(info->GetNames(42, names, 2, &got), TYPE_E_ELEMENTNOTFOUND);
  BSTR typeName = nullptr;
  ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &typeName, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(Narrow(typeName), "ICalc");
  SysFreeString(typeName);
  std::u16string reset = u"reset";
  LPOLESTR n[] = {reset.data()};
  MEMBERID id = 0;
  ASSERT_EQ(info->GetIDsOfNames(n, 1, &id), S_OK);
  EXPECT_EQ(id, 4);
  info->Release();
}

}  // namespace
