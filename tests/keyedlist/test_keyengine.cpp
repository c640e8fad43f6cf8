// The key engine shared by the keyed list, the grid's sorts and its search: cutting a
// key, typed matching, comparing keys and the numeric order with its text pass.
#include "host/exceptions.h"
#include "host/textconvert.h"
#include "keyedlist/keyconvert_p.h"
#include "keyedlist/keyengine_p.h"
#include "keyedlist/keyorder_p.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace vorgrd;
using internal::KeyRule;
using internal::ShortLength;

namespace {

KeyRule rule(TLSortType type, int pos = 1, int len = INT_MAX, bool descending = false)
{
    KeyRule s;
    s.type = type;
    s.pos = pos;
    s.len = len;
    s.descending = descending;
    return s;
}

int sign(int c)
{
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

// ---- cutting ----------------------------------------------------------------------------------

TEST(KeyCut, ClampsTheWindowAtBothEndsAndBelowOne)
{
    struct Case
    {
        const char *text;
        int pos, len;
        ShortLength shortLength;
        const char *key;
    };
    const Case cases[] = {
        {"abcdef", 1, INT_MAX, ShortLength::One, "abcdef"},
        {"abcdef", 3, 2, ShortLength::One, "cd"},
        {"abcdef", 1, 1, ShortLength::One, "a"},
        {"abcdef", 0, 2, ShortLength::One, "ab"},      // a start below 1 counts as 1
        {"abcdef", -7, 2, ShortLength::Empty, "ab"},   // ... under either rule
        {"abcdef", INT_MIN, 3, ShortLength::One, "abc"},
        {"abcdef", 5, 10, ShortLength::One, "ef"},     // cut short at the end
        {"abcdef", 6, INT_MAX, ShortLength::One, "f"}, // the last character
        {"abcdef", 7, 1, ShortLength::One, ""},        // a start beyond the end
        {"abcdef", INT_MAX, INT_MAX, ShortLength::One, ""},
        {"", 1, 1, ShortLength::One, ""},
        // a length below 1: the sorts' rule takes one character, the search's none
        {"abcdef", 2, 0, ShortLength::One, "b"},
        {"abcdef", 2, 0, ShortLength::Empty, ""},
        {"abcdef", 2, -5, ShortLength::One, "b"},
        {"abcdef", 2, INT_MIN, ShortLength::Empty, ""},
        {"abcdef", 0, 0, ShortLength::One, "a"},
        {"abcdef", 9, 0, ShortLength::One, ""},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(internal::cutKey(text, c.pos, c.len, c.shortLength).toString(),
                  QString::fromUtf8(c.key))
            << "'" << c.text << "' from " << c.pos << " for " << c.len << " rule "
            << int(c.shortLength);
    }
}

TEST(KeyCut, AKeyTextSharesTheWholeTextOnlyWhenItIsAllOfIt)
{
    const QString whole = QStringLiteral("apple pie");
    const QString all = internal::keyText(whole, rule(sString));
    EXPECT_EQ(all, whole);
    EXPECT_EQ(all.constData(), whole.constData()) << "the whole text was copied";
    const QString part = internal::keyText(whole, rule(sString, 7, 3));
    EXPECT_EQ(part, QStringLiteral("pie"));
    EXPECT_NE(part.constData(), whole.constData() + 6) << "a part must own its characters";
}

// ---- matching -----------------------------------------------------------------------------------

TEST(KeyMatch, EachKeyTypeHasItsOwnEquality)
{
    struct Case
    {
        TLSortType type;
        bool substring;
        int pos, len;
        const char *searched, *item;
        bool match;
    };
    const int all = INT_MAX;
    const Case cases[] = {
        {sString, false, 1, all, "ABC", "abc", true}, // case-insensitive
        {sString, false, 1, all, "abd", "abc", false},
        {sString, false, 1, all, "ab", "abc", false}, // the whole key, not a prefix
        {sString, false, 3, 2, "CD", "abcdef", true},
        {sStringCaseSensitive, false, 1, all, "ABC", "abc", false},
        {sStringCaseSensitive, false, 1, all, "abc", "abc", true},
        {sStringCaseSensitive, false, 7, all, "", "abc", true}, // start beyond: empty key
        // a part search looks at the whole item text, whatever the window
        {sString, true, 5, 1, "bc", "xABCx", true},
        {sString, true, 1, all, "", "abc", false}, // an empty text occurs nowhere
        {sString, true, 1, all, "\u00e9", "x\u00c9x", false}, // only a-z are folded
        {sString, true, 1, all, "\u00e9", "x\u00e9x", true},
        {sStringCaseSensitive, true, 1, all, "BC", "xABCx", true},
        {sStringCaseSensitive, true, 1, all, "bc", "xABCx", false},
        {sStringCaseSensitive, true, 1, all, "", "abc", false},
        // numbers: the leading number of the key, texts without one at 0
        {sNumeric, false, 1, all, "12", "12kg", true},
        {sNumeric, false, 1, all, "12", "12.0", true},
        {sNumeric, false, 1, all, "12", "13", false},
        {sNumeric, false, 1, all, "abc", "xyz", true},
        {sNumeric, false, 1, all, "0", "", true},
        {sNumeric, true, 1, all, "12", "112", false}, // no part search for numbers
        {sNumeric, false, 3, 2, "45", "1245.7", true},
        // dates
        {sDate, false, 1, all, "2024-01-05", "2024-01-05", true},
        {sDate, false, 1, all, "2024-01-05", "2024-01-05 00:00", true},
        {sDate, false, 1, all, "2024-01-05", "2024-01-06", false},
        {sDate, true, 3, 10, "2024-01-05", "d:2024-01-05!", true},
    };
    for (const Case &c : cases) {
        const KeyRule key = rule(c.type, c.pos, c.len);
        const QString searched = QString::fromUtf8(c.searched);
        const internal::KeyMatch m = internal::matchFor(c.type, c.substring, searched, "Test");
        EXPECT_EQ(internal::matches(m, QString::fromUtf8(c.item), key, "Test"), c.match)
            << "type " << int(c.type) << " part " << c.substring << " '" << c.searched
            << "' in '" << c.item << "'";
        // Outside a part search, a match is exactly a key comparing equal.
        if (!m.substring) {
            EXPECT_EQ(internal::compareWithMatch(internal::cutKey(QString::fromUtf8(c.item), key),
                                                 m, "Test") == 0,
                      c.match)
                << "compare: type " << int(c.type) << " '" << c.searched << "' in '" << c.item
                << "'";
        }
    }
}

TEST(KeyMatch, ADateThatDoesNotConvertIsReportedInTheCallersWording)
{
    const KeyRule key = rule(sDate);
    const internal::KeyMatch m = internal::matchFor(sDate, false, "2024-01-05", "IndexOf");
    try {
        internal::matches(m, QStringLiteral("soon"), key, "IndexOf");
        ADD_FAILURE() << "no error for a key that is no date";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("IndexOf: \"soon\" is not a valid date and time"));
    }
    // Without an operation the wording is StrToDateTime's own.
    QString expected;
    try {
        StrToDateTime(QStringLiteral("soon"));
    } catch (const EConvertError &e) {
        expected = e.Message();
    }
    ASSERT_FALSE(expected.isEmpty());
    try {
        internal::matchFor(sDate, false, QStringLiteral("soon"), nullptr);
        ADD_FAILURE() << "no error for a searched-for text that is no date";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), expected);
    }
}

