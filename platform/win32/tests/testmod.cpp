// A module loaded by the tests with LoadLibrary: exports, its own resources, and a way to ask for
// its own handle the way a module does.
#include "win32/windows.h"

#define TESTMOD_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const unsigned char kBlob[] = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01};
const char kSkinText[] = "[Main]\r\nScreen=back.bmp\r\n";

const ResourceEntry kResources[] = {
    {RT_RCDATA, MAKEINTRESOURCE(7), kBlob, sizeof kBlob},
    {"SKIN", "DEFAULT", kSkinText, sizeof kSkinText - 1},
};
const StringEntry kStrings[] = {
    {112, "Open failed"},
    {113, "Extract failed"},
};
const ModuleResources kRegistered(kResources, kStrings);

}  // namespace

TESTMOD_EXPORT int TestmodAdd(int a, int b) { return a + b; }

TESTMOD_EXPORT HMODULE TestmodOwnHandle() {
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&TestmodAdd), &self);
  return self;
}
