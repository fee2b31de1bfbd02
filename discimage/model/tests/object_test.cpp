// The model's containers: sorted insertion, clearing with and without the
// payloads, the tree's visits and subtree deletion, the sorted string list.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "discimage/model/vcd_object.h"
#include "discimage/base/vcd_util.h"

namespace {

// An element sorted by a time, tagged so that equal times can be told apart.
class TimedItem : public CVcdObject {
public:
  TimedItem(double time, const char* tag) : time(time), tag(tag) {}
  int Compare(const CObject* other) const override {
    double otherTime = static_cast<const TimedItem*>(other)->time;
    return time < otherTime ? -1 : time > otherTime ? 1 : 0;
  }
  double time;
  std::string tag;
};

std::vector<std::string> Tags(const CVcdList& list) {
  std::vector<std::string> tags;
  for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
    tags.push_back(static_cast<TimedItem*>(list.GetNext(pos))->tag);
  return tags;
}

TEST(VcdList, SortedInsertKeepsEqualKeysInInsertionOrder) {
  CVcdList list;
  list.SortedInsert(new TimedItem(5, "5a"));
  list.SortedInsert(new TimedItem(3, "3"));
  list.SortedInsert(new TimedItem(5, "5b"));
  list.SortedInsert(new TimedItem(1, "1"));
  EXPECT_EQ(Tags(list), (std::vector<std::string>{"1", "3", "5a", "5b"}));
  for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
    EXPECT_EQ(static_cast<CVcdObject*>(list.GetNext(pos))->GetParentList(), &list);
  list.Clear(1);
  EXPECT_TRUE(list.IsEmpty());
}

TEST(VcdList, AccessorsAnswerNullAtTheEdges) {
  CVcdList list;
  EXPECT_EQ(list.Head(), nullptr);
  EXPECT_EQ(list.Tail(), nullptr);
  EXPECT_EQ(list.ElementAt(0), nullptr);
  TimedItem* a = new TimedItem(1, "a");
  TimedItem* b = new TimedItem(2, "b");
  TimedItem stranger(3, "c");
  list.Append(a);
  list.Append(b);
  EXPECT_EQ(list.Head(), a);
  EXPECT_EQ(list.Tail(), b);
  EXPECT_EQ(list.Next(a), b);
  EXPECT_EQ(list.Next(b), nullptr);
  EXPECT_EQ(list.Next(&stranger), nullptr);
  EXPECT_EQ(list.ElementAt(1), b);
  EXPECT_EQ(list.ElementAt(2), nullptr);
  EXPECT_EQ(list.ElementAt(-1), nullptr);
  list.Clear(0);
}

TEST(VcdList, DetachedOrDeletedElementLeavesItsList) {
  CVcdList list;
  TimedItem* a = new TimedItem(1, "a");
  TimedItem* b = new TimedItem(2, "b");
  list.Append(a);
  list.Append(b);
  a->Detach(0);
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(a->GetParentList(), nullptr);
  delete a;
  delete b;  // its destructor takes it out of the list
  EXPECT_TRUE(list.IsEmpty());
}

// Notes what its payload looked like when it was destroyed.
class PayloadProbe : public CVcdOldStyle {
public:
  PayloadProbe(void* payload, std::vector<void*>* log) : CVcdOldStyle(payload), log(log) {}
  ~PayloadProbe() override { log->push_back(m_payload); }
  std::vector<void*>* log;
};

TEST(VcdList, ClearFreesPayloadsOnlyWithTheFlag) {
  std::vector<void*> log;
  void* kept = AllocZeroed(16);
  {
    CVcdList list;
    list.Append(new PayloadProbe(kept, &log));
    list.Clear(0);
  }
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], kept);  // left to its owner
  free(kept);

  log.clear();
  CVcdList list;
  list.Append(new PayloadProbe(AllocZeroed(16), &log));
  list.Append(new PayloadProbe(AllocZeroed(16), &log));
  list.Clear(1);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(log, (std::vector<void*>{nullptr, nullptr}));  // freed by Detach
}

TEST(VcdList, ClearDeletesElementsThatAreNotModelObjects) {
  CVcdList list;
  list.Append(new CVcdList);  // any CObject
  list.SortedInsert(new CVcdList);
  EXPECT_EQ(list.GetCount(), 2);
  list.Clear(0);
  EXPECT_TRUE(list.IsEmpty());
}

// ---------------------------------------------------------------------------
// Trees

int g_liveNodes = 0;