// ---- ordering -----------------------------------------------------------------------------------

TEST(KeyOrder, CompareKeysFollowsTheKeyType)
{
    struct Case
    {
        TLSortType type;
        const char *a, *b;
        int sign;
    };
    const Case cases[] = {
        {sString, "a", "B", -1},
        {sString, "abc", "ABC", 0},
        {sStringCaseSensitive, "a", "B", 1},
        {sStringCaseSensitive, "ab", "abc", -1}, // a prefix first
        {sNumeric, "2", "10", -1},               // by value, not as text
        {sNumeric, "10kg", "10", 0},
        {sNumeric, "-1", "x", -1},
        {sNumeric, "b", "A", 1},                 // both 0: ordered as text
        {sNumeric, "0", "abc", -1},
        {sNumeric, "abc", "ABC", 0},
        {sDate, "2024-01-02", "2023-12-31", 1},
        {sDate, "2024-01-02 10:00", "2024-01-02 09:59", 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(sign(internal::compareKeys(QString::fromUtf8(c.a), QString::fromUtf8(c.b),
                                             c.type, "Test")),
                  c.sign)
            << "type " << int(c.type) << " '" << c.a << "' against '" << c.b << "'";
    EXPECT_THROW(internal::compareKeys(u"2024-01-02", u"later", sDate, "Test"), EConvertError);
}

namespace {

// The numeric order of `texts` under `key` as the list of texts it gives.
QStringList numericOrder(const QStringList &texts, const KeyRule &key)
{
    std::vector<internal::Entry<double>> entries;
    for (int i = 0; i < texts.size(); ++i)
        entries.push_back({internal::leadingNumberOf(internal::cutKey(texts[i], key)), i});
    internal::orderNumeric(entries.data(), int(entries.size()), key,
                           [&](int index) { return texts[index]; });
    QStringList ordered;
    for (const auto &entry : entries)
        ordered << texts[entry.index];
    return ordered;
}

} // namespace

TEST(KeyOrder, TheNumericOrderPutsKeysWithoutANumberAtZeroInTextOrder)
{
    struct Case
    {
        const char *what;
        int pos, len;
        bool descending;
        QStringList texts, expected;
    };
    const Case cases[] = {
        {"ascending", 1, INT_MAX, false, {"10", "b", "-1", "A", "0", "2x", "c"},
         {"-1", "0", "A", "b", "c", "2x", "10"}},
        {"descending", 1, INT_MAX, true, {"10", "b", "-1", "A", "0", "2x", "c"},
         {"10", "2x", "c", "b", "A", "0", "-1"}},
        // the text pass orders by the key, not by the whole text
        {"key window", 2, 1, false, {"x5", "yb", "za", "w1"}, {"za", "yb", "w1", "x5"}},
        {"one zero", 1, INT_MAX, false, {"3", "q", "1"}, {"q", "1", "3"}},
        {"no zero", 1, INT_MAX, false, {"3", "-2", "1"}, {"-2", "1", "3"}},
        {"only zeros", 1, INT_MAX, false, {"c", "", "B", "a"}, {"", "a", "B", "c"}},
        {"nothing", 1, INT_MAX, false, {}, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(numericOrder(c.texts, rule(sNumeric, c.pos, c.len, c.descending)), c.expected)
            << c.what;
}
