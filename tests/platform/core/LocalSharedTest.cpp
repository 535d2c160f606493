#include "platform/core/LocalShared.h"

#include <gtest/gtest.h>

using namespace estaciones;

namespace {

// Counts its own deletions, so that a test sees when the last handle let go.
struct Counted : LocalCounted {
    explicit Counted(int& deletions, int value = 0) : deletions(deletions), value(value) {}
    ~Counted() override { ++deletions; }
    int& deletions;
    int value;
};

TEST(LocalSharedTest, shouldDeleteTheObjectOnlyWhenTheLastOfItsHandlesGoes) {
    int deletions = 0;
    {
        LocalShared<Counted> first = makeLocalShared<Counted>(deletions, 7);
        {
            const LocalShared<Counted> copy = first; // NOLINT: the copy is the test
            EXPECT_EQ(first.handles(), 2);
            EXPECT_EQ(copy->value, 7);
            EXPECT_TRUE(copy == first);
        }
        EXPECT_EQ(deletions, 0);
        EXPECT_EQ(first.handles(), 1);
    }
    EXPECT_EQ(deletions, 1);
}

TEST(LocalSharedTest, shouldHandOverOnMoveAndLetGoOfTheOldObjectOnAssignment) {
    int deletions = 0;
    LocalShared<Counted> a = makeLocalShared<Counted>(deletions, 1);
    LocalShared<Counted> moved = std::move(a);
    EXPECT_FALSE(a); // NOLINT: a moved-from handle is empty, which is what is tested
    EXPECT_EQ(a.handles(), 0);
    EXPECT_EQ(moved.handles(), 1);

    moved = makeLocalShared<Counted>(deletions, 2);
    EXPECT_EQ(deletions, 1); // the first object had no other handle
    EXPECT_EQ(moved->value, 2);

    LocalShared<Counted>& same = moved;
    moved = same; // assigning a handle to itself keeps the object
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(moved.handles(), 1);

    moved = LocalShared<Counted>();
    EXPECT_EQ(deletions, 2);
    EXPECT_FALSE(moved);
}

} // namespace
