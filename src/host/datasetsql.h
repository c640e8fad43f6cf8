#pragma once
// TSqlDataSet: a data set over a Qt SQL query, for any driver (SQLite, PostgreSQL,
// ODBC, ...).
//
// Field names are looked up as QSqlRecord::indexOf compares them: case-insensitively,
// and "table.field" also matches the field of that table; FindField answers the first
// match, and MatchFields gives a name repeated for several matching fields the next
// of them.
//
// Field texts are texts the grid's own conversions read back, so numeric and date
// columns sort, search and format the values:
//   NULL                          the empty text
//   integers                      decimal digits ("-42")
//   floating point                FloatToStr: up to 15 significant digits, the
//                                 settings' decimal separator ("12.5", "1E20")
//   DATE, TIME, TIMESTAMP         "yyyy-mm-dd", "hh:nn:ss", "yyyy-mm-dd hh:nn:ss",
//                                 with ".zzz" when there are milliseconds; a time zone
//                                 is not written (the value as the driver gives it)
//   booleans                      "Y" for true and "" for false, a check box's texts
//   blobs (BLOB, bytea)           the bytes as lower-case hexadecimal digits
//   texts and anything else       the driver's text (QVariant's conversion to
//                                 QString); a value with none raises EConvertError
// SQLite keeps dates as texts, which pass unchanged.

#include "host/dataset.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include <memory>
#include <vector>

namespace vorgrd {

// The text of a value read from a Qt SQL driver, by the rules above.
VORGRD_EXPORT QString SqlValueText(const QVariant &value);

class VORGRD_EXPORT TSqlDataSet : public TDataSet
{
public:
    // Runs `sql` on the database as a forward-only query and stands on the first
    // record. A query that fails raises EDatabaseError with the driver's message; a
    // statement that returns no rows (an UPDATE) raises EDatabaseError too.
    TSqlDataSet(const QString &sql, const QSqlDatabase &database);
    // Takes an executed SELECT (the query's result is shared, not copied). A query
    // still before its first record is moved onto it; one already on a record stays
    // there. An inactive query or one without rows raises EDatabaseError.
    explicit TSqlDataSet(QSqlQuery query);
    ~TSqlDataSet() override;

    TField *FindField(const QString &name) override;
    std::vector<TField *> MatchFields(const std::vector<QString> &names) override;
    int FieldCount() const override;
    TField *Fields(int index) override;

    // On a forward-only query that has left its first record this raises
    // EDatabaseError: such a result cannot go back (run the query again instead).
    void First() override;
    void Next() override;
    bool Eof() const override;

    // The query and its record, for a caller that needs more of the result (its size).
    QSqlQuery &query();
    const QSqlRecord &record() const;

private:
    // The query, its fields and their lookup by name (datasetsql.cpp).
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vorgrd
