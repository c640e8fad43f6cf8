#pragma once
// The scripted tour of the demo window (vorgrd-demo --tour DIR): each step drives the
// window as a user would (clicks, keys, the menus' commands) and is photographed.
//
//   orders     the window as it opens
//   sort       a click on the Price title sorts by price (ClickFixed), arrow shown
//   undo-sort  Ctrl+Z brings the order numbers' order back
//   find       the find bar finds "Walnuts", then the next one
//   paste      two rows of two cells pasted from the clipboard at Product, grid row 3
//   formula    the first order's line total edited to COL(4)*COL(5)*0.9
//   picklist   the Status cell's pick list open
//   flags      three rows flagged (Ctrl+M)
//   coleditor  Edit Columns... open on the Price column

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

class DemoWindow;

struct TourStep
{
    const char *name;
    const char *caption;
    std::function<void(DemoWindow &)> run;
};

// The steps in the order the tour takes them; each expects the window as the steps
// before it left it.
const std::vector<TourStep> &tourSteps();

// Ends what a step left open (the pick list, the editor, dialogs) before the next.
void finishStep(DemoWindow &window);

// The window as the screen shows it: its own pixels, with the pop-up list and the
// dialogs it opened painted where they stand.
QImage photograph(DemoWindow &window);

// Runs every step, saving DIR/NN-name.png after each and printing its path. Returns
// the process's exit code (1 when a picture cannot be written).
int runTour(DemoWindow &window, const QString &dir);
