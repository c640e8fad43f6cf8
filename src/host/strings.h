#pragma once
// String lists: `TStrings`, the abstract list of texts with an opaque object per
// item, and `TStringList`, its plain concrete form.
//
// A descendant implements the eight primitives (Get, GetCount, GetObject, Put,
// PutObject, Insert, Delete, Clear); everything else (adding with an object, adding
// another list, assignment, the text, files, moving, the update bracket, conversion to
// and from QStringList) is built on them and works for every descendant.
//
// Objects are `void *` handles the list carries along with the text; a list never
// owns or frees them. Indices count from 0; an index outside the list raises
// EListError naming the index and the valid range, and the list stays unchanged.

#include "host/vorgrdexport.h"
#include <QString>
#include <QStringList>

#include <vector>

namespace vorgrd {

class VORGRD_EXPORT TStrings
{
public:
    TStrings() = default;
    virtual ~TStrings();
    // A list is an identity (views of a grid, a sort index): copy the contents with
    // Assign instead.
    TStrings(const TStrings &) = delete;
    TStrings &operator=(const TStrings &) = delete;

    // ---- primitives every list implements -------------------------------------
    virtual QString Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual void *GetObject(int index) const = 0;
    virtual void Put(int index, const QString &text) = 0;
    virtual void PutObject(int index, void *object) = 0;
    // Inserts a text with no object at 0 <= index <= Count().
    virtual void Insert(int index, const QString &text) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // ---- built on the primitives ----------------------------------------------
    // Appends a text (a sorted descendant may place it elsewhere); returns its index.
    virtual int Add(const QString &text);
    // Add, then attach the object to the new item.
    virtual int AddObject(const QString &text, void *object);
    // Adds every text with its object of another list (the list itself included:
    // its items as they were before the call are added once).
    virtual void AddStrings(const TStrings &strings);
    // Replaces the contents with those of another list (texts and objects).
    virtual void Assign(const TStrings &source);
    // Swaps text and object of two items.
    virtual void Exchange(int index1, int index2);
    // Index of the first item whose text equals `text` (case-insensitive, through
    // AnsiCompareText), -1 when there is none.
    virtual int IndexOf(const QString &text) const;
    // Moves the item (text and object) at curIndex so that it ends at newIndex. Both
    // indices are checked first; the item is inserted at its new place before it is
    // removed from the old one, so a list that refuses the insertion (a sorted
    // list) loses nothing.
    virtual void Move(int curIndex, int newIndex);

    // Every item's text followed by CR LF ("" for an empty list).
    virtual QString Text() const;
    // Replaces the contents by the lines of `text`. Lines end with CR LF, LF or CR; a
    // line break at the very end does not start another (empty) line, so
    // SetText(Text()) gives the same texts back.
    virtual void SetText(const QString &text);

    // Reads the file as UTF-8 text (a UTF-8 byte-order mark is skipped; invalid byte
    // sequences become U+FFFD) and replaces the contents with its lines as SetText
    // does. A file that cannot be read raises EInOutError naming it; the list then
    // stays unchanged.
    virtual void LoadFromFile(const QString &fileName);
    // Writes Text() as UTF-8 without a byte-order mark (half a surrogate pair, which
    // has no UTF-8 form, as U+FFFD). The file is written to a temporary file first and
    // replaces the old one only when complete. Failure raises EInOutError naming the
    // file.
    virtual void SaveToFile(const QString &fileName) const;

    // The update bracket. The outermost BeginUpdate calls SetUpdateState(true), the
    // matching EndUpdate SetUpdateState(false); nested brackets only count. An
    // EndUpdate without a BeginUpdate does nothing.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    int Count() const { return GetCount(); }
    QString Strings(int index) const { return Get(index); }
    void setStrings(int index, const QString &text) { Put(index, text); }
    void *Objects(int index) const { return GetObject(index); }
    void setObjects(int index, void *object) { PutObject(index, object); }

    // The texts as a QStringList (objects are left behind).
    QStringList toStringList() const;
    // Replaces the contents with the texts of a QStringList (no objects).
    void setStringList(const QStringList &texts);

protected:
    // Called when the outermost update bracket opens (true) and closes (false).
    virtual void SetUpdateState(bool updating);
    // Raises EListError naming `index` unless 0 <= index < Count(); `what` names
    // the operation in the message.
    void checkIndex(int index, const char *what) const;
    // Raises EListError for `index` outside first..last (an empty range when
    // last < first).
    [[noreturn]] static void raiseIndexError(const char *what, int index, int first, int last);

private:
    int m_updateCount = 0;
};

// The plain list: items in the order they were put, no sorting, no notifications.
class VORGRD_EXPORT TStringList : public TStrings
{
public:
    TStringList() = default;
    explicit TStringList(const QStringList &texts);
    ~TStringList() override;

    QString Get(int index) const override;
    int GetCount() const override;
    void *GetObject(int index) const override;
    void Put(int index, const QString &text) override;
    void PutObject(int index, void *object) override;
    void Insert(int index, const QString &text) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;

    // Item slots allocated. SetCapacity(n) makes room for n items at least (below
    // Count() it does nothing), for a caller that knows how many are coming: appending
    // one by one doubles the storage as it goes, which can leave half of it unused.
    int Capacity() const { return int(m_items.capacity()); }
    void SetCapacity(int n);

    // Changes with every change to the items (a text, an object, their number), so
    // that code which has read the whole list can tell that it still holds the same.
    quint64 ChangeStamp() const { return m_changeStamp; }

private:
    struct Item
    {
        QString text;
        void *object = nullptr;
    };
    std::vector<Item> m_items;
    quint64 m_changeStamp = 0;
};

} // namespace vorgrd
