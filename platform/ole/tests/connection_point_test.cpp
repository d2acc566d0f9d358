#include <gtest/gtest.h>

#include "fakes.h"

namespace {

DEFINE_GUID(IID_IEvents, 0x4D2B185F, 0x005D, 0x4151, 0xAE, 0xFD, 0x8F, 0x7E, 0x11, 0x61, 0xC6, 0x36);
DEFINE_GUID(IID_IOther, 0xC2E365A1, 0x483E, 0x4111, 0x97, 0x02, 0xF3, 0x49, 0xB0, 0x76, 0x23, 0xE0);

// An object that fires events: its container shares its reference count.
class Source : public IUnknown {
 public:
  Source() : container(this) {
    events = &container.Add(IID_IEvents);
    container.Add(IID_IPropertyNotifySink, 1);
  }
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown) {
      *ppv = static_cast<IUnknown*>(this);
    } else if (riid == IID_IConnectionPointContainer) {
      *ppv = static_cast<IConnectionPointContainer*>(&container);
    } else {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
  STDMETHOD_(ULONG, Release)() override { return --refs; }
  ULONG refs = 1;
  ConnectionPointContainer container;
  ConnectionPoint* events;
};

// A sink for IEvents: member 1 "Progress" (long, BSTR) records its calls.
class Sink : public DispatchObject {
 public:
  Sink() : DispatchObject(IID_IEvents, "IEvents") {
    table_.Method(1, "Progress", VT_EMPTY, {VT_I4, VT_BSTR}, [this](DispatchCall& c) {
      calls.push_back(std::to_string(c.args[0].lVal) + ":" + Narrow(c.args[1].bstrVal));
      if (onCall) onCall();
      return S_OK;
    });
  }
  std::vector<std::string> calls;
  std::function<void()> onCall;
};

class ConnectionPointTest : public ::testing::Test {
 protected:
  ~ConnectionPointTest() override {
    a->Release();
    b->Release();
  }
  void Fire(LONG n, const char* text) {
    Bstr s(text);
    VARIANT args[2];
    VariantInit(&args[0]);
    args[0].vt = VT_I4;
    args[0].lVal = n;
    VariantInit(&args[1]);
    args[1].vt = VT_BSTR;
    args[1].bstrVal = s.b;
    source.events->Fire(1, args, 2);
  }
  Source source;
  Sink* a = new Sink;
  Sink* b = new Sink;
};

TEST_F(ConnectionPointTest, FiresToEverySinkUntilUnadvised) {
  IConnectionPoint* cp = nullptr;
  ASSERT_EQ(source.container.FindConnectionPoint(IID_IEvents, &cp), S_OK);
  DWORD cookieA = 0, cookieB = 0;
  ASSERT_EQ(cp->Advise(a, &cookieA), S_OK);
  ASSERT_EQ(cp->Advise(b, &cookieB), S_OK);
  EXPECT_NE(cookieA, 0u);
  EXPECT_NE(cookieA, cookieB);
  Fire(5, "half");
  EXPECT_EQ(a->calls, std::vector<std::string>{"5:half"});
  EXPECT_EQ(b->calls, std::vector<std::string>{"5:half"});
  ASSERT_EQ(cp->Unadvise(cookieA), S_OK);
  EXPECT_EQ(cp->Unadvise(cookieA), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(cp->Unadvise(0), CONNECT_E_NOCONNECTION);
  Fire(9, "done");
  EXPECT_EQ(a->calls.size(), 1u);
  EXPECT_EQ(b->calls.back(), "9:done");
  DWORD again = 0;
  ASSERT_EQ(cp->Advise(a, &again), S_OK);
  EXPECT_NE(again, cookieA);  // cookies are not reused
  cp->Unadvise(again);
  cp->Unadvise(cookieB);
  cp->Release();
  EXPECT_EQ(source.refs, 1u);  // the point's references went to the owner
}

TEST_F(ConnectionPointTest, RefusesWrongSinksAndUnknownInterfaces) {
  IConnectionPoint* cp = nullptr;
  EXPECT_EQ(source.container.FindConnectionPoint(IID_IOther, &cp), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(cp, nullptr);
  ASSERT_EQ(source.container.FindConnectionPoint(IID_IEvents, &cp), S_OK);
  CountedUnknown wrong;
  DWORD cookie = 123;
  EXPECT_EQ(cp->Advise(&wrong, &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(wrong.refs, 1u);
  IConnectionPointContainer* back = nullptr;
  ASSERT_EQ(cp->GetConnectionPointContainer(&back), S_OK);
  EXPECT_EQ(back, &source.container);
  back->Release();
  cp->Release();
}

TEST_F(ConnectionPointTest, AdviseLimit) {
  IConnectionPoint* cp = nullptr;
  ASSERT_EQ(source.container.FindConnectionPoint(IID_IPropertyNotifySink, &cp), S_OK);
  struct NotifySink : CountedUnknown {
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
      if (riid == IID_IPropertyNotifySink) {
        *ppv = this;
        AddRef();
        return S_OK;
      }
      return CountedUnknown::QueryInterface(riid, ppv);
    }
  } one, two;
  DWORD c1 = 0, c2 = 0;
  ASSERT_EQ(cp->Advise(&one, &c1), S_OK);
  EXPECT_EQ(cp->Advise(&two, &c2), CONNECT_E_ADVISELIMIT);
  int seen = 0;
  source.container.Find(IID_IPropertyNotifySink)->ForEachSink([&](IUnknown* s) {
    EXPECT_EQ(s, static_cast<IUnknown*>(&one));
    ++seen;
  });
  EXPECT_EQ(seen, 1);
  cp->Unadvise(c1);
  EXPECT_EQ(one.refs, 1u);
  cp->Release();
}

TEST_F(ConnectionPointTest, SinkMayUnadviseWhileCalled) {
  IConnectionPoint* cp = nullptr;
  source.container.FindConnectionPoint(IID_IEvents, &cp);
  DWORD cookieA = 0, cookieB = 0;
  cp->Advise(a, &cookieA);
  cp->Advise(b, &cookieB);
  a->onCall = [&] {
    cp->Unadvise(cookieA);
    cp->Unadvise(cookieB);
  };
  Fire(1, "x");
  EXPECT_EQ(a->calls.size(), 1u);
  EXPECT_EQ(b->calls.size(), 1u);  // connected when the firing started
  EXPECT_EQ(source.events->SinkCount(), 0u);
  cp->Release();
}

TEST_F(ConnectionPointTest, EnumeratesPointsAndConnections) {
  IEnumConnectionPoints* points = nullptr;
  ASSERT_EQ(source.container.EnumConnectionPoints(&points), S_OK);
  IConnectionPoint* got[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(points->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  IID iid;
  got[1]->GetConnectionInterface(&iid);
  EXPECT_EQ(iid, IID_IPropertyNotifySink);
  got[0]->Release();
  got[1]->Release();
  points->Release();

  DWORD cookie = 0;
  source.events->Advise(a, &cookie);
  IEnumConnections* connections = nullptr;
  ASSERT_EQ(source.events->EnumConnections(&connections), S_OK);
  CONNECTDATA cd = {};
  ASSERT_EQ(connections->Next(1, &cd, nullptr), S_OK);
  EXPECT_EQ(cd.dwCookie, cookie);
  cd.pUnk->Release();
  EXPECT_EQ(connections->Next(1, &cd, nullptr), S_FALSE);
  connections->Release();
  source.events->Unadvise(cookie);
  EXPECT_EQ(source.refs, 1u);
}

}  // namespace
