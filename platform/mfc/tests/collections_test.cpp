#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "mfc/afx.h"

namespace {

TEST(CArray, GrowsByTheRequestedBlockAndValueInitialises) {
  CDWordArray a;
  a.SetSize(3, 16);
  EXPECT_EQ(a.GetSize(), 3);
  EXPECT_EQ(a[0] + a[1] + a[2], 0u);
  const DWORD* data = a.GetData();
  for (DWORD i = 0; i < 13; ++i) a.Add(i);  // fits in the 16 allocated
  EXPECT_EQ(a.GetData(), data);
  EXPECT_EQ(a.GetUpperBound(), 15);
  a.Add(99);  // grows by another 16
  const DWORD* grown = a.GetData();
  for (int i = 0; i < 15; ++i) a.Add(1);
  EXPECT_EQ(a.GetData(), grown);
  EXPECT_EQ(a.GetCount(), 32);

  a.SetSize(2);  // shrinking keeps the values in front
  EXPECT_EQ(a[1], 0u);
  a.SetSize(5);
  EXPECT_EQ(a[4], 0u);  // re-grown elements start at 0 again
  a.SetAtGrow(9, 7);
  EXPECT_EQ(a.GetSize(), 10);
  EXPECT_EQ(a[8], 0u);
  EXPECT_EQ(a[9], 7u);
  a.RemoveAll();
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.GetData(), nullptr);
}

TEST(CArray, InsertsRemovesAndCopies) {
  CStringArray s;
  s.Add("b");
  s.Add("d");
  s.InsertAt(0, "a");
  s.InsertAt(2, "c", 2);
  s.InsertAt(7, "z");  // past the end: the gap is filled with empty strings
  ASSERT_EQ(s.GetSize(), 8);
  std::vector<std::string> got;
  for (INT_PTR i = 0; i < s.GetSize(); ++i) got.push_back(s[i].GetString());
  EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c", "c", "d", "", "", "z"}));
  s.RemoveAt(2, 2);
  s.RemoveAt(3, 2);
  EXPECT_EQ(s.GetSize(), 4);
  EXPECT_EQ(s[3], "z");
  s.ElementAt(0) += "!";
  EXPECT_EQ(s.GetAt(0), "a!");

  // Adding an element of the array itself while it reallocates copies the right value.
  for (int i = 0; i < 50; ++i) s.Add(s[0]);
  EXPECT_EQ(s[53], "a!");
  s.InsertAt(1, s[3]);
  EXPECT_EQ(s[1], "z");

  CStringArray t;
  t.Copy(s);
  EXPECT_EQ(t.GetSize(), s.GetSize());
  EXPECT_EQ(t.Append(t), s.GetSize());
  EXPECT_EQ(t.GetSize(), 2 * s.GetSize());
  t.InsertAt(1, &s);
  EXPECT_EQ(t[1], "a!");
  EXPECT_EQ(t[2], "z");

  CUIntArray u;
  u.SetSize(2);
  EXPECT_THROW(
      try { u.GetAt(2); } catch (CException* e) {
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CInvalidArgException)));
        e->Delete();
        throw 1;
      },
      int);
  auto expectInvalid = [](auto&& op) {
    try {
      op();
      ADD_FAILURE() << "no exception";
    } catch (CInvalidArgException* e) {
      e->Delete();
    }
  };
  expectInvalid([&] { u[-1] = 1; });
  expectInvalid([&] { u.RemoveAt(1, 2); });
  expectInvalid([&] { u.SetAtGrow(-1, 1); });
  EXPECT_EQ(u.GetSize(), 2);
}

struct Clip : CObject {
  explicit Clip(int n) : number(n) {}
  int number;
};

TEST(CTypedPtrArray, HandsOutTypedPointers) {
  CTypedPtrArray<CObArray, Clip*> clips;
  Clip a(1), b(2);
  clips.Add(&a);
  clips.Add(&b);
  Clip* second = clips[1];
  EXPECT_EQ(second->number, 2);
  clips.ElementAt(0) = &b;
  EXPECT_EQ(clips.GetAt(0), &b);
  CTypedPtrArray<CPtrArray, int*> ints;
  int x = 5;
  ints.SetAtGrow(3, &x);
  EXPECT_EQ(ints.GetAt(0), nullptr);
  EXPECT_EQ(*ints[3], 5);
}

