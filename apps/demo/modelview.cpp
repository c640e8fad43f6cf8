#include "modelview.h"

#include "demowindow.h"

#include "grid/vorGrid.h"
#include "model/gridmodel.h"

#include <QDockWidget>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

using namespace vorgrd;

namespace {

// Rows whose shown text contains the filter in any column; the grid's title and
// totals rows (its fixed rows) stay out, the view has headers of its own.
class OrdersFilter : public QSortFilterProxyModel
{
public:
    OrdersFilter(tvorgrid *grid, QObject *parent) : QSortFilterProxyModel(parent), m_grid(grid)
    {
        setFilterCaseSensitivity(Qt::CaseInsensitive);
        setFilterKeyColumn(-1);
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        return row >= m_grid->FixedRows() && QSortFilterProxyModel::filterAcceptsRow(row, parent);
    }
    bool filterAcceptsColumn(int col, const QModelIndex &) const override
    {
        return col >= m_grid->FixedCols();
    }

private:
    tvorgrid *m_grid;
};

} // namespace

QDockWidget *addModelView(DemoWindow *window)
{
    tvorgrid *grid = window->grid();
    auto *dock = new QDockWidget(QStringLiteral("Orders as a Qt item view"), window);
    dock->setObjectName(QStringLiteral("modelView"));
    auto *body = new QWidget(dock);
    auto *filter = new QLineEdit(body);
    filter->setObjectName(QStringLiteral("modelFilter"));
    filter->setPlaceholderText(QStringLiteral("Filter the orders..."));
    filter->setClearButtonEnabled(true);
    auto *view = new QTableView(body);
    view->setObjectName(QStringLiteral("modelTable"));
    auto *proxy = new OrdersFilter(grid, view);
    proxy->setSourceModel(new TvorGridModel(grid, view));
    view->setModel(proxy);
    // The totals row comes and goes as a fixed row: what the filter keeps out moves.
    QObject::connect(grid, &TCustomGrid::fixedRowsChanged, proxy, &QSortFilterProxyModel::invalidate);
    QObject::connect(grid, &TCustomGrid::fixedColsChanged, proxy, &QSortFilterProxyModel::invalidate);
    view->verticalHeader()->hide();
    QObject::connect(filter, &QLineEdit::textChanged, proxy, &QSortFilterProxyModel::setFilterFixedString);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(filter);
    layout->addWidget(view);
    dock->setWidget(body);
    window->addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    QMenu *menu = window->menuBar()->addMenu(QStringLiteral("&View"));
    QAction *toggle = dock->toggleViewAction();
    toggle->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+V")));
    menu->addAction(toggle);
    return dock;
}
