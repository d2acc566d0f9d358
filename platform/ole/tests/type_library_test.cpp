// A type library described in code: its dispinterfaces and coclasses found by identifier, a
// coclass leading to the interfaces it implements, and each type leading back to its library.
#include <gtest/gtest.h>

#include "fakes.h"
#include "ole/comptr.h"
#include "ole/type_library.h"

namespace {

DEFINE_GUID(LIBID_Shapes, 0x9E1D2C3B, 0x4A5F, 0x4B6E, 0x8D, 0x7C, 0x6B, 0x5A, 0x49, 0x38, 0x27, 0x16);
DEFINE_GUID(IID_IShape, 0x2A3B4C5D, 0x6E7F, 0x4091, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7, 0x08, 0x19);
DEFINE_GUID(IID_IShapes, 0x3B4C5D6E, 0x7F80, 0x41A2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7, 0x08, 0x19, 0x2A);
DEFINE_GUID(CLSID_Shape, 0x4C5D6E7F, 0x8091, 0x42B3, 0xC4, 0xD5, 0xE6, 0xF7, 0x08, 0x19, 0x2A, 0x3B);

ComPtr<ITypeLib> MakeShapes() {
  TypeLibraryDescription d;
  d.libid = LIBID_Shapes;
  d.name = "ShapesLib";
  d.majorVersion = 2;
  d.minorVersion = 1;
  d.lcid = 1033;
  DispatchTable shape(IID_IShape, "IShape");
  shape.Property(1, "Name", VT_BSTR, [](DispatchCall&) { return S_OK; });
  DispatchTable shapes(IID_IShapes, "IShapes");
  shapes.Property(1, "Count", VT_I2, [](DispatchCall&) { return S_OK; })
      .Method(2, "FindShape", VT_I2, {VT_BSTR}, [](DispatchCall&) { return S_OK; });
  d.dispinterfaces = {shape, shapes};
  d.coclasses = {{CLSID_Shape, "Shape", {IID_IShape}, IID_IShapes}};
  ComPtr<ITypeLib> library;
  EXPECT_EQ(CreateTypeLibrary(std::move(d), library.put()), S_OK);
  return library;
}

std::string Name(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(member, &name, nullptr, nullptr, nullptr))) return "?";
  std::string text(name, name + SysStringLen(name));
  SysFreeString(name);
  return text;
}

TEST(TypeLibraryTest, DescribesItselfAndFindsEachTypeByItsIdentifier) {
  ComPtr<ITypeLib> library = MakeShapes();
  ASSERT_TRUE(library);
  EXPECT_EQ(library->GetTypeInfoCount(), 3u);
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, LIBID_Shapes);
  EXPECT_EQ(attr->wMajorVerNum, 2);
  EXPECT_EQ(attr->wMinorVerNum, 1);
  EXPECT_EQ(attr->lcid, 1033u);
  library->ReleaseTLibAttr(attr);
  BSTR name = nullptr;
  ASSERT_EQ(library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(std::u16string(name, SysStringLen(name)), Wide("ShapesLib"));
  SysFreeString(name);
  EXPECT_EQ(library->GetDocumentation(3, &name, nullptr, nullptr, nullptr), TYPE_E_ELEMENTNOTFOUND);

  ComPtr<ITypeInfo> shapes;
  ASSERT_EQ(library->GetTypeInfoOfGuid(IID_IShapes, shapes.put()), S_OK);
  TYPEATTR* type = nullptr;
  ASSERT_EQ(shapes->GetTypeAttr(&type), S_OK);
  EXPECT_EQ(type->guid, IID_IShapes);
  EXPECT_EQ(type->typekind, TKIND_DISPATCH);
  EXPECT_EQ(type->cFuncs, 2);
  shapes->ReleaseTypeAttr(type);
  EXPECT_EQ(Name(shapes.get()), "IShapes");
  EXPECT_EQ(Name(shapes.get(), 2), "FindShape");

  TYPEKIND kind = TKIND_MAX;
  ASSERT_EQ(library->GetTypeInfoType(2, &kind), S_OK);
  EXPECT_EQ(kind, TKIND_COCLASS);
  ComPtr<ITypeInfo> none;
  EXPECT_EQ(library->GetTypeInfoOfGuid(IID_IDispatch, none.put()), TYPE_E_ELEMENTNOTFOUND);
  EXPECT_FALSE(none);
}

TEST(TypeLibraryTest, ACoclassLeadsToItsDefaultInterfaceAndItsEvents) {
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(MakeShapes()->GetTypeInfoOfGuid(CLSID_Shape, coclass.put()), S_OK);
  // The library is held by its type information alone from here.
  TYPEATTR* type = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&type), S_OK);
  EXPECT_EQ(type->typekind, TKIND_COCLASS);
  EXPECT_EQ(type->cImplTypes, 2);
  EXPECT_EQ(type->cFuncs, 0);
  coclass->ReleaseTypeAttr(type);

  INT flags = 0;
  ASSERT_EQ(coclass->GetImplTypeFlags(0, &flags), S_OK);
  EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
  ASSERT_EQ(coclass->GetImplTypeFlags(1, &flags), S_OK);
  EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
  HREFTYPE ref = 0;
  ASSERT_EQ(coclass->GetRefTypeOfImplType(1, &ref), S_OK);
  ComPtr<ITypeInfo> events;
  ASSERT_EQ(coclass->GetRefTypeInfo(ref, events.put()), S_OK);
  EXPECT_EQ(Name(events.get()), "IShapes");
  EXPECT_EQ(coclass->GetRefTypeOfImplType(2, &ref), TYPE_E_ELEMENTNOTFOUND);
  ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &ref), S_OK);
  ComPtr<ITypeInfo> shape;
  ASSERT_EQ(coclass->GetRefTypeInfo(ref, shape.put()), S_OK);
  EXPECT_EQ(Name(shape.get()), "IShape");
  EXPECT_EQ(Name(shape.get(), 1), "Name");
}

TEST(TypeLibraryTest, EachTypeKnowsItsLibraryAndPlace) {
  ComPtr<ITypeLib> library = MakeShapes();
  ComPtr<ITypeInfo> shapes;
  ASSERT_EQ(library->GetTypeInfo(1, shapes.put()), S_OK);
  ComPtr<ITypeLib> containing;
  UINT index = 99;
  ASSERT_EQ(shapes->GetContainingTypeLib(containing.put(), &index), S_OK);
  EXPECT_EQ(containing.get(), library.get());
  EXPECT_EQ(index, 1u);

  // A member name leads to its interface.
  std::u16string findShape = Wide("findshape");
  ComPtr<ITypeInfo> found;
  MEMBERID member = MEMBERID_NIL;
  USHORT count = 1;
  ASSERT_EQ(library->FindName(findShape.data(), 0, found.put(), &member, &count), S_OK);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(member, 2);
  EXPECT_EQ(Name(found.get()), "IShapes");
  BOOL isName = FALSE;
  std::u16string other = Wide("Circle");
  ASSERT_EQ(library->IsName(other.data(), 0, &isName), S_OK);
  EXPECT_FALSE(isName);
  std::u16string shape = Wide("shape");
  ASSERT_EQ(library->IsName(shape.data(), 0, &isName), S_OK);
  EXPECT_TRUE(isName);

  // Type information made on its own belongs to no library.
  ComPtr<ITypeInfo> alone;
  ASSERT_EQ(DispatchTable(IID_IShape, "IShape").GetTypeInfo(0, alone.put()), S_OK);
  EXPECT_EQ(alone->GetContainingTypeLib(containing.put(), &index), E_NOTIMPL);
}

}  // namespace
