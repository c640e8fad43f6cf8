#include "demowindow.h"

#include "demoactions.h"
#include "demoexchange.h"
#include "findbar.h"
#include "modelview.h"
#include "orderssource.h"

#include "grid/vorGrid.h"
#include "host/exceptions.h"

#include <QLabel>
#include <QStatusBar>

using namespace vorgrd;

DemoWindow::DemoWindow(QWidget *parent)
    : QMainWindow(parent), m_grid(new tvorgrid(this)), m_findBar(new FindBar(m_grid, this)),
      m_cellInfo(new QLabel(this)), m_markedInfo(new QLabel(this))
{
    setWindowTitle(QStringLiteral("vorgrd demo: orders"));
    setCentralWidget(m_grid);
    setUpGrid();
    setUpStatusBar();
    addDemoActions(this);
    addModelView(this);
    addToolBarBreak();
    addToolBar(m_findBar);
    connect(m_findBar, &FindBar::searched, this, [this](const QString &text, int col, int row) {
        showCellInfo(m_grid->Col(), m_grid->Row());
        if (text.isEmpty())
            statusBar()->showMessage(QStringLiteral("Type a text to find"), 5000);
        else if (col < 0)
            statusBar()->showMessage(QStringLiteral("\"%1\" not found (further)").arg(text), 5000);
        else
            statusBar()->showMessage(QStringLiteral("Found: ") + cellInfo(col, row), 5000);
    });
    reloadOrders();
    resize(1000, 600);
}

DemoWindow::~DemoWindow()
{
    // The handlers point into this window; the grid (a child) outlives this body.
    m_grid->ondrawcell = nullptr;
    disconnect(m_grid, nullptr, this, nullptr);
    m_grid->OnMouseDown = nullptr;
    m_grid->OnMouseUp = nullptr;
    m_grid->OnDblClick = nullptr;
    m_grid->OnEditButtonClick = nullptr;
}

void DemoWindow::setUpGrid()
{
    m_grid->setOptions(m_grid->Options() | goColSizing | goRowMoving | goEditing | goTabs
                       | goRangeSelect);
    setUpOrdersColumns(m_grid);
    m_grid->setFixedRows(1);
    m_grid->setshowtitles(true);
    m_grid->setClickFixed(true);
    m_grid->setEnableClipboardShortcuts(true);
    installOrdersDrawing(m_grid, &m_sort);
    connectGridEvents();
}

void DemoWindow::connectGridEvents()
{
    // The status line follows the grid's signals: a move of the current cell, an
    // edit committed in the cell editor, a toggled check box, a paste or a sort.
    connect(m_grid, &TCustomGrid::currentCellChanged, this,
            [this](int col, int row, int, int) { showCellInfo(col, row); });
    connect(m_grid, &TStringGrid::cellChanged, this, [this] { showCurrentCellInfo(); });
    connect(m_grid, &TStringGrid::cellsChanged, this, [this] { showCurrentCellInfo(); });
    m_grid->OnMouseDown = [this](QObject *, TMouseButton, TShiftState, int, int) {
        m_pressReachedBase = true;
    };
    m_grid->OnMouseUp = [this](QObject *, TMouseButton button, TShiftState, int x, int y) {
        // A press the base saw (a border drag, a cell) is no title click.
        const bool titleClick = button == mbLeft && !m_pressReachedBase;
        m_pressReachedBase = false;
        m_lastReleaseOnTitle = titleClick && m_grid->MouseCoord(x, y).Y == 0;
        if (titleClick) titleClicked(x, y);
    };
    m_grid->OnDblClick = [this](QObject *) {
        // The double click's release is no second title click; on a title the first
        // click has sorted already and the rows are not flagged.
        m_pressReachedBase = true;
        if (!m_lastReleaseOnTitle) toggleMarks();
    };
    m_grid->OnEditButtonClick = [this](QObject *) { chooseCustomer(); };
}

void DemoWindow::titleClicked(int x, int y)
{
    const TGridCoord cell = m_grid->MouseCoord(x, y);
    if (cell.Y != 0 || cell.X < m_grid->FixedCols()) return;
    sortByColumn(cell.X, cell.X == m_sort.column && !m_sort.descending);
}

void DemoWindow::setUpStatusBar()
{
    m_cellInfo->setObjectName(QStringLiteral("cellInfo"));
    m_markedInfo->setObjectName(QStringLiteral("markedInfo"));
    m_cellInfo->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(m_cellInfo, 1); // a passing message covers it for a while
    statusBar()->addPermanentWidget(m_markedInfo);
}

void DemoWindow::reloadOrders()
{
    command(QStringLiteral("Fill"), [this] {
        int filled = 0;
        {
            const TotalsRowAside aside(m_grid);
            filled = fillOrders(m_grid, this);
        }
        addTotalsRow(m_grid); // the first fill has none to put back
        const int paid = m_grid->getcellsindex(orders::Paid);
        for (int row = orders::FirstOrderRow; row < m_grid->RowCount(); ++row)
            m_grid->SetSelectRow(row, orders::FlagMark, m_grid->Cells(paid, row).isEmpty());
        fitNoteRows(m_grid);
        m_sort = m_undone = SortIndicator();
        // Before the window is shown a message would be drawn over the cell's line
        // (showing the window shows the line again); the first fill needs none.
        if (isVisible())
            statusBar()->showMessage(QStringLiteral("%1 orders filled from the database").arg(filled), 5000);
    });
}

QString DemoWindow::cellInfo(int col, int row) const
{
    if (col < 0 || row < 0 || col >= m_grid->ColCount() || row >= m_grid->RowCount()) return QString();
    const QString raw = m_grid->Cells(col, row);
    QString info = QStringLiteral("%1, order %2: %3")
                       .arg(m_grid->getcellsname(col), m_grid->getcellname(orders::Order, row),
                            raw.isEmpty() ? QStringLiteral("(empty)") : raw);
    const tvorcolumntype type = m_grid->columns()->GeTmColumn(col)->gettype();
    if (raw.isEmpty() || type == ftstring || type == ftcheckbox) return info;
    const QString shown = m_grid->DisplayText(col, row);
    if (shown != raw) info += QStringLiteral("  =  ") + shown;
    return info;
}

QString DemoWindow::cellInfoShown() const { return m_cellInfo->text(); }
QString DemoWindow::markedInfoShown() const { return m_markedInfo->text(); }

void DemoWindow::showCellInfo(int col, int row) { m_cellInfo->setText(cellInfo(col, row)); }

void DemoWindow::showCurrentCellInfo() { showCellInfo(m_grid->Col(), m_grid->Row()); }

void DemoWindow::showMarkedCount()
{
    m_markedInfo->setText(
        QStringLiteral("%1 flagged").arg(m_grid->GetSelectRowCount(orders::FlagMark)));
}

bool DemoWindow::command(const QString &title, const std::function<void()> &operation)
{
    bool done = true;
    try {
        operation();
    } catch (const Exception &e) {
        showError(this, title, e.Message());
        done = false;
    }
    fitNoteRows(m_grid); // heights stay by position when rows move
    m_grid->Refresh();
    showCellInfo(m_grid->Col(), m_grid->Row());
    showMarkedCount();
    return done;
}
