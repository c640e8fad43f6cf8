#include "host/collection.h"

#include "host/exceptions.h"

#include <algorithm>
#include <stdexcept>

namespace vorgrd {

// ---- TCollectionItem ----------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection *collection)
{
    if (collection)
        collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem()
{
    if (m_collection)
        m_collection->RemoveItem(this);
}

int TCollectionItem::Index() const
{
    if (!m_collection)
        return -1;
    const auto &items = m_collection->m_items;
    return int(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int value)
{
    if (m_collection && value != Index())
        m_collection->MoveItem(this, value);
}

QString TCollectionItem::GetDisplayName() const
{
    QString name = QString::fromLatin1(metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

void TCollectionItem::SetDisplayName(const QString &)
{
    Changed(false);
}

void TCollectionItem::Changed(bool allItems)
{
    if (!m_collection)
        return;
    if (allItems)
        m_collection->Changed();
    else
        m_collection->ItemChanged(this);
}

// ---- TCollection --------------------------------------------------------------

TCollection::TCollection(ItemFactory factory, QObject *parent)
    : TPersistent(parent), m_factory(factory)
{
}

TCollection::~TCollection()
{
    // No notifications while the collection is going away.
    m_updateCount = 1;
    deleteAll();
}

// Detaches every item before deleting it, so that no item searches the collection on
// its way out: clearing costs one step per item whatever the count.
void TCollection::deleteAll()
{
    std::vector<TCollectionItem *> items;
    items.swap(m_items);
    for (TCollectionItem *item : items)
        item->m_collection = nullptr;
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        delete *it;
}

TCollectionItem *TCollection::Add()
{
    TCollectionItem *item = m_factory(this);
    Changed();
    return item;
}

void TCollection::Clear()
{
    if (m_items.empty())
        return;
    BeginUpdate();
    deleteAll();
    EndUpdate();
}

void TCollection::Delete(int index)
{
    TCollectionItem *item = Items(index);
    m_items.erase(m_items.begin() + index);
    item->m_collection = nullptr;
    delete item;
    Changed();
}

TCollectionItem *TCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("Collection index %1 out of bounds (0..%2)")
                             .arg(index)
                             .arg(Count() - 1));
    return m_items[size_t(index)];
}

void TCollection::BeginUpdate()
{
    ++m_updateCount;
}

void TCollection::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0)
        Changed();
}

void TCollection::Assign(const TPersistent *source)
{
    const auto *other = qobject_cast<const TCollection *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (const TCollectionItem *item : other->m_items)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::checkConsistency() const
{
    for (const TCollectionItem *item : m_items)
        if (!item || item->m_collection != this)
            throw std::logic_error("collection item does not point back at its collection");
    std::vector<const TCollectionItem *> sorted(m_items.begin(), m_items.end());
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
        throw std::logic_error("collection holds an item twice");
    if (m_updateCount < 0)
        throw std::logic_error("negative update count");
}

void TCollection::Update(TCollectionItem *)
{
}

void TCollection::Changed()
{
    if (m_updateCount == 0)
        Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem *item)
{
    m_items.push_back(item);
    item->m_collection = this;
}

void TCollection::RemoveItem(TCollectionItem *item)
{
    // Searched from the end: items mostly go from there (a shrinking count, scratch
    // copies dying in reverse order of creation).
    const auto it = std::find(m_items.rbegin(), m_items.rend(), item);
    if (it != m_items.rend()) m_items.erase(std::next(it).base());
    item->m_collection = nullptr;
}

void TCollection::MoveItem(TCollectionItem *item, int newIndex)
{
    const int oldIndex = item->Index();
    newIndex = std::clamp(newIndex, 0, Count() - 1);
    m_items.erase(m_items.begin() + oldIndex);
    m_items.insert(m_items.begin() + newIndex, item);
    Changed();
}

void TCollection::ItemChanged(TCollectionItem *item)
{
    if (m_updateCount == 0)
        Update(item);
}

} // namespace vorgrd
