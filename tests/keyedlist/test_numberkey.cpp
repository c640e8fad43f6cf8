// The sort's allocation-free numeric key conversion must give exactly LeadingNumber.
#include "host/textconvert.h"
#include "keyedlist/numberkey_p.h"

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
