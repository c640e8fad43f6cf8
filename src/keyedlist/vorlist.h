#pragma once
// TvorList: a string list that orders and looks up its items by a typed key cut out of
// each text.
//
// The key of an item is the substring that starts at character KeyPos() (from 1) and
// is KeyLen() characters long, cut short at the end of the text (empty when KeyPos
// lies beyond it). It is compared by KeyType():
//   sString               case-insensitive, locale-aware (AnsiCompareText)
//   sStringCaseSensitive  by UTF-16 code units; a prefix sorts first
//   sNumeric              by LeadingNumber(key); keys without a leading number count
//                         as 0 and sort case-insensitively among the other zeros
//   sDate                 by StrToDateTime(key); a key that is no date raises
//                         EConvertError
//
// Sort() orders the items from SortStart() on, ascending or Descending(). The order is
// that of a fixed partition-exchange scheme, so items with equal keys always end in
// the same, predictable places. Switching Sorted() on sorts once and then keeps the
// list in key order (Add inserts by key; Put and Insert are refused); switching it on
// and at once off again sorts once and leaves the list open for rewriting.
//
// OnChanging fires before and OnChange after every change: one pair for each Put,
// PutObject, Insert/Add, Delete, Exchange, Clear (of a non-empty list) and sort, none
// for a sort of 0 or 1 items. An update bracket (BeginUpdate/EndUpdate) fires one more
// pair around the changes it holds. The destructor fires nothing. Handlers may read
// the list; they must not destroy it.
//
// Errors: an index outside the list, Put/Insert on a sorted list, and a duplicate Add
// under dupError raise EListError; a date key that does not convert raises
// EConvertError. In every case the list is left exactly as it was.

#include "host/vorgrdexport.h"
#include "host/strings.h"

#include <QMetaType>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace vorgrd {

// The enumerations live in their own meta-object namespace so that they do not claim
// the one Q_NAMESPACE that namespace vorgrd can have; they are used as vorgrd::...
namespace keyedlist {
Q_NAMESPACE_EXPORT(VORGRD_EXPORT)

enum TLSortType : quint8
{
    sString,
    sStringCaseSensitive,
    sNumeric,
    sDate
};
Q_ENUM_NS(TLSortType)

// What Add does on a sorted list when the key is already present.
enum TDuplicates : quint8
{
    dupIgnore,
    dupAccept,
    dupError
};
Q_ENUM_NS(TDuplicates)

} // namespace keyedlist

using keyedlist::dupAccept;
using keyedlist::dupError;
using keyedlist::dupIgnore;
using keyedlist::sDate;
using keyedlist::sNumeric;
using keyedlist::sString;
using keyedlist::sStringCaseSensitive;
using keyedlist::TDuplicates;
using keyedlist::TLSortType;

class VORGRD_EXPORT TvorList : public TStrings
{
public:
    using TNotifyEvent = std::function<void(TvorList *sender)>;

    // An empty, unsorted list: KeyPos 1, KeyLen 2147483647 (the whole text),
    // sString, SortStart 0, dupIgnore, ascending, no events.
    TvorList();
    // Unsets both events first, so destruction notifies nobody. Objects are not freed.
    ~TvorList() override;

    // ---- items ---------------------------------------------------------------------
    QString Get(int index) const override;
    int GetCount() const override;
    void *GetObject(int index) const override;
    // Refused on a sorted list (before the index is checked).
    void Put(int index, const QString &text) override;
    // Allowed on a sorted list: the object is not part of the key.
    void PutObject(int index, void *object) override;
    // Unsorted: appends. Sorted: inserts at the key position of the new text's key;
    // an existing equal key is handled by Duplicates() (dupIgnore returns its index
    // and changes nothing, dupError raises, dupAccept inserts before the equal keys).
    int Add(const QString &text) override;
    // Add with the object in one step (one notification pair). An Add that dupIgnore
    // turns away leaves the existing item's object alone.
    int AddObject(const QString &text, void *object) override;
    // Refused on a sorted list; 0 <= index <= Count().
    void Insert(int index, const QString &text) override;
    void Delete(int index) override;
    // Releases the storage too (Capacity() becomes 0). An empty list fires nothing.
    void Clear() override;
    // Allowed on a sorted list (the caller takes care of the order).
    void Exchange(int index1, int index2) override;

    // ---- look-up ---------------------------------------------------------------------
    // Sorted list: the binary search of Find. Unsorted list: the first item from 0 on
    // whose key matches `text` (equal key; with SubstringMatch() and a text key type,
    // `text` occurring in the whole item text, case-insensitively for sString by
    // upper-casing a-z; an empty text then matches nothing). -1 when none matches.
    int IndexOf(const QString &text) const override;

    // Fires OnChange / OnChanging when assigned.
    virtual void Changed();
    virtual void Changing();

