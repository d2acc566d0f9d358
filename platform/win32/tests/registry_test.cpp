#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "probe_process.h"
#include "registry_store.h"
#include "test_folder.h"
#include "win32/platform_config.h"
#include "win32/windows.h"

using win32_test::ReadText;
using win32_test::RunProbe;
using win32_test::WriteText;

namespace {

// Each test works under a key of its own, so that tests sharing a process do not meet.
std::string TestKey() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string("Software\\CorvaneTests\\") + info->name();
}

LONG SetString(HKEY key, const char* name, const std::string& text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1));
}

std::string GetString(HKEY key, const char* name) {
  char buffer[256] = {};
  DWORD size = sizeof buffer;
  DWORD type = 0;
  LONG error = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (error) return "error " + std::to_string(error);
  return buffer;
}

struct Key {
  HKEY h = nullptr;
  ~Key() {
    if (h) RegCloseKey(h);
  }
};

TEST(Registry, KeysAndValuesMatchWithoutCaseAndKeepTheirCase) {
  Key key;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (TestKey() + "\\Themes\\Current").c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key.h, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  EXPECT_GE(reinterpret_cast<uintptr_t>(key.h), 0x10000u);
  ASSERT_EQ(SetString(key.h, nullptr, "C:\\Themes\\Windows Classic.theme"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key.h, "Name", "first"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key.h, "NAME", "second"), ERROR_SUCCESS) << "same value, other case";

  Key again;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (TestKey() + "\\THEMES\\current").c_str(), 0, KEY_READ, &again.h),
            ERROR_SUCCESS);
  EXPECT_EQ(GetString(again.h, ""), "C:\\Themes\\Windows Classic.theme") << "default value";
  EXPECT_EQ(GetString(again.h, "name"), "second");
  char name[32];
  DWORD chars = sizeof name;
  ASSERT_EQ(RegEnumValueA(again.h, 1, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Name") << "the first spelling stays";
  chars = sizeof name;
  EXPECT_EQ(RegEnumValueA(again.h, 2, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

  Key parent;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (TestKey() + "\\themes").c_str(), 0, KEY_READ, &parent.h),
            ERROR_SUCCESS);
  chars = sizeof name;
  ASSERT_EQ(RegEnumKeyExA(parent.h, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Current");
  EXPECT_EQ(chars, 7u);
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (TestKey() + "\\themes\\CURRENT").c_str(), 0, nullptr, 0,
                            KEY_READ, nullptr, &again.h, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  RegCloseKey(again.h);
  again.h = nullptr;
}

TEST(Registry, QueriesReportSizesTypesAndMissingValues) {
  Key key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, TestKey().c_str(), &key.h), ERROR_SUCCESS);
  DWORD colour = 0x00FF8040;
  ASSERT_EQ(RegSetValueExA(key.h, "CUSTOM_COLOR_0", 0, REG_DWORD, reinterpret_cast<BYTE*>(&colour), 4),
            ERROR_SUCCESS);
  const BYTE blob[] = {0, 1, 2, 0xFF};
  ASSERT_EQ(RegSetValueExA(key.h, "Blob", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key.h, "Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3),
            ERROR_SUCCESS);

  DWORD type = 0, value = 0, size = sizeof value;
  ASSERT_EQ(RegQueryValueExA(key.h, "custom_color_0", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, colour);
  BYTE small[2];
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key.h, "Blob", nullptr, &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  size = 0;
  EXPECT_EQ(RegQueryValueExA(key.h, "Unterminated", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 4u) << "strings are kept with their NUL";
  EXPECT_EQ(RegQueryValueExA(key.h, "CUSTOM_COLOR_1", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);

  DWORD subKeys = 9, values = 0, maxName = 0, maxData = 0;
  ASSERT_EQ(RegQueryInfoKeyA(key.h, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, &maxName,
                             &maxData, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 0u);
  EXPECT_EQ(values, 3u);
  EXPECT_EQ(maxName, 14u);
  EXPECT_EQ(maxData, 4u);

  char text[8];
  LONG textSize = sizeof text;
  EXPECT_EQ(RegQueryValueA(key.h, nullptr, text, &textSize), ERROR_SUCCESS) << "no default value reads as \"\"";
  EXPECT_STREQ(text, "");
  ASSERT_EQ(RegSetValueA(key.h, "Media Type", REG_SZ, "Stream", 0), ERROR_SUCCESS);
  textSize = sizeof text;
  EXPECT_EQ(RegQueryValueA(key.h, "media type", text, &textSize), ERROR_SUCCESS);
  EXPECT_STREQ(text, "Stream");
  EXPECT_EQ(textSize, 7);
}

TEST(Registry, DeletingAndAccessRules) {
  std::string path = TestKey() + "\\Media Type\\Extensions\\.avi";
  Key deep, top, readOnly;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &deep.h), ERROR_SUCCESS);
  ASSERT_EQ(SetString(deep.h, "Source Filter", "{guid}"), ERROR_SUCCESS);
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, (TestKey() + "\\Media Type").c_str(), 0, KEY_READ, &readOnly.h),
            ERROR_SUCCESS);
  EXPECT_EQ(SetString(readOnly.h, "x", "y"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(readOnly.h, "Extensions"), ERROR_ACCESS_DENIED) << "it has a sub-key";

  EXPECT_EQ(RegDeleteValueA(deep.h, "SOURCE FILTER"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(deep.h, "Source Filter"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(readOnly.h, "Extensions\\.AVI"), ERROR_SUCCESS);
  EXPECT_EQ(SetString(deep.h, "x", "y"), ERROR_KEY_DELETED) << "a handle to a deleted key";
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &top.h), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(top.h, nullptr);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "\\leading", 0, KEY_READ, &top.h), ERROR_BAD_PATHNAME);

  HKEY stale = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, nullptr, 0, KEY_READ, &stale), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(stale), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(stale), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetString(stale, "x", "y"), ERROR_INVALID_HANDLE);
}

