// TvorList holding positions (AssignPositions): whatever is done with it, it must show
// and do exactly what a list given the same items as decimal texts, one AddObject at a
// time, shows and does.
#include "host/exceptions.h"
#include "keyedlist/vorlist.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <random>
#include <utility>

using namespace vorgrd;

namespace {

void *asObject(int position)
{
    return reinterpret_cast<void *>(static_cast<std::intptr_t>(position));
}

// What a list looks like from outside.
struct Shown
{
    QStringList texts;
    std::vector<void *> objects;
    int capacity = 0;
    bool sorted = false;
    bool operator==(const Shown &) const = default;
};

Shown shown(const TvorList &list)
{
    Shown s{list.toStringList(), {}, list.Capacity(), list.Sorted()};
    for (int k = 0; k < list.Count(); ++k)
        s.objects.push_back(list.GetObject(k));
    return s;
}

// The old way of writing positions: Clear, then one AddObject per position.
void addOneByOne(TvorList &list, const std::vector<int> &positions)
{
    list.Clear();
    for (int p : positions)
        list.AddObject(QString::number(p), asObject(p));
}

std::vector<int> randomPositions(std::mt19937 &rng, int n)
{
    std::vector<int> positions(static_cast<size_t>(n));
    for (int &p : positions)
        p = rng() % 4 == 0 ? int(rng() % 2001) - 1000 : int(rng() % 12); // ties are common
    return positions;
}

} // namespace

TEST(TvorListPositions, ShowTheSameCountTextsObjectsAndCapacityAsItemsAddedOneByOne)
{
    std::mt19937 rng(16);
    // Before: empty and never used, emptied by Delete (keeps its capacity), filled.
    const std::function<void(TvorList &)> before[] = {
        [](TvorList &) {},
        [](TvorList &l) {
            for (int i = 0; i < 20; ++i)
                l.Add(QStringLiteral("x"));
            while (l.Count() > 0)
                l.Delete(0);
        },
        [](TvorList &l) { l.Add(QStringLiteral("a")); },
    };
    for (int n : {0, 1, 2, 4, 5, 8, 9, 12, 16, 17, 33, 100, 1000, 1025}) {
        for (size_t b = 0; b < std::size(before); ++b) {
            TvorList lazy, reference;
            before[b](lazy);
            before[b](reference);
            const std::vector<int> positions = randomPositions(rng, n);
            lazy.AssignPositions(positions);
            addOneByOne(reference, positions);
            EXPECT_EQ(shown(lazy), shown(reference)) << n << " items, start " << b;
            EXPECT_EQ(lazy.checkConsistency(), QString());
        }
    }
    TvorList extremes;
    extremes.AssignPositions({INT_MIN, -1, 0, INT_MAX});
    EXPECT_EQ(extremes.toStringList(),
              (QStringList{"-2147483648", "-1", "0", "2147483647"}));
    EXPECT_EQ(extremes.GetObject(0), asObject(INT_MIN));
}

