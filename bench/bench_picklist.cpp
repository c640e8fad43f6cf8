// Opening the in-place editor's pick list of 100,000 items against opening a
// QComboBox's pop-up with the same items, in the same run:
//   ours  TVORGridInplaceEdit::OpenPickList on a shown grid whose column holds the
//         items, the cell holding an item near the end (so that finding the selected
//         item scans almost the whole list)
//   qt    QComboBox::showPopup on a shown combo box holding the same items, the same
//         item current. This is what a Qt programmer would put in a cell.
// Each timed region is the call plus the event processing that shows and paints the
// list, measured as the thread's CPU time (the machine is shared; wall time would count
// other programs). Closing runs outside the timed region. Both were opened once before
// timing, so neither pays for creating its window. Prints
//   ratio picklist.open_vs_qcombobox
// as ours / theirs (target at most 1.0).
#include "grid/vorGrid.h"
#include "presentation/inplaceeditor.h"
#include "presentation/popuplist.h"

#include "manualtime.h"

#include <QApplication>
#include <QComboBox>

#include <cstdio>
#include <memory>

using namespace vorgrd;
using vorgrd::bench::RatioReporter;
using vorgrd::bench::timed;

namespace {

constexpr int Items = 100'000;
constexpr int Chosen = Items - 3;

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QStringList items()
{
    QStringList list;
    list.reserve(Items);
    for (int i = 0; i < Items; ++i)
        list << QStringLiteral("customer %1 / region %2").arg(i, 6, 10, QChar('0')).arg(i % 97);
    return list;
}

struct Data
{
    std::unique_ptr<tvorgrid> grid;
    TVORGridInplaceEdit *editor = nullptr;
    std::unique_ptr<QComboBox> combo;
};

Data *data = nullptr;

bool buildData()
{
    data = new Data;
    const QStringList texts = items();
    data->grid = std::make_unique<tvorgrid>();
    tvorgrid &grid = *data->grid;
    grid.setColCount(3);
    grid.setRowCount(4);
    grid.setOptions(grid.Options() | goEditing);
    TStringList pick(texts);
    grid.columns()->GeTmColumn(1)->SetPickList(&pick);
    grid.setCells(1, 1, texts.at(Chosen));
    grid.resize(300, 200);
    grid.move(0, 0);
    grid.show();
    grid.activateWindow();
    settle();
    grid.FocusCell(1, 1, true);
    grid.ShowEditor();
    data->editor = qobject_cast<TVORGridInplaceEdit *>(grid.InplaceEditor());
    if (!data->editor || data->editor->ButtonKind() != ebkPickList) return false;

    data->combo = std::make_unique<QComboBox>();
    data->combo->addItems(texts);
    data->combo->setCurrentIndex(Chosen);
    data->combo->move(320, 0);
    data->combo->show();
    settle();

    // One open and close of each before anything is timed.
    data->editor->OpenPickList();
    settle();
    data->editor->ClosePickList(false);
    data->combo->showPopup();
    settle();
    data->combo->hidePopup();
    settle();
    return true;
}

void BM_OursOpen(benchmark::State &state)
{
    TVORGridInplaceEdit &editor = *data->editor;
    for (auto _ : state) {
        state.SetIterationTime(timed([&] {
            editor.OpenPickList();
            settle();
        }));
        if (!editor.ListShown() || editor.PickListBox()->ItemIndex() != Chosen ||
            editor.PickListBox()->Count() != Items)
            state.SkipWithError("the pick list did not open on the cell's item");
        editor.ClosePickList(false);
        settle();
    }
}

void BM_QtOpen(benchmark::State &state)
{
    QComboBox &combo = *data->combo;
    for (auto _ : state) {
        state.SetIterationTime(timed([&] {
            combo.showPopup();
            settle();
        }));
        if (!combo.view()->isVisible() || combo.view()->currentIndex().row() != Chosen)
            state.SkipWithError("the combo box's pop-up did not open on its item");
        combo.hidePopup();
        settle();
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("building a grid and a QComboBox with %d pick items...\n", Items);
    std::fflush(stdout);
    if (!buildData()) {
        std::printf("the grid's editor has no pick list: nothing measured\n");
        return 1;
    }
    vorgrd::bench::registerManual("ours/open", BM_OursOpen, 20);
    vorgrd::bench::registerManual("qt/open", BM_QtOpen, 20);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto &s = reporter.seconds;
    std::printf("(times are the CPU time of the timed operation alone)\n");
    vorgrd::bench::printRatio(s, "picklist.open_vs_qcombobox", "ours/open", "qt/open");
    data->combo.reset();
    data->grid.reset();
    delete data;
    return 0;
}
