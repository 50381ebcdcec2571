#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "data/VArray.h"

namespace {

struct Counted {
    Counted() { ++live; }
    ~Counted() { --live; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    int value = 0;
    inline static int live = 0;
};

// Element i holds i, so the cursor's element can be checked against its index.
std::unique_ptr<VArray<int>> numbered(std::uint32_t chunk, int n) {
    auto array = std::make_unique<VArray<int>>(chunk);
    for (int i = 0; i < n; ++i) *array->newElement() = i;
    return array;
}

TEST(VArray, ElementAfterFullChunkStartsNextChunk) {
    auto array = numbered(1024, 1024);
    int* element0 = &array->head->data[0];
    int* slot = array->newElement();
    *slot = 1024;

    ASSERT_NE(array->head, array->tail);
    EXPECT_EQ(array->head->count, 1024u);
    EXPECT_EQ(array->tail->first, 1024u);
    EXPECT_EQ(array->tail->count, 1u);
    EXPECT_EQ(slot, &array->tail->data[0]);
    EXPECT_EQ(element0, &array->head->data[0]);  // earlier elements never move
    EXPECT_EQ(array->tail->prev, array->head);
}

TEST(VArray, EmptyOrUnpositionedCursors) {
    VArray<int> empty(1000);
    VArrayIter<int> none(empty);
    EXPECT_EQ(none.first(), nullptr);
    EXPECT_EQ(none.last(), nullptr);
    EXPECT_EQ(none.current(), nullptr);
    EXPECT_FALSE(none.advance(1));
    EXPECT_FALSE(none.retreat(1));
    EXPECT_EQ(none.node, nullptr);
    // Walking from no position lands on an end.
    auto array = numbered(4, 6);
    VArrayIter<int> forward(*array);
    EXPECT_FALSE(forward.advance(2));
    EXPECT_EQ(*forward.current(), 5);
    VArrayIter<int> back(*array);
    EXPECT_FALSE(back.retreat(2));
    EXPECT_EQ(*back.current(), 0);
}

TEST(VArray, AdvanceAndRetreat) {
    // size: elements, in chunks of 4.
    const struct { int size, start; bool forward; std::uint32_t n; bool ok; int landed; } moves[] = {
        {10, 0, true, 1, true, 1},      {10, 2, true, 2, true, 4},    // into chunk 2
        {10, 3, true, 6, true, 9},      {10, 9, true, 1, false, 9},   // past the end
        {10, 5, true, 5, false, 9},     {10, 0, true, 0xFFFFFFFF, false, 9},
        {8, 7, true, 1, false, 7},      {8, 3, true, 4, true, 7},     // full tail
        {10, 5, false, 1, true, 4},     {10, 4, false, 1, true, 3},   // across a boundary
        {10, 9, false, 6, true, 3},     {10, 9, false, 9, true, 0},
        {10, 9, false, 8, true, 1},     {10, 0, false, 1, false, 0},  // past the start
        {10, 6, false, 7, false, 0},    {10, 6, false, 0, true, 6},
        {10, 1, false, 0xFFFFFFFF, false, 0},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(::testing::Message() << "size " << m.size << " start " << m.start
                                          << (m.forward ? " advance " : " retreat ") << m.n);
        auto array = numbered(4, m.size);
        VArrayIter<int> it(*array);
        ASSERT_NE(it.first(), nullptr);
        ASSERT_TRUE(m.start == 0 || it.advance(std::uint32_t(m.start)));
        bool ok = m.forward ? it.advance(m.n) : it.retreat(m.n);
        EXPECT_EQ(ok, m.ok);
        EXPECT_EQ(it.index, std::uint32_t(m.landed));
        ASSERT_NE(it.current(), nullptr);
        EXPECT_EQ(*it.current(), m.landed);
        EXPECT_EQ(it.current(), &it.node->data[it.index - it.node->first]);
    }
}

TEST(VArray, EverySlotIsDestroyedIncludingUnusedOnes) {
    Counted::live = 0;
    {
        VArray<Counted> array(4);
        for (int i = 0; i < 5; ++i) array.newElement()->value = i;
        EXPECT_EQ(Counted::live, 8);  // two whole chunks
        array.clear();
        EXPECT_EQ(Counted::live, 0);
        EXPECT_EQ(array.head, nullptr);
        EXPECT_EQ(array.tail, nullptr);
        array.newElement();
        EXPECT_EQ(Counted::live, 4);
    }
    EXPECT_EQ(Counted::live, 0);
}

struct Item : DNode<Item> {
    explicit Item(int i) : id(i) {}
    int id;
};

// Clean-up of a derived node must run though the list knows only the base.
struct LoudItem : Item {
    explicit LoudItem(int i, int& gone) : Item(i), destroyed(gone) {}
    ~LoudItem() override { ++destroyed; }
    int& destroyed;
};

// The ids from head to tail; walking from the tail must meet them too.
std::vector<int> ids(const DList<Item>& list) {
    std::vector<int> forward, backward;
    for (Item* n = list.head; n; n = n->next) forward.push_back(n->id);
    for (Item* n = list.tail; n; n = n->prev) backward.insert(backward.begin(), n->id);
    EXPECT_EQ(backward, forward);
    return forward;
}

TEST(DList, RemoveUnlinksWithoutDestroying) {
    const struct { int size, removed; std::vector<int> rest; } cases[] = {{3, 0, {1, 2}}, {3, 1, {0, 2}}, {3, 2, {0, 1}}, {1, 0, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.removed);
        int destroyed = 0;
        DList<Item> list;
        std::vector<Item*> items;
        for (int i = 0; i < c.size; ++i) items.push_back(list.append(std::make_unique<LoudItem>(i, destroyed)));
        Item* gone = items[std::size_t(c.removed)];
        Item* oldNext = gone->next;
        Item* oldPrev = gone->prev;

        list.remove(gone);
        std::unique_ptr<Item> taken(gone);
        EXPECT_EQ(destroyed, 0);
        EXPECT_EQ(ids(list), c.rest);
        EXPECT_EQ(gone->next, oldNext);
        EXPECT_EQ(gone->prev, oldPrev);
        if (c.rest.empty()) {
            EXPECT_EQ(list.tail, nullptr);
            list.append(std::move(taken));  // a removed node can go back
            EXPECT_EQ(ids(list), std::vector<int>{0});
        }
        taken.reset();
        list.clear();
        EXPECT_EQ(destroyed, c.size);
    }
}

// No node, or one of no list (unlinked, neither head nor tail): untouched.
TEST(DList, NullOrStrangerChangesNothing) {
    int destroyed = 0;
    DList<Item> list;
    for (int i = 0; i < 2; ++i) list.append(std::make_unique<LoudItem>(i, destroyed));
    Item stranger(9);
    list.append(static_cast<Item*>(nullptr));
    list.remove(nullptr);
    list.remove(&stranger);
    EXPECT_EQ(ids(list), (std::vector<int>{0, 1}));
    EXPECT_EQ(destroyed, 0);
    // A chunk size of 0 still holds one element a chunk.
    auto array = numbered(0, 3);
    EXPECT_EQ(array->head->count, 1u);
    EXPECT_EQ(array->tail->first, 2u);
    EXPECT_EQ(array->tail->data[0], 2);
}

}  // namespace
