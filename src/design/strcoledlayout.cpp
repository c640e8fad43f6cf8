// The column editor's controls: positions, sizes, names, captions and items.
// Everything is placed at fixed pixel positions because the dialog has a fixed size
// and its layout is part of what developers know it by.
#include "design/strcoled_p.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <utility>

namespace vorgrd {

namespace {

// Drop-down lists and edit boxes are one text line high at the dialog's font.
constexpr int BoxHeight = 21;
constexpr int ListItemHeight = 13;

// Lines of the column list are 13 pixels high, whatever the style would choose.
class FixedHeightDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), ListItemHeight};
    }
};

template <class Widget>
Widget *place(Widget *widget, const char *name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QComboBox *dropDownList(QWidget *parent, const char *name, int left, int top,
                        std::initializer_list<const char *> items)
{
    auto *box = place(new QComboBox(parent), name, left, top, 137, BoxHeight);
    for (const char *item : items)
        box->addItem(QLatin1String(item));
    return box;
}

QComboBox *colorBox(QWidget *parent, const char *name, int left, int top)
{
    auto *box = place(new QComboBox(parent), name, left, top, 137, BoxHeight);
    box->setEditable(true);
    // Typed texts are read by the change handler, never added as items.
    box->setInsertPolicy(QComboBox::NoInsert);
    // The typed text is the developer's: no inline completion rewriting it.
    box->setCompleter(nullptr);
    return box;
}

QLineEdit *editBox(QWidget *parent, const char *name, int left, int top)
{
    return place(new QLineEdit(parent), name, left, top, 137, BoxHeight);
}

QLabel *label(QWidget *parent, const QString &caption, QWidget *control, int left)
{
    auto *text = new QLabel(caption, parent);
    text->setObjectName(control->objectName() + QLatin1String("Label"));
    text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    text->setBuddy(control);
    // As wide as its caption, like a label that sizes itself: a face a little wider
    // than the one the layout was drawn for runs under the control (which stands
    // above it) instead of cutting the caption off.
    text->setGeometry(left, control->y(), text->sizeHint().width(), BoxHeight);
    text->lower();
    return text;
}

// A 16 x 16 red arrow; Qt derives the greyed look of a disabled button from it.
QIcon arrowIcon(bool down)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A shaft of 4 pixels and a head of 12, pointing down; mirrored for up.
    QPolygonF arrow({{6, 2}, {10, 2}, {10, 8}, {14, 8}, {8, 14}, {2, 8}, {6, 8}});
    if (!down)
        for (QPointF &point : arrow)
            point.setY(16 - point.y());
    QPainterPath path;
    path.addPolygon(arrow);
    path.closeSubpath();
    painter.fillPath(path, QColor(0xC0, 0, 0));
    painter.setPen(QColor(0x80, 0, 0));
    painter.drawPath(path);
    return QIcon(pixmap);
}

// "MS Sans Serif" at 11 pixels where the system has it, else the nearest face it
// has. That face is narrow: the captions were measured for it, so a condensed sans
// serif (DejaVu Sans Condensed on Debian) comes before the plain sans-serif default.
QFont dialogFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("Arial Narrow")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

} // namespace

