#pragma once
// Reading the table out of the HTML that spreadsheets and browsers put on the
// clipboard beside the plain text, for a paste. Not installed; included only by
// src/exchange/.

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace vorgrd::exchange_internal {

// Row by row, the texts of the cells; rows may differ in length.
using HtmlTable = std::vector<std::vector<QString>>;

// The table of `html` when the document shows one table and no text outside it
// (what a spreadsheet or a browser copies as cells), else nullopt.
//   - A cell's text is what a browser shows: runs of blanks and line breaks are one
//     blank, blanks at its start and end go, <br> is a line break (but shows none as
//     the last thing in a cell: LibreOffice writes an empty cell as <br>) and a
//     paragraph or block inside a cell starts a new line; character references are
//     decoded (&nbsp; as U+00A0, which LibreOffice writes so).
//   - colspan and rowspan keep the cells in their columns: the cells a span covers
//     are empty.
//   - The head (title, styles), scripts, comments and a Windows "HTML Format" header
//     are no text; neither is a caption.
// A table of more than `maxCells` cells (spans included) raises ERangeError.
std::optional<HtmlTable> readHtmlTable(QStringView html, qint64 maxCells);

} // namespace vorgrd::exchange_internal
