#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "probe_process.h"
#include "test_folder.h"
#include "win32/windows.h"

using win32_test::RunProbe;

namespace {

// The test program's own resources, found through GetModuleHandle(NULL).
const unsigned char kBytes[] = {1, 2, 3, 4};
struct Layout {
  int width;
  int height;
};
const Layout kLayout = {320, 240};
const ResourceEntry kResources[] = {
    {RT_RCDATA, MAKEINTRESOURCE(7), kBytes, sizeof kBytes},
    {"LAYOUT", "Main", &kLayout, sizeof kLayout},
};
const StringEntry kStrings[] = {
    {1, "first"},
    {17, "block two"},
    {20, "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x8E\xAC"},  // "Grüße 🎬"
    {21, ""},
    {1, "shadowed"},
};
const ModuleResources kRegistered(kResources, kStrings);

int Add(int a, int b) { return a * 100 + b; }

using AddFn = int (*)(int, int);
using HandleFn = HMODULE (*)();

// An export as the function type it has.
template <class F>
F ProcAs(FARPROC proc) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(proc));
}

TEST(Modules, LoadsFromTheProgramFolderByNameWithOrWithoutExtension) {
  HMODULE a = LoadLibraryA("testmod.dll");
  ASSERT_NE(a, nullptr) << GetLastError();
  EXPECT_GE(reinterpret_cast<uintptr_t>(a), 0x10000u);
  HMODULE b = LoadLibraryA("TESTMOD");
  EXPECT_EQ(a, b) << "one module, one handle";
  EXPECT_EQ(GetModuleHandleA("TestMod.DLL"), a);

  auto add = ProcAs<AddFn>(GetProcAddress(a, "TestmodAdd"));
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add(2, 3), 5);
  EXPECT_EQ(GetProcAddress(a, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  auto own = ProcAs<HandleFn>(GetProcAddress(a, "TestmodOwnHandle"));
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own(), a) << "a module finds its own handle from an address inside it";

  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(a, path, sizeof path);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(path[0], '\\');
  EXPECT_EQ(std::string(path).substr(n - 12), "\\testmod.dll");
  EXPECT_EQ(std::strchr(path, '/'), nullptr);

  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_EQ(ProcAs<AddFn>(GetProcAddress(a, "TestmodAdd")), add) << "still one reference";
  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_FALSE(FreeLibrary(a)) << "the handle is stale once the last reference is gone";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GetProcAddress(a, "TestmodAdd"), nullptr);
  EXPECT_EQ(GetModuleHandleA("testmod.dll"), nullptr);

  HMODULE c = LoadLibraryA((PlatformPathFromPosix(WIN32_BIN_DIR) + "\\TestMod.dll").c_str());
  ASSERT_NE(c, nullptr) << "by full path, matched without case";
  EXPECT_NE(c, a) << "handles are never reused";
  EXPECT_TRUE(FreeLibrary(c));
}

TEST(Modules, ReportsMissingAndBrokenModules) {
  EXPECT_EQ(LoadLibraryA("nosuchmodule.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  std::string fake = win32_test::MakeTestFolder() + "/fake.dll";
  win32_test::WriteText(fake, "not a shared object");
  EXPECT_EQ(LoadLibraryA(fake.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
  EXPECT_EQ(LoadLibraryExA("testmod.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Modules, ExecutableIsTheNullModule) {
  HMODULE exe = GetModuleHandleA(nullptr);
  ASSERT_NE(exe, nullptr);
  HMODULE fromAddress = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 reinterpret_cast<LPCSTR>(&Add), &fromAddress));
  EXPECT_EQ(fromAddress, exe);

  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  std::string expected = PlatformPathFromPosix(self);
  char path[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof path), expected.size());
  EXPECT_EQ(path, expected);

  char small[8];
  EXPECT_EQ(GetModuleFileNameA(exe, small, sizeof small), 8u) << "cut paths report the buffer size";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(small), expected.substr(0, 7));
}

TEST(Modules, BuiltinModulesServeRegisteredExports) {
  const BuiltinExport exports[] = {{"TransparentBlt", &Add}};
  RegisterBuiltinModule("msimg32.dll", exports, 1);
  HMODULE msimg = LoadLibraryA("MSIMG32");
  ASSERT_NE(msimg, nullptr);
  EXPECT_EQ(GetModuleHandleA("msimg32.DLL"), msimg);
  auto blt = ProcAs<AddFn>(GetProcAddress(msimg, "TransparentBlt"));
  ASSERT_NE(blt, nullptr);
  EXPECT_EQ(blt(1, 2), 102);
  EXPECT_EQ(GetProcAddress(msimg, "transparentblt"), nullptr) << "export names keep their case";
  EXPECT_TRUE(FreeLibrary(msimg));
  EXPECT_EQ(ProcAs<AddFn>(GetProcAddress(msimg, "TransparentBlt")), blt) << "built-ins stay";

  HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
  ASSERT_NE(uxtheme, nullptr) << "platform modules exist before anything is registered";
  EXPECT_NE(uxtheme, msimg);
  EXPECT_EQ(GetProcAddress(uxtheme, "IsThemeActive"), nullptr);

  RegisterBuiltinModule("corvtest", exports, 1);
  HMODULE added = LoadLibraryA("CorvTest.dll");
  ASSERT_NE(added, nullptr);
  EXPECT_NE(GetProcAddress(added, "TransparentBlt"), nullptr);
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(added, path, sizeof path), 0u);
  EXPECT_NE(std::strstr(path, "\\corvtest.dll"), nullptr) << path;
}

TEST(Modules, AbsentModulesCannotBeLoaded) {
  const std::vector<std::string> env = {"CORVANE_ABSENT_MODULES=TestMod; MSIMG32.DLL"};
  std::string notFound = "error " + std::to_string(ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(RunProbe({"load", "testmod.dll"}, env), notFound);
  EXPECT_EQ(RunProbe({"load", PlatformPathFromPosix(WIN32_BIN_DIR) + "\\testmod.dll"}, env), notFound);
  EXPECT_EQ(RunProbe({"load", "msimg32"}, env), notFound);
  EXPECT_EQ(RunProbe({"load", "gdi32.dll"}, env), "ok");
  EXPECT_EQ(RunProbe({"load", "testmod.dll"}), "ok");
}

TEST(Resources, FindsTheProgramsOwnTables) {
  HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCE(7), RT_RCDATA);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(FindResourceA(nullptr, "#7", RT_RCDATA), info) << "\"#7\" is id 7, and handles are stable";
  EXPECT_EQ(SizeofResource(nullptr, info), 4u);
  const void* data = LockResource(LoadResource(nullptr, info));
  EXPECT_EQ(data, kBytes) << "used in place";

  HRSRC layout = FindResourceA(GetModuleHandleA(nullptr), "main", "layout");
  ASSERT_NE(layout, nullptr) << "names match without case";
  EXPECT_EQ(static_cast<const Layout*>(LockResource(LoadResource(nullptr, layout)))->width, 320);

  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCE(8), RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCE(7), RT_DIALOG), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_EQ(FindResourceA(LoadLibraryA("gdi32.dll"), MAKEINTRESOURCE(7), RT_RCDATA), nullptr);
  EXPECT_EQ(LockResource(reinterpret_cast<HGLOBAL>(0x12345)), nullptr);
}

