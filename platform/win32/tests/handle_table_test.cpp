#include "handle_table.h"

#include <gtest/gtest.h>

using namespace win32;

namespace {
struct Thing : HandleObject {
  int value = 7;
};
}  // namespace

TEST(HandleTable, ValuesAreDistinctPerKindAndNotReusedSoon) {
  auto thing = std::make_shared<Thing>();
  uintptr_t a = AllocateHandle(HandleKind::File, thing);
  uintptr_t b = AllocateHandle(HandleKind::Window, thing);
  EXPECT_GE(a, 0x10000u);
  EXPECT_LT(b, 0x80000000u);
  EXPECT_NE(a, b);
  EXPECT_EQ(LookupHandle<Thing>(ToHandle<void*>(a), HandleKind::File)->value, 7);
  EXPECT_EQ(FindHandle(a, HandleKind::Window), nullptr) << "a file handle is not a window";
  EXPECT_EQ(KindOfHandle(b), static_cast<uint8_t>(HandleKind::Window));
  EXPECT_TRUE(ReleaseHandle(a, HandleKind::File));
  EXPECT_FALSE(ReleaseHandle(a, HandleKind::File)) << "stale handle";
  EXPECT_EQ(FindHandle(a, HandleKind::File), nullptr);
  uintptr_t c = AllocateHandle(HandleKind::File, thing);
  EXPECT_NE(c, a);
  EXPECT_TRUE(ReleaseHandle(b, HandleKind::Window));
  EXPECT_TRUE(ReleaseHandle(c, HandleKind::File));
  EXPECT_EQ(KindOfHandle(0), 0);
}

TEST(HandleTable, SerialsGoRoundSkippingLiveHandles) {
  auto thing = std::make_shared<Thing>();
  SetNextHandleSerial(HandleKind::Accelerator, 0x10000);
  const uintptr_t first = AllocateHandle(HandleKind::Accelerator, thing);
  const uintptr_t second = AllocateHandle(HandleKind::Accelerator, thing);
  EXPECT_TRUE(ReleaseHandle(first, HandleKind::Accelerator));
  SetNextHandleSerial(HandleKind::Accelerator, 0xFFFFFF);
  const uintptr_t last = AllocateHandle(HandleKind::Accelerator, thing);
  EXPECT_EQ(last & 0xFFFFFF, 0xFFFFFFu);
  // Past the last serial the search starts again at the first, which is free again; the
  // second is still live and is skipped.
  EXPECT_EQ(AllocateHandle(HandleKind::Accelerator, thing), first);
  const uintptr_t next = AllocateHandle(HandleKind::Accelerator, thing);
  EXPECT_NE(next, second);
  EXPECT_EQ(next & 0xFFFFFF, (second & 0xFFFFFF) + 1);
  EXPECT_EQ(FindHandle(second, HandleKind::Accelerator), thing);
  for (uintptr_t h : {first, second, last, next}) EXPECT_TRUE(ReleaseHandle(h, HandleKind::Accelerator));
}
