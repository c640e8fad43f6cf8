// The keyed list's look-up, the grid's search and the grid's sort must agree on what
// the key of a text is and when two keys are equal: the same texts under the same key
// settings, asked of all three.
#include "host/exceptions.h"
#include "keyedlist/vorlist.h"
#include "ordering/keytype_p.h"
#include "test_sort_grid.h"

#include <gtest/gtest.h>

#include <climits>

using namespace vorgrd;
using namespace vorgrd::test;

namespace {

struct KeySettings
{
    TMSortType gridType;
    TLSortType listType;
    int pos, len;
};

const QStringList cellTexts = {"b12x", "a7", "B12y", "zz", "a-3", "12", "ab", "c0", "", "A7q"};

// Every date key must convert (a sort raises otherwise), so the date settings get
// texts of their own.
QStringList textsFor(const KeySettings &k)
{
    if (k.gridType != soDate) return cellTexts;
    if (k.pos == 1) return {"2024-03-01", "2024-01-15", "2024-03-01 10:00", "2023-12-31"};
    return {"x2023-12-31", "y2023-12-31", "z2024-01-02"};
}

void setUp(tvorgrid &grid, TvorList &list, const QStringList &texts, const KeySettings &k)
{
    std::vector<QStringList> rows;
    for (const QString &t : texts)
        rows.push_back({t});
    fillGrid(grid, rows);
    grid.setKeyType(k.gridType);
    grid.setKeyPos(k.pos);
    grid.setKeyLen(k.len);
    list.SetKeyType(k.listType);
    list.SetKeyPos(k.pos);
    list.SetKeyLen(k.len);
    for (const QString &t : texts)
        list.Add(t);
}

} // namespace

TEST(KeyAgreement, ListLookUpSearchAndSortSeeTheSameKeys)
{
    const KeySettings settings[] = {
        {soString, sString, 1, INT_MAX},
        {soString, sString, 2, 2},
        {soStringCaseSensitive, sStringCaseSensitive, 1, 2},
        {soStringCaseSensitive, sStringCaseSensitive, 3, INT_MAX},
        {soNumeric, sNumeric, 1, INT_MAX},
        {soNumeric, sNumeric, 2, 2},
        {soDate, sDate, 1, 10},
        {soDate, sDate, 2, INT_MAX},
    };
    for (const KeySettings &k : settings) {
        const QStringList texts = textsFor(k);
        SCOPED_TRACE(testing::Message() << "type " << int(k.gridType) << " from " << k.pos
                                        << " for " << k.len);
        tvorgrid grid;
        TvorList list;
        setUp(grid, list, texts, k);

        // Look-up and search: for every item's key, the first row holding it.
        for (int i = 0; i < texts.size(); ++i) {
            const QString key = list.KeyOf(texts[i]);
            const int listed = list.IndexOf(key);
            int col = -1, row = -1;
            ASSERT_TRUE(grid.FindFirstInCol(key, 0, col, row)) << "key '" << key.toStdString() << "'";
            EXPECT_EQ(row, listed) << "key '" << key.toStdString() << "'";
            EXPECT_LE(listed, i) << "key '" << key.toStdString() << "'";
        }

        // Sort: the grid's column in the list's order, in both directions; then the
        // sorted list's look-up (the first of equal keys) finds what the search finds.
        for (bool descending : {false, true}) {
            grid.setSortDescending(descending);
            TvorList sorted;
            sorted.SetKeyType(k.listType);
            sorted.SetKeyPos(k.pos);
            sorted.SetKeyLen(k.len);
            sorted.setDescending(descending);
            sorted.setDuplicates(dupAccept);
            for (const QString &t : texts)
                sorted.Add(t);
            sorted.SetSorted(true);
            grid.SortCol(0);
            QStringList expected;
            for (int i = 0; i < sorted.Count(); ++i)
                expected << sorted.Get(i);
            EXPECT_EQ(column(grid, 0), expected) << "descending " << descending;

            for (const QString &t : texts) {
                const QString key = sorted.KeyOf(t);
                int index = -1;
                ASSERT_TRUE(sorted.Find(key, index)) << "'" << key.toStdString() << "'";
                int col = -1, row = -1;
                ASSERT_TRUE(grid.FindFirstInCol(key, 0, col, row)) << "'" << key.toStdString() << "'";
                EXPECT_EQ(row, index) << "'" << key.toStdString() << "' descending " << descending;
            }
            grid.UndoSort();
            EXPECT_EQ(column(grid, 0), texts) << "undo, descending " << descending;
        }
    }
}

TEST(KeyAgreement, ALengthBelowOneCutsOneCharacterForTheSortAndNoneForTheSearch)
{
    // The sort has always cut as the keyed list, which stores the length as 1; the
    // search takes the length as it stands and so looks for the empty key.
    tvorgrid grid;
    fillGrid(grid, {{"zb"}, {"ya"}, {"xc"}});
    grid.setKeyLen(0);
    grid.SortCol(0);
    EXPECT_EQ(column(grid, 0), QStringList({"xc", "ya", "zb"}));
    int col = -1, row = -1;
    EXPECT_FALSE(grid.FindFirstInCol("x", 0, col, row));
    EXPECT_TRUE(grid.FindFirstInCol("", 0, col, row));
    EXPECT_EQ(row, 0);
    TvorList list;
    list.SetKeyLen(0);
    EXPECT_EQ(list.KeyLen(), 1);
    EXPECT_EQ(list.KeyOf("zb"), QStringLiteral("z"));
}

TEST(KeyType, EachGridKeyTypeMapsOntoTheListsOwn)
{
    EXPECT_EQ(internal::listKeyType(soString), sString);
    EXPECT_EQ(internal::listKeyType(soStringCaseSensitive), sStringCaseSensitive);
    EXPECT_EQ(internal::listKeyType(soNumeric), sNumeric);
    EXPECT_EQ(internal::listKeyType(soDate), sDate);
    EXPECT_THROW(internal::listKeyType(static_cast<TMSortType>(4)), ERangeError);
    EXPECT_THROW(internal::listKeyType(static_cast<TMSortType>(-1)), ERangeError);
}
