#include "host/strings.h"

#include "host/exceptions.h"
#include "host/textconvert.h"
#include "host/updatebracket.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <limits>

namespace vorgrd {

namespace {

// Splits at CR LF, LF or CR; a break at the very end ends the last line rather than
// starting an empty one.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(text.mid(start));
    return lines;
}

} // namespace

TStrings::~TStrings() = default;

void TStrings::raiseIndexError(const char *what, int index, int first, int last)
{
    if (last < first)
        throw EListError(QStringLiteral("%1: list index %2 out of bounds (the list is empty)")
                             .arg(QLatin1StringView(what))
                             .arg(index));
    throw EListError(QStringLiteral("%1: list index %2 out of bounds (%3..%4)")
                         .arg(QLatin1StringView(what))
                         .arg(index)
                         .arg(first)
                         .arg(last));
}

void TStrings::checkIndex(int index, const char *what) const
{
    const int count = GetCount();
    if (index < 0 || index >= count) raiseIndexError(what, index, 0, count - 1);
}

int TStrings::Add(const QString &text)
{
    const int index = GetCount();
    Insert(index, text);
    return index;
}

int TStrings::AddObject(const QString &text, void *object)
{
    const int index = Add(text);
    PutObject(index, object);
    return index;
}

void TStrings::AddStrings(const TStrings &strings)
{
    UpdateBracket bracket(*this);
    // Taken once, so that adding a list to itself ends.
    const int count = strings.GetCount();
    for (int i = 0; i < count; ++i)
        AddObject(strings.Get(i), strings.GetObject(i));
}

void TStrings::Assign(const TStrings &source)
{
    if (&source == this) return;
    UpdateBracket bracket(*this);
    Clear();
    AddStrings(source);
}

void TStrings::Exchange(int index1, int index2)
{
    checkIndex(index1, "Exchange");
    checkIndex(index2, "Exchange");
    if (index1 == index2) return;
    UpdateBracket bracket(*this);
    const QString text1 = Get(index1);
    void *const object1 = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, text1);
    PutObject(index2, object1);
}

int TStrings::IndexOf(const QString &text) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (AnsiCompareText(Get(i), text) == 0) return i;
    return -1;
}

void TStrings::Move(int curIndex, int newIndex)
{
    checkIndex(curIndex, "Move");
    checkIndex(newIndex, "Move");
    if (curIndex == newIndex) return;
    UpdateBracket bracket(*this);
    const QString text = Get(curIndex);
    void *const object = GetObject(curIndex);
    // Insert first: if the list refuses, the item is still where it was.
    if (newIndex > curIndex) {
        Insert(newIndex + 1, text);
        PutObject(newIndex + 1, object);
        Delete(curIndex);
    } else {
        Insert(newIndex, text);
        PutObject(newIndex, object);
        Delete(curIndex + 1);
    }
}

QString TStrings::Text() const
{
    QString text;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        text += Get(i);
        text += QLatin1StringView("\r\n");
    }
    return text;
}

void TStrings::SetText(const QString &text)
{
    const QStringList lines = splitLines(text);
    UpdateBracket bracket(*this);
    Clear();
    for (const QString &line : lines)
        Add(line);
}

void TStrings::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(
            QStringLiteral("Cannot open file \"%1\": %2").arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EInOutError(
            QStringLiteral("Cannot read file \"%1\": %2").arg(fileName, file.errorString()));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    SetText(text);
}

void TStrings::SaveToFile(const QString &fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EInOutError(
            QStringLiteral("Cannot create file \"%1\": %2").arg(fileName, file.errorString()));
    // Stateless: half a surrogate pair, which has no UTF-8 form, becomes U+FFFD, as in
    // every other file the library writes (toUtf8 would write "?").
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(Text());
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EInOutError(
            QStringLiteral("Cannot write file \"%1\": %2").arg(fileName, file.errorString()));
}

void TStrings::BeginUpdate()
{
    if (m_updateCount == 0) SetUpdateState(true);
    ++m_updateCount;
}

void TStrings::EndUpdate()
{
    if (m_updateCount == 0) return;
    --m_updateCount;
    if (m_updateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

QStringList TStrings::toStringList() const
{
    QStringList texts;
    const int count = GetCount();
    texts.reserve(count);
    for (int i = 0; i < count; ++i)
        texts.append(Get(i));
    return texts;
}

void TStrings::setStringList(const QStringList &texts)
{
    UpdateBracket bracket(*this);
    Clear();
    for (const QString &text : texts)
        Add(text);
}

// ---- TStringList ---------------------------------------------------------------

TStringList::TStringList(const QStringList &texts)
{
    m_items.reserve(size_t(texts.size()));
    for (const QString &text : texts)
        m_items.push_back({text, nullptr});
}

TStringList::~TStringList() = default;

QString TStringList::Get(int index) const
{
    checkIndex(index, "Get");
    return m_items[size_t(index)].text;
}

int TStringList::GetCount() const
{
    return int(m_items.size());
}

void *TStringList::GetObject(int index) const
{
    checkIndex(index, "GetObject");
    return m_items[size_t(index)].object;
}

void TStringList::Put(int index, const QString &text)
{
    checkIndex(index, "Put");
    m_items[size_t(index)].text = text;
    ++m_changeStamp;
}

void TStringList::PutObject(int index, void *object)
{
    checkIndex(index, "PutObject");
    m_items[size_t(index)].object = object;
    ++m_changeStamp;
}

void TStringList::Insert(int index, const QString &text)
{
    const int count = GetCount();
    if (index < 0 || index > count) raiseIndexError("Insert", index, 0, count);
    if (count == std::numeric_limits<int>::max())
        throw EListError(QStringLiteral("Insert: the list is full (%1 items)").arg(count));
    m_items.insert(m_items.begin() + index, Item{text, nullptr});
    ++m_changeStamp;
}

void TStringList::Delete(int index)
{
    checkIndex(index, "Delete");
    m_items.erase(m_items.begin() + index);
    ++m_changeStamp;
}

void TStringList::Clear()
{
    m_items.clear();
    ++m_changeStamp;
}

void TStringList::SetCapacity(int n)
{
    if (n > 0) m_items.reserve(size_t(n));
}

void TStringList::Exchange(int index1, int index2)
{
    checkIndex(index1, "Exchange");
    checkIndex(index2, "Exchange");
    std::swap(m_items[size_t(index1)], m_items[size_t(index2)]);
    ++m_changeStamp;
}

} // namespace vorgrd
