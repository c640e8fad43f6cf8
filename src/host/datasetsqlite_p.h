#pragma once
// A data set read straight from SQLite's statement interface, for a database that
// Qt's SQLite driver (QSQLITE) opened.
//
// Why: QSqlQuery hands every value over as a QVariant, and the driver asks SQLite for
// UTF-16, which makes SQLite translate every text it keeps as UTF-8; a fill of a
// million rows spends most of its time there. Reading the statement directly gives
// the same texts as TSqlDataSet (datasetsql.h) for the same values (NULL, integers,
// reals, texts, blobs; SQLite has no other storage classes), in about half the time.
//
// It serves only where the build links the same SQLite library as Qt's driver (the
// driver's handle is then a connection of that library); elsewhere, and for any
// other driver, openSqliteDataSet answers nullptr and the caller takes TSqlDataSet.

#include "host/dataset.h"

#include <QSqlDatabase>

#include <memory>

namespace vorgrd {

// Runs `sql` on `database` and stands on the first record, or answers nullptr when
// the database is not an open QSQLITE one or this build cannot reach SQLite. A text
// that does not compile, holds more than one statement or returns no columns raises
// EDatabaseError (with SQLite's message where it has one), and nothing of it runs.
std::unique_ptr<TDataSet> openSqliteDataSet(const QString &sql, const QSqlDatabase &database);

} // namespace vorgrd