TEST(CList, IteratesBothWaysAndEdits) {
  CStringList list(2);  // small blocks: nodes come from several blocks
  list.AddTail("b");
  list.AddTail("c");
  list.AddHead("a");
  POSITION c = list.Find("c");
  ASSERT_NE(c, nullptr);
  list.InsertAfter(c, "d");
  list.InsertBefore(c, "b2");
  list.InsertAfter(NULL, "e");
  list.InsertBefore(NULL, "_");

  std::vector<std::string> forward, backward;
  for (POSITION pos = list.GetHeadPosition(); pos;) forward.push_back(list.GetNext(pos).GetString());
  for (POSITION pos = list.GetTailPosition(); pos;) backward.push_back(list.GetPrev(pos).GetString());
  EXPECT_EQ(forward, (std::vector<std::string>{"_", "a", "b", "b2", "c", "d", "e"}));
  EXPECT_EQ(backward, (std::vector<std::string>(forward.rbegin(), forward.rend())));
  EXPECT_EQ(list.GetCount(), 7);

  EXPECT_EQ(list.GetAt(list.FindIndex(3)), "b2");
  EXPECT_EQ(list.FindIndex(7), nullptr);
  EXPECT_EQ(list.FindIndex(-1), nullptr);
  EXPECT_EQ(list.Find("zz"), nullptr);
  list.AddTail("a");
  POSITION first = list.Find("a");
  EXPECT_EQ(list.Find("a", first), list.GetTailPosition());
  list.SetAt(first, "A");

  // Removing while walking: take the position before moving on.
  for (POSITION pos = list.GetHeadPosition(); pos;) {
    POSITION here = pos;
    if (list.GetNext(pos).GetLength() == 2) list.RemoveAt(here);
  }
  EXPECT_EQ(list.RemoveHead(), "_");
  EXPECT_EQ(list.RemoveTail(), "a");
  EXPECT_EQ(list.GetHead(), "A");
  EXPECT_EQ(list.GetTail(), "e");
  EXPECT_EQ(list.GetCount(), 5);

  CStringList copy;
  copy.AddTail(&list);
  copy.AddTail(&copy);  // appending a list to itself doubles it
  copy.AddHead(&list);
  EXPECT_EQ(copy.GetCount(), 15);
  EXPECT_EQ(copy.GetHead(), "A");

  while (!list.IsEmpty()) list.RemoveHead();
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
  try {
    list.RemoveHead();
    ADD_FAILURE() << "removed from an empty list";
  } catch (CInvalidArgException* e) {
    e->Delete();
  }
}

TEST(CTypedPtrList, OwnsRecordsThroughPointers) {
  CTypedPtrList<CPtrList, Clip*> records;
  for (int i = 0; i < 25; ++i) records.AddTail(new Clip(i));
  int sum = 0;
  for (POSITION pos = records.GetHeadPosition(); pos;) sum += records.GetNext(pos)->number;
  EXPECT_EQ(sum, 300);
  EXPECT_EQ(records.GetTail()->number, 24);
  while (!records.IsEmpty()) delete records.RemoveHead();
}

TEST(CMap, KeepsManyKeysAndSurvivesRemovalWhileWalking) {
  CMapStringToString map;
  map.InitHashTable(31);
  for (int i = 0; i < 500; ++i) {
    CString key, value;
    key.Format("key%d", i);
    value.Format("%d", i * 2);
    map.SetAt(key, value);
  }
  map["key7"] = "seven";
  EXPECT_EQ(map.GetCount(), 500);
  CString value;
  ASSERT_TRUE(map.Lookup("key499", value));
  EXPECT_EQ(value, "998");
  ASSERT_TRUE(map.Lookup("key7", value));
  EXPECT_EQ(value, "seven");
  EXPECT_FALSE(map.Lookup("KEY7", value));  // keys are case-sensitive
  EXPECT_TRUE(map["new"].IsEmpty());
  EXPECT_TRUE(map.RemoveKey("new"));
  EXPECT_FALSE(map.RemoveKey("new"));

  // Remove every odd key while walking: each key is visited exactly once.
  std::map<std::string, int> seen;
  POSITION pos = map.GetStartPosition();
  while (pos) {
    CString key;
    map.GetNextAssoc(pos, key, value);
    ++seen[key.GetString()];
    if (atoi(key.GetString() + 3) % 2) map.RemoveKey(key);
  }
  EXPECT_EQ(seen.size(), 500u);
  for (auto& [key, count] : seen) EXPECT_EQ(count, 1) << key;
  EXPECT_EQ(map.GetCount(), 250);
  EXPECT_FALSE(map.Lookup("key1", value));
  EXPECT_TRUE(map.Lookup("key2", value));

  map.RemoveAll();
  EXPECT_EQ(map.GetStartPosition(), nullptr);
  EXPECT_EQ(map.GetHashTableSize(), 31u);
}

TEST(CMap, PointerAndNumberKeys) {
  CMapPtrToPtr ptrs;
  int objects[100];
  for (int& o : objects) ptrs[&o] = &o + 1;
  void* out = nullptr;
  ASSERT_TRUE(ptrs.Lookup(&objects[50], out));
  EXPECT_EQ(out, &objects[51]);
  EXPECT_FALSE(ptrs.Lookup(nullptr, out));

  CMapWordToPtr words;
  words.SetAt(7, &objects[0]);
  words.SetAt(7, &objects[1]);
  EXPECT_EQ(words.GetCount(), 1);
  ASSERT_TRUE(words.Lookup(7, out));
  EXPECT_EQ(out, &objects[1]);

  CMapStringToPtr names;
  names.SetAt("a", &objects[2]);
  POSITION pos = names.GetStartPosition();
  CString key;
  names.GetNextAssoc(pos, key, out);
  EXPECT_EQ(key, "a");
  EXPECT_EQ(out, &objects[2]);
  EXPECT_EQ(pos, nullptr);

  CMapStringToOb obs;
  Clip clip(3);
  obs["clip"] = &clip;
  CObject* found = nullptr;
  ASSERT_TRUE(obs.Lookup("clip", found));
  EXPECT_EQ(found, &clip);
}

}  // namespace
