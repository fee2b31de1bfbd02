#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "mfc/core.h"

namespace {

class Shape : public CObject {
  DECLARE_DYNAMIC(Shape)
};
IMPLEMENT_DYNAMIC(Shape, CObject)

class Polygon : public Shape {
  DECLARE_DYNCREATE(Polygon)
  int corners = 3;
};
IMPLEMENT_DYNCREATE(Polygon, Shape)

class Square : public Polygon {
  DECLARE_DYNCREATE(Square)
  Square() { corners = 4; }
};
IMPLEMENT_DYNCREATE(Square, Polygon)

class Token : public CObject {
  DECLARE_DYNAMIC(Token)
};
IMPLEMENT_DYNAMIC(Token, CObject)

// A list type as model code derives it, with its own block size.
class ShapeList : public CObList {
  DECLARE_DYNAMIC(ShapeList)
  ShapeList() : CObList(5) {}
};
IMPLEMENT_DYNAMIC(ShapeList, CObList)

TEST(RuntimeClass, RecordsNameSizeAndBase) {
  const CRuntimeClass* cls = RUNTIME_CLASS(Square);
  EXPECT_STREQ("Square", cls->m_lpszClassName);
  EXPECT_EQ(static_cast<int>(sizeof(Square)), cls->m_nObjectSize);
  EXPECT_EQ(RUNTIME_CLASS(Polygon), cls->m_pBaseClass);
  EXPECT_EQ(RUNTIME_CLASS(Shape), RUNTIME_CLASS(Polygon)->m_pBaseClass);
  EXPECT_EQ(RUNTIME_CLASS(CObject), RUNTIME_CLASS(Shape)->m_pBaseClass);
  EXPECT_EQ(nullptr, RUNTIME_CLASS(CObject)->m_pBaseClass);
}

TEST(RuntimeClass, IsKindOfWalksEveryLevelAndOnlyUpwards) {
  Square square;
  Polygon polygon;
  Token token;
  const CObject* asObject = &square;
  EXPECT_EQ(RUNTIME_CLASS(Square), asObject->GetRuntimeClass());
  EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(Square)));
  EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(Polygon)));
  EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(Shape)));
  EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(polygon.IsKindOf(RUNTIME_CLASS(Square)));
  EXPECT_FALSE(token.IsKindOf(RUNTIME_CLASS(Shape)));
  EXPECT_FALSE(square.IsKindOf(RUNTIME_CLASS(Token)));
  EXPECT_FALSE(square.IsKindOf(nullptr));
  EXPECT_FALSE(square.IsSerializable());
}

TEST(RuntimeClass, DynCreateMakesTheRightClassAndDynamicDoesNot) {
  std::unique_ptr<CObject> made(RUNTIME_CLASS(Square)->CreateObject());
  ASSERT_NE(nullptr, made);
  EXPECT_EQ(RUNTIME_CLASS(Square), made->GetRuntimeClass());
  EXPECT_EQ(4, static_cast<Square*>(made.get())->corners);
  EXPECT_EQ(nullptr, RUNTIME_CLASS(Shape)->CreateObject());
  EXPECT_EQ(nullptr, RUNTIME_CLASS(CObject)->CreateObject());
}

TEST(RuntimeClass, DynamicDowncastChecksTheClass) {
  Square square;
  Token token;
  CObject* a = &square;
  CObject* b = &token;
  EXPECT_EQ(&square, DYNAMIC_DOWNCAST(Polygon, a));
  EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(Polygon, b));
  EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(Polygon, static_cast<CObject*>(nullptr)));
}

TEST(RuntimeClass, CollectionsCarryTheirClasses) {
  ShapeList shapes;
  CStringList texts;
  CPtrArray pointers;
  EXPECT_TRUE(shapes.IsKindOf(RUNTIME_CLASS(CObList)));
  EXPECT_TRUE(shapes.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(texts.IsKindOf(RUNTIME_CLASS(CObList)));
  EXPECT_STREQ("CStringList", texts.GetRuntimeClass()->m_lpszClassName);
  EXPECT_STREQ("CPtrArray", pointers.GetRuntimeClass()->m_lpszClassName);
}

}  // namespace
