#include "customerchooser.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

CustomerChooser::CustomerChooser(const QStringList &customers, const QString &current, QWidget *parent)
    : QDialog(parent), m_filter(new QLineEdit(this)), m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Choose a customer"));
    m_filter->setPlaceholderText(QStringLiteral("Filter, or a new customer's name"));
    m_filter->setClearButtonEnabled(true);
    m_list->addItems(customers);
    const QList<QListWidgetItem *> matches = m_list->findItems(current, Qt::MatchFixedString);
    if (!matches.isEmpty()) m_list->setCurrentItem(matches.first());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    connect(m_filter, &QLineEdit::textChanged, this, &CustomerChooser::applyFilter);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(260, 320);
}

QString CustomerChooser::chosen() const
{
    const QListWidgetItem *item = m_list->currentItem();
    if (item && !item->isHidden()) return item->text();
    return m_filter->text().simplified();
}

// Hides the names that do not contain the text; the first one left is selected.
void CustomerChooser::applyFilter(const QString &text)
{
    QListWidgetItem *first = nullptr;
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem *item = m_list->item(i);
        item->setHidden(!item->text().contains(text, Qt::CaseInsensitive));
        if (!first && !item->isHidden()) first = item;
    }
    m_list->setCurrentItem(first);
}
