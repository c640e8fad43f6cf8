#pragma once
// TPopupListbox's private part: its item model and its state. Only popuplist.cpp
// includes it.

#include "presentation/popuplist.h"

#include <QAbstractListModel>

namespace vorgrd {

// The items of a pick list for the list view: one flat QStringList, so that the view
// (with uniform item sizes) asks only for the rows it paints.
class VORGRD_AUTOTEST_EXPORT PickListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    void setItems(const QStringList &items);
    const QStringList &items() const { return m_items; }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QStringList m_items;
};

struct VORGRD_AUTOTEST_EXPORT TPopupListbox::Private
{
    Private(TPopupListbox *list, TVORGridInplaceEdit *owner, Clock clock)
        : m_owner(owner), m_model(list), m_clock(std::move(clock))
    {
    }

    TVORGridInplaceEdit *m_owner;
    PickListModel m_model;
    QString m_SearchText;
    qint64 m_SearchTime = 0;
    Clock m_clock;
};

} // namespace vorgrd