TEST(TvorListPositions, EveryOperationActsAsOnTheSameItemsAsTexts)
{
    struct Step
    {
        const char *name;
        std::function<void(TvorList &)> run;
    };
    int tag = 0;
    const Step steps[] = {
        {"Put", [](TvorList &l) { l.Put(2, QStringLiteral("7x")); }},
        {"PutObject", [&](TvorList &l) { l.PutObject(1, &tag); }},
        {"Insert", [](TvorList &l) { l.Insert(0, QStringLiteral("new")); }},
        {"Delete", [](TvorList &l) { l.Delete(3); }},
        {"Exchange", [](TvorList &l) { l.Exchange(0, 5); }},
        {"Move", [](TvorList &l) { l.Move(4, 1); }},
        {"Add", [](TvorList &l) { l.Add(QStringLiteral("3")); }},
        {"AddStrings of itself", [](TvorList &l) { l.AddStrings(l); }},
        {"Clear", [](TvorList &l) { l.Clear(); }},
        {"Sort as text", [](TvorList &l) { l.Sort(); }},
        {"Sort as numbers, descending",
         [](TvorList &l) {
             l.SetKeyType(sNumeric);
             l.setDescending(true);
             l.Sort();
         }},
        {"Sorted with a key window, then Add",
         [](TvorList &l) {
             l.SetKeyPos(2);
             l.SetSorted(true);
             l.Add(QStringLiteral("15"));
             l.setDuplicates(dupAccept);
             l.Add(QStringLiteral("-1"));
         }},
        {"SetText(Text())", [](TvorList &l) { l.SetText(l.Text()); }},
        {"Sorted, then another key type",
         [](TvorList &l) {
             l.SetSorted(true);
             l.SetKeyType(sNumeric);
         }},
    };
    // Queries that must answer alike (and may turn positions into texts).
    auto answers = [](const TvorList &l) {
        QStringList out;
        int index = -1;
        out << QString::number(l.IndexOf(QStringLiteral("3")))
            << QString::number(l.IndexOf(QStringLiteral("-999")));
        out << QString::number(l.Find(QStringLiteral("3"), index)) << QString::number(index);
        return out;
    };
    std::mt19937 rng(3);
    for (const Step &step : steps) {
        const std::vector<int> positions = randomPositions(rng, 40);
        TvorList lazy, reference;
        lazy.AssignPositions(positions);
        addOneByOne(reference, positions);
        step.run(lazy);
        step.run(reference);
        EXPECT_EQ(shown(lazy), shown(reference)) << step.name;
        EXPECT_EQ(answers(lazy), answers(reference)) << step.name;
        EXPECT_EQ(lazy.checkConsistency(), QString()) << step.name;
        // ... and the next step on the result still agrees.
        lazy.Add(QStringLiteral("1"));
        reference.Add(QStringLiteral("1"));
        EXPECT_EQ(shown(lazy), shown(reference)) << step.name << ", then Add";
        EXPECT_EQ(lazy.checkConsistency(), QString()) << step.name;
    }
}

TEST(TvorListPositions, ReadingKeepsThemAsIntegersAndAChangeTurnsThemIntoTexts)
{
    TvorList list;
    list.AssignPositions({3, 1, 2});
    ASSERT_NE(list.Positions(), nullptr);
    EXPECT_EQ(list.Get(0), QStringLiteral("3"));
    EXPECT_EQ(list.GetObject(2), asObject(2));
    EXPECT_EQ(list.Text(), QStringLiteral("3\r\n1\r\n2\r\n"));
    ASSERT_NE(list.Positions(), nullptr) << "reading made the texts";
    EXPECT_EQ(*list.Positions(), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(list.checkConsistency(), QString());
    // A new set of positions hands back the one held, for its storage to be reused.
    EXPECT_EQ(list.AssignPositions({3, 1, 2, 0}), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(list.AssignPositions({3, 1, 2}), (std::vector<int>{3, 1, 2, 0}));

    list.PutObject(0, asObject(9));
    EXPECT_EQ(list.Positions(), nullptr);
    EXPECT_EQ(list.Get(0), QStringLiteral("3"));
    EXPECT_EQ(list.GetObject(0), asObject(9));
    EXPECT_EQ(list.checkConsistency(), QString());

    EXPECT_TRUE(list.AssignPositions({}).empty()) << "a list of texts holds no positions";
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
    EXPECT_EQ(list.checkConsistency(), QString());
}

TEST(TvorListPositions, OneNotificationPairAndRefusedOnASortedList)
{
    TvorList list;
    QStringList events;
    list.OnChanging = [&](TvorList *) { events << "changing"; };
    list.OnChange = [&](TvorList *) { events << "change"; };
    list.AssignPositions({1, 0});
    EXPECT_EQ(events, (QStringList{"changing", "change"}));

    list.SetSorted(true);
    events.clear();
    EXPECT_THROW(list.AssignPositions({5}), EListError);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(list.toStringList(), (QStringList{"0", "1"}));

    // A handler that sorts the list while it is being rewritten is refused as well.
    TvorList other;
    other.Add(QStringLiteral("b"));
    other.Add(QStringLiteral("a"));
    bool first = true;
    other.OnChanging = [&](TvorList *l) {
        if (std::exchange(first, false)) l->SetSorted(true); // its own sort notifies too
    };
    EXPECT_THROW(other.AssignPositions({7, 8}), EListError);
    other.OnChanging = nullptr;
    EXPECT_EQ(other.toStringList(), (QStringList{"a", "b"}));
    EXPECT_EQ(other.checkConsistency(), QString());
}