TEST(Resources, LoadStringCopiesCutsAndPoints) {
  char narrow[32];
  EXPECT_EQ(LoadStringA(nullptr, 1, narrow, sizeof narrow), 5);
  EXPECT_STREQ(narrow, "first") << "the first text of an id wins";
  EXPECT_EQ(LoadStringA(nullptr, 20, narrow, 10), 8) << "cut before a character that does not fit";
  EXPECT_STREQ(narrow, "Gr\xC3\xBC\xC3\x9F" "e ");
  EXPECT_EQ(LoadStringA(nullptr, 99, narrow, sizeof narrow), 0);
  EXPECT_STREQ(narrow, "");
  EXPECT_EQ(LoadStringA(nullptr, 21, narrow, sizeof narrow), 0) << "empty strings count as missing";

  WCHAR wide[32];
  EXPECT_EQ(LoadStringW(nullptr, 20, wide, 32), 8);
  EXPECT_EQ(std::u16string(wide), u"Grüße 🎬");
  EXPECT_EQ(LoadStringW(nullptr, 20, wide, 8), 6) << "a surrogate pair is not split";
  EXPECT_EQ(std::u16string(wide), u"Grüße ");

  const WCHAR* inPlace = nullptr;
  EXPECT_EQ(LoadStringW(nullptr, 17, reinterpret_cast<LPWSTR>(&inPlace), 0), 9);
  EXPECT_EQ(std::u16string(inPlace, 9), u"block two");

  // The same string through its RT_STRING block: id 17 is slot 1 of block 2.
  HRSRC block = FindResourceA(nullptr, MAKEINTRESOURCE(2), RT_STRING);
  ASSERT_NE(block, nullptr);
  const WCHAR* slots = static_cast<const WCHAR*>(LockResource(LoadResource(nullptr, block)));
  EXPECT_EQ(slots[0], 0) << "slot 0 (id 16) is empty";
  EXPECT_EQ(slots[1], 9);
  EXPECT_EQ(slots + 2, inPlace);
}

TEST(Resources, ModulesHaveTheirOwnTables) {
  HMODULE mod = LoadLibraryA("testmod.dll");
  ASSERT_NE(mod, nullptr);
  char text[32];
  EXPECT_EQ(LoadStringA(mod, 112, text, sizeof text), 11);
  EXPECT_STREQ(text, "Open failed");
  EXPECT_EQ(LoadStringA(nullptr, 112, text, sizeof text), 0) << "not the program's string";
  HRSRC skin = FindResourceA(mod, "Default", "Skin");
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(mod, skin))), SizeofResource(mod, skin)),
            "[Main]\r\nScreen=back.bmp\r\n");
  HRSRC blob = FindResourceA(mod, MAKEINTRESOURCE(7), RT_RCDATA);
  ASSERT_NE(blob, nullptr);
  EXPECT_NE(blob, FindResourceA(nullptr, MAKEINTRESOURCE(7), RT_RCDATA));
  EXPECT_EQ(SizeofResource(mod, blob), 6u);

  ASSERT_TRUE(FreeLibrary(mod));
  EXPECT_EQ(LockResource(LoadResource(nullptr, blob)), nullptr) << "unloading withdraws the module's resources";
  EXPECT_EQ(LoadStringA(mod, 112, text, sizeof text), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
