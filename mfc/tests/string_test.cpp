#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "mfc/core.h"

namespace {

TEST(CStringBasics, ConstructionAndConcatenation) {
  EXPECT_TRUE(CString(static_cast<LPCTSTR>(nullptr)).IsEmpty());
  EXPECT_STREQ("xxx", CString('x', 3));
  EXPECT_STREQ("", CString('x', -1));
  EXPECT_STREQ("ab", CString("abcdef", 2));
  // A NUL-padded field ends at its first NUL.
  const char field[8] = {'v', 'c', 'd', 0, 0, 0, 0, 0};
  CString fromField(field, 8);
  EXPECT_EQ(3, fromField.GetLength());

  CString s = "a";
  s += CString("b");
  s += "c";
  s += 'd';
  EXPECT_STREQ("abcd", s);
  EXPECT_STREQ("xabcd!", 'x' + s + '!');
  EXPECT_STREQ("<abcd>", "<" + s + ">");
  s.Empty();
  EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringBasics, ComparisonAndCase) {
  CString s = "Video";
  EXPECT_TRUE(s == "Video");
  EXPECT_TRUE("Video" == s);
  EXPECT_TRUE(s != "video");
  EXPECT_TRUE(s < CString("Videp"));
  EXPECT_LT(s.Compare("video"), 0);
  EXPECT_EQ(0, s.CompareNoCase("VIDEO"));
  EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
  EXPECT_GT(CString("abcd").CompareNoCase("ABC"), 0);
  // Letters fold to lower case, so '_' sorts before them.
  EXPECT_LT(CString("_").CompareNoCase("a"), 0);
  EXPECT_LT(CString("_").CompareNoCase("A"), 0);
  EXPECT_STREQ("MIXED 1", CString("MiXed 1").MakeUpper());
  EXPECT_STREQ("mixed 1", CString("MiXed 1").MakeLower());
  EXPECT_STREQ("cba", CString("abc").MakeReverse());
}

TEST(CStringBasics, IndexAccessStaysInside) {
  CString s = "abc";
  EXPECT_EQ('b', s[1]);
  s.SetAt(1, 'X');
  EXPECT_STREQ("aXc", s);
#ifdef NDEBUG
  EXPECT_EQ('\0', s.GetAt(3));
  EXPECT_EQ('\0', s.GetAt(-1));
  s.SetAt(3, 'Z');
  EXPECT_STREQ("aXc", s);
#endif
}

TEST(CStringFormat, PrintfSemanticsAtAnyLength) {
  CString s;
  s.Format("%03d_vid.mpg", 7);
  EXPECT_STREQ("007_vid.mpg", s);
  s.Format("%s|%5.2f|%c|%x", "ab", 3.14159, 'z', 255);
  EXPECT_STREQ("ab| 3.14|z|ff", s);
  s.Format("%lld %zu", 1LL << 40, sizeof(int[3]));
  EXPECT_STREQ("1099511627776 12", s);

  std::string longText(100000, 'q');
  s.Format("[%s]%d", longText.c_str(), 42);
  ASSERT_EQ(100004, s.GetLength());
  EXPECT_EQ('[', s[0]);
  EXPECT_EQ(std::string("]42"), std::string(s).substr(100001));

  // The text itself as an argument.
  s = "self";
  s.Format("%s-%s", static_cast<LPCTSTR>(s), static_cast<LPCTSTR>(s));
  EXPECT_STREQ("self-self", s);

  s.Format("%s", "");
  EXPECT_TRUE(s.IsEmpty());
}

struct FindCase {
  const char* text;
  const char* sub;
  int start;
  int expected;
};

TEST(CStringSearch, FindSubstringTable) {
  const FindCase cases[] = {
      {"abcabc", "bc", 0, 1},  {"abcabc", "bc", 2, 4},  {"abcabc", "bc", 5, -1},
      {"abcabc", "bc", 99, -1}, {"abcabc", "bc", -3, 1}, {"abcabc", "abcabcd", 0, -1},
      {"", "a", 0, -1},         {"abc", "", 0, 0},       {"abc", "", 3, 3},
      {"abc", "", 4, -1},       {"abc", "c", 2, 2},
  };
  for (const FindCase& c : cases)
    EXPECT_EQ(c.expected, CString(c.text).Find(c.sub, c.start))
        << c.text << " / " << c.sub << " from " << c.start;
  EXPECT_EQ(-1, CString("abc").Find(static_cast<LPCTSTR>(nullptr)));
}

TEST(CStringSearch, FindCharReverseFindAndFindOneOf) {
  CString path = "C:\\tmp\\dir\\file.mpg";
  EXPECT_EQ(2, path.Find('\\'));
  EXPECT_EQ(6, path.Find('\\', 3));
  EXPECT_EQ(-1, path.Find('\\', path.GetLength()));
  EXPECT_EQ(-1, path.Find('\0'));
  EXPECT_EQ(10, path.ReverseFind('\\'));
  EXPECT_EQ(0, path.ReverseFind('C'));
  EXPECT_EQ(path.GetLength() - 1, path.ReverseFind('g'));
  EXPECT_EQ(-1, path.ReverseFind('#'));
  EXPECT_EQ(-1, CString().ReverseFind('a'));
  EXPECT_EQ(2, path.FindOneOf("/\\"));
  EXPECT_EQ(-1, path.FindOneOf("#?"));
  EXPECT_EQ(-1, path.FindOneOf(""));
}

struct SliceCase {
  const char* op;
  int first;
  int count;
  const char* expected;
};

TEST(CStringSlice, MidLeftRightClampOutOfRange) {
  const CString s = "abcdef";
  const SliceCase cases[] = {
      {"mid", 2, 2, "cd"},     {"mid", 4, 10, "ef"},   {"mid", 6, 1, ""},
      {"mid", 10, 1, ""},      {"mid", -2, 3, "abc"},  {"mid", 1, -1, ""},
      {"mid1", 3, 0, "def"},   {"mid1", 9, 0, ""},     {"mid1", -1, 0, "abcdef"},
      {"left", 0, 2, "ab"},    {"left", 0, 99, "abcdef"}, {"left", 0, -1, ""},
      {"right", 0, 2, "ef"},   {"right", 0, 99, "abcdef"}, {"right", 0, -5, ""},
  };
  for (const SliceCase& c : cases) {
    CString got;
    std::string op = c.op;
    if (op == "mid")
      got = s.Mid(c.first, c.count);
    else if (op == "mid1")
      got = s.Mid(c.first);
    else if (op == "left")
      got = s.Left(c.count);
    else
      got = s.Right(c.count);
    EXPECT_STREQ(c.expected, got) << c.op << "(" << c.first << ", " << c.count << ")";
  }
}

TEST(CStringBuffer, GetBufferAndReleaseBuffer) {
  CString s;
  char* buf = s.GetBuffer(16);
  strcpy(buf, "hello");
  s.ReleaseBuffer();  // up to the NUL
  EXPECT_EQ(5, s.GetLength());
  EXPECT_STREQ("hello", s);

  buf = s.GetBuffer(16);
  memcpy(buf, "abcdefgh", 8);
  s.ReleaseBuffer(3);  // explicit length, no NUL needed
  EXPECT_STREQ("abc", s);

  // A smaller request keeps the text; a longer explicit length is clamped.
  buf = s.GetBuffer(1);
  EXPECT_STREQ("abc", buf);
  s.ReleaseBuffer(100);
  EXPECT_STREQ("abc", s);

  buf = s.GetBufferSetLength(5);
  memcpy(buf, "12345", 5);
  EXPECT_EQ(5, s.GetLength());
  EXPECT_STREQ("12345", s);
  s.ReleaseBuffer();
  EXPECT_STREQ("12345", s);

  // A buffer filled to the brim without a NUL of its own.
  buf = s.GetBuffer(4);
  memcpy(buf, "wxyz1", 5);
  s.ReleaseBuffer();
  EXPECT_STREQ("wxyz1", s);
}

TEST(CStringEdit, TrimWhitespaceAndGivenCharacters) {
  EXPECT_STREQ("a b", CString(" \t a b \r\n").Trim());
  EXPECT_STREQ("a b \n", CString(" \t a b \n").TrimLeft());
  EXPECT_STREQ("\ta b", CString("\ta b \n").TrimRight());
  EXPECT_STREQ("", CString(" \t\r\n ").Trim());
  EXPECT_STREQ("path", CString("\\\\path\\").Trim('\\'));
  EXPECT_STREQ("x-y", CString("-=x-y=-").Trim("-="));
  EXPECT_STREQ("x-y=-", CString("-=x-y=-").TrimLeft("=-"));
  EXPECT_STREQ("abc", CString("abc").Trim(""));
}

struct ReplaceCase {
  const char* text;
  const char* from;
  const char* to;
  int count;
  const char* expected;
};

TEST(CStringEdit, ReplaceTable) {
  const ReplaceCase cases[] = {
      {"a.b.c", ".", "\\", 2, "a\\b\\c"},
      {"aaa", "aa", "b", 1, "ba"},
      {"abc", "x", "y", 0, "abc"},
      {"abc", "", "y", 0, "abc"},
      {"abcabc", "bc", "", 2, "aa"},
      {"ab", "ab", "abab", 1, "abab"},
      {"", "a", "b", 0, ""},
  };
  for (const ReplaceCase& c : cases) {
    CString s = c.text;
    EXPECT_EQ(c.count, s.Replace(c.from, c.to)) << c.text;
    EXPECT_STREQ(c.expected, s) << c.text;
  }
  CString s = "a/b/c";
  EXPECT_EQ(2, s.Replace('/', '\\'));
  EXPECT_STREQ("a\\b\\c", s);
  CString self = "xx";
  EXPECT_EQ(1, self.Replace(self, "y"));
  EXPECT_STREQ("y", self);
}

TEST(CStringEdit, RemoveInsertDeleteClamp) {
  CString s = "a-b-c";
  EXPECT_EQ(2, s.Remove('-'));
  EXPECT_STREQ("abc", s);
  EXPECT_EQ(4, s.Insert(1, 'X'));
  EXPECT_STREQ("aXbc", s);
  EXPECT_EQ(6, s.Insert(99, "!!"));
  EXPECT_STREQ("aXbc!!", s);
  EXPECT_EQ(7, s.Insert(-5, '<'));
  EXPECT_STREQ("<aXbc!!", s);
  EXPECT_EQ(5, s.Delete(5, 10));
  EXPECT_STREQ("<aXbc", s);
  EXPECT_EQ(4, s.Delete(0));
  EXPECT_STREQ("aXbc", s);
  EXPECT_EQ(4, s.Delete(4, 1));
  EXPECT_EQ(4, s.Delete(-1, 1));
  EXPECT_EQ(4, s.Delete(1, 0));
  EXPECT_STREQ("aXbc", s);
}

}  // namespace