    // Binary search for an item whose key equals `text` (the whole text is the value
    // searched for, converted like a key in sNumeric and sDate) over the kept-in-order
    // part of the list, SortStart()..Count()-1, in the sort direction. Returns whether
    // one was found; `index` is the match, or where `text` would be inserted. With
    // dupAccept the match is the first of the equal keys.
    virtual bool Find(const QString &text, int &index) const;
    // Sorts an unsorted list of two or more items once; on a sorted list nothing.
    virtual void Sort();

    // ---- settings ------------------------------------------------------------------
    TLSortType KeyType() const;
    int KeyLen() const;
    int KeyPos() const;
    // The key setters store the value (KeyPos and KeyLen below 1 as 1) and re-sort a
    // sorted list of two or more items. If that re-sort fails (a date key that does
    // not convert), the old value is put back and the list is unchanged.
    void SetKeyType(TLSortType value);
    void SetKeyLen(int value);
    void SetKeyPos(int value);

    int SortStart() const;
    // Items before this index keep their places in a sort. It may lie beyond the end
    // (nothing is sorted then); a negative value raises EListError.
    void setSortStart(int value);

    bool Sorted() const;
    // On: sorts first, then keeps the list in order. Off: the order stays as it is.
    void SetSorted(bool value);

    TDuplicates Duplicates() const;
    void setDuplicates(TDuplicates value);
    bool SubstringMatch() const;
    void setSubstringMatch(bool value);
    bool Descending() const;
    void setDescending(bool value);

    // Allocated item slots; grows 0 -> 4 -> 8 -> 16 -> 32 -> 48 -> ... (steps of 16).
    int Capacity() const;

    // The key of a text under the current KeyPos and KeyLen.
    QString KeyOf(const QString &text) const;

    // ---- positions -----------------------------------------------------------------
    // Replaces the contents with one item per entry: item k's text is positions[k] in
    // decimal and its object the integer positions[k] cast to void *. Count(), the
    // texts, the objects and Capacity() are afterwards exactly what Clear() followed by
    // AddObject(QString::number(p), (void *)p) for every p gives; one notification
    // pair fires for the whole (as for a sort). Refused on a sorted list (EListError).
    // OPTIMIZATION: the list keeps the integers and makes each text when it is read
    // (Get) or when an operation needs the items as texts (the first change, a look-up
    // or a sort turns them into ordinary items once). A grid's sort index is written
    // on every sort and undo and rarely read: a million decimal texts cost far more
    // than the sort that produced them.
    // Returns the positions the list held until then (empty if it held texts), so that
    // a caller who writes the list over and over can reuse their storage, or apply them.
    std::vector<int> AssignPositions(std::vector<int> positions);
    // The positions given to AssignPositions while the list still holds them as
    // integers (nothing has changed or turned them into texts since); else nullptr.
    const std::vector<int> *Positions() const;

    // Grows with every change of the items or the key settings: code that keeps
    // something it derived from the list can tell that the list is as it was then.
    quint64 ChangeStamp() const;

    // Checks the list's invariants (0 <= Count <= Capacity, key settings in range, a
    // sorted list in key order, items held in one form only). Returns an empty text when they hold, otherwise a
    // description of the first one that does not.
    QString checkConsistency() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    // The outermost BeginUpdate fires Changing, the matching EndUpdate Changed.
    void SetUpdateState(bool updating) override;

    // Sorts the items first..last by key (both indices checked) and, for sNumeric, does
    // not run the post-pass: Sort() runs both. No notifications.
    void QuickSort(int first, int last);
    // The numeric post-pass: the first run of keys with value 0 from SortStart() on
    // is ordered as sString keys, in the sort direction. No notifications.
    void Sort_Alpha();
    // Swap / insertion; checked (a descendant's mistake must not corrupt memory).
    void ExchangeItems(int index1, int index2);
    void InsertItem(int index, const QString &text, void *object = nullptr);
    void Grow();
    // n below Count() raises EListError.
    void SetCapacity(int n);

private:
    struct Private; // the items and the settings (keyedlist/vorlist_p.h)
    std::unique_ptr<Private> d;

    int addItem(const QString &text, void *object);
    // Where the sort range first..last ends up: order[k] is the current index of the
    // item that goes to first + k. Converts every key once; throws EConvertError for a
    // date key that does not convert, before anything has changed.
    std::vector<int> planSort(int first, int last, TLSortType type, bool alphaPass) const;
    // Allocates before it moves anything: a failed allocation leaves the list as it was.
    void applyOrder(int first, std::vector<int> order);
    // Sorts SortStart..Count-1 with both notifications (Sort and the key setters).
    void sortWithNotification();
    // Stores a new key or order setting and re-sorts a sorted list of two or more
    // items; if that fails, the old setting is put back before the error goes on.
    template <typename T> void changeSortSetting(T &field, T value);
    QStringView keyView(const QString &text) const;
    // Raises EListError when `index` became invalid while OnChanging ran.
    void recheckIndex(int index, int last, const char *what) const;
    void raiseSorted(const char *what) const;
};

} // namespace vorgrd
