// The scoped update bracket: it closes on every way out of its scope, a change handler
// that throws at the close reaches the caller, and a second failure while the first
// unwinds is reported instead of ending the program. Also the list permutation of the
// sort, whose bracket once stayed open when a write failed half-way.
#include "host/strings.h"
#include "host/updatebracket.h"
#include "keyedlist/vorlist.h"
#include "ordering/sortlists_p.h"
#include "warningcapture.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace vorgrd;

namespace {

// A list whose writes fail from the n-th one on, and which records its bracket.
class FailingList : public TStringList
{
public:
    int failAt = -1;
    int puts = 0;
    int closes = 0;
    void Put(int index, const QString &text) override
    {
        if (puts++ == failAt) throw std::runtime_error("disk full");
        TStringList::Put(index, text);
    }

protected:
    void SetUpdateState(bool updating) override
    {
        if (!updating) ++closes;
    }
};

} // namespace

TEST(UpdateBracket, ClosesOnceOnEveryWayOutOfItsScope)
{
    FailingList list;
    {
        UpdateBracket outer(list);
        UpdateBracket inner(list);
        EXPECT_EQ(list.UpdateCount(), 2);
    }
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(list.closes, 1); // nested brackets only count
    EXPECT_THROW(
        {
            UpdateBracket bracket(list);
            throw std::runtime_error("work failed");
        },
        std::runtime_error);
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(list.closes, 2);
    {
        UpdateBracket bracket(list);
        bracket.close();
        EXPECT_EQ(list.UpdateCount(), 0);
    }
    EXPECT_EQ(list.UpdateCount(), 0); // closed early, not twice
    EXPECT_EQ(list.closes, 3);
}

TEST(UpdateBracket, AHandlerThatThrowsAtTheCloseReachesTheCaller)
{
    TvorList list;
    list.Add(QStringLiteral("b"));
    list.Add(QStringLiteral("a"));
    list.OnChange = [](TvorList *) { throw std::runtime_error("handler refused"); };
    // Exchange brackets its four writes; the handler runs at the close. A bracket
    // whose destructor could not throw ended the program here.
    EXPECT_THROW(list.Exchange(0, 1), std::runtime_error);
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(list.Get(0), QStringLiteral("a"));
}

TEST(UpdateBracket, ASecondFailureWhileUnwindingIsReportedAndTheFirstKept)
{
    TvorList list;
    list.OnChange = [](TvorList *) { throw std::runtime_error("handler refused"); };
    test::WarningCapture warnings;
    try {
        UpdateBracket bracket(list);
        throw std::logic_error("work failed");
    } catch (const std::logic_error &e) {
        EXPECT_STREQ(e.what(), "work failed");
    }
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_TRUE(warnings.contains(QStringLiteral("handler refused"))) << warnings.messages.join('\n').toStdString();
}

TEST(SortPermutation, AWriteThatFailsHalfWayLeavesNoBracketOpen)
{
    FailingList list;
    for (const char *text : {"a", "b", "c", "d"})
        list.Add(QString::fromLatin1(text));
    list.failAt = 1; // the second write fails
    EXPECT_THROW(sort_internal::permuteList(list, {3, 2, 1, 0}), std::runtime_error);
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(list.closes, 1);
    // Without a failure the entries are permuted.
    list.failAt = -1;
    list.Clear();
    for (const char *text : {"a", "b", "c", "d"})
        list.Add(QString::fromLatin1(text));
    sort_internal::permuteList(list, {3, 2, 1, 0});
    EXPECT_EQ(list.Text(), QStringLiteral("d\r\nc\r\nb\r\na\r\n"));
}
