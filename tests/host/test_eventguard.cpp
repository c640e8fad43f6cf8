// The event guard on its own, and the one shape of every argument check.
#include "host/eventguard.h"
#include "host/exceptions.h"
#include "ordering/orderingtypes.h"
#include "warningcapture.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace vorgrd;
using vorgrd::test::WarningCapture;

TEST(EventGuard, CatchesEveryKindOfExceptionReportsItAndRecovers)
{
    struct Case
    {
        const char *name;
        void (*work)();
        const char *reported;
    };
    const Case cases[] = {
        {"std::exception", [] { throw std::runtime_error("boom"); }, "vorgrd: key press: boom"},
        {"library error", [] { throw ERangeError(QStringLiteral("Row 9 is out of range")); },
         "vorgrd: key press: Row 9 is out of range"},
        {"int", [] { throw 42; }, "vorgrd: key press: an exception that is no std::exception"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        WarningCapture warnings;
        int recovered = 0;
        EXPECT_FALSE(guardEvent("key press", c.work, [&] { ++recovered; }));
        EXPECT_EQ(recovered, 1);
        ASSERT_EQ(warnings.messages.size(), 1);
        EXPECT_EQ(warnings.messages[0], QString::fromUtf8(c.reported));
    }
}

TEST(EventGuard, WorkThatFinishesIsNeitherReportedNorRecovered)
{
    WarningCapture warnings;
    int ran = 0, recovered = 0;
    EXPECT_TRUE(guardEvent("paint", [&] { ++ran; }, [&] { ++recovered; }));
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(recovered, 0);
    EXPECT_TRUE(warnings.messages.isEmpty());
}

TEST(EventGuard, ARecoveryThatThrowsIsReportedAndContained)
{
    WarningCapture warnings;
    EXPECT_FALSE(guardEvent(
        "mouse press", [] { throw std::logic_error("first"); }, [] { throw 7; }));
    ASSERT_EQ(warnings.messages.size(), 2);
    EXPECT_TRUE(warnings.messages[0].endsWith(QLatin1String("first")));
    EXPECT_TRUE(warnings.messages[1].contains(QLatin1String("no std::exception")));
}

TEST(RangeCheck, EveryRefusalReadsAlike)
{
    auto messageOf = [](auto call) {
        try {
            call();
        } catch (const ERangeError &e) {
            return e.Message();
        }
        return QStringLiteral("(accepted)");
    };
    EXPECT_EQ(messageOf([] { checkRange("InsertRows", "Count", 0, 1, 10); }),
              "InsertRows: Count 0 is out of range (valid: 1..10)");
    EXPECT_EQ(messageOf([] { checkRange("", "Row", -1, 0, 4); }),
              "Row -1 is out of range (valid: 0..4)");
    EXPECT_EQ(messageOf([] { checkRange("setCells", "row", 5'000'000'000LL, 0, 2147483646); }),
              "setCells: row 5000000000 is out of range (valid: 0..2147483646)");
    // The bounds themselves are valid.
    EXPECT_EQ(messageOf([] { checkRange("op", "x", 1, 1, 10); }), "(accepted)");
    EXPECT_EQ(messageOf([] { checkRange("op", "x", 10, 1, 10); }), "(accepted)");
}

TEST(RangeCheck, EnumerationBoundsComeFromTheEnumeration)
{
    auto messageOf = [](int raw) {
        try {
            checkEnumRange("setUseFixed", "UseFixed", static_cast<HandleFixed>(raw));
        } catch (const ERangeError &e) {
            return e.Message();
        }
        return QStringLiteral("(accepted)");
    };
    EXPECT_EQ(messageOf(hfNot), "(accepted)");
    EXPECT_EQ(messageOf(hfYes), "(accepted)");
    EXPECT_EQ(messageOf(3), "setUseFixed: UseFixed 3 is out of range (valid: 0..2)");
    EXPECT_EQ(messageOf(-1), "setUseFixed: UseFixed -1 is out of range (valid: 0..2)");
    EXPECT_THROW(checkEnumRange("setKeyType", "KeyType", static_cast<TMSortType>(7)), ERangeError);
    EXPECT_NO_THROW(checkEnumRange("setKeyType", "KeyType", soDate));
}