TEST(Registry, ChangesReachOtherProcessesBothWays) {
  std::string key = TestKey();
  Key mine;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &mine.h), ERROR_SUCCESS);
  ASSERT_EQ(SetString(mine.h, "FromParent", "hello"), ERROR_SUCCESS);
  EXPECT_EQ(RunProbe({"regget", key, "fromparent"}), "hello");

  ASSERT_EQ(RunProbe({"regset", key, "FromChild", "world"}), "ok");
  EXPECT_EQ(GetString(mine.h, "FromChild"), "world") << "read again after another process wrote";
  ASSERT_EQ(RunProbe({"regset", key, "FromParent", "replaced"}), "ok");
  EXPECT_EQ(GetString(mine.h, "FromParent"), "replaced");
  EXPECT_EQ(RunProbe({"regget", key, "FromChild"}), "world");
}

TEST(Registry, ConcurrentWritersLoseNothing) {
  std::string key = TestKey();
  int outA = -1, outB = -1;
  pid_t a = win32_test::StartProbe({"regfill", key, "a", "25"}, {}, &outA);
  pid_t b = win32_test::StartProbe({"regfill", key, "b", "25"}, {}, &outB);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, key] {
      Key k;
      ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &k.h), ERROR_SUCCESS);
      for (int i = 0; i < 10; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "t%d_%d", t, i);
        ASSERT_EQ(SetString(k.h, name, name), ERROR_SUCCESS);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(win32_test::FinishProbe(a, outA), "ok");
  EXPECT_EQ(win32_test::FinishProbe(b, outB), "ok");
  Key k;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k.h), ERROR_SUCCESS);
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKeyA(k.h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, 90u);
  EXPECT_EQ(GetString(k.h, "a24"), "a24");
  EXPECT_EQ(GetString(k.h, "t3_9"), "t3_9");
}

