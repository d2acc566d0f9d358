#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "des/qedit.h"

namespace {

struct Listed {
  std::u16string name;
  GUID guid = GUID_NULL;
  GUID clsid = GUID_NULL;
};

std::u16string ReadString(IPropertyBag* bag, const char16_t* name) {
  VARIANT v;
  VariantInit(&v);
  if (FAILED(bag->Read(name, &v, nullptr)) || v.vt != VT_BSTR) return u"";
  std::u16string text = v.bstrVal;
  VariantClear(&v);
  return text;
}

std::vector<Listed> ListTransitions() {
  std::vector<Listed> listed;
  CoInitialize(nullptr);
  RegisterDesClasses();
  ICreateDevEnum* devices = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                             reinterpret_cast<void**>(&devices)),
            S_OK);
  if (!devices) return listed;
  IEnumMoniker* monikers = nullptr;
  EXPECT_EQ(devices->CreateClassEnumerator(CLSID_VideoEffects2Category, &monikers, 0), S_OK);
  devices->Release();
  if (!monikers) return listed;
  IMoniker* m = nullptr;
  while (monikers->Next(1, &m, nullptr) == S_OK) {
    IPropertyBag* bag = nullptr;
    if (SUCCEEDED(m->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&bag)))) {
      Listed item;
      item.name = ReadString(bag, u"FriendlyName");
      EXPECT_EQ(CLSIDFromString(ReadString(bag, u"guid").c_str(), &item.guid), S_OK);
      EXPECT_EQ(CLSIDFromString(ReadString(bag, u"CLSID").c_str(), &item.clsid), S_OK);
      listed.push_back(item);
      bag->Release();
    }
    m->Release();
  }
  monikers->Release();
  return listed;
}

}  // namespace

TEST(TransitionsCategory, ListsTheInstalledTransitionsInTheirFixedOrder) {
  const auto listed = ListTransitions();
  ASSERT_EQ(listed.size(), 19u);
  EXPECT_EQ(listed.front().name, u"3D Transitions");
  EXPECT_EQ(listed.front().guid, CLSID_Transitions3D);
  EXPECT_EQ(listed.back().name, u"Zigzag");
  for (const Listed& item : listed) {
    EXPECT_FALSE(item.name.empty());
    EXPECT_EQ(item.guid, item.clsid);
  }
  // The transitions the editing presets name.
  auto find = [&](const std::u16string& name) {
    for (const Listed& item : listed)
      if (item.name == name) return item.guid;
    return GUID_NULL;
  };
  EXPECT_EQ(find(u"SMPTE Wipe"), CLSID_DxtJpeg);
  EXPECT_EQ(find(u"Gradient Wipe"), CLSID_DXTGradientWipe);
  EXPECT_EQ(find(u"Wheel"), CLSID_DXTWheel);
  // Listing again gives the same list.
  const auto again = ListTransitions();
  ASSERT_EQ(again.size(), listed.size());
  for (size_t i = 0; i < listed.size(); ++i) EXPECT_EQ(again[i].name, listed[i].name);
}
