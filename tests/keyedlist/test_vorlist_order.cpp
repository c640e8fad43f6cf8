// The sort order of TvorList against a plain transcription of its partition-exchange
// scheme that cuts and converts the keys afresh on every comparison and exchanges the
// items themselves. Items carry distinct objects, so the places of equal keys are
// compared too.
#include "host/exceptions.h"
#include "host/formatsettings.h"
#include "host/textconvert.h"
#include "keyedlist/vorlist.h"
#include "support/pinnedsettings.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cstdint>

using namespace vorgrd;

namespace {

struct RefItem
{
    QString text;
    void *object;
    bool operator==(const RefItem &) const = default;
};

// The scheme as written: pivot key converted once per pass, every other key cut and
// converted at each comparison, exchanges on the items.
class ReferenceList
{
public:
    std::vector<RefItem> items;
    TLSortType type = sString;
    int keyPos = 1, keyLen = 2147483647, sortStart = 0;
    bool descending = false;

    void sort()
    {
        if (items.size() <= 1) return;
        // A start beyond the last item sorts nothing (the scheme itself would pick a
        // pivot outside the list there).
        if (sortStart < int(items.size())) quickSort(sortStart, int(items.size()) - 1);
        if (type == sNumeric) sortAlpha();
    }

private:
    QString key(int i) const { return items[size_t(i)].text.mid(keyPos - 1, keyLen); }

    int compare(const QString &key, const QString &pivot, double pivotValue) const
    {
        switch (type) {
        case sString:
            return AnsiCompareText(key, pivot);
        case sStringCaseSensitive:
            return QString::compare(key, pivot, Qt::CaseSensitive);
        case sNumeric: {
            const double v = LeadingNumber(key);
            return v < pivotValue ? -1 : (v > pivotValue ? 1 : 0);
        }
        case sDate: {
            const double v = StrToDateTime(key);
            return v < pivotValue ? -1 : (v > pivotValue ? 1 : 0);
        }
        }
        return 0;
    }

