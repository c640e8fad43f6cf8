#include "host/exceptions.h"
#include "streamsamples.h"

#include <gtest/gtest.h>

using namespace vorgrd;
using namespace vorgrd::test;

TEST(Collection, ItemsJoinAtTheEndAndLeaveWhenDeleted)
{
    Slots list;
    auto *a = qobject_cast<Slot *>(list.Add());
    auto *b = qobject_cast<Slot *>(list.Add());
    auto *c = new Slot(&list);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(c->Index(), 2);
    delete b;
    list.checkConsistency();
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(c->Index(), 1);
    EXPECT_EQ(list.Items(1), c);
    Slot loose;
    EXPECT_EQ(loose.Index(), -1);
    EXPECT_EQ(loose.Collection(), nullptr);
}

TEST(Collection, IndexOutsideTheItemsIsRefused)
{
    Slots list;
    list.Add();
    EXPECT_THROW(list.Items(1), EListError);
    EXPECT_THROW(list.Items(-1), EListError);
    EXPECT_THROW(list.Delete(3), EListError);
    EXPECT_EQ(list.Count(), 1);
}

TEST(Collection, SetIndexMovesTheItemAndShiftsTheOthers)
{
    Slots list;
    Slot *items[4];
    for (auto &item : items)
        item = qobject_cast<Slot *>(list.Add());
    items[0]->SetIndex(2);
    EXPECT_EQ(list.Items(0), items[1]);
    EXPECT_EQ(list.Items(1), items[2]);
    EXPECT_EQ(list.Items(2), items[0]);
    EXPECT_EQ(list.Items(3), items[3]);
    items[3]->SetIndex(99); // clamped to the last place: already there
    EXPECT_EQ(list.Items(3), items[3]);
    list.checkConsistency();
}

TEST(Collection, UpdateBracketHoldsNotificationsBackUntilItCloses)
{
    Slots list;
    auto *slot = qobject_cast<Slot *>(list.Add());
    list.itemUpdates = list.wholeUpdates = 0;
    slot->setWidth(10);
    EXPECT_EQ(list.itemUpdates, 1);

    list.BeginUpdate();
    list.BeginUpdate();
    slot->setWidth(20);
    list.Add();
    list.EndUpdate();
    EXPECT_EQ(list.itemUpdates, 1);
    EXPECT_EQ(list.wholeUpdates, 0);
    list.EndUpdate();
    EXPECT_EQ(list.itemUpdates, 1);
    EXPECT_EQ(list.wholeUpdates, 1); // one report for the whole bracket
    list.EndUpdate();                // an unmatched close does nothing
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(Collection, AssignCopiesItemsAndRefusesOtherClasses)
{
    Slots from, to;
    qobject_cast<Slot *>(from.Add())->setName("a");
    qobject_cast<Slot *>(from.Add())->setWidth(7);
    to.Add();
    to.Add();
    to.Add();
    to.Assign(&from);
    ASSERT_EQ(to.Count(), 2);
    EXPECT_EQ(qobject_cast<Slot *>(to.Items(0))->Name(), "a");
    EXPECT_EQ(qobject_cast<Slot *>(to.Items(1))->Width(), 7);
    to.checkConsistency();

    Label label;
    try {
        to.Assign(&label);
        FAIL() << "assigned a Label to a collection";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), "Cannot assign a Label to a Slots");
    }
    EXPECT_EQ(to.Count(), 2);
    EXPECT_THROW(label.Assign(nullptr), EConvertError);
}
