#include "host/exceptions.h"
#include "host/formstream.h"
#include "streamsamples.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace vorgrd;
using namespace vorgrd::test;

namespace {

void customise(Gadget &g)
{
    g.setCount(9);
    g.setFixed(3);
    g.setRatio(2.25);
    g.setShape(Oval);
    g.setParts(Parts(Lid | Handle));
    g.setItems({"x", "y"});
    g.setTitles(true);
    g.Caption()->setText("Hello");
    g.Caption()->setColor(0xff);
    auto *s = qobject_cast<Slot *>(g.slotList()->Add());
    s->setName("first");
    s->setWidth(100);
    qobject_cast<Slot *>(g.slotList()->Add())->setName("second");
}

QJsonObject propertiesOf(const QObject &o)
{
    return WriteComponent(o).value("properties").toObject();
}

} // namespace

TEST(FormStream, WritesOnlyWhatTheStoredRulesSelect)
{
    Gadget g;
    QJsonObject p = propertiesOf(g);
    EXPECT_FALSE(p.contains("Visible"));   // STORED false
    EXPECT_FALSE(p.contains("Titles"));    // stored test says no
    EXPECT_FALSE(p.contains("Busy"));      // read-only value
    EXPECT_FALSE(p.contains("objectName")); // not a property of ours
    EXPECT_EQ(p.value("Shape").toString(), "Round");
    EXPECT_EQ(p.value("Parts").toString(), "Lid");

    qobject_cast<Slot *>(g.slotList()->Add())->setWidth(64);
    g.setTitles(true);
    p = propertiesOf(g);
    EXPECT_TRUE(p.value("Titles").toBool());
    const QJsonObject slot = p.value("Slots").toArray().at(0).toObject();
    EXPECT_FALSE(slot.contains("Width")) << "a width equal to the default is not stored";
    EXPECT_TRUE(slot.contains("Name"));
}

TEST(FormStream, RoundTripRebuildsTheSameComponent)
{
    Gadget original;
    customise(original);
    const QByteArray text = SaveComponent(original);

    Gadget copy;
    LoadComponent(copy, text);
    EXPECT_EQ(copy.Count(), 9);
    EXPECT_EQ(copy.Fixed(), 3);
    EXPECT_EQ(copy.Ratio(), 2.25);
    EXPECT_EQ(copy.shape(), Oval);
    EXPECT_EQ(copy.parts(), Parts(Lid | Handle));
    EXPECT_EQ(copy.Items(), QStringList({"x", "y"}));
    EXPECT_EQ(copy.Caption()->Text(), "Hello");
    EXPECT_EQ(copy.Caption()->Color(), 0xffu);
    ASSERT_EQ(copy.slotList()->Count(), 2);
    EXPECT_EQ(qobject_cast<Slot *>(copy.slotList()->Items(0))->Width(), 100);
    EXPECT_EQ(qobject_cast<Slot *>(copy.slotList()->Items(1))->Name(), "second");
    EXPECT_EQ(copy.loadedCalls, 1);
    EXPECT_EQ(SaveComponent(copy), text);
    copy.slotList()->checkConsistency();
}

TEST(FormStream, MalformedStreamsAreRejectedNamingThePropertyAndChangeNothing)
{
    struct Case
    {
        const char *properties;
        const char *named;
    } cases[] = {
        {R"({"Count": "nine"})", "Count"},
        {R"({"Count": 1.5})", "Count"},
        {R"({"Count": 1e12})", "Count"},
        {R"({"Shape": "Triangle"})", "Shape"},
        {R"({"Parts": "Lid|Spout"})", "Parts"},
        {R"({"Items": ["a", 3]})", "Items"},
        {R"({"Caption": {"Text": false}})", "Caption.Text"},
        {R"({"Caption": {"Font": "x"}})", "Caption.Font"},
        {R"({"Slots": [{"Name": "ok"}, {"Width": -5}]})", "Slots[1].Width"},
        {R"({"Slots": [{"Name": "ok"}, 7]})", "Slots[1]"},
        {R"({"Slots": {}})", "Slots"},
        {R"({"Busy": true})", "Busy"},
        {R"({"Wheels": 4})", "Wheels"},
        {R"({"Count": 3, "Fixed": 7})", "Fixed"}, // refused by the setter, after Count was set
    };
    for (const auto &c : cases) {
        Gadget g;
        customise(g);
        const QByteArray before = SaveComponent(g);
        const QByteArray stream =
            QByteArray(R"({"class": "Gadget", "properties": )") + c.properties + "}";
        try {
            LoadComponent(g, stream);
            ADD_FAILURE() << "accepted " << c.properties;
        } catch (const EReadError &e) {
            EXPECT_TRUE(e.Message().contains(c.named)) << e.what();
        }
        EXPECT_EQ(SaveComponent(g), before) << c.properties;
        EXPECT_EQ(g.loadedCalls, 0);
    }
}

TEST(FormStream, RejectsTextThatIsNotAStreamOfThisClass)
{
    Gadget g;
    for (const char *bad : {"", "{", "[1,2]", R"({"class": "Other", "properties": {}})",
                            R"({"class": "Gadget"})", R"({"class": "Gadget", "properties": 3})"})
        EXPECT_THROW(LoadComponent(g, bad), EReadError) << bad;
    EXPECT_EQ(g.Count(), 5);
}
