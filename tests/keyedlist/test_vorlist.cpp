#include "host/exceptions.h"
#include "keyedlist/vorlist.h"

#include <QMetaEnum>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace vorgrd;

namespace {

int tag[16]; // addresses used as opaque item objects

// Records the notifications of a list as "changing" / "change".
struct Recorder
{
    QStringList events;
    void attach(TvorList &list)
    {
        list.OnChanging = [this](TvorList *) { events << "changing"; };
        list.OnChange = [this](TvorList *) { events << "change"; };
    }
};

const QStringList onePair = {"changing", "change"};

std::unique_ptr<TvorList> listOf(const QStringList &texts, TLSortType type = sString)
{
    auto list = std::make_unique<TvorList>();
    list->SetKeyType(type);
    for (int i = 0; i < texts.size(); ++i)
        list->AddObject(texts[i], &tag[i % 16]);
    return list;
}

QStringList sortedTexts(const QStringList &texts, TLSortType type, bool descending = false)
{
    auto list = listOf(texts, type);
    list->setDescending(descending);
    list->Sort();
    EXPECT_EQ(list->checkConsistency(), "");
    return list->toStringList();
}

} // namespace

TEST(TvorList, StartsEmptyWithTheWholeTextAsKey)
{
    TvorList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
    EXPECT_EQ(list.KeyType(), sString);
    EXPECT_EQ(list.KeyPos(), 1);
    EXPECT_EQ(list.KeyLen(), 2147483647);
    EXPECT_EQ(list.SortStart(), 0);
    EXPECT_FALSE(list.Sorted());
    EXPECT_EQ(list.Duplicates(), dupIgnore);
    EXPECT_FALSE(list.SubstringMatch());
    EXPECT_FALSE(list.Descending());
    EXPECT_FALSE(list.OnChange);
    EXPECT_FALSE(list.OnChanging);
    EXPECT_EQ(list.checkConsistency(), "");
}

TEST(TvorList, EnumerationsAreKnownToTheMetaObjectSystem)
{
    const QMetaEnum sortType = QMetaEnum::fromType<TLSortType>();
    EXPECT_EQ(sortType.keyCount(), 4);
    EXPECT_STREQ(sortType.valueToKey(sStringCaseSensitive), "sStringCaseSensitive");
    EXPECT_EQ(sortType.keyToValue("sDate"), 3);
    const QMetaEnum duplicates = QMetaEnum::fromType<TDuplicates>();
    EXPECT_STREQ(duplicates.valueToKey(dupError), "dupError");
    EXPECT_EQ(sizeof(TLSortType), 1u);
}

TEST(TvorList, KeyWindowCutsTheKeyOutOfTheText)
{
    TvorList list;
    list.SetKeyPos(3);
    list.SetKeyLen(2);
    EXPECT_EQ(list.KeyOf("abcdef"), "cd");
    EXPECT_EQ(list.KeyOf("abc"), "c");
    EXPECT_EQ(list.KeyOf("ab"), "");
    list.SetKeyLen(0);
    EXPECT_EQ(list.KeyLen(), 1);
    list.SetKeyLen(-5);
    EXPECT_EQ(list.KeyLen(), 1);
    list.SetKeyPos(-2);
    EXPECT_EQ(list.KeyPos(), 1);
    EXPECT_EQ(list.KeyOf("abcdef"), "a");
    list.SetKeyLen(2147483647);
    list.SetKeyPos(2147483647);
    EXPECT_EQ(list.KeyOf("abcdef"), "");
}

