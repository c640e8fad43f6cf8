// The sort's fast key conversions must give exactly LeadingNumber and StrToDateTime.
#include "host/textconvert.h"
#include "keyedlist/keyconvert_p.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace vorgrd;

namespace {

// Equal as values, with infinities and the sign of zero compared too.
bool sameNumber(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(NumericKey, EqualsLeadingNumberOnTrickyTexts)
{
    const char *texts[] = {
        "",
        " ",
        "  12",
        "12.5kg",
        "7 apples",
        "1e3",
        "1E+3x",
        "1e-3",
        "1e",
        "1e+",
        "1e-x",
        "12,5",
        "abc",
        "-",
        "+",
        "-.",
        ".",
        ".5",
        "-.5e1",
        "5.",
        "5.e2",
        "+0",
        "-0",
        "-0.0",
        "0x10",
        "..5",
        "3..",
        "1e999",
        "-1e999",
        "1e-999",
        "00012",
        "1.2.3",
        " -7 ",
        "\t5",
        "123456789012345678901234567890",
        "0.000000000000000000000000000000000001",
        "99999999999999999999999999999999999999999999999999999999999999999999999999999999"
        "99999999999999999999999999999999999999999999999999999999999999999999999999999999",
        "1.7e38",
        "1.8e38",
        "-3.4e38kg",
        "2.5E-1z",
        "1ee5",
        "1e5e5",
        "+-1",
        "--1",
        "١٢",
    };
    for (const char *t : texts) {
        const QString text = QString::fromUtf8(t);
        EXPECT_TRUE(sameNumber(internal::leadingNumberOf(text), LeadingNumber(text))) << t;
    }
}

TEST(NumericKey, EqualsLeadingNumberOnRandomTexts)
{
    const QString alphabet = QStringLiteral("0123456789 +-.eEx,");
    QRandomGenerator random(42);
    for (int round = 0; round < 200000; ++round) {
        QString text;
        const int length = random.bounded(12);
        for (int k = 0; k < length; ++k)
            text += alphabet[random.bounded(int(alphabet.size()))];
        ASSERT_TRUE(sameNumber(internal::leadingNumberOf(text), LeadingNumber(text)))
            << text.toStdString();
    }
}

TEST(DateKey, EqualsStrToDateTimeOnTrickyTexts)
{
    const char *texts[] = {
        "2020-01-02",
        "2020-1-2",
        "2020-01-02 10:00",
        "2020-01-02T10:00:59",
        "2020-01-02t10:00",
        "2020-01-02 10:00:00.5",
        "2020-01-02  10:00",
        " 2020-01-02",
        "2020-01-02 ",
        "2023-02-29",
        "2024-02-29",
        "0000-01-01",
        "0001-01-01",
        "9999-12-31 23:59:59",
        "10000-01-01",
        "2020-13-01",
        "2020-01-32",
        "2020-01-02 24:00",
        "2020-01-02 10:60",
        "2020-01-02 10:00:60",
        "2020-01-02 1:2:3",
        "2020-01-02 10:00 PM",
        "2020-01-02 10",
        "2020-01-02 10:",
        "2020-01-",
        "2020/01/02",
        "12:00",
        "",
        "x",
        "2020-001-02",
        "20-01-02",
        "2020-01-02T",
        "2020-01-02 10:00:",
    };
    for (const char *t : texts) {
        const QString text = QString::fromUtf8(t);
        double expected = 0, got = 0;
        const bool ok = TryStrToDateTime(text, expected);
        EXPECT_EQ(internal::dateTimeOf(text, got), ok) << t;
        if (ok) {
            EXPECT_TRUE(sameNumber(got, expected)) << t;
        }
    }
}

TEST(DateKey, EqualsStrToDateTimeOnRandomTexts)
{
    const QString alphabet = QStringLiteral("0123456789--- :T");
    QRandomGenerator random(7);
    int accepted = 0;
    for (int round = 0; round < 100000; ++round) {
        // mostly well-formed dates with random damage
        QString text = QStringLiteral("%1-%2-%3 %4:%5:%6")
                           .arg(random.bounded(10000), 4, 10, QChar(u'0'))
                           .arg(random.bounded(14))
                           .arg(random.bounded(33))
                           .arg(random.bounded(26))
                           .arg(random.bounded(62))
                           .arg(random.bounded(62));
        text.truncate(random.bounded(int(text.size()) + 1));
        if (!text.isEmpty() && random.bounded(3) == 0)
            text[random.bounded(int(text.size()))] = alphabet[random.bounded(int(alphabet.size()))];
        double expected = 0, got = 0;
        const bool ok = TryStrToDateTime(text, expected);
        ASSERT_EQ(internal::dateTimeOf(text, got), ok) << text.toStdString();
        if (ok) {
            ++accepted;
            ASSERT_TRUE(sameNumber(got, expected)) << text.toStdString();
        }
    }
    EXPECT_GT(accepted, 10000); // the well-formed texts were really exercised
}
