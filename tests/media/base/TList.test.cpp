#include "media/base/TList.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
using Item = std::shared_ptr<int>;

std::vector<Item> Fill(TList<Item>& list, int n) {
    std::vector<Item> items;
    for (int i = 0; i < n; ++i) {
        items.push_back(std::make_shared<int>(i));
        list.AddLast(items.back());
    }
    return items;
}

std::vector<int> Walk(TList<Item>& list) {
    std::vector<int> seen;
    for (auto e = list.ObjectEnumerator(); e.HasNext();)
        seen.push_back(*e.NextObject());
    return seen;
}
} // namespace

TEST(TListTest, AppendCountFirstLastFind) {
    TList<Item> list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.ObjectEnumerator().HasNext());
    auto items = Fill(list, 3);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.First(), items[0]);
    EXPECT_EQ(list.Last(), items[2]);
    EXPECT_EQ(list.FindLink(items[1])->Value(), items[1]);
    EXPECT_EQ(list.FindLink(std::make_shared<int>(1)), nullptr); // identity, not value
    EXPECT_EQ(Walk(list), (std::vector<int>{0, 1, 2}));
}

TEST(TListTest, RemoveTakesTheFirstMatchOnly) {
    TList<Item> list;
    auto items = Fill(list, 3);
    list.AddLast(items[0]);
    EXPECT_EQ(list.Remove(items[0]), 1);
    EXPECT_EQ(Walk(list), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(list.Remove(std::make_shared<int>(1)), 0);
    list.FindLink(items[2])->Remove();
    EXPECT_EQ(Walk(list), (std::vector<int>{1, 0}));
    EXPECT_EQ(list.Count(), 2);
}

TEST(TListTest, RemovingTheCurrentValueKeepsTheWalkGoing) {
    TList<Item> list;
    auto items = Fill(list, 6);
    std::vector<int> seen;
    for (auto e = list.ObjectEnumerator(); e.HasNext();) {
        Item& it = e.NextObject();
        seen.push_back(*it);
        if (*it % 2 == 0)
            list.Remove(it); // by value, with a reference into the removed link
        else if (*it == 3)
            list.FindLink(it)->Remove();
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Walk(list), (std::vector<int>{1, 5}));
}

TEST(TListTest, RemovedValueStaysValidUntilTheNextStep) {
    TList<Item> list;
    list.AddLast(std::make_shared<int>(7)); // the list holds the only reference
    list.AddLast(std::make_shared<int>(8));
    auto e = list.ObjectEnumerator();
    Item& first = e.NextObject();
    list.Remove(first);
    EXPECT_EQ(*first, 7);
    EXPECT_EQ(list.Count(), 1);
    ASSERT_TRUE(e.HasNext());
    EXPECT_EQ(*e.NextObject(), 8);
    EXPECT_FALSE(e.HasNext());
}

TEST(TListTest, RemovingEverythingAroundTheCursor) {
    TList<Item> list;
    auto items = Fill(list, 5);
    std::vector<int> seen;
    for (auto e = list.ObjectEnumerator(); e.HasNext();) {
        Item& it = e.NextObject();
        seen.push_back(*it);
        if (*it == 1) {
            list.Remove(items[0]); // an earlier value
            list.Remove(it);       // the current one
            list.Remove(items[2]); // the next one: never visited
        }
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(Walk(list), (std::vector<int>{3, 4}));
}

TEST(TListTest, AppendsDuringTheWalkAreVisited) {
    TList<Item> list;
    Fill(list, 2);
    std::vector<int> seen;
    for (auto e = list.ObjectEnumerator(); e.HasNext();) {
        Item& it = e.NextObject();
        seen.push_back(*it);
        if (*it < 4)
            list.AddLast(std::make_shared<int>(*it + 2)); // also after the last value
        if (*it == 3)
            list.Remove(it);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(list.Count(), 5);
}

TEST(TListTest, ClearAndEnumeratorOutlivingRemovals) {
    TList<Item> list;
    Fill(list, 3);
    auto e = list.ObjectEnumerator();
    e.NextObject();
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(e.HasNext());
    list.AddLast(std::make_shared<int>(9));
    ASSERT_TRUE(e.HasNext());
    EXPECT_EQ(*e.NextObject(), 9);
}

// Range-for must keep the enumerator's promises: each case edits the list while standing on one
// value, and the walk sees what the enumerator would.
TEST(TListTest, RangeForToleratesEditsDuringTheWalk) {
    struct Case {
        const char* name;
        int size;
        // Called on each visited value; may change the list.
        void (*edit)(TList<Item>& list, const std::vector<Item>& items, Item& current);
        std::vector<int> seen;
        std::vector<int> after;
    };
    const Case cases[] = {
        {"remove current by value",
         4,
         [](TList<Item>& l, const std::vector<Item>&, Item& c) {
             if (*c % 2 == 0)
                 l.Remove(c); // a reference into the link being unlinked
         },
         {0, 1, 2, 3},
         {1, 3}},
        {"remove current through its link",
         3,
         [](TList<Item>& l, const std::vector<Item>&, Item& c) { l.FindLink(c)->Remove(); },
         {0, 1, 2},
         {}},
        {"remove the next one",
         4,
         [](TList<Item>& l, const std::vector<Item>& items, Item& c) {
             if (*c == 1)
                 l.Remove(items[2]);
         },
         {0, 1, 3},
         {0, 1, 3}},
        {"remove earlier, current and next",
         5,
         [](TList<Item>& l, const std::vector<Item>& items, Item& c) {
             if (*c == 1) {
                 l.Remove(items[0]);
                 l.Remove(c);
                 l.Remove(items[2]);
             }
         },
         {0, 1, 3, 4},
         {3, 4}},
        {"remove the last while on it",
         2,
         [](TList<Item>& l, const std::vector<Item>&, Item& c) {
             if (*c == 1)
                 l.Remove(c);
         },
         {0, 1},
         {0}},
        {"append past the end, also after removing current",
         2,
         [](TList<Item>& l, const std::vector<Item>&, Item& c) {
             if (*c < 4)
                 l.AddLast(std::make_shared<int>(*c + 2));
             if (*c == 3)
                 l.Remove(c);
         },
         {0, 1, 2, 3, 4, 5},
         {0, 1, 2, 4, 5}},
        {"clear while walking",
         3,
         [](TList<Item>& l, const std::vector<Item>&, Item&) { l.Clear(); },
         {0},
         {}},
    };
    for (const Case& c : cases) {
        TList<Item> list;
        const auto items = Fill(list, c.size);
        std::vector<int> seen;
        for (Item& value : list) {
            seen.push_back(*value);
            c.edit(list, items, value);
            EXPECT_TRUE(value) << c.name << ": the current value stays readable";
        }
        EXPECT_EQ(seen, c.seen) << c.name;
        EXPECT_EQ(Walk(list), c.after) << c.name;
    }
}

TEST(TListTest, IteratorKeepsARemovedValueAliveAndCopiesWalkAlone) {
    TList<Item> list;
    EXPECT_TRUE(list.begin() == list.end());
    list.AddLast(std::make_shared<int>(7)); // the list holds the only reference
    list.AddLast(std::make_shared<int>(8));
    auto it = list.begin();
    auto copy = it;
    list.Remove(*it);
    EXPECT_EQ(**it, 7);
    EXPECT_EQ(**copy, 7);
    ++it;
    EXPECT_EQ(**it, 8);
    EXPECT_EQ(**copy, 7) << "a copy stays where it was";
    EXPECT_EQ(**copy++, 7);
    EXPECT_TRUE(copy == it);
    ++it;
    EXPECT_TRUE(it == list.end());
}
