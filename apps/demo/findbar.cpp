#include "findbar.h"

#include "grid/vorGrid.h"
#include "host/exceptions.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

using namespace vorgrd;

FindBar::FindBar(tvorgrid *grid, QWidget *parent)
    : QToolBar(QStringLiteral("Find"), parent), m_grid(grid), m_text(new QLineEdit(this)),
      m_substring(new QCheckBox(QStringLiteral("Substring"), this)),
      m_backwards(new QCheckBox(QStringLiteral("Backwards"), this))
{
    setObjectName(QStringLiteral("findBar"));
    addWidget(new QLabel(QStringLiteral(" Find: "), this));
    m_text->setPlaceholderText(QStringLiteral("text to find"));
    m_text->setMaximumWidth(200);
    addWidget(m_text);
    m_substring->setChecked(true);
    addWidget(m_substring);
    addWidget(m_backwards);
    addAction(QStringLiteral("Find"), this, [this] { findFirst(); });
    addAction(QStringLiteral("Find next"), this, [this] { findNext(); });
    connect(m_text, &QLineEdit::returnPressed, this, [this] { findFirst(); });
    // A changed setting starts the next search afresh.
    connect(m_text, &QLineEdit::textChanged, this, [this] { m_started = false; });
    connect(m_substring, &QCheckBox::toggled, this, [this] { m_started = false; });
    connect(m_backwards, &QCheckBox::toggled, this, [this] { m_started = false; });
}

bool FindBar::findFirst()
{
    if (m_text->text().isEmpty()) return report(false, -1, -1);
    // Searching compares as text; the sort sets its own key type when it runs.
    m_grid->setKeyType(soString);
    m_grid->setKeyPos(1);
    m_grid->setKeyLen(2147483647);
    m_grid->setSearchSubstring(m_substring->isChecked());
    m_grid->SetReverseSearch(m_backwards->isChecked());
    int col = -1, row = -1;
    m_started = true;
    const bool matched = m_grid->FindFirst(m_text->text(), true, col, row);
    return report(matched, col, row);
}

bool FindBar::findNext()
{
    if (!m_started) return findFirst();
    int col = -1, row = -1;
    const bool matched = m_grid->FindNext(col, row);
    return report(matched, col, row);
}

void FindBar::activate()
{
    show();
    m_text->setFocus();
    m_text->selectAll();
}

bool FindBar::report(bool matched, int col, int row)
{
    if (matched) m_grid->FocusCell(col, row, true);
    emit searched(m_text->text(), matched ? col : -1, matched ? row : -1);
    return matched;
}