class NamedNode : public CVcdTreeNode {
public:
  explicit NamedNode(const char* name) : name(name) { ++g_liveNodes; }
  ~NamedNode() override { --g_liveNodes; }
  void Visit(void* visitor) override { static_cast<std::vector<std::string>*>(visitor)->push_back(name); }
  NamedNode* Add(const char* childName) {
    NamedNode* child = new NamedNode(childName);
    AppendChild(child);
    return child;
  }
  std::string name;
};

// root -> a (a1 (a1x), a2), b (b1), c
class TreeTest : public ::testing::Test {
protected:
  void SetUp() override {
    g_liveNodes = 0;
    root = new NamedNode("root");
    root->SetRoot(1);
    root->SetTree(&tree);
    tree.Append(root);
    a = root->Add("a");
    a1 = a->Add("a1");
    a1->Add("a1x");
    a->Add("a2");
    b = root->Add("b");
    b->Add("b1");
    root->Add("c");
  }
  void TearDown() override {
    tree.Clear(1);
    EXPECT_EQ(g_liveNodes, 0);
  }
  CVcdTree tree;
  NamedNode *root, *a, *a1, *b;
};

TEST_F(TreeTest, DepthFirstVisitsEachSubtreeInChildOrder) {
  std::vector<std::string> seen;
  root->VisitDepthFirst(&seen);
  EXPECT_EQ(seen, (std::vector<std::string>{"root", "a", "a1", "a1x", "a2", "b", "b1", "c"}));
}

TEST_F(TreeTest, BreadthFirstVisitsLevelByLevelInSiblingOrder) {
  std::vector<std::string> seen;
  root->VisitBreadthFirst(&seen);
  EXPECT_EQ(seen, (std::vector<std::string>{"root", "a", "b", "c", "a1", "a2", "b1", "a1x"}));
  seen.clear();
  a->VisitBreadthFirst(&seen);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "a1", "a2", "a1x"}));
}

TEST_F(TreeTest, RootAndParentWalkUpThroughTheOwningTrees) {
  NamedNode* a1x = static_cast<NamedNode*>(a1->GetChildren()->Head());
  EXPECT_EQ(a1x->Parent(), a1);
  EXPECT_EQ(a1->Parent(), a);
  EXPECT_EQ(a->Parent(), root);
  EXPECT_EQ(root->Parent(), nullptr);
  EXPECT_EQ(a1x->Root(), root);
  EXPECT_EQ(root->Root(), root);
}

TEST_F(TreeTest, DeletingANodeDeletesItsSubtree) {
  EXPECT_EQ(g_liveNodes, 8);
  delete a;  // a, a1, a1x, a2
  EXPECT_EQ(g_liveNodes, 4);
  std::vector<std::string> seen;
  root->VisitDepthFirst(&seen);
  EXPECT_EQ(seen, (std::vector<std::string>{"root", "b", "b1", "c"}));
}

TEST_F(TreeTest, DetachWithoutFlagKeepsAnEmptyChildList) {
  b->Detach(0);
  EXPECT_NE(b->GetChildren(), nullptr);
  EXPECT_TRUE(b->GetChildren()->IsEmpty());
  EXPECT_EQ(root->GetChildren()->GetCount(), 2);
  delete b;
  a->Detach(1);
  EXPECT_EQ(a->GetChildren(), nullptr);
  delete a;
  EXPECT_EQ(g_liveNodes, 2);
}

TEST(VcdTree, NewRootNodeBelongsToTheTree) {
  CVcdTree tree;
  CVcdTreeNode* node = tree.NewRootNode();
  EXPECT_TRUE(node->IsRoot());
  EXPECT_EQ(node->GetTree(), &tree);
  EXPECT_EQ(node->GetParentList(), &tree);
  EXPECT_EQ(node->Root(), node);
  EXPECT_TRUE(node->IsKindOf(RUNTIME_CLASS(CVcdObject)));
  tree.Clear(1);
}

// ---------------------------------------------------------------------------

TEST(SortedStrList, CaseInsensitiveOrderEqualTextsAfterExistingOnes) {
  CSortedStrList list;
  list.SortedInsert("b");
  list.SortedInsert("A");
  list.SortedInsert("a");
  EXPECT_EQ(list.SortedInsert(NULL), nullptr);
  std::vector<std::string> texts;
  for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
    texts.push_back(static_cast<LPCTSTR>(list.GetNext(pos)));
  EXPECT_EQ(texts, (std::vector<std::string>{"A", "a", "b"}));
}

}  // namespace