TEST(TvorList, SortsByKeyType)
{
    struct Case
    {
        TLSortType type;
        bool descending;
        QStringList input, expected;
    } cases[] = {
        {sNumeric,
         false,
         {"10", "9", "abc", "-1", "Zed", "0"},
         {"-1", "0", "abc", "Zed", "9", "10"}},
        {sNumeric,
         true,
         {"10", "9", "abc", "-1", "Zed", "0"},
         {"10", "9", "Zed", "abc", "0", "-1"}},
        {sNumeric, false, {"1e3", "999", "12,5", "12.4"}, {"12,5", "12.4", "999", "1e3"}},
        {sStringCaseSensitive, false, {"b", "B", "a"}, {"B", "a", "b"}},
        // 'b' and 'B' compare equal; the scheme leaves them in this order
        {sString, false, {"b", "B", "a"}, {"a", "B", "b"}},
        {sStringCaseSensitive, false, {"ab", "a", "", "b"}, {"", "a", "ab", "b"}},
        {sDate,
         false,
         {"2020-01-02", "1999-12-31 23:00", "2020-01-01 12:00"},
         {"1999-12-31 23:00", "2020-01-01 12:00", "2020-01-02"}},
        {sDate,
         true,
         {"2020-01-02", "1999-12-31 23:00", "2020-01-01 12:00"},
         {"2020-01-02", "2020-01-01 12:00", "1999-12-31 23:00"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sortedTexts(c.input, c.type, c.descending), c.expected)
            << "type " << int(c.type) << " descending " << c.descending;
}

TEST(TvorList, ObjectsStayWithTheirTextsThroughASort)
{
    auto list = listOf({"c", "a", "b"});
    list->Sort();
    EXPECT_EQ(list->toStringList(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(list->Objects(0), &tag[1]);
    EXPECT_EQ(list->Objects(1), &tag[2]);
    EXPECT_EQ(list->Objects(2), &tag[0]);
}

TEST(TvorList, SortStartLeavesThePrefixInPlace)
{
    auto list = listOf({"z", "y", "c", "0", "b", "a"}, sNumeric);
    list->setSortStart(2);
    list->Sort();
    // the zero-valued run from index 2 on is ordered as text: 0, a, b, c
    EXPECT_EQ(list->toStringList(), (QStringList{"z", "y", "0", "a", "b", "c"}));

    // A start at or beyond the end sorts nothing (but is still a sort).
    Recorder recorder;
    auto beyond = listOf({"b", "a"});
    recorder.attach(*beyond);
    beyond->setSortStart(7);
    beyond->Sort();
    EXPECT_EQ(beyond->toStringList(), (QStringList{"b", "a"}));
    EXPECT_EQ(recorder.events, onePair);
    EXPECT_THROW(beyond->setSortStart(-1), EListError);
    EXPECT_EQ(beyond->SortStart(), 7);
}

TEST(TvorList, SortNotifiesOncePerSortAndNotForTinyLists)
{
    Recorder recorder;
    auto list = listOf({"e", "d", "c", "b", "a", "f", "a"});
    recorder.attach(*list);
    list->Sort();
    EXPECT_EQ(recorder.events, onePair);

    for (const QStringList &tiny : {QStringList{}, QStringList{"x"}}) {
        Recorder quiet;
        auto small = listOf(tiny);
        quiet.attach(*small);
        small->Sort();
        small->SetSorted(true);
        small->SetKeyType(sNumeric);
        small->SetKeyPos(2);
        small->SetKeyLen(3);
        EXPECT_EQ(small->KeyLen(), 3);
        EXPECT_TRUE(quiet.events.isEmpty()) << tiny.size();
    }
}

TEST(TvorList, EveryChangeFiresOnePair)
{
    struct Case
    {
        const char *name;
        std::function<void(TvorList &)> change;
    } cases[] = {
        {"Put", [](TvorList &l) { l.Put(0, "x"); }},
        {"PutObject", [](TvorList &l) { l.PutObject(1, &tag[9]); }},
        {"Add", [](TvorList &l) { l.Add("x"); }},
        {"Insert", [](TvorList &l) { l.Insert(1, "x"); }},
        {"Delete", [](TvorList &l) { l.Delete(2); }},
        {"Exchange", [](TvorList &l) { l.Exchange(0, 2); }},
        {"Clear", [](TvorList &l) { l.Clear(); }},
        {"Sort", [](TvorList &l) { l.Sort(); }},
        {"SetSorted", [](TvorList &l) { l.SetSorted(true); }},
    };
    for (const auto &c : cases) {
        auto list = listOf({"c", "b", "a"});
        Recorder recorder;
        recorder.attach(*list);
        c.change(*list);
        EXPECT_EQ(recorder.events, onePair) << c.name;
        EXPECT_EQ(list->checkConsistency(), "") << c.name;
    }
}

TEST(TvorList, SenderIsTheListAndChangingSeesTheOldState)
{
    auto list = listOf({"a", "b"});
    TvorList *seen = nullptr;
    int countBefore = -1, countAfter = -1;
    list->OnChanging = [&](TvorList *sender) {
        seen = sender;
        countBefore = sender->Count();
    };
    list->OnChange = [&](TvorList *sender) { countAfter = sender->Count(); };
    list->Delete(0);
    EXPECT_EQ(seen, list.get());
    EXPECT_EQ(countBefore, 2);
    EXPECT_EQ(countAfter, 1);
}

TEST(TvorList, UpdateBracketAddsOnePairAroundTheChanges)
{
    auto list = listOf({"a"});
    Recorder recorder;
    recorder.attach(*list);
    list->BeginUpdate();
    list->BeginUpdate();
    list->Add("b");
    list->EndUpdate();
    list->EndUpdate();
    EXPECT_EQ(recorder.events, (QStringList{"changing", "changing", "change", "change"}));
}

TEST(TvorList, ClearOfAnEmptyListAndDestructionNotifyNobody)
{
    Recorder recorder;
    {
        TvorList list;
        recorder.attach(list);
        list.Clear();
        list.Add("a");
        recorder.events.clear();
    }
    EXPECT_TRUE(recorder.events.isEmpty());
}

TEST(TvorList, ClearReleasesTheStorage)
{
    auto list = listOf({"a", "b", "c", "d", "e"});
    EXPECT_EQ(list->Capacity(), 8);
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->Capacity(), 0);
}

TEST(TvorList, GrowsInTheListsCapacitySteps)
{
    TvorList list;
    QList<int> steps;
    for (int i = 0; i < 100; ++i) {
        list.Add(QString::number(i));
        if (steps.isEmpty() || steps.last() != list.Capacity()) steps << list.Capacity();
        ASSERT_EQ(list.checkConsistency(), "");
    }
    EXPECT_EQ(steps, (QList<int>{4, 8, 16, 32, 48, 64, 80, 96, 112}));
}

TEST(TvorList, ErrorsNameTheProblemAndChangeNothing)
{
    struct Case
    {
        const char *message;
        bool sorted;
        std::function<void(TvorList &)> call;
    } cases[] = {
        {"Get: list index 3 out of bounds (0..2)", false, [](TvorList &l) { l.Get(3); }},
        {"GetObject: list index -1 out of bounds (0..2)", false,
         [](TvorList &l) { l.GetObject(-1); }},
        {"Put: list index 3 out of bounds (0..2)", false, [](TvorList &l) { l.Put(3, "x"); }},
        {"PutObject: list index 3 out of bounds (0..2)", false,
         [](TvorList &l) { l.PutObject(3, nullptr); }},
        {"Delete: list index -1 out of bounds (0..2)", false, [](TvorList &l) { l.Delete(-1); }},
        {"Exchange: list index 3 out of bounds (0..2)", false,
         [](TvorList &l) { l.Exchange(0, 3); }},
        {"Exchange: list index -4 out of bounds (0..2)", false,
         [](TvorList &l) { l.Exchange(-4, 0); }},
        {"Insert: list index 4 out of bounds (0..3)", false, [](TvorList &l) { l.Insert(4, "x"); }},
        {"Put: operation not allowed on a sorted list", true, [](TvorList &l) { l.Put(9, "x"); }},
        {"Insert: operation not allowed on a sorted list", true,
         [](TvorList &l) { l.Insert(9, "x"); }},
        {"Move: list index 5 out of bounds (0..2)", false, [](TvorList &l) { l.Move(5, 0); }},
        {"Insert: operation not allowed on a sorted list", true, [](TvorList &l) { l.Move(0, 2); }},
    };
    for (const auto &c : cases) {
        auto list = listOf({"a", "b", "c"});
        list->SetSorted(c.sorted);
        Recorder recorder;
        recorder.attach(*list);
        try {
            c.call(*list);
            ADD_FAILURE() << "no error: " << c.message;
        } catch (const EListError &e) {
            EXPECT_EQ(e.Message(), QString(c.message));
        }
        EXPECT_EQ(list->toStringList(), (QStringList{"a", "b", "c"})) << c.message;
        EXPECT_EQ(list->Objects(0), &tag[0]) << c.message;
        // Move opens an update bracket, the others fire nothing
        if (QString(c.message).startsWith("Insert: operation") && c.sorted &&
            !recorder.events.isEmpty())
            EXPECT_EQ(recorder.events, onePair) << c.message;
        else
            EXPECT_TRUE(recorder.events.isEmpty()) << c.message;
    }
}

TEST(TvorList, HandlerThatEmptiesTheListCannotMakeAnOperationWriteOutOfBounds)
{
    auto list = listOf({"a", "b", "c"});
    list->OnChanging = [](TvorList *sender) {
        sender->OnChanging = nullptr;
        sender->Clear();
    };
    EXPECT_THROW(list->Delete(2), EListError);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->checkConsistency(), "");
}

TEST(TvorList, HandlerThatAddsDuringASortGetsItsItemSortedToo)
{
    auto list = listOf({"c", "a"});
    list->OnChanging = [](TvorList *sender) {
        sender->OnChanging = nullptr;
        sender->Add("b");
    };
    list->Sort();
    EXPECT_EQ(list->toStringList(), (QStringList{"a", "b", "c"}));
}

TEST(TvorList, DateSortWithABadKeyRaisesAndLeavesTheListAsItWas)
{
    const QStringList texts = {"2020-01-02", "2019-05-05", "", "2018-01-01", "2021-01-01"};
    auto list = listOf(texts, sDate);
    Recorder recorder;
    recorder.attach(*list);
    EXPECT_THROW(list->Sort(), EConvertError);
    EXPECT_THROW(list->SetSorted(true), EConvertError);
    EXPECT_FALSE(list->Sorted());
    EXPECT_EQ(list->toStringList(), texts);
    EXPECT_TRUE(recorder.events.isEmpty());

    // A key setter on a sorted list puts the old value back.
    auto sorted = listOf({"b", "not a date", "a"});
    sorted->SetSorted(true);
    try {
        sorted->SetKeyType(sDate);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError &e) {
        EXPECT_TRUE(e.Message().contains("\"a\"") || e.Message().contains("\"b\"") ||
                    e.Message().contains("not a date"))
            << e.Message().toStdString();
    }
    EXPECT_EQ(sorted->KeyType(), sString);
    EXPECT_EQ(sorted->toStringList(), (QStringList{"a", "b", "not a date"}));
    EXPECT_EQ(sorted->checkConsistency(), "");
}

TEST(TvorList, SortedOnAndOffSortsOnceAndReopensTheList)
{
    auto list = listOf({"c", "a", "b"});
    list->SetSorted(true);
    list->SetSorted(false);
    EXPECT_EQ(list->toStringList(), (QStringList{"a", "b", "c"}));
    list->Put(0, "z");
    list->Insert(0, "y");
    EXPECT_EQ(list->toStringList(), (QStringList{"y", "z", "b", "c"}));
    list->Sort(); // unsorted again: Sort works
    EXPECT_EQ(list->toStringList(), (QStringList{"b", "c", "y", "z"}));
}

TEST(TvorList, SortedListResortsWhenTheKeyChanges)
{
    auto list = listOf({"a3", "b1", "c2"});
    list->SetSorted(true);
    Recorder recorder;
    recorder.attach(*list);
    list->SetKeyPos(2);
    EXPECT_EQ(list->toStringList(), (QStringList{"b1", "c2", "a3"}));
    list->setDescending(true);
    EXPECT_EQ(list->toStringList(), (QStringList{"a3", "c2", "b1"}));
    list->SetKeyPos(2); // same value: nothing
    EXPECT_EQ(recorder.events, (QStringList{"changing", "change", "changing", "change"}));
    EXPECT_EQ(list->checkConsistency(), "");
}

TEST(TvorList, AddOnASortedListInsertsByKey)
{
    struct Case
    {
        bool descending;
        int keyPos;
        QStringList adds, expected;
    } cases[] = {
        {false, 1, {"m", "c", "x", "a", "n"}, {"a", "c", "m", "n", "x"}},
        {true, 1, {"m", "c", "x", "a", "n"}, {"x", "n", "m", "c", "a"}},
        // the new text's own key decides: keys 3, 1, 2
        {false, 2, {"a3", "z1", "m2"}, {"z1", "m2", "a3"}},
    };
    for (const auto &c : cases) {
        TvorList list;
        list.SetKeyPos(c.keyPos);
        list.setDescending(c.descending);
        list.SetSorted(true);
        for (const QString &text : c.adds) {
            list.Add(text);
            ASSERT_EQ(list.checkConsistency(), "") << text.toStdString();
        }
        EXPECT_EQ(list.toStringList(), c.expected);
        for (const QString &text : c.adds)
            EXPECT_EQ(list.Strings(list.IndexOf(list.KeyOf(text))), text);
    }
}

TEST(TvorList, DuplicatesDecideWhatAddDoesWithAnExistingKey)
{
    auto list = listOf({"b", "a", "c"});
    list->SetSorted(true);
    Recorder recorder;
    recorder.attach(*list);
    EXPECT_EQ(list->Add("B"), 1); // dupIgnore: the existing index, nothing changes
    EXPECT_EQ(list->Count(), 3);
    EXPECT_TRUE(recorder.events.isEmpty());

    list->setDuplicates(dupError);
    try {
        list->Add("b");
        ADD_FAILURE() << "no error";
    } catch (const EListError &e) {
        EXPECT_TRUE(e.Message().contains("\"b\"")) << e.Message().toStdString();
    }
    EXPECT_EQ(list->toStringList(), (QStringList{"a", "b", "c"}));
    EXPECT_TRUE(recorder.events.isEmpty());

    list->setDuplicates(dupAccept);
    EXPECT_EQ(list->Add("B"), 1); // before the equal key
    EXPECT_EQ(list->toStringList(), (QStringList{"a", "B", "b", "c"}));
}

TEST(TvorList, FindSearchesTheWholeTextAsTheKeyValue)
{
    TvorList empty;
    int index = -1;
    EXPECT_FALSE(empty.Find("x", index));
    EXPECT_EQ(index, 0);
    empty.SetKeyType(sDate);
    EXPECT_FALSE(empty.Find("no date", index)); // nothing to compare with: no error

    struct Case
    {
        TLSortType type;
        QStringList items;
        const char *search;
        bool found;
        int index;
    } cases[] = {
        {sString, {"apple", "Banana", "cherry"}, "banana", true, 1},
        {sString, {"apple", "Banana", "cherry"}, "blue", false, 2},
        {sString, {"apple", "Banana", "cherry"}, "zz", false, 3},
        {sStringCaseSensitive, {"B", "a", "b"}, "b", true, 2},
        {sStringCaseSensitive, {"B", "a", "b"}, "C", false, 1},
        {sNumeric, {"-1", "abc", "5kg", "10"}, "5", true, 2},
        {sNumeric, {"-1", "abc", "5kg", "10"}, "7 apples", false, 3},
        {sDate, {"2019-01-01", "2020-01-01"}, "2020-01-01 00:00", true, 1},
    };
    for (const auto &c : cases) {
        auto list = listOf(c.items, c.type);
        list->SetSorted(true);
        int at = -1;
        EXPECT_EQ(list->Find(c.search, at), c.found) << c.search;
        EXPECT_EQ(at, c.index) << c.search;
    }
    auto dates = listOf({"2019-01-01"}, sDate);
    EXPECT_THROW(dates->Find("no date", index), EConvertError);
}

TEST(TvorList, IndexOfOnAnUnsortedListMatchesByKeyOrSubstring)
{
    struct Case
    {
        TLSortType type;
        bool substring;
        const char *search;
        int expected;
    } cases[] = {
        {sString, false, "HELLO world", 1},
        {sString, false, "hello", -1},
        {sString, true, "LO W", 1},
        {sString, true, "o", 1},
        {sString, true, "", -1},
        {sStringCaseSensitive, false, "Hello World", 2},
        {sStringCaseSensitive, false, "hello world", 1},
        {sStringCaseSensitive, true, "World", 2},
        {sStringCaseSensitive, true, "", -1},
        {sNumeric, false, "12", 0},
        {sNumeric, true, "12.0", 0},
        {sNumeric, false, "0", 1},
        {sNumeric, false, "13", -1},
    };
    for (const auto &c : cases) {
        auto list = listOf({"12 apples", "hello world", "Hello World"}, c.type);
        list->setSubstringMatch(c.substring);
        EXPECT_EQ(list->IndexOf(c.search), c.expected)
            << "type " << int(c.type) << " substring " << c.substring << " " << c.search;
    }

    auto keyed = listOf({"xxab", "yyAB"});
    keyed->SetKeyPos(3);
    EXPECT_EQ(keyed->IndexOf("AB"), 0);

    // Dates compare as values; SubstringMatch does not change that.
    auto dates = listOf({"2020-01-02", "2020-01-02 10:00"}, sDate);
    EXPECT_EQ(dates->IndexOf("2020-01-02 10:00:00"), 1);
    dates->setSubstringMatch(true);
    EXPECT_EQ(dates->IndexOf("2020-01-02 10:00"), 1);
    EXPECT_THROW(dates->IndexOf("2020-13-45"), EConvertError);
}

TEST(TvorList, IndexOfOnASortedListFindsItemsBeforeTheSortStartToo)
{
    auto list = listOf({"q", "p", "c", "a", "b"});
    list->setSortStart(2);
    list->SetSorted(true);
    EXPECT_EQ(list->toStringList(), (QStringList{"q", "p", "a", "b", "c"}));
    EXPECT_EQ(list->IndexOf("P"), 1);
    EXPECT_EQ(list->IndexOf("c"), 4);
    EXPECT_EQ(list->IndexOf("d"), -1);
    EXPECT_EQ(list->Add("aa"), 3); // inserted in the kept-in-order part
    EXPECT_EQ(list->checkConsistency(), "");
}

TEST(TvorList, AssignAndAddStringsWorkThroughTheListsOwnRules)
{
    TStringList source(QStringList{"b", "a", "b"});
    source.PutObject(0, &tag[3]);
    TvorList list;
    list.SetSorted(true);
    list.Assign(source);
    EXPECT_EQ(list.toStringList(), (QStringList{"a", "b"})); // dupIgnore
    EXPECT_EQ(list.Objects(1), &tag[3]); // the ignored duplicate did not overwrite it
    EXPECT_EQ(list.Text(), "a\r\nb\r\n");
}

TEST(TvorList, AddKeepsTheTextOrderOfZeroValuedNumericKeys)
{
    for (bool descending : {false, true}) {
        TvorList list;
        list.SetKeyType(sNumeric);
        list.setDescending(descending);
        list.setDuplicates(dupAccept);
        list.SetSorted(true);
        for (const char *text : {"5", "pear", "-2", "Apple", "0", "fig", "7", "banana", "zed"}) {
            list.Add(text);
            ASSERT_EQ(list.checkConsistency(), "") << text;
        }
        // the same items sorted from scratch give the same order
        auto fresh = listOf(list.toStringList(), sNumeric);
        fresh->setDescending(descending);
        fresh->Sort();
        const QStringList expected =
            descending ? QStringList{"7", "5", "zed", "pear", "fig", "banana", "Apple", "0", "-2"}
                       : QStringList{"-2", "0", "Apple", "banana", "fig", "pear", "zed", "5", "7"};
        EXPECT_EQ(list.toStringList(), expected) << descending;
        EXPECT_EQ(fresh->toStringList(), expected) << descending;
    }
}

namespace {

// Opens the list's internal steps to the test.
class StepList : public TvorList
{
public:
    using TvorList::ExchangeItems;
    using TvorList::Grow;
    using TvorList::InsertItem;
    using TvorList::QuickSort;
    using TvorList::SetCapacity;
    using TvorList::Sort_Alpha;
};

} // namespace

TEST(TvorList, InternalStepsCheckTheirIndicesAndDoNotNotify)
{
    StepList list;
    list.SetKeyType(sNumeric);
    for (const char *text : {"b", "2", "a", "1", "c"})
        list.Add(text);
    Recorder recorder;
    recorder.attach(list);

    list.QuickSort(1, 3); // numeric only, no post-pass: 2, a, 1 -> a, 1, 2
    EXPECT_EQ(list.toStringList(), (QStringList{"b", "a", "1", "2", "c"}));
    list.ExchangeItems(0, 4);
    EXPECT_EQ(list.toStringList(), (QStringList{"c", "a", "1", "2", "b"}));
    list.Sort_Alpha(); // the first zero run from index 0: c, a
    EXPECT_EQ(list.toStringList(), (QStringList{"a", "c", "1", "2", "b"}));
    EXPECT_TRUE(recorder.events.isEmpty());

    EXPECT_THROW(list.QuickSort(-1, 2), EListError);
    EXPECT_THROW(list.QuickSort(0, 5), EListError);
    EXPECT_THROW(list.ExchangeItems(0, 5), EListError);
    EXPECT_THROW(list.InsertItem(6, "x"), EListError);
    EXPECT_THROW(list.SetCapacity(4), EListError);
    EXPECT_EQ(list.toStringList(), (QStringList{"a", "c", "1", "2", "b"}));

    list.SetCapacity(100);
    EXPECT_EQ(list.Capacity(), 100);
    list.Grow();
    EXPECT_EQ(list.Capacity(), 116);
    EXPECT_EQ(list.checkConsistency(), "");
}
