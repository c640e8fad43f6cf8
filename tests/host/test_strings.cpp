#include "host/exceptions.h"
#include "host/strings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace vorgrd;

namespace {

int tag[8]; // addresses used as opaque item objects

// A plain list that records SetUpdateState calls and can refuse insertions, the way a
// sorted list does.
class RecordingList : public TStringList
{
public:
    QStringList updates;
    bool refuseInsert = false;

    void Insert(int index, const QString &text) override
    {
        if (refuseInsert) throw EListError("refused");
        TStringList::Insert(index, text);
    }

protected:
    void SetUpdateState(bool updating) override { updates << (updating ? "on" : "off"); }
};

QStringList objectsOf(const TStrings &list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i) {
        void *object = list.Objects(i);
        out << (object ? QString::number(static_cast<int *>(object) - tag) : QString("-"));
    }
    return out;
}

} // namespace

TEST(StringList, IndexErrorsNameTheIndexAndRangeAndChangeNothing)
{
    TStringList list(QStringList{"a", "b", "c"});
    const std::vector<std::pair<const char *, std::function<void()>>> calls = {
        {"Get: list index 3 out of bounds (0..2)", [&] { list.Get(3); }},
        {"GetObject: list index -1 out of bounds (0..2)", [&] { list.GetObject(-1); }},
        {"Put: list index 3 out of bounds (0..2)", [&] { list.Put(3, "x"); }},
        {"PutObject: list index 7 out of bounds (0..2)", [&] { list.PutObject(7, tag); }},
        {"Insert: list index 4 out of bounds (0..3)", [&] { list.Insert(4, "x"); }},
        {"Insert: list index -1 out of bounds (0..3)", [&] { list.Insert(-1, "x"); }},
        {"Delete: list index 3 out of bounds (0..2)", [&] { list.Delete(3); }},
        {"Exchange: list index 5 out of bounds (0..2)", [&] { list.Exchange(0, 5); }},
        {"Move: list index 3 out of bounds (0..2)", [&] { list.Move(3, 0); }},
        {"Move: list index -2 out of bounds (0..2)", [&] { list.Move(0, -2); }},
    };
    for (const auto &[message, call] : calls) {
        try {
            call();
            ADD_FAILURE() << "no error for " << message;
        } catch (const EListError &e) {
            EXPECT_EQ(e.Message(), QString(message));
        }
        EXPECT_EQ(list.toStringList(), (QStringList{"a", "b", "c"})) << message;
    }
    TStringList empty;
    EXPECT_THROW(
        {
            try {
                empty.Get(0);
            } catch (const EListError &e) {
                EXPECT_EQ(e.Message(), "Get: list index 0 out of bounds (the list is empty)");
                throw;
            }
        },
        EListError);
}

TEST(StringList, ObjectsTravelWithTheirTexts)
{
    TStringList list;
    list.AddObject("a", &tag[0]);
    list.AddObject("b", &tag[1]);
    list.Add("c");
    list.Insert(1, "new");
    EXPECT_EQ(list.toStringList(), (QStringList{"a", "new", "b", "c"}));
    EXPECT_EQ(objectsOf(list), (QStringList{"0", "-", "1", "-"}));
    list.Exchange(0, 2);
    EXPECT_EQ(list.toStringList(), (QStringList{"b", "new", "a", "c"}));
    EXPECT_EQ(objectsOf(list), (QStringList{"1", "-", "0", "-"}));
    list.Delete(1);
    EXPECT_EQ(objectsOf(list), (QStringList{"1", "0", "-"}));

    TStringList copy;
    copy.Add("old");
    copy.Assign(list);
    EXPECT_EQ(copy.toStringList(), (QStringList{"b", "a", "c"}));
    EXPECT_EQ(objectsOf(copy), (QStringList{"1", "0", "-"}));
    copy.Assign(copy);
    EXPECT_EQ(copy.Count(), 3);
}

TEST(StringList, AddStringsOfItselfAddsItsItemsOnce)
{
    TStringList list;
    list.AddObject("a", &tag[2]);
    list.Add("b");
    list.AddStrings(list);
    EXPECT_EQ(list.toStringList(), (QStringList{"a", "b", "a", "b"}));
    EXPECT_EQ(objectsOf(list), (QStringList{"2", "-", "2", "-"}));
}

TEST(StringList, MoveKeepsTextAndObjectTogether)
{
    struct Case
    {
        int from, to;
        QStringList texts;
    } cases[] = {
        {0, 3, {"b", "c", "d", "a"}}, {3, 0, {"d", "a", "b", "c"}}, {1, 2, {"a", "c", "b", "d"}},
        {2, 1, {"a", "c", "b", "d"}}, {2, 2, {"a", "b", "c", "d"}},
    };
    for (const auto &c : cases) {
        TStringList list;
        for (int i = 0; i < 4; ++i)
            list.AddObject(QString(QChar(u'a' + i)), &tag[i]);
        list.Move(c.from, c.to);
        EXPECT_EQ(list.toStringList(), c.texts) << c.from << "->" << c.to;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(list.Objects(i), &tag[list.Strings(i)[0].unicode() - u'a']);
    }
}

