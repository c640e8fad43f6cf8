#pragma once
// TCollection and TCollectionItem: an ordered, owning list of items of one class,
// with an update bracket that holds change notifications back until it closes.
//
// An item joins its collection in its constructor and leaves it in its destructor;
// the collection deletes the items it holds. Changes travel upwards: an item calls
// Changed(), the collection's virtual Update() hears of it, but only while no
// BeginUpdate()/EndUpdate() bracket is open; closing the outermost bracket reports
// one Update(nullptr) for everything that happened inside.

#include "host/vorgrdexport.h"
#include "host/persistent.h"

#include <vector>

namespace vorgrd {

class TCollection;

class VORGRD_EXPORT TCollectionItem : public TPersistent
{
    Q_OBJECT
public:
    // Joins `collection` at its end when given.
    explicit TCollectionItem(TCollection *collection = nullptr);
    ~TCollectionItem() override;

    TCollection *Collection() const { return m_collection; }
    // Position in the collection, -1 when the item belongs to none.
    int Index() const;
    // Moves the item to another position; the items between shift by one.
    virtual void SetIndex(int value);
    // The name the designer shows: the class name unless a subclass says better.
    virtual QString GetDisplayName() const;
    virtual void SetDisplayName(const QString &value);

protected:
    // Tells the collection that this item (allItems false) or the whole collection
    // (allItems true) changed.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection *m_collection = nullptr;
};

class VORGRD_EXPORT TCollection : public TPersistent
{
    Q_OBJECT
public:
    // Makes a new item that has joined the given collection.
    using ItemFactory = TCollectionItem *(*)(TCollection *);

    template <class Item>
    static ItemFactory factoryOf()
    {
        return [](TCollection *c) -> TCollectionItem * { return new Item(c); };
    }

    explicit TCollection(ItemFactory factory, QObject *parent = nullptr);
    ~TCollection() override;

    // Appends a new item of the collection's item class.
    TCollectionItem *Add();
    // Deletes every item (one notification).
    void Clear();
    // Deletes item `index`.
    void Delete(int index);
    int Count() const { return int(m_items.size()); }
    // Item `index`; EListError outside 0..Count-1.
    TCollectionItem *Items(int index) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    // A new item of the collection's class that belongs to no collection; the caller
    // owns it. The form stream reads items into such scratch items to check them.
    TCollectionItem *MakeFreeItem() const { return m_factory(nullptr); }

    // Replaces the items by copies of the source collection's items.
    void Assign(const TPersistent *source) override;

    // Throws std::logic_error when an item does not point back at this collection.
    void checkConsistency() const;

protected:
    // Called on every change outside an update bracket: with the changed item, or
    // with nullptr when the whole collection changed.
    virtual void Update(TCollectionItem *item);
    // Reports a change of the whole collection unless a bracket is open.
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem *item);
    void RemoveItem(TCollectionItem *item);
    void MoveItem(TCollectionItem *item, int newIndex);
    void ItemChanged(TCollectionItem *item);
    void deleteAll();

    ItemFactory m_factory;
    std::vector<TCollectionItem *> m_items;
    int m_updateCount = 0;
};

} // namespace vorgrd
