#pragma once
// The state of the column descriptions behind their d-pointers. Only columns.cpp
// includes it; the published surface is columns.h.

#include "grid/columns.h"

#include <QPointer>

namespace vorgrd {

struct VORGRD_AUTOTEST_EXPORT tmcolumntitle::Private
{
    explicit Private(tmcolumn *column) : m_column(column) {}

    tmcolumn *m_column;
    QString m_caption;
    std::unique_ptr<TFont> m_font;
    TColor m_color = 0;
    TAlignment m_alignment = taLeftJustify;
};

// An attribute's own value counts only while AssignedValues holds its flag; otherwise
// the getter answers the default.
struct VORGRD_AUTOTEST_EXPORT tmcolumn::Private
{
    TmColumnButtonStyle m_buttonStyle = cbsAuto;
    int m_dropDownRows = 7;
    std::unique_ptr<TStringList> m_pickList;
    QString m_displayformat;
    QString m_columnName;
    tvorcolumntype m_columntype = ftstring;
    TColor m_color = 0;
    int m_width = 0;
    bool m_hide = false;
    std::unique_ptr<tmcolumntitle> m_title;
    std::unique_ptr<TFont> m_font;
    TAlignment m_alignment = taLeftJustify;
    TVertAlignment m_vertAlignment = vaTopJustify;
    bool m_readOnly = false;
    bool m_wordwrap = false;
    tmcolumnValues m_assignedValues;
};

struct VORGRD_AUTOTEST_EXPORT TvorgridColumns::Private
{
    tvorgrid *m_grid;
};

} // namespace vorgrd