    void quickSort(int l, int r)
    {
        int i = 0;
        do {
            i = l;
            int j = r;
            const QString pivot = key((l + r) / 2);
            const double pivotValue = type == sNumeric ? LeadingNumber(pivot)
                                      : type == sDate  ? StrToDateTime(pivot)
                                                       : 0;
            do {
                if (!descending) {
                    while (compare(key(i), pivot, pivotValue) < 0)
                        ++i;
                    while (compare(key(j), pivot, pivotValue) > 0)
                        --j;
                } else {
                    while (compare(key(i), pivot, pivotValue) > 0)
                        ++i;
                    while (compare(key(j), pivot, pivotValue) < 0)
                        --j;
                }
                if (i <= j) {
                    std::swap(items[size_t(i)], items[size_t(j)]);
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (l < j) quickSort(l, j);
            l = i;
        } while (i < r);
    }

    void sortAlpha()
    {
        const int count = int(items.size());
        int i = sortStart;
        while (i < count && LeadingNumber(key(i)) != 0)
            ++i;
        if (i >= count) return;
        int j = i;
        while (j + 1 < count && LeadingNumber(key(j + 1)) == 0)
            ++j;
        if (j > i) {
            type = sString;
            quickSort(i, j);
            type = sNumeric;
        }
    }
};

std::vector<RefItem> itemsOf(const TvorList &list)
{
    std::vector<RefItem> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back({list.Strings(i), list.Objects(i)});
    return out;
}

void *objectFor(int i)
{
    return reinterpret_cast<void *>(std::intptr_t(i + 1));
}

// Few distinct pieces, so that many keys are equal (also equal as numbers or dates,
// or equal only case-insensitively).
QString randomText(QRandomGenerator &random, TLSortType type)
{
    static const QStringList textPieces = {"a", "A", "b", "B", "é", "É", " ", "-", "1", "z"};
    static const QStringList numberPieces = {"10",   "9",    "abc", "-1",  "Zed", "0",   "1e3",
                                             "12,5", "2.5x", "",    "ABC", "+0",  "0.0", "x"};
    static const QStringList datePieces = {
        "2020-01-02", "2020-01-02 10:00", "1999-12-31", "2020-01-02T10:00",
        "12:00",      "0001-01-01",       "2020-1-2"};
    QString text;
    if (type == sDate) return datePieces[random.bounded(int(datePieces.size()))];
    if (type == sNumeric) {
        text = numberPieces[random.bounded(int(numberPieces.size()))];
        if (random.bounded(3) == 0) text += textPieces[random.bounded(int(textPieces.size()))];
        return text;
    }
    const int length = random.bounded(4);
    for (int k = 0; k < length; ++k)
        text += textPieces[random.bounded(int(textPieces.size()))];
    return text;
}

struct SortSetup
{
    TLSortType type;
    bool descending;
    int sortStart, keyPos, keyLen;
};

// Sorts the same random items with TvorList and with the reference; returns the number
// of lists compared.
int compareWithReference(const SortSetup &s, quint32 seed, int rounds, int maxSize)
{
    QRandomGenerator random(seed);
    for (int round = 0; round < rounds; ++round) {
        const int size = random.bounded(maxSize + 1);
        TvorList list;
        ReferenceList reference;
        list.SetKeyType(s.type);
        list.SetKeyPos(s.keyPos);
        list.SetKeyLen(s.keyLen);
        list.setSortStart(s.sortStart);
        list.setDescending(s.descending);
        reference.type = s.type;
        reference.keyPos = s.keyPos;
        reference.keyLen = s.keyLen;
        reference.sortStart = s.sortStart;
        reference.descending = s.descending;
        // A date key cut by a key window is no date any more: keep the whole text.
        for (int i = 0; i < size; ++i) {
            const QString text = randomText(random, s.type);
            list.AddObject(text, objectFor(i));
            reference.items.push_back({text, objectFor(i)});
        }
        list.Sort();
        reference.sort();
        const auto got = itemsOf(list);
        if (got != reference.items) {
            ADD_FAILURE() << "type " << int(s.type) << " descending " << s.descending << " start "
                          << s.sortStart << " key " << s.keyPos << "," << s.keyLen << " seed "
                          << seed << " round " << round << " size " << size;
            return round;
        }
        EXPECT_EQ(list.checkConsistency(), "");
    }
    return rounds;
}

const SortSetup setups[] = {
    {sString, false, 0, 1, 2147483647},
    {sString, true, 0, 1, 2147483647},
    {sString, false, 3, 2, 2},
    {sString, true, 2, 1, 1},
    {sStringCaseSensitive, false, 0, 1, 2147483647},
    {sStringCaseSensitive, true, 3, 1, 2147483647},
    {sStringCaseSensitive, false, 1, 2, 1},
    {sNumeric, false, 0, 1, 2147483647},
    {sNumeric, true, 0, 1, 2147483647},
    {sNumeric, false, 4, 2, 3},
    {sNumeric, true, 2, 1, 2},
    {sDate, false, 0, 1, 2147483647},
    {sDate, true, 5, 1, 2147483647},
};

} // namespace

TEST(TvorListOrder, EqualsTheSchemeOnManyRandomListsWithEqualKeys)
{
    quint32 seed = 1;
    for (const SortSetup &s : setups) {
        EXPECT_EQ(compareWithReference(s, seed, 150, 60), 150);
        EXPECT_EQ(compareWithReference(s, seed + 1000, 3, 3000), 3);
        ++seed;
    }
}

TEST(TvorListOrder, EqualsTheSchemeUnderARealCollationLocale)
{
    FormatSettings settings = FormatSettings::invariant();
    settings.CollationLocale = QLocale(QLocale::German, QLocale::Germany);
    test::PinnedSettings pinned(settings);
    quint32 seed = 77;
    for (const SortSetup &s : setups) {
        if (s.type != sString && s.type != sNumeric) continue;
        EXPECT_EQ(compareWithReference(s, seed++, 100, 60), 100);
    }
}

TEST(TvorListOrder, TextsThatFastKeysMishandleStillSortByTheCollator)
{
    // NUL stops ICU sort keys and surrogates fold differently; such keys are compared
    // by the collator itself.
    const QStringList odd = {QString("a") + QChar(0) + "z",
                             "ab",
                             QString(QChar(0)),
                             "",
                             QString::fromUtf16(u"\U0001F600"),
                             QString::fromUtf16(u"\U0001F601a"),
                             "A",
                             QString(QChar(0xD800)),
                             "b"};
    for (bool german : {false, true}) {
        FormatSettings settings = FormatSettings::invariant();
        if (german) settings.CollationLocale = QLocale(QLocale::German, QLocale::Germany);
        test::PinnedSettings pinned(settings);
        QRandomGenerator random(5);
        for (int round = 0; round < 200; ++round) {
            TvorList list;
            ReferenceList reference;
            const int size = random.bounded(12);
            for (int i = 0; i < size; ++i) {
                const QString text = odd[random.bounded(int(odd.size()))];
                list.AddObject(text, objectFor(i));
                reference.items.push_back({text, objectFor(i)});
            }
            list.Sort();
            reference.sort();
            ASSERT_EQ(itemsOf(list), reference.items) << "round " << round << " german " << german;
        }
    }
}

TEST(TvorListOrder, KeyTypeChangeOnASortedListGivesTheSchemesOrder)
{
    // The re-sort starts from the order the list had, as the scheme does.
    QRandomGenerator random(11);
    TvorList list;
    ReferenceList reference;
    for (int i = 0; i < 300; ++i) {
        const QString text = randomText(random, sNumeric);
        list.AddObject(text, objectFor(i));
        reference.items.push_back({text, objectFor(i)});
    }
    list.SetSorted(true);
    reference.sort();
    ASSERT_EQ(itemsOf(list), reference.items);
    list.SetKeyType(sNumeric);
    reference.type = sNumeric;
    reference.sort();
    EXPECT_EQ(itemsOf(list), reference.items);
    list.setDescending(true);
    reference.descending = true;
    reference.sort();
    EXPECT_EQ(itemsOf(list), reference.items);
    EXPECT_EQ(list.checkConsistency(), "");
}

namespace {

// Under a real collation the empty text comes before every other text, also before
// texts made only of characters the collation ignores, although their collation sort
// keys are the same.
const QString softHyphen(QChar(0x00AD));
const QString zeroWidthSpace(QChar(0x200B));

FormatSettings usEnglishCollation()
{
    FormatSettings settings = FormatSettings::invariant();
    settings.CollationLocale = QLocale(QLocale::English, QLocale::UnitedStates);
    return settings;
}

QString randomIgnorableText(QRandomGenerator &random)
{
    static const QStringList pieces = {softHyphen, zeroWidthSpace, QString(QChar(0)), "a", "A",
                                       "b", "-", softHyphen + "a"};
    QString text;
    const int length = random.bounded(4); // a quarter of the texts are empty
    for (int k = 0; k < length; ++k)
        text += pieces[random.bounded(int(pieces.size()))];
    return text;
}

} // namespace

TEST(TvorListOrder, EmptyAndIgnorableKeysSortAsTheComparisonOrdersThem)
{
    test::PinnedSettings pinned(usEnglishCollation());
    const QStringList texts = {softHyphen, "b", "", zeroWidthSpace, softHyphen + zeroWidthSpace,
                               "a", "", softHyphen + "a"};
    ASSERT_LT(AnsiCompareText(QString(), softHyphen), 0); // what the list must agree with

    for (bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        TvorList list;
        list.setDescending(descending);
        for (const QString &t : texts)
            list.Add(t);
        list.Sort();
        for (int i = 1; i < list.Count(); ++i) {
            const int order = AnsiCompareText(list.Get(i - 1), list.Get(i));
            EXPECT_TRUE(descending ? order >= 0 : order <= 0) << "at " << i;
        }
    }

    // A kept-sorted list finds every item it holds and says it is in order.
    TvorList kept;
    kept.SetSorted(true);
    for (const QString &t : texts)
        kept.Add(t);
    EXPECT_EQ(kept.checkConsistency(), "");
    for (const QString &t : texts) {
        const int index = kept.IndexOf(t);
        ASSERT_GE(index, 0) << "missing a text of " << t.size() << " characters";
        EXPECT_EQ(AnsiCompareText(kept.Get(index), t), 0);
    }
}

TEST(TvorListOrder, RandomTextsWithIgnorableCharactersSortAsTheComparisonOrdersThem)
{
    // The reference compares every pair with AnsiCompareText itself, so the places of
    // ties (the items carry distinct objects) are checked as well as the order.
    test::PinnedSettings pinned(usEnglishCollation());
    QRandomGenerator random(815);
    for (int round = 0; round < 300; ++round) {
        const bool descending = round % 2 == 1;
        TvorList list;
        ReferenceList reference;
        list.setDescending(descending);
        reference.descending = descending;
        const int size = random.bounded(40);
        for (int i = 0; i < size; ++i) {
            const QString text = randomIgnorableText(random);
            list.AddObject(text, objectFor(i));
            reference.items.push_back({text, objectFor(i)});
        }
        list.Sort();
        reference.sort();
        ASSERT_EQ(itemsOf(list), reference.items) << "round " << round;

        TvorList kept;
        kept.setDescending(descending);
        kept.SetSorted(true);
        for (const RefItem &item : reference.items)
            kept.Add(item.text);
        ASSERT_EQ(kept.checkConsistency(), "") << "round " << round;
        for (const RefItem &item : reference.items)
            ASSERT_GE(kept.IndexOf(item.text), 0) << "round " << round;
    }
}
