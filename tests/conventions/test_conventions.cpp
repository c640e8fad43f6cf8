// The grid as a Qt widget: one font for QWidget and Font, system colours through the
// widget's own palette, and keys the grid has no use for left to its parent.
#include "grid/vorGrid.h"
#include "host/inplaceedit.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

QImage rendered(QWidget &widget)
{
    widget.ensurePolished();
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    widget.render(&image);
    return image;
}

// A point inside a scrollable cell, away from its text (which starts at the left).
QPoint insideCell(tvorgrid &grid, int col, int row)
{
    const QRect r = grid.CellRect(col, row);
    return grid.viewport()->mapTo(&grid, QPoint(r.right() - 3, r.bottom() - 3));
}

} // namespace

TEST(Font, QWidgetFontAndTheFontObjectAreOneFont)
{
    tvorgrid grid;
    QSignalSpy changed(&grid, &TCustomGrid::fontChanged);
    QFont big(QStringLiteral("DejaVu Sans"), 17);
    grid.setFont(big);
    EXPECT_EQ(grid.Font()->Size(), 17);
    EXPECT_EQ(grid.Font()->Name(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(changed.count(), 1);

    grid.Font()->setSize(9);
    EXPECT_EQ(grid.font().pointSize(), 9);
    EXPECT_EQ(changed.count(), 2);
    grid.Font()->setStyle(fsBold);
    EXPECT_TRUE(grid.font().bold());

    // A font the parent passes down reaches a grid that has none of its own.
    QWidget parent;
    auto *child = new tvorgrid(&parent);
    parent.setFont(QFont(QStringLiteral("DejaVu Sans"), 21));
    EXPECT_EQ(child->Font()->Size(), 21);
    auto *late = new tvorgrid(&parent);
    EXPECT_EQ(late->Font()->Size(), 21) << "a grid made inside the parent starts from its font";
}

TEST(Font, TheCellTextIsDrawnInTheWidgetFont)
{
    tvorgrid grid;
    grid.resize(500, 200);
    // Not the current cell, whose focus frame would count as ink.
    grid.setCells(2, 2, QStringLiteral("WWWW"));
    grid.setColWidths(2, 200);
    grid.setFont(QFont(QStringLiteral("DejaVu Sans"), 6));
    const QImage small = rendered(grid);
    grid.setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
    const QImage large = rendered(grid);
    auto inkWidth = [&](const QImage &image) {
        const QRect cell = grid.CellRect(2, 2).translated(grid.viewport()->pos());
        const QRgb background = image.pixel(cell.right() - 2, cell.bottom() - 2);
        int last = -1;
        for (int x = cell.left(); x < cell.right(); ++x)
            for (int y = cell.top(); y < cell.bottom(); ++y)
                if (image.pixel(x, y) != background) last = x;
        return last - cell.left();
    };
    EXPECT_GT(inkWidth(large), inkWidth(small) * 3 / 2);
}

TEST(Palette, SystemColoursFollowTheWidgetsOwnPalette)
{
    // A dark palette on one window: the grid in it inherits it, another grid keeps
    // the application's.
    QWidget window;
    QPalette palette = window.palette();
    palette.setColor(QPalette::Base, QColor(20, 30, 40));
    palette.setColor(QPalette::Button, QColor(90, 10, 10));
    window.setPalette(palette);
    auto *dark = new tvorgrid(&window);
    dark->resize(300, 200);
    dark->setshowtitles(true); // the title row is drawn in the titles' clBtnFace
    tvorgrid plain;
    plain.resize(300, 200);

    const QImage image = rendered(*dark);
    EXPECT_EQ(QColor(image.pixel(insideCell(*dark, 2, 2))), QColor(20, 30, 40)) << "clWindow";
    EXPECT_EQ(QColor(image.pixel(insideCell(*dark, 2, 0))), QColor(90, 10, 10)) << "clBtnFace";
    const QImage other = rendered(plain);
    EXPECT_EQ(QColor(other.pixel(insideCell(plain, 2, 2))),
              QApplication::palette().color(QPalette::Base));
    ASSERT_NE(QApplication::palette().color(QPalette::Base), QColor(20, 30, 40));

    // Outside a paint, through the widget's palette on request.
    EXPECT_EQ(ColorToQColor(clWindow, dark), QColor(20, 30, 40));
    EXPECT_EQ(ColorToQColor(clWindow), QApplication::palette().color(QPalette::Base));
}

TEST(Palette, AStyleSheetsPaletteRolesApply)
{
    tvorgrid grid;
    grid.resize(300, 200);
    grid.setColWidths(1, 200);
    grid.setRowHeights(1, 60);
    grid.setFont(QFont(QStringLiteral("DejaVu Sans"), 30, QFont::Black));
    grid.setCells(1, 1, QStringLiteral("IIII"));
    // The cells' text is clWindowText, which the sheet's text colour sets.
    grid.setStyleSheet(QStringLiteral("* { color: rgb(1, 99, 2); }"));
    const QImage image = rendered(grid);
    const QRect cell = grid.CellRect(1, 1).translated(grid.viewport()->pos());
    int exact = 0;
    for (int x = cell.left(); x < cell.right(); ++x)
        for (int y = cell.top(); y < cell.bottom(); ++y)
            if (QColor(image.pixel(x, y)) == QColor(1, 99, 2)) ++exact;
    EXPECT_GT(exact, 50);
}

TEST(Keys, EscapeWithoutAnEditorReachesTheDialog)
{
    QDialog dialog;
    auto *grid = new tvorgrid(&dialog);
    (new QVBoxLayout(&dialog))->addWidget(grid);
    dialog.show();
    grid->setFocus();
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);

    // With the editor open, Escape stays in the grid: it cancels the edit.
    dialog.show();
    grid->setOptions(grid->Options() | goEditing);
    grid->ShowEditor();
    ASSERT_TRUE(grid->EditorMode());
    QTest::keyClick(grid->InplaceEditor(), Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_FALSE(grid->EditorMode());
}

TEST(Keys, HandledKeysAreAcceptedAndOthersIgnored)
{
    tvorgrid grid;
    auto press = [&](int key, Qt::KeyboardModifiers mods, const QString &text = {}) {
        QKeyEvent event(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(&grid, &event);
        return event.isAccepted();
    };
    EXPECT_TRUE(press(Qt::Key_Down, Qt::NoModifier));
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_FALSE(press(Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b")));
    EXPECT_FALSE(press(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"))) << "not editing";
    grid.setOptions(grid.Options() | goEditing);
    EXPECT_TRUE(press(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"))) << "typing opens the editor";
    EXPECT_TRUE(grid.EditorMode());
    grid.HideEditor();

    grid.OnKeyPress = [](QObject *, QChar &key) {
        if (key == QLatin1Char('q')) key = QChar();
    };
    grid.setOptions(grid.Options() & ~TGridOptions(goEditing));
    EXPECT_TRUE(press(Qt::Key_Q, Qt::NoModifier, QStringLiteral("q"))) << "a handler consumed it";
    grid.setEnableClipboardShortcuts(true);
    EXPECT_TRUE(press(Qt::Key_C, Qt::ControlModifier)) << "the copy shortcut acted";
}

TEST(Keys, CtrlASelectsEveryCellWhenRangeSelectionIsOn)
{
    tvorgrid grid;
    grid.setColCount(6);
    grid.setRowCount(8);
    grid.FocusCell(3, 4, true);
    QSignalSpy selection(&grid, &TCustomGrid::selectionChanged);
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 5, 7}));
    EXPECT_GE(selection.count(), 1);

    grid.setOptions(grid.Options() & ~TGridOptions(goRangeSelect));
    grid.FocusCell(3, 4, true);
    QKeyEvent event(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(&grid, &event);
    EXPECT_EQ(grid.Selection(), (TGridRect{3, 4, 3, 4}));
    EXPECT_FALSE(event.isAccepted()) << "without range selection Ctrl+A is not the grid's";
}
