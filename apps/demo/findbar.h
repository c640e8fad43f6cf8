#pragma once
// The find bar: a text, "Substring" and "Backwards", and Find / Find next over the
// grid's cells (tvorgrid::FindFirst / FindNext, row by row). A match becomes the
// current cell; `searched` reports each outcome.

#include <QToolBar>

class QCheckBox;
class QLineEdit;

namespace vorgrd {
class tvorgrid;
}

class FindBar : public QToolBar
{
    Q_OBJECT
public:
    FindBar(vorgrd::tvorgrid *grid, QWidget *parent = nullptr);

    QLineEdit *text() const { return m_text; }
    QCheckBox *substring() const { return m_substring; }
    QCheckBox *backwards() const { return m_backwards; }

    // Starts a search with the bar's settings; false when nothing matched.
    bool findFirst();
    // Goes on from the last match (a search is started first when none runs).
    bool findNext();
    // Shows the bar and puts the keyboard into its text.
    void activate();

signals:
    // The cell that matched, or -1, -1 when nothing (further) matched.
    void searched(const QString &text, int col, int row);

private:
    bool report(bool matched, int col, int row);

    vorgrd::tvorgrid *m_grid;
    QLineEdit *m_text;
    QCheckBox *m_substring;
    QCheckBox *m_backwards;
    bool m_started = false;
};
