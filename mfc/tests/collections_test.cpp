#include <gtest/gtest.h>

#include <string>

#include "mfc/core.h"

namespace {

// The list as "a,b,c", walked forwards or backwards.
std::string Join(const CStringList& list, bool backwards = false) {
  std::string out;
  POSITION pos = backwards ? list.GetTailPosition() : list.GetHeadPosition();
  while (pos) {
    if (!out.empty()) out += ",";
    out += backwards ? list.GetPrev(pos) : list.GetNext(pos);
  }
  return out;
}

CStringList* Make(CStringList& list, std::initializer_list<const char*> items) {
  for (const char* item : items) list.AddTail(item);
  return &list;
}

TEST(StringList, InsertBeforeAndAfterHeadAndTail) {
  CStringList list;
  Make(list, {"m"});
  list.InsertBefore(list.GetHeadPosition(), "h");
  list.InsertAfter(list.GetTailPosition(), "t");
  list.InsertAfter(list.GetHeadPosition(), "h2");
  list.InsertBefore(list.GetTailPosition(), "t0");
  list.InsertBefore(NULL, "first");
  list.InsertAfter(NULL, "last");
  EXPECT_EQ("first,h,h2,m,t0,t,last", Join(list));
  EXPECT_EQ("last,t,t0,m,h2,h,first", Join(list, true));
  EXPECT_EQ(7, list.GetCount());
  EXPECT_STREQ("first", list.GetHead());
  EXPECT_STREQ("last", list.GetTail());
  list.AssertValid();
}

TEST(StringList, GetNextReturnsAReferenceAndPositionsStayStable) {
  CStringList list;
  Make(list, {"a", "b", "c"});
  POSITION b = list.FindIndex(1);
  for (int i = 0; i < 50; ++i) list.AddTail("x");  // no reallocation moves nodes
  POSITION pos = b;
  list.GetNext(pos) += "!";
  EXPECT_STREQ("b!", list.GetAt(b));
  EXPECT_EQ(list.FindIndex(2), pos);
  list.SetAt(b, "B");
  EXPECT_STREQ("B", list.GetAt(b));
}

TEST(StringList, RemoveAtWhileIterating) {
  CStringList list;
  Make(list, {"keep1", "drop", "keep2", "drop", "drop", "keep3", "drop"});
  for (POSITION pos = list.GetHeadPosition(); pos;) {
    POSITION current = pos;
    if (list.GetNext(pos) == "drop") list.RemoveAt(current);
  }
  EXPECT_EQ("keep1,keep2,keep3", Join(list));
  EXPECT_EQ("keep3,keep2,keep1", Join(list, true));
  EXPECT_EQ(3, list.GetSize());
  list.AssertValid();
}

TEST(StringList, FindStartsAfterTheGivenPosition) {
  CStringList list;
  Make(list, {"a", "dup", "b", "dup"});
  POSITION first = list.Find("dup");
  ASSERT_EQ(list.FindIndex(1), first);
  POSITION second = list.Find("dup", first);
  EXPECT_EQ(list.FindIndex(3), second);
  EXPECT_EQ(nullptr, list.Find("dup", second));
  EXPECT_EQ(nullptr, list.Find("none"));
}

TEST(StringList, FindIndexOutOfRangeIsNull) {
  CStringList list;
  EXPECT_EQ(nullptr, list.FindIndex(0));
  Make(list, {"a", "b"});
  EXPECT_EQ(list.GetHeadPosition(), list.FindIndex(0));
  EXPECT_EQ(list.GetTailPosition(), list.FindIndex(1));
  EXPECT_EQ(nullptr, list.FindIndex(2));
  EXPECT_EQ(nullptr, list.FindIndex(-1));
}

TEST(StringList, WholeListsHeadTailRemovalAndSelfAppend) {
  CStringList list, other;
  Make(list, {"m"});
  Make(other, {"x", "y"});
  list.AddHead(&other);
  list.AddTail(&other);
  EXPECT_EQ("x,y,m,x,y", Join(list));
  list.AddTail(&list);  // doubles, does not run away
  EXPECT_EQ(10, list.GetCount());
  list.AddHead(&list);
  EXPECT_EQ(20, list.GetCount());
  list.AssertValid();

  CStringList small;
  Make(small, {"1", "2", "3"});
  EXPECT_STREQ("1", small.RemoveHead());
  EXPECT_STREQ("3", small.RemoveTail());
  EXPECT_STREQ("2", small.RemoveTail());
  EXPECT_TRUE(small.IsEmpty());
  EXPECT_EQ(nullptr, small.GetHeadPosition());
  EXPECT_EQ(nullptr, small.GetTailPosition());
  small.AddHead("again");
  EXPECT_EQ("again", Join(small));
  small.RemoveAll();
  EXPECT_EQ(0, small.GetCount());
}

TEST(ObList, HoldsObjectPointersAndFindsByIdentity) {
  CObList list(5);
  CStringList a, b;  // any CObject will do
  POSITION pa = list.AddTail(&a);
  list.AddHead(&b);
  EXPECT_EQ(pa, list.Find(&a));
  EXPECT_EQ(&b, list.GetHead());
  POSITION pos = list.GetTailPosition();
  EXPECT_EQ(&a, list.GetPrev(pos));
  EXPECT_EQ(&b, list.GetPrev(pos));
  EXPECT_EQ(nullptr, pos);

  CPtrList pointers;
  int value = 0;
  pointers.AddTail(&value);
  EXPECT_EQ(&value, pointers.GetHead());
  EXPECT_EQ(pointers.GetHeadPosition(), pointers.Find(&value));
}

#ifdef NDEBUG
// Without asserts, misuse reads a default value and changes nothing.
TEST(ListMisuse, NullPositionsAndEmptyListsAreHarmless) {
  CObList list;
  POSITION none = NULL;
  EXPECT_EQ(nullptr, list.GetAt(none));
  EXPECT_EQ(nullptr, list.GetNext(none));
  EXPECT_EQ(nullptr, none);
  EXPECT_EQ(nullptr, list.GetHead());
  EXPECT_EQ(nullptr, list.RemoveTail());
  list.RemoveAt(NULL);
  list.SetAt(NULL, &list);
  EXPECT_EQ(0, list.GetCount());

  CStringList texts;
  texts.GetHead() = "written";  // lands in a scratch value, not in the list
  EXPECT_TRUE(texts.IsEmpty());
  EXPECT_STREQ("", texts.GetHead());
}
#endif

std::string Dump(const CPtrArray& array) {
  std::string out;
  for (INT_PTR i = 0; i < array.GetSize(); ++i)
    out += array[i] ? static_cast<const char*>(array[i]) : "_";
  return out;
}

TEST(PtrArray, SetAtGrowInsertAtRemoveAt) {
  static char a[] = "a", b[] = "b", c[] = "c", d[] = "d";
  CPtrArray array;
  EXPECT_EQ(-1, array.GetUpperBound());
  array.SetAtGrow(3, d);  // grows, filling the gap with NULL
  EXPECT_EQ("___d", Dump(array));
  EXPECT_EQ(3, array.GetUpperBound());
  array.SetAt(0, a);
  EXPECT_EQ(4, array.Add(b));
  EXPECT_EQ("a__db", Dump(array));

  array.InsertAt(1, c, 2);
  EXPECT_EQ("acc__db", Dump(array));
  array.InsertAt(9, a);  // past the end: gap of NULLs, then the element
  EXPECT_EQ("acc__db__a", Dump(array));
  array.RemoveAt(3, 2);
  EXPECT_EQ("accdb__a", Dump(array));
  array.RemoveAt(0);
  EXPECT_EQ("ccdb__a", Dump(array));
  array.ElementAt(0) = d;
  array[1] = a;
  EXPECT_EQ(d, array.GetAt(0));
  EXPECT_EQ("dadb__a", Dump(array));

  CPtrArray other;
  other.Copy(array);
  other.SetSize(2);
  array.InsertAt(1, &other);
  EXPECT_EQ("ddaadb__a", Dump(array));
  EXPECT_EQ(9, array.Append(array));
  EXPECT_EQ(18, array.GetCount());
  array.RemoveAll();
  EXPECT_TRUE(array.IsEmpty());
}

#ifdef NDEBUG
TEST(PtrArray, OutOfRangeIsClampedOrIgnored) {
  static char a[] = "a", b[] = "b";
  CPtrArray array;
  array.Add(a);
  array.Add(b);
  EXPECT_EQ(nullptr, array.GetAt(2));
  EXPECT_EQ(nullptr, array.GetAt(-1));
  array.SetAt(5, a);
  array[7] = b;  // scratch, not the array
  array.RemoveAt(1, 5);  // removes what exists
  EXPECT_EQ("a", Dump(array));
  array.RemoveAt(4);
  array.SetAtGrow(-1, b);
  array.SetSize(-3);
  EXPECT_EQ("a", Dump(array));
}
#endif

}  // namespace
