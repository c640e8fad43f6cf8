#pragma once
// The small dialog the Customer column's ellipsis opens: the known customers in a
// list with a filter line; a name not in the list can be typed into the filter.

#include <QDialog>

class QLineEdit;
class QListWidget;

class CustomerChooser : public QDialog
{
    Q_OBJECT
public:
    CustomerChooser(const QStringList &customers, const QString &current, QWidget *parent = nullptr);

    // The list's selected customer, or the filter's text when nothing is selected.
    QString chosen() const;
    QLineEdit *filter() const { return m_filter; }
    QListWidget *list() const { return m_list; }

private:
    void applyFilter(const QString &text);

    QLineEdit *m_filter;
    QListWidget *m_list;
};
