#pragma once
// The settings of the one-call fill from a query (tvorgrid::FillFromQuery).

#include <QString>

#include <functional>
#include <vector>

// Declared only: the grid's header does not bring Qt SQL to every user of the grid.
// Code that calls FillFromQuery includes <QSqlQuery> / <QSqlDatabase> itself.
QT_BEGIN_NAMESPACE
class QSqlDatabase;
class QSqlQuery;
QT_END_NAMESPACE

namespace vorgrd {

struct TFillOptions
{
    // Give the grid one column per field beyond the fixed columns and name each after
    // its field (the title row then shows the field names). Off: the columns stay as
    // they are and take the fields whose names they carry.
    bool nameColumns = false;
    // Called after every `progressInterval` rows and once at the end with the number
    // of rows filled so far; returning false stops the fill there (the rows filled
    // stay, and the grid is cut to them).
    std::function<bool(int rowsFilled)> progress;
    int progressInterval = 10000;
};

} // namespace vorgrd
