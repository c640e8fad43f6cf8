#pragma once
// A shown, active tvorgrid for the editor tests: no frame, no scroll bars, cells of
// 64 x 24 with lines of 1, editing on; column 1 has a pick list, column 2 an
// ellipsis button. The pick list's clock is the test's `now`.
#include "grid/vorGrid.h"
#include "presentation/inplaceeditor.h"
#include "presentation/popuplist.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace vorgrd::test {

class EditorGrid : public ::testing::Test
{
protected:
    std::unique_ptr<tvorgrid> grid;
    qint64 now = 100'000;
    int clicks = 0;

    void SetUp() override
    {
        grid = std::make_unique<tvorgrid>();
        grid->setFrameShape(QFrame::NoFrame);
        grid->setScrollBars(ssNone);
        grid->setColCount(4);
        grid->setRowCount(5);
        grid->setOptions(grid->Options() | goEditing);
        grid->resize(400, 200);
        grid->move(20, 20);
        grid->OnEditButtonClick = [this](QObject *) { ++clicks; };
        setPickList(1, {"open", "closed", "waiting"});
        column(2)->SetButtonStyle(cbsEllipsis);
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
        grid->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
        grid->setFocus();
    }
    void TearDown() override { grid.reset(); }

    tmcolumn *column(int c) { return grid->columns()->GeTmColumn(c); }
    void setPickList(int c, const QStringList &items)
    {
        TStringList list(items);
        column(c)->SetPickList(&list);
    }
    // Opens the editor on (col, row) and returns it.
    TVORGridInplaceEdit *edit(int col, int row)
    {
        grid->FocusCell(col, row, true);
        grid->ShowEditor();
        auto *editor = qobject_cast<TVORGridInplaceEdit *>(grid->InplaceEditor());
        if (editor) editor->setSearchClock([this] { return now; });
        settle();
        return editor;
    }
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    static void key(QWidget *w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::keyClick(w, k, m);
        settle();
    }
    static QPoint buttonCenter(TVORGridInplaceEdit *e) { return e->ButtonRect().center(); }
    static QPoint textPoint(TVORGridInplaceEdit *e) { return QPoint(5, e->height() / 2); }
    // The middle of item `row` of the open list, in its item area's coordinates.
    static QPoint itemCenter(TPopupListbox *list, int row)
    {
        return list->visualRect(list->model()->index(row, 0)).center();
    }
};

} // namespace vorgrd::test