TEST(Registry, CorruptFileIsReportedAndLeftAlone) {
  const std::string& file = platform_config::Config().registryFile;
  Key key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, TestKey().c_str(), &key.h), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key.h, "Kept", "yes"), ERROR_SUCCESS);
  const std::string good = ReadText(file);

  for (const std::string& damage : {std::string("garbage\n"), good.substr(0, good.size() - 4),
                                    good.substr(0, good.find('\n') + 1) + "\"orphan\"=sz:\"x\"\nEND\n"}) {
    WriteText(file, damage);
    Key other;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TestKey().c_str(), 0, KEY_READ, &other.h), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(SetString(key.h, "New", "no"), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\X", &other.h), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RunProbe({"regset", TestKey(), "New", "no"}), "error " + std::to_string(ERROR_REGISTRY_CORRUPT));
    EXPECT_EQ(ReadText(file), damage) << "never overwritten";
  }
  WriteText(file, good);
  EXPECT_EQ(GetString(key.h, "Kept"), "yes") << "usable again once repaired";
}

TEST(RegistryFile, RoundTripsAwkwardNamesAndData) {
  using namespace win32;
  RegistryTree tree;
  RegistryNode& node = *(tree.Root(RegistryRoot::LocalMachine).children["We]ird %key\nname"] =
                             std::make_unique<RegistryNode>());
  std::string allBytes;
  for (int i = 0; i < 256; ++i) allBytes += static_cast<char>(i);
  node.values.push_back({"", REG_SZ, std::string("text \"quoted\" \\ back\0", 22)});
  node.values.push_back({"with \"quotes\" and \\", REG_BINARY, allBytes});
  node.values.push_back({"dword", REG_DWORD, std::string("\x10\x00\x00\x80", 4)});
  node.values.push_back({"short dword", REG_DWORD, std::string("\x01", 1)});
  node.values.push_back({"none", REG_NONE, ""});
  node.values.push_back({"multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)});
  std::string text = SerializeRegistry(tree);

  RegistryTree back;
  ASSERT_TRUE(ParseRegistry(text, back)) << text;
  EXPECT_EQ(SerializeRegistry(back), text);
  RegistryNode& read = *back.Root(RegistryRoot::LocalMachine).children.at("WE]IRD %KEY\nNAME");
  ASSERT_EQ(read.values.size(), 6u);
  EXPECT_EQ(read.values[1].data, allBytes);
  EXPECT_EQ(read.values[2].data, std::string("\x10\x00\x00\x80", 4));
  EXPECT_EQ(read.values[3].type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(read.values[3].data, "\x01");
}

TEST(RegistryFile, KeysNestedPastThePlatformsLimitAreRefused) {
  using namespace win32;
  auto nested = [](size_t depth, size_t nameLength) {
    std::string path = "HKEY_CURRENT_USER";
    for (size_t i = 0; i < depth; ++i) path.append("\\").append(nameLength, 'k');
    return std::string("CORVANE-REGISTRY 1\n[").append(path).append("]\nEND\n");
  };
  RegistryTree tree;
  EXPECT_TRUE(ParseRegistry(nested(kMaxKeyDepth, 1), tree));
  EXPECT_TRUE(ParseRegistry(nested(1, kMaxKeyNameLength), tree));
  EXPECT_FALSE(ParseRegistry(nested(kMaxKeyDepth + 1, 1), tree));
  EXPECT_FALSE(ParseRegistry(nested(1, kMaxKeyNameLength + 1), tree));
  EXPECT_FALSE(ParseRegistry(nested(200000, 1), tree)) << "a damaged file never exhausts the stack";

  std::string deep = TestKey();
  for (size_t i = 3; i < kMaxKeyDepth; ++i) deep += "\\k";  // TestKey() is three levels
  Key key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, deep.c_str(), &key.h), ERROR_SUCCESS);
  Key deeper;
  EXPECT_EQ(RegCreateKeyA(key.h, "one too many", &deeper.h), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (deep + "\\one too many").c_str(), &deeper.h),
            ERROR_INVALID_PARAMETER);
}

}  // namespace
