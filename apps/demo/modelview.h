#pragma once
// A second view of the orders: a QTableView over the grid's item model through a
// filtering proxy, in a dock (View > Orders as a Qt item view). It shows the model in
// use: what the grid shows, kept true by the grid's changes, filtered by a text.

class DemoWindow;
class QDockWidget;

QDockWidget *addModelView(DemoWindow *window);