TEST(StringList, MoveOnAListThatRefusesInsertionLosesNothing)
{
    RecordingList list;
    list.setStringList({"a", "b", "c"});
    list.refuseInsert = true;
    EXPECT_THROW(list.Move(0, 2), EListError);
    EXPECT_EQ(list.toStringList(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(list.UpdateCount(), 0); // the bracket closed despite the error
}

TEST(StringList, UpdateStateChangesOnlyAtTheOutermostBracket)
{
    RecordingList list;
    list.BeginUpdate();
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(list.updates, (QStringList{"on"}));
    list.EndUpdate();
    list.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(list.updates, (QStringList{"on", "off"}));

    list.updates.clear();
    TStringList other(QStringList{"x", "y"});
    list.Assign(other);
    EXPECT_EQ(list.updates, (QStringList{"on", "off"}));
}

TEST(StringList, TextEndsEveryLineWithCrLf)
{
    EXPECT_EQ(TStringList().Text(), "");
    EXPECT_EQ(TStringList(QStringList{""}).Text(), "\r\n");
    EXPECT_EQ(TStringList(QStringList{"a", "", "b"}).Text(), "a\r\n\r\nb\r\n");
}

TEST(StringList, SetTextSplitsOnEveryKindOfLineBreak)
{
    struct Case
    {
        const char *text;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"a\r\n", {"a"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\n", {""}},
        {"a\n\rb", {"a", "", "b"}}, // LF CR is two breaks
        {"a\r\r\nb", {"a", "", "b"}},
    };
    for (const auto &c : cases) {
        TStringList list(QStringList{"old"});
        list.SetText(QString::fromUtf8(c.text));
        EXPECT_EQ(list.toStringList(), c.lines) << c.text;
        TStringList again;
        again.SetText(list.Text());
        EXPECT_EQ(again.toStringList(), c.lines) << "round trip of " << c.text;
    }
}

TEST(StringList, FilesRoundTripAsUtf8)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("list.txt");
    TStringList list(QStringList{"Grüße", "", "日本", "last"});
    list.SaveToFile(path);
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), QString("Grüße\r\n\r\n日本\r\nlast\r\n").toUtf8());
    raw.close();

    TStringList back(QStringList{"old"});
    back.LoadFromFile(path);
    EXPECT_EQ(back.toStringList(), list.toStringList());
}

// Half a surrogate pair has no UTF-8 form: it is written as U+FFFD, as every file
// and clipboard text of the grid writes it, never as "?" or dropped.
TEST(StringList, HalfASurrogatePairIsSavedAsTheReplacementCharacter)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("half.txt");
    TStringList list(QStringList{QString(QChar(0xD83D)) + "x", QString("y") + QChar(0xDE00),
                                 QString::fromUtf8("\xF0\x9F\x98\x80")});
    list.SaveToFile(path);
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), QByteArray("\xEF\xBF\xBDx\r\ny\xEF\xBF\xBD\r\n\xF0\x9F\x98\x80\r\n"));
}

TEST(StringList, LoadSkipsByteOrderMarkAndReplacesInvalidBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bom.txt");
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write("\xEF\xBB\xBFone\nt\xFFo\n");
    raw.close();
    TStringList list;
    list.LoadFromFile(path);
    EXPECT_EQ(list.toStringList(), (QStringList{"one", QString("t") + QChar(0xFFFD) + "o"}));
}

TEST(StringList, FileFailuresRaiseInOutErrorNamingTheFileAndKeepTheList)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("no/such/dir/file.txt");
    TStringList list(QStringList{"keep"});
    try {
        list.LoadFromFile(missing);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_TRUE(e.Message().contains(missing)) << e.Message().toStdString();
    }
    try {
        list.SaveToFile(missing);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_TRUE(e.Message().contains(missing)) << e.Message().toStdString();
    }
    EXPECT_EQ(list.toStringList(), (QStringList{"keep"}));
    EXPECT_THROW(list.LoadFromFile(dir.path()), EInOutError); // a directory
}

TEST(StringList, IndexOfComparesWholeTextsCaseInsensitively)
{
    TStringList list(QStringList{"Apple", "banana", "APPLE"});
    EXPECT_EQ(list.IndexOf("apple"), 0);
    EXPECT_EQ(list.IndexOf("BANANA"), 1);
    EXPECT_EQ(list.IndexOf("ban"), -1);
    EXPECT_EQ(list.IndexOf(""), -1);
}

TEST(StringList, SetCapacityMakesRoomAndChangesNoItem)
{
    TStringList list(QStringList{"a", "b"});
    list.SetCapacity(1000);
    EXPECT_GE(list.Capacity(), 1000);
    list.SetCapacity(1); // below the count: nothing
    list.SetCapacity(-5);
    EXPECT_EQ(list.toStringList(), QStringList({"a", "b"}));
    for (int i = 0; i < 998; ++i)
        list.Add(QStringLiteral("x"));
    EXPECT_EQ(list.Capacity(), 1000) << "the appends fit without reallocating";
}
