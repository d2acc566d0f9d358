// The owning interface pointer: every reference it takes is given back exactly once.
#include "ole/comptr.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace ole_test {
namespace {

// A second interface on the counted object, for As.
const IID IID_ITestOther = {0x5a1c0f3e, 0x27b4, 0x4c61, {0x9a, 0x0e, 0x61, 0x3b, 0x28, 0x7d, 0x40, 0x11}};

TEST(ComPtrTest, CopiesAndMovesKeepTheCountBalanced) {
  CountedUnknown object;
  {
    ComPtr<IUnknown> first(&object);
    EXPECT_EQ(object.refs, 2u);
    ComPtr<IUnknown> copy = first;
    EXPECT_EQ(object.refs, 3u);
    ComPtr<IUnknown> moved = std::move(copy);
    EXPECT_EQ(object.refs, 3u);
    EXPECT_FALSE(copy);
    copy = moved;
    EXPECT_EQ(object.refs, 4u);
    copy = copy;  // self-assignment keeps the reference
    EXPECT_EQ(object.refs, 4u);
    copy = nullptr;
    EXPECT_EQ(object.refs, 3u);
  }
  EXPECT_EQ(object.refs, 1u);
}

TEST(ComPtrTest, AttachAndDetachHandOverOwnedReferences) {
  CountedUnknown object;
  object.AddRef();  // a reference the test owns and hands over
  {
    ComPtr<IUnknown> held = ComPtr<IUnknown>::Adopt(&object);
    EXPECT_EQ(object.refs, 2u);
    IUnknown* out = held.Detach();
    EXPECT_EQ(out, &object);
    EXPECT_FALSE(held);
    held.Attach(out);
    EXPECT_EQ(object.refs, 2u);
  }
  EXPECT_EQ(object.refs, 1u);
}

TEST(ComPtrTest, OutParametersReleaseWhatWasHeldFirst) {
  CountedUnknown a, b;
  ComPtr<IUnknown> held(&a);
  ASSERT_EQ(a.refs, 2u);
  ASSERT_EQ(b.QueryInterface(IID_IUnknown, held.putVoid()), S_OK);
  EXPECT_EQ(a.refs, 1u);
  EXPECT_EQ(b.refs, 2u);
  EXPECT_EQ(held.get(), &b);

  IUnknown* copy = nullptr;
  ASSERT_EQ(held.CopyTo(&copy), S_OK);
  EXPECT_EQ(b.refs, 3u);
  copy->Release();
  EXPECT_EQ(held.CopyTo(nullptr), E_POINTER);
  held.Reset();
  EXPECT_EQ(b.refs, 1u);
}

TEST(ComPtrTest, AsAsksTheObjectAndLeavesNothingOnFailure) {
  CountedUnknown object;
  ComPtr<IUnknown> held(&object);
  ComPtr<IUnknown> same = held.As<IUnknown>(IID_IUnknown);
  EXPECT_EQ(same.get(), &object);
  EXPECT_EQ(object.refs, 3u);

  ComPtr<IUnknown> other(&object);
  EXPECT_EQ(held.As(IID_ITestOther, &other), E_NOINTERFACE);
  EXPECT_FALSE(other);
  EXPECT_EQ(object.refs, 3u);

  ComPtr<IUnknown> empty;
  EXPECT_EQ(empty.As(IID_IUnknown, &other), E_POINTER);
  EXPECT_FALSE(empty.As<IUnknown>(IID_IUnknown));
}

// Release can run code that drops the last outside reference to the holder's owner; the holder
// must already be empty by then.
class ReentrantRelease : public CountedUnknown {
 public:
  STDMETHOD_(ULONG, Release)() override {
    const ULONG left = CountedUnknown::Release();
    if (holder) seenWhileReleasing = holder->get();
    return left;
  }
  ComPtr<IUnknown>* holder = nullptr;
  IUnknown* seenWhileReleasing = reinterpret_cast<IUnknown*>(1);
};

TEST(ComPtrTest, IsEmptyBeforeTheReleaseItMakesRuns) {
  ReentrantRelease object;
  ComPtr<IUnknown> held(&object);
  object.holder = &held;
  held.Reset();
  EXPECT_EQ(object.seenWhileReleasing, nullptr);
  object.holder = nullptr;
}

}  // namespace
}  // namespace ole_test