void TmGridColEditor::buildLayout()
{
    setObjectName(QStringLiteral("mGridColEditor"));
    setWindowTitle(QStringLiteral("DBGrid Columns Editor"));
    setFont(dialogFont());
    // A dialog border: the size is fixed and there is no resize grip.
    setFixedSize(415, 395);
    setSizeGripEnabled(false);

    d->GB = place(new QGroupBox(QStringLiteral("Co&lumns"), this), "GB", 8, 4, 137, 349);
    d->ColumnList = place(new QListWidget(d->GB), "ColumnList", 8, 16, 121, 257);
    d->ColumnList->setItemDelegate(new FixedHeightDelegate(d->ColumnList));
    d->ColumnList->setUniformItemSizes(true);
    d->movedownbutton = place(new QToolButton(d->GB), "movedownbutton", 8, 282, 57, 25);
    d->movedownbutton->setIcon(arrowIcon(true));
    d->movedownbutton->setIconSize({16, 16});
    d->moveupbutton = place(new QToolButton(d->GB), "moveupbutton", 72, 282, 57, 25);
    d->moveupbutton->setIcon(arrowIcon(false));
    d->moveupbutton->setIconSize({16, 16});
    d->NewButton = place(new QPushButton(QStringLiteral("&New"), d->GB), "NewButton", 8, 318, 57, 25);
    d->DeleteButton = place(new QPushButton(QStringLiteral("&Delete"), d->GB), "DeleteButton", 72, 318, 57, 25);

    d->PageControl1 = place(new QTabWidget(this), "PageControl1", 152, 8, 257, 345);
    // The three page tabs side by side, as in the layout: the style's own tab padding
    // is wider than the pages leave room for.
    d->PageControl1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 6px; }"));

    d->ts1 = new QWidget;
    d->ts1->setObjectName(QStringLiteral("ts1"));
    d->ColAlignment = dropDownList(d->ts1, "ColAlignment", 104, 6, {"taLeftJustify", "taRightJustify", "taCenter"});
    d->ColVertalignment = dropDownList(d->ts1, "ColVertalignment", 104, 33, {"vaTopJustify", "vaCenter", "vaBottom"});
    d->Colwordwrap = dropDownList(d->ts1, "Colwordwrap", 104, 61, {"False", "True"});
    d->ColColor = colorBox(d->ts1, "ColColor", 104, 88);
    d->ColReadOnly = dropDownList(d->ts1, "ColReadOnly", 104, 117, {"False", "True"});
    d->ColWidth = editBox(d->ts1, "ColWidth", 104, 144);
    d->ColHide = dropDownList(d->ts1, "ColHide", 104, 171, {"False", "True"});
    d->fieldtype = dropDownList(d->ts1, "fieldtype", 104, 199,
                             {"ftstring", "ftnumeric", "ftdatetime", "ftcheckbox", "ftformula"});
    d->dispformat = editBox(d->ts1, "dispformat", 104, 230);
    d->Colfieldname = editBox(d->ts1, "Colfieldname", 104, 262);
    const std::pair<const char *, QWidget *> columnLabels[] = {
        {"Alignment:", d->ColAlignment}, {"Vertical alignment:", d->ColVertalignment},
        {"Wordwrap:", d->Colwordwrap},   {"Color:", d->ColColor},
        {"ReadOnly:", d->ColReadOnly},   {"Width:", d->ColWidth},
        {"Hide:", d->ColHide},           {"Column type:", d->fieldtype},
        {"Display format:", d->dispformat}, {"Column name:", d->Colfieldname}};
    for (const auto &[caption, control] : columnLabels)
        label(d->ts1, QLatin1String(caption), control, 12);
    d->ColFont = place(new QPushButton(QStringLiteral("F&ont..."), d->ts1), "ColFont", 4, 290, 61, 25);
    d->RestoreDefaults = place(new QPushButton(QStringLiteral("Re&store Defaults"), d->ts1), "RestoreDefaults",
                            144, 290, 99, 25);
    d->PageControl1->addTab(d->ts1, QStringLiteral("Column Properties"));

    d->ts2 = new QWidget;
    d->ts2->setObjectName(QStringLiteral("ts2"));
    d->TitleAlignment = dropDownList(d->ts2, "TitleAlignment", 104, 8, {"taLeftJustify", "taRightJustify", "taCenter"});
    d->TitleCaption = editBox(d->ts2, "TitleCaption", 104, 34);
    d->TitleColor = colorBox(d->ts2, "TitleColor", 104, 60);
    label(d->ts2, QStringLiteral("Alignment:"), d->TitleAlignment, 8);
    label(d->ts2, QStringLiteral("Caption:"), d->TitleCaption, 8);
    label(d->ts2, QStringLiteral("Color:"), d->TitleColor, 8);
    d->TitleFont = place(new QPushButton(QStringLiteral("F&ont..."), d->ts2), "TitleFont", 103, 96, 74, 25);
    d->PageControl1->addTab(d->ts2, QStringLiteral("Title Properties"));

    d->TabSheet1 = new QWidget;
    d->TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    d->PageControl1->addTab(d->TabSheet1, QStringLiteral("List values"));
    // The memo fills the page above the panel docked at its bottom; the page's size is
    // known once the tab widget has laid it out, so both follow it on resize.
    d->picklist = new QPlainTextEdit(d->TabSheet1);
    d->picklist->setObjectName(QStringLiteral("picklist"));
    d->Panel1 = new QWidget(d->TabSheet1);
    d->Panel1->setObjectName(QStringLiteral("Panel1"));
    d->dropdown = editBox(d->Panel1, "dropdown", 104, 8);
    d->btnstyle = dropDownList(d->Panel1, "btnstyle", 104, 32, {"cbsAuto", "cbsEllipsis", "cbsnone"});
    label(d->Panel1, QStringLiteral("Dropdown rows:"), d->dropdown, 8);
    label(d->Panel1, QStringLiteral("Button style:"), d->btnstyle, 8);
    d->TabSheet1->installEventFilter(this);
    d->PageControl1->setCurrentIndex(0);

    d->OkButton = place(new QPushButton(QStringLiteral("OK"), this), "OkButton", 174, 366, 75, 25);
    d->OkButton->setDefault(true);
    d->CancelButton = place(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton", 254, 366, 75, 25);
    d->ApplyButton = place(new QPushButton(QStringLiteral("Apply"), this), "ApplyButton", 334, 366, 75, 25);
    // Enter anywhere but in the memo presses OK; only the default button may take it.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    d->ColorDialog1 = new QColorDialog(this);
    d->ColorDialog1->setObjectName(QStringLiteral("ColorDialog1"));
    d->FontDialog1 = new QFontDialog(this);
    d->FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
}

void TmGridColEditor::dockListValues()
{
    constexpr int PanelHeight = 61;
    const int memoHeight = std::max(0, d->TabSheet1->height() - PanelHeight);
    d->picklist->setGeometry(0, 0, d->TabSheet1->width(), memoHeight);
    d->Panel1->setGeometry(0, memoHeight, d->TabSheet1->width(), PanelHeight);
}

} // namespace vorgrd
