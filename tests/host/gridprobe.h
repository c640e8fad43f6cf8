#pragma once
// A string grid that records the hooks the base calls, with a fixed pixel layout for
// tests: no frame, no scroll bars unless asked, default sizes (64 x 24, lines of 1),
// so cell (c, r) of an unscrolled grid starts at (65 c, 25 r).
#include "host/exceptions.h"
#include "host/inplaceedit.h"
#include "host/stringgrid.h"

#include <QTest>

#include <set>
#include <utility>
#include <vector>

namespace vorgrd::test {

class ProbeGrid : public TStringGrid
{
public:
    explicit ProbeGrid(int width = 400, int height = 250, bool scrollBars = false)
    {
        setFrameShape(QFrame::NoFrame);
        if (!scrollBars) setScrollBars(ssNone);
        resize(width, height);
        show();
        (void)QTest::qWaitForWindowExposed(this);
    }

    std::set<std::pair<int, int>> drawn;
    int drawCalls = 0;
    std::vector<std::pair<int, int>> sizeChanges; // (old cols, old rows)
    int colWidthsChanged = 0;
    int rowHeightsChanged = 0;
    std::vector<std::pair<int, int>> rowMoves, colMoves;
    QString typed; // characters seen by KeyPress
    bool throwInDrawCell = false;

    // Paints the viewport now and returns the image.
    QImage render()
    {
        drawn.clear();
        drawCalls = 0;
        return viewport()->grab().toImage();
    }
    QPoint cellCenter(int col, int row) const { return CellRect(col, row).center(); }
    QWidget *area() const { return viewport(); }

    using TCustomGrid::KeyDown;

protected:
    void DrawCell(int c, int r, const QRect &rect, TGridDrawState state) override
    {
        drawn.insert({c, r});
        ++drawCalls;
        if (throwInDrawCell && c == 1 && r == 1) throw Exception(QStringLiteral("drawing failed"));
        TStringGrid::DrawCell(c, r, rect, state);
    }
    void SizeChanged(int oldCols, int oldRows) override
    {
        sizeChanges.emplace_back(oldCols, oldRows);
    }
    void ColWidthsChanged() override { ++colWidthsChanged; }
    void RowHeightsChanged() override { ++rowHeightsChanged; }
    void RowMoved(int from, int to) override
    {
        rowMoves.emplace_back(from, to);
        TStringGrid::RowMoved(from, to);
    }
    void ColumnMoved(int from, int to) override
    {
        colMoves.emplace_back(from, to);
        TStringGrid::ColumnMoved(from, to);
    }
    void KeyPress(QChar &key) override
    {
        typed += key;
        TStringGrid::KeyPress(key);
    }
};

inline void *obj(intptr_t n)
{
    return reinterpret_cast<void *>(n);
}

} // namespace vorgrd::test
