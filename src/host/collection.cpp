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
    while (!m_items.empty())
        delete m_items.back();
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
    while (!m_items.empty())
        delete m_items.back();
    EndUpdate();
}

void TCollection::Delete(int index)
{
    delete Items(index);
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
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (!m_items[i] || m_items[i]->m_collection != this)
            throw std::logic_error("collection item does not point back at its collection");
        for (size_t j = i + 1; j < m_items.size(); ++j)
            if (m_items[i] == m_items[j])
                throw std::logic_error("collection holds an item twice");
    }
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
    m_items.erase(std::remove(m_items.begin(), m_items.end(), item), m_items.end());
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
