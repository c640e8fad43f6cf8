#pragma once
// The demo's data source: a SQLite database of the sample orders, and the fill of the
// grid from it through tvorgrid::FillFromQuery, with a progress dialog when the fill
// takes more than a moment.

#include <QSqlDatabase>
#include <QStringList>

class QWidget;

namespace vorgrd {
class tvorgrid;
}

// The orders database, made at first use (in memory) from the sample orders shipped
// in the demo's resources, so that the two can never disagree. Its table `orders` has
// one field per column of the window, named like it. Raises EInOutError or
// EDatabaseError when it cannot be made.
QSqlDatabase ordersDatabase();

// The customers the orders name, sorted; the customer chooser offers them.
QStringList orderCustomers();

// Replaces the grid's data rows by the orders, in order-number order, and returns
// their number. `parent` hosts the progress dialog. Raises what FillFromQuery raises.
int fillOrders(vorgrd::tvorgrid *grid, QWidget *parent);
