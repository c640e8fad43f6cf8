// Column descriptions: defaults, assignment flags, copying and the path of a change
// to the grid.
//
// Sections: fonts without notification — tmcolumntitle — tmcolumn — TvorgridColumns.
#include "grid/columns_p.h"

#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "host/updatebracket.h"

namespace vorgrd {

namespace {

// Copies `from` into `font` with the font's change notification detached, so that
// bringing a following font up to date does not count as assigning it. The
// notification is reattached also when the copy fails.
void copyQuietly(TFont &font, const TFont &from)
{
    if (&font == &from)
        return;
    auto notification = std::move(font.OnChange);
    font.OnChange = nullptr;
    try {
        font.Assign(&from);
    } catch (...) {
        font.OnChange = std::move(notification);
        throw;
    }
    font.OnChange = std::move(notification);
}

// The defaults of the attributes that do not follow the grid, and the grid-following
// ones' values without a grid: the one table that the getters, the Default* members
// and the stored tests read.
struct ColumnDefaults
{
    TAlignment alignment = taLeftJustify;
    TVertAlignment vertAlignment = vaTopJustify;
    bool readOnly = false;
    bool wordwrap = true;
    bool hide = false;
    tvorcolumntype type = ftstring;
    TColor colorWithoutGrid = 0x80000005;      // window
    TColor titleColorWithoutGrid = 0x8000000F; // button face
    int widthWithoutGrid = 64;
};
constexpr ColumnDefaults columnDefaults;

// The one way an attribute is read, written and tested for streaming: the column's
// AssignedValues say whether `own` holds a value or the attribute follows `fallback`.

template <class T>
T attribute(tmcolumnValues flags, tmcolumnValue flag, const T &own, const T &fallback)
{
    return flags.contains(flag) ? own : fallback;
}

// Assigned and different from the default.
template <class T>
bool storedAttribute(tmcolumnValues flags, tmcolumnValue flag, const T &own, const T &fallback)
{
    return flags.contains(flag) && own != fallback;
}

// Writes `value` and marks it assigned; false (nothing done, nothing to tell) when it
// already holds that value as an assigned one.
template <class T>
bool assignAttribute(tmcolumnValues &flags, tmcolumnValue flag, T &own, const T &value)
{
    if (flags.contains(flag) && value == own) return false;
    own = value;
    flags.insert(flag);
    return true;
}

// Writes `value` and marks it assigned, except that the default leaves an attribute
// that still follows it following.
template <class T>
void assignUnlessDefault(tmcolumnValues &flags, tmcolumnValue flag, T &own, const T &value,
                         const T &fallback)
{
    if (flags.contains(flag) || value != fallback) {
        own = value;
        flags.insert(flag);
    }
}

// Copies one attribute through the getter and the (virtual) setter, when `from` has it
// assigned: an attribute that follows its default is left following in `to`.
template <class Get, class Set>
void copyAssigned(tmcolumn &to, tmcolumn &from, tmcolumnValue flag, Get get, Set set)
{
    if (from.AssignedValues().contains(flag)) (to.*set)((from.*get)());
}

} // namespace

// ---- tmcolumntitle ----------------------------------------------------------------

tmcolumntitle::tmcolumntitle(tmcolumn *column) : d(std::make_unique<Private>(column))
{
    d->m_font = std::make_unique<TFont>();
    copyQuietly(*d->m_font, *DefaultFont());
    d->m_font->OnChange = [this](TFont *) { FontChanged(); };
}

tmcolumntitle::~tmcolumntitle() = default;

tmcolumn *tmcolumntitle::Column() const
{
    return d->m_column;
}

TAlignment tmcolumntitle::GetAlignment() const
{
    return attribute(d->m_column->d->m_assignedValues, cvTitleAlignment, d->m_alignment, DefaultAlignment());
}

void tmcolumntitle::SetAlignment(TAlignment value)
{
    checkEnumRange("SetAlignment", "Alignment", value);
    if (assignAttribute(d->m_column->d->m_assignedValues, cvTitleAlignment, d->m_alignment, value))
        notify(false);
}

QString tmcolumntitle::GetCaption() const
{
    return attribute(d->m_column->d->m_assignedValues, cvTitleCaption, d->m_caption, DefaultCaption());
}

void tmcolumntitle::SetCaption(const QString &value)
{
    if (assignAttribute(d->m_column->d->m_assignedValues, cvTitleCaption, d->m_caption, value))
        notify(false);
}

TColor tmcolumntitle::GetColor() const
{
    return attribute(d->m_column->d->m_assignedValues, cvTitleColor, d->m_color, DefaultColor());
}

void tmcolumntitle::SetColor(TColor value)
{
    if (assignAttribute(d->m_column->d->m_assignedValues, cvTitleColor, d->m_color, value)) notify(false);
}

TFont *tmcolumntitle::GetFont()
{
    if (!d->m_column->assigned(cvTitleFont)) {
        const TFont *def = DefaultFont();
        // Titles follow the default's colour too (columns do not: their fonts
        // compare handles only).
        if (def != d->m_font.get() && (def->Handle() != d->m_font->Handle() || def->Color() != d->m_font->Color()))
            copyQuietly(*d->m_font, *def);
    }
    return d->m_font.get();
}

void tmcolumntitle::SetFont(TFont *value)
{
    d->m_font->Assign(value); // FontChanged marks the font assigned
    notify(false);
}

bool tmcolumntitle::IsAlignmentStored() const
{
    return storedAttribute(d->m_column->d->m_assignedValues, cvTitleAlignment, d->m_alignment,
                           DefaultAlignment());
}

bool tmcolumntitle::IsCaptionStored() const
{
    return storedAttribute(d->m_column->d->m_assignedValues, cvTitleCaption, d->m_caption, DefaultCaption());
}

bool tmcolumntitle::IsColorStored() const
{
    return storedAttribute(d->m_column->d->m_assignedValues, cvTitleColor, d->m_color, DefaultColor());
}

bool tmcolumntitle::IsFontStored() const
{
    return d->m_column->assigned(cvTitleFont);
}

QString tmcolumntitle::DefaultCaption() const
{
    return d->m_column->columnName();
}

TColor tmcolumntitle::DefaultColor() const
{
    const tvorgrid *grid = d->m_column->GetGrid();
    return grid ? grid->FixedColor() : columnDefaults.titleColorWithoutGrid;
}

TFont *tmcolumntitle::DefaultFont() const
{
    tvorgrid *grid = d->m_column->GetGrid();
    return grid ? grid->Font() : d->m_column->d->m_font.get();
}

void tmcolumntitle::Assign(const TPersistent *source)
{
    const auto *other = qobject_cast<const tmcolumntitle *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    const tmcolumn *from = other->d->m_column;
    if (from->assigned(cvTitleAlignment))
        SetAlignment(other->GetAlignment());
    if (from->assigned(cvTitleColor))
        SetColor(other->GetColor());
    if (from->assigned(cvTitleCaption))
        SetCaption(other->GetCaption());
    if (from->assigned(cvTitleFont))
        SetFont(other->d->m_font.get()); // assigned, so the own font is the value
}

void tmcolumntitle::RestoreDefaults()
{
    const bool fontWasAssigned = d->m_column->assigned(cvTitleFont);
    for (tmcolumnValue flag : {cvTitleColor, cvTitleCaption, cvTitleAlignment, cvTitleFont})
        d->m_column->d->m_assignedValues.remove(flag);
    d->m_caption.clear();
    RefreshDefaultFont();
    notify(fontWasAssigned);
}

void tmcolumntitle::RefreshDefaultFont()
{
    if (!d->m_column->assigned(cvTitleFont))
        copyQuietly(*d->m_font, *DefaultFont());
}

void tmcolumntitle::FontChanged()
{
    d->m_column->assign(cvTitleFont);
    notify(false);
}

void tmcolumntitle::notify(bool allItems)
{
    d->m_column->notify(allItems);
}

// ---- tmcolumn ---------------------------------------------------------------------

tmcolumn::tmcolumn(TCollection *collection)
    : TCollectionItem(qobject_cast<TvorgridColumns *>(collection)), d(std::make_unique<Private>())
{
    d->m_font = std::make_unique<TFont>();
    copyQuietly(*d->m_font, *DefaultFont());
    d->m_font->OnChange = [this](TFont *) { FontChanged(); };
    d->m_title.reset(CreateTitle());
}

tmcolumn::~tmcolumn()
{
    // The title reads this column's flags; it goes first.
    d->m_title.reset();
}

// ---- plain fields and the assignment flags ----

const QString &tmcolumn::columnName() const
{
    return d->m_columnName;
}

void tmcolumn::SetcolumnName(const QString &value)
{
    d->m_columnName = value;
}

tmcolumntitle *tmcolumn::Title() const
{
    return d->m_title.get();
}

const QString &tmcolumn::Displayformat() const
{
    return d->m_displayformat;
}

bool tmcolumn::HasPickList() const
{
    return d->m_pickList != nullptr;
}

int tmcolumn::DropDownRows() const
{
    return d->m_dropDownRows;
}

void tmcolumn::setDropDownRows(int value)
{
    d->m_dropDownRows = value;
}

bool tmcolumn::IsDropDownRowsStored() const
{
    return d->m_dropDownRows != 7;
}

TmColumnButtonStyle tmcolumn::ButtonStyle() const
{
    return d->m_buttonStyle;
}

tmcolumnValues tmcolumn::AssignedValues() const
{
    return d->m_assignedValues;
}

void tmcolumn::assign(tmcolumnValue flag)
{
    d->m_assignedValues.insert(flag);
}

bool tmcolumn::assigned(tmcolumnValue flag) const
{
    return d->m_assignedValues.contains(flag);
}

void tmcolumn::notify(bool allItems)
{
    Changed(allItems);
}

tvorgrid *tmcolumn::GetGrid() const
{
    const auto *columns = qobject_cast<const TvorgridColumns *>(Collection());
    return columns ? columns->Grid() : nullptr;
}

bool tmcolumn::GetHide() const
{
    return attribute(d->m_assignedValues, cvHide, d->m_hide, columnDefaults.hide);
}

// Hide, columntype, Displayformat and Width notify the grid even when nothing
// changed, and a default value leaves a following attribute following.
void tmcolumn::SetHide(bool value)
{
    assignUnlessDefault(d->m_assignedValues, cvHide, d->m_hide, value, columnDefaults.hide);
    Changed(false);
}

TAlignment tmcolumn::GetAlignment() const
{
    return attribute(d->m_assignedValues, cvAlignment, d->m_alignment, columnDefaults.alignment);
}

void tmcolumn::SetAlignment(TAlignment value)
{
    checkEnumRange("SetAlignment", "Alignment", value);
    if (assignAttribute(d->m_assignedValues, cvAlignment, d->m_alignment, value)) Changed(false);
}

TVertAlignment tmcolumn::GetVertAlignment() const
{
    return attribute(d->m_assignedValues, cvVertAlignment, d->m_vertAlignment,
                     columnDefaults.vertAlignment);
}

void tmcolumn::SetVertAlignment(TVertAlignment value)
{
    checkEnumRange("SetVertAlignment", "VertAlignment", value);
    if (assignAttribute(d->m_assignedValues, cvVertAlignment, d->m_vertAlignment, value)) Changed(false);
}

TColor tmcolumn::GetColor() const
{
    return attribute(d->m_assignedValues, cvColor, d->m_color, DefaultColor());
}

void tmcolumn::SetColor(TColor value)
{
    if (assignAttribute(d->m_assignedValues, cvColor, d->m_color, value)) Changed(false);
}

TFont *tmcolumn::GetFont()
{
    if (!assigned(cvFont)) {
        const TFont *def = DefaultFont();
        if (def != d->m_font.get() && def->Handle() != d->m_font->Handle())
            copyQuietly(*d->m_font, *def);
    }
    return d->m_font.get();
}

void tmcolumn::SetFont(TFont *value)
{
    d->m_font->Assign(value); // runs FontChanged
    assign(cvFont);
    Changed(false);
}

bool tmcolumn::GetReadOnly() const
{
    return attribute(d->m_assignedValues, cvReadOnly, d->m_readOnly, columnDefaults.readOnly);
}

void tmcolumn::SetReadOnly(bool value)
{
    if (assignAttribute(d->m_assignedValues, cvReadOnly, d->m_readOnly, value)) Changed(false);
}

bool tmcolumn::GetWordwrap() const
{
    return attribute(d->m_assignedValues, cvWordWrap, d->m_wordwrap, columnDefaults.wordwrap);
}

void tmcolumn::SetWordwrap(bool value)
{
    if (assignAttribute(d->m_assignedValues, cvWordWrap, d->m_wordwrap, value)) Changed(false);
}

void tmcolumn::SetTitle(tmcolumntitle *value)
{
    d->m_title->Assign(value);
    Changed(false);
}

int tmcolumn::GetWidth() const
{
    return attribute(d->m_assignedValues, cvWidth, d->m_width, DefaultWidth());
}

void tmcolumn::SetWidth(int value)
{
    // Checked here, shown or hidden: a width the grid would refuse when the column is
    // shown again must not be kept now (the grid's own stream would no longer load).
    checkRange("SetWidth", "Width", value, 0, TCustomGrid::MaxExtent);
    const int oldWidth = d->m_width;
    const bool wasAssigned = assigned(cvWidth);
    assignUnlessDefault(d->m_assignedValues, cvWidth, d->m_width, value, DefaultWidth());
    try {
        Changed(false);
    } catch (...) {
        d->m_width = oldWidth;
        if (!wasAssigned) d->m_assignedValues.remove(cvWidth);
        throw;
    }
}

tvorcolumntype tmcolumn::gettype() const
{
    return attribute(d->m_assignedValues, cvType, d->m_columntype, columnDefaults.type);
}

void tmcolumn::settype(tvorcolumntype value)
{
    checkEnumRange("settype", "columntype", value);
    assignUnlessDefault(d->m_assignedValues, cvType, d->m_columntype, value, columnDefaults.type);
    Changed(false);
}

void tmcolumn::SetDisplayformat(const QString &value)
{
    assignUnlessDefault(d->m_assignedValues, cvformat, d->m_displayformat, value, QString());
    Changed(false);
}

TStringList *tmcolumn::GetPickList()
{
    if (!d->m_pickList)
        d->m_pickList = std::make_unique<TStringList>();
    return d->m_pickList.get();
}

void tmcolumn::SetPickList(TStrings *value)
{
    if (!value) {
        d->m_pickList.reset();
        return;
    }
    if (value != d->m_pickList.get())
        GetPickList()->Assign(*value);
}

void tmcolumn::SetButtonStyle(TmColumnButtonStyle value)
{
    checkEnumRange("SetButtonStyle", "ButtonStyle", value);
    if (value == d->m_buttonStyle)
        return;
    d->m_buttonStyle = value;
    Changed(false);
}

bool tmcolumn::IsHideStored() const
{
    return storedAttribute(d->m_assignedValues, cvHide, d->m_hide, columnDefaults.hide);
}

bool tmcolumn::IsAlignmentStored() const
{
    return storedAttribute(d->m_assignedValues, cvAlignment, d->m_alignment, columnDefaults.alignment);
}

bool tmcolumn::IsVertAlignmentStored() const
{
    return storedAttribute(d->m_assignedValues, cvVertAlignment, d->m_vertAlignment,
                           columnDefaults.vertAlignment);
}

bool tmcolumn::IsColorStored() const
{
    return storedAttribute(d->m_assignedValues, cvColor, d->m_color, DefaultColor());
}

bool tmcolumn::IsFontStored() const
{
    return assigned(cvFont);
}

bool tmcolumn::IsReadOnlyStored() const
{
    return storedAttribute(d->m_assignedValues, cvReadOnly, d->m_readOnly, columnDefaults.readOnly);
}

bool tmcolumn::IsWordwrapStored() const
{
    return storedAttribute(d->m_assignedValues, cvWordWrap, d->m_wordwrap, columnDefaults.wordwrap);
}

bool tmcolumn::IsWidthStored() const
{
    return storedAttribute(d->m_assignedValues, cvWidth, d->m_width, DefaultWidth());
}

bool tmcolumn::Istypestored() const
{
    return storedAttribute(d->m_assignedValues, cvType, d->m_columntype, columnDefaults.type);
}

TColor tmcolumn::DefaultColor() const
{
    const tvorgrid *grid = GetGrid();
    return grid ? grid->Color() : columnDefaults.colorWithoutGrid;
}

TFont *tmcolumn::DefaultFont() const
{
    tvorgrid *grid = GetGrid();
    return grid ? grid->Font() : d->m_font.get();
}

int tmcolumn::DefaultWidth() const
{
    const tvorgrid *grid = GetGrid();
    return grid ? grid->DefaultColWidth() : columnDefaults.widthWithoutGrid;
}

void tmcolumn::Assign(const TPersistent *source)
{
    const auto *from = qobject_cast<const tmcolumn *>(source);
    if (!from) {
        TCollectionItem::Assign(source);
        return;
    }
    if (from == this)
        return;
    // The getters of the source may bring its font up to date or create its pick
    // list; that changes no value it shows.
    auto *other = const_cast<tmcolumn *>(from);
    UpdateBracket bracket(Collection());
    RestoreDefaults();
    d->m_columnName = other->d->m_columnName;
    copyAssigned(*this, *other, cvColor, &tmcolumn::GetColor, &tmcolumn::SetColor);
    copyAssigned(*this, *other, cvWidth, &tmcolumn::GetWidth, &tmcolumn::SetWidth);
    copyAssigned(*this, *other, cvFont, &tmcolumn::GetFont, &tmcolumn::SetFont);
    copyAssigned(*this, *other, cvAlignment, &tmcolumn::GetAlignment, &tmcolumn::SetAlignment);
    copyAssigned(*this, *other, cvReadOnly, &tmcolumn::GetReadOnly, &tmcolumn::SetReadOnly);
    copyAssigned(*this, *other, cvHide, &tmcolumn::GetHide, &tmcolumn::SetHide);
    copyAssigned(*this, *other, cvType, &tmcolumn::gettype, &tmcolumn::settype);
    copyAssigned(*this, *other, cvVertAlignment, &tmcolumn::GetVertAlignment,
                 &tmcolumn::SetVertAlignment);
    copyAssigned(*this, *other, cvWordWrap, &tmcolumn::GetWordwrap, &tmcolumn::SetWordwrap);
    SetTitle(other->Title());
    copyAssigned(*this, *other, cvformat, &tmcolumn::Displayformat,
                 &tmcolumn::SetDisplayformat);
    d->m_dropDownRows = other->d->m_dropDownRows;
    SetButtonStyle(other->ButtonStyle());
    SetPickList(other->GetPickList());
}

QString tmcolumn::GetDisplayName() const
{
    return d->m_columnName.isEmpty() ? TCollectionItem::GetDisplayName() : d->m_columnName;
}

void tmcolumn::RestoreDefaults()
{
    const bool fontWasAssigned = assigned(cvFont);
    d->m_title->RestoreDefaults();
    d->m_assignedValues = {};
    d->m_pickList.reset();
    SetButtonStyle(cbsAuto);
    RefreshDefaultFont();
    Changed(fontWasAssigned);
}

void tmcolumn::RefreshDefaultFont()
{
    if (!assigned(cvFont))
        copyQuietly(*d->m_font, *DefaultFont());
}

tmcolumntitle *tmcolumn::CreateTitle()
{
    return new tmcolumntitle(this);
}

void tmcolumn::FontChanged()
{
    assign(cvFont);
    if (d->m_title)
        d->m_title->RefreshDefaultFont();
    Changed(false);
}

// ---- TvorgridColumns ------------------------------------------------------------------

TvorgridColumns::TvorgridColumns(tvorgrid *grid)
    : TCollection(factoryOf<tmcolumn>()), d(std::make_unique<Private>(Private{grid}))
{
}

TvorgridColumns::~TvorgridColumns() = default;

tvorgrid *TvorgridColumns::Grid() const
{
    return d->m_grid;
}

tmcolumn *TvorgridColumns::Add()
{
    auto *column = static_cast<tmcolumn *>(TCollection::Add());
    column->SetcolumnName(QStringLiteral("column %1").arg(Count()));
    return column;
}

tmcolumn *TvorgridColumns::GeTmColumn(int index) const
{
    return static_cast<tmcolumn *>(Items(index));
}

void TvorgridColumns::SeTmColumn(int index, tmcolumn *value)
{
    GeTmColumn(index)->Assign(value);
}

void TvorgridColumns::RestoreDefaults()
{
    UpdateBracket bracket(*this);
    for (int i = 0; i < Count(); ++i)
        GeTmColumn(i)->RestoreDefaults();
}

void TvorgridColumns::Update(TCollectionItem *item)
{
    // Only the grid's own descriptions speak for it: the copies an operation stages
    // (and puts in place in one step) change nothing on the grid.
    if (!d->m_grid || d->m_grid->columns() != this) return;
    emit d->m_grid->columnsChanged();
    if (!item) return;
    auto *column = static_cast<tmcolumn *>(item);
    d->m_grid->setColWidths(column->Index(), column->GetHide() ? 0 : column->GetWidth());
    if (d->m_grid->showtitles())
        d->m_grid->setshowtitles(true);
    d->m_grid->Repaint();
}

} // namespace vorgrd
