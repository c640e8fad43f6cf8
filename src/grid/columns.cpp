// Column descriptions: defaults, assignment flags, copying and the path of a change
// to the grid.
//
// Sections: fonts without notification — tmcolumntitle — tmcolumn — TvorgridColumns.
#include "grid/columns.h"

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

} // namespace

// ---- tmcolumntitle ----------------------------------------------------------------

tmcolumntitle::tmcolumntitle(tmcolumn *column) : m_column(column), m_font(std::make_unique<TFont>())
{
    copyQuietly(*m_font, *DefaultFont());
    m_font->OnChange = [this](TFont *) { FontChanged(); };
}

tmcolumntitle::~tmcolumntitle() = default;

TAlignment tmcolumntitle::GetAlignment() const
{
    return m_column->assigned(cvTitleAlignment) ? m_alignment : DefaultAlignment();
}

void tmcolumntitle::SetAlignment(TAlignment value)
{
    checkEnumRange("SetAlignment", "Alignment", value);
    if (m_column->assigned(cvTitleAlignment) && value == m_alignment)
        return;
    m_alignment = value;
    m_column->assign(cvTitleAlignment);
    notify(false);
}

QString tmcolumntitle::GetCaption() const
{
    return m_column->assigned(cvTitleCaption) ? m_caption : DefaultCaption();
}

void tmcolumntitle::SetCaption(const QString &value)
{
    if (m_column->assigned(cvTitleCaption) && value == m_caption)
        return;
    m_caption = value;
    m_column->assign(cvTitleCaption);
    notify(false);
}

TColor tmcolumntitle::GetColor() const
{
    return m_column->assigned(cvTitleColor) ? m_color : DefaultColor();
}

void tmcolumntitle::SetColor(TColor value)
{
    if (m_column->assigned(cvTitleColor) && value == m_color)
        return;
    m_color = value;
    m_column->assign(cvTitleColor);
    notify(false);
}

TFont *tmcolumntitle::GetFont()
{
    if (!m_column->assigned(cvTitleFont)) {
        const TFont *def = DefaultFont();
        // Titles follow the default's colour too (columns do not: their fonts
        // compare handles only).
        if (def != m_font.get() && (def->Handle() != m_font->Handle() || def->Color() != m_font->Color()))
            copyQuietly(*m_font, *def);
    }
    return m_font.get();
}

void tmcolumntitle::SetFont(TFont *value)
{
    m_font->Assign(value); // FontChanged marks the font assigned
    notify(false);
}

bool tmcolumntitle::IsAlignmentStored() const
{
    return m_column->assigned(cvTitleAlignment) && m_alignment != DefaultAlignment();
}

bool tmcolumntitle::IsCaptionStored() const
{
    return m_column->assigned(cvTitleCaption) && m_caption != DefaultCaption();
}

bool tmcolumntitle::IsColorStored() const
{
    return m_column->assigned(cvTitleColor) && m_color != DefaultColor();
}

bool tmcolumntitle::IsFontStored() const
{
    return m_column->assigned(cvTitleFont);
}

QString tmcolumntitle::DefaultCaption() const
{
    return m_column->columnName();
}

TColor tmcolumntitle::DefaultColor() const
{
    const tvorgrid *grid = m_column->GetGrid();
    return grid ? grid->FixedColor() : TColor(0x8000000F);
}

TFont *tmcolumntitle::DefaultFont() const
{
    tvorgrid *grid = m_column->GetGrid();
    return grid ? grid->Font() : m_column->m_font.get();
}

void tmcolumntitle::Assign(const TPersistent *source)
{
    const auto *other = qobject_cast<const tmcolumntitle *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    const tmcolumn *from = other->m_column;
    if (from->assigned(cvTitleAlignment))
        SetAlignment(other->GetAlignment());
    if (from->assigned(cvTitleColor))
        SetColor(other->GetColor());
    if (from->assigned(cvTitleCaption))
        SetCaption(other->GetCaption());
    if (from->assigned(cvTitleFont))
        SetFont(other->m_font.get()); // assigned, so the own font is the value
}

void tmcolumntitle::RestoreDefaults()
{
    const bool fontWasAssigned = m_column->assigned(cvTitleFont);
    for (tmcolumnValue flag : {cvTitleColor, cvTitleCaption, cvTitleAlignment, cvTitleFont})
        m_column->m_assignedValues.remove(flag);
    m_caption.clear();
    RefreshDefaultFont();
    notify(fontWasAssigned);
}

void tmcolumntitle::RefreshDefaultFont()
{
    if (!m_column->assigned(cvTitleFont))
        copyQuietly(*m_font, *DefaultFont());
}

void tmcolumntitle::FontChanged()
{
    m_column->assign(cvTitleFont);
    notify(false);
}

void tmcolumntitle::notify(bool allItems)
{
    m_column->notify(allItems);
}

// ---- tmcolumn ---------------------------------------------------------------------

tmcolumn::tmcolumn(TCollection *collection)
    : TCollectionItem(qobject_cast<TvorgridColumns *>(collection)), m_font(std::make_unique<TFont>())
{
    copyQuietly(*m_font, *DefaultFont());
    m_font->OnChange = [this](TFont *) { FontChanged(); };
    m_title.reset(CreateTitle());
}

tmcolumn::~tmcolumn()
{
    // The title reads this column's flags; it goes first.
    m_title.reset();
}

tvorgrid *tmcolumn::GetGrid() const
{
    const auto *columns = qobject_cast<const TvorgridColumns *>(Collection());
    return columns ? columns->Grid() : nullptr;
}

bool tmcolumn::GetHide() const
{
    return assigned(cvHide) ? m_hide : false;
}

void tmcolumn::SetHide(bool value)
{
    if (assigned(cvHide) || value) {
        m_hide = value;
        assign(cvHide);
    }
    Changed(false);
}

TAlignment tmcolumn::GetAlignment() const
{
    return assigned(cvAlignment) ? m_alignment : taLeftJustify;
}

void tmcolumn::SetAlignment(TAlignment value)
{
    checkEnumRange("SetAlignment", "Alignment", value);
    if (assigned(cvAlignment) && value == m_alignment)
        return;
    m_alignment = value;
    assign(cvAlignment);
    Changed(false);
}

TVertAlignment tmcolumn::GetVertAlignment() const
{
    return assigned(cvVertAlignment) ? m_vertAlignment : vaTopJustify;
}

void tmcolumn::SetVertAlignment(TVertAlignment value)
{
    checkEnumRange("SetVertAlignment", "VertAlignment", value);
    if (assigned(cvVertAlignment) && value == m_vertAlignment)
        return;
    m_vertAlignment = value;
    assign(cvVertAlignment);
    Changed(false);
}

TColor tmcolumn::GetColor() const
{
    return assigned(cvColor) ? m_color : DefaultColor();
}

void tmcolumn::SetColor(TColor value)
{
    if (assigned(cvColor) && value == m_color)
        return;
    m_color = value;
    assign(cvColor);
    Changed(false);
}

TFont *tmcolumn::GetFont()
{
    if (!assigned(cvFont)) {
        const TFont *def = DefaultFont();
        if (def != m_font.get() && def->Handle() != m_font->Handle())
            copyQuietly(*m_font, *def);
    }
    return m_font.get();
}

void tmcolumn::SetFont(TFont *value)
{
    m_font->Assign(value); // runs FontChanged
    assign(cvFont);
    Changed(false);
}

bool tmcolumn::GetReadOnly() const
{
    return assigned(cvReadOnly) ? m_readOnly : false;
}

void tmcolumn::SetReadOnly(bool value)
{
    if (assigned(cvReadOnly) && value == m_readOnly)
        return;
    m_readOnly = value;
    assign(cvReadOnly);
    Changed(false);
}

bool tmcolumn::GetWordwrap() const
{
    return assigned(cvWordWrap) ? m_wordwrap : true;
}

void tmcolumn::SetWordwrap(bool value)
{
    if (assigned(cvWordWrap) && value == m_wordwrap)
        return;
    m_wordwrap = value;
    assign(cvWordWrap);
    Changed(false);
}

void tmcolumn::SetTitle(tmcolumntitle *value)
{
    m_title->Assign(value);
    Changed(false);
}

int tmcolumn::GetWidth() const
{
    return assigned(cvWidth) ? m_width : DefaultWidth();
}

void tmcolumn::SetWidth(int value)
{
    // Checked here, shown or hidden: a width the grid would refuse when the column is
    // shown again must not be kept now (the grid's own stream would no longer load).
    checkRange("SetWidth", "Width", value, 0, TCustomGrid::MaxExtent);
    const int oldWidth = m_width;
    const bool wasAssigned = assigned(cvWidth);
    if (wasAssigned || value != DefaultWidth()) {
        m_width = value;
        assign(cvWidth);
    }
    try {
        Changed(false);
    } catch (...) {
        m_width = oldWidth;
        if (!wasAssigned) m_assignedValues.remove(cvWidth);
        throw;
    }
}

tvorcolumntype tmcolumn::gettype() const
{
    return assigned(cvType) ? m_columntype : ftstring;
}

void tmcolumn::settype(tvorcolumntype value)
{
    checkEnumRange("settype", "columntype", value);
    if (assigned(cvType) || value != ftstring) {
        m_columntype = value;
        assign(cvType);
    }
    Changed(false);
}

void tmcolumn::SetDisplayformat(const QString &value)
{
    if (assigned(cvformat) || !value.isEmpty()) {
        m_displayformat = value;
        assign(cvformat);
    }
    Changed(false);
}

TStringList *tmcolumn::GetPickList()
{
    if (!m_pickList)
        m_pickList = std::make_unique<TStringList>();
    return m_pickList.get();
}

void tmcolumn::SetPickList(TStrings *value)
{
    if (!value) {
        m_pickList.reset();
        return;
    }
    if (value != m_pickList.get())
        GetPickList()->Assign(*value);
}

void tmcolumn::SetButtonStyle(TmColumnButtonStyle value)
{
    checkEnumRange("SetButtonStyle", "ButtonStyle", value);
    if (value == m_buttonStyle)
        return;
    m_buttonStyle = value;
    Changed(false);
}

bool tmcolumn::IsHideStored() const
{
    return assigned(cvHide) && m_hide;
}

bool tmcolumn::IsAlignmentStored() const
{
    return assigned(cvAlignment) && m_alignment != taLeftJustify;
}

bool tmcolumn::IsVertAlignmentStored() const
{
    return assigned(cvVertAlignment) && m_vertAlignment != vaTopJustify;
}

bool tmcolumn::IsColorStored() const
{
    return assigned(cvColor) && m_color != DefaultColor();
}

bool tmcolumn::IsFontStored() const
{
    return assigned(cvFont);
}

bool tmcolumn::IsReadOnlyStored() const
{
    return assigned(cvReadOnly) && m_readOnly;
}

bool tmcolumn::IsWordwrapStored() const
{
    return assigned(cvWordWrap) && !m_wordwrap;
}

bool tmcolumn::IsWidthStored() const
{
    return assigned(cvWidth) && m_width != DefaultWidth();
}

bool tmcolumn::Istypestored() const
{
    return assigned(cvType) && m_columntype != ftstring;
}

TColor tmcolumn::DefaultColor() const
{
    const tvorgrid *grid = GetGrid();
    return grid ? grid->Color() : TColor(0x80000005);
}

TFont *tmcolumn::DefaultFont() const
{
    tvorgrid *grid = GetGrid();
    return grid ? grid->Font() : m_font.get();
}

int tmcolumn::DefaultWidth() const
{
    const tvorgrid *grid = GetGrid();
    return grid ? grid->DefaultColWidth() : 64;
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
    m_columnName = other->m_columnName;
    if (other->assigned(cvColor))
        SetColor(other->GetColor());
    if (other->assigned(cvWidth))
        SetWidth(other->GetWidth());
    if (other->assigned(cvFont))
        SetFont(other->GetFont());
    if (other->assigned(cvAlignment))
        SetAlignment(other->GetAlignment());
    if (other->assigned(cvReadOnly))
        SetReadOnly(other->GetReadOnly());
    if (other->assigned(cvHide))
        SetHide(other->GetHide());
    if (other->assigned(cvType))
        settype(other->gettype());
    if (other->assigned(cvVertAlignment))
        SetVertAlignment(other->GetVertAlignment());
    if (other->assigned(cvWordWrap))
        SetWordwrap(other->GetWordwrap());
    SetTitle(other->Title());
    if (other->assigned(cvformat))
        SetDisplayformat(other->Displayformat());
    m_dropDownRows = other->m_dropDownRows;
    SetButtonStyle(other->ButtonStyle());
    SetPickList(other->GetPickList());
}

QString tmcolumn::GetDisplayName() const
{
    return m_columnName.isEmpty() ? TCollectionItem::GetDisplayName() : m_columnName;
}

void tmcolumn::RestoreDefaults()
{
    const bool fontWasAssigned = assigned(cvFont);
    m_title->RestoreDefaults();
    m_assignedValues = {};
    m_pickList.reset();
    SetButtonStyle(cbsAuto);
    RefreshDefaultFont();
    Changed(fontWasAssigned);
}

void tmcolumn::RefreshDefaultFont()
{
    if (!assigned(cvFont))
        copyQuietly(*m_font, *DefaultFont());
}

tmcolumntitle *tmcolumn::CreateTitle()
{
    return new tmcolumntitle(this);
}

void tmcolumn::FontChanged()
{
    assign(cvFont);
    if (m_title)
        m_title->RefreshDefaultFont();
    Changed(false);
}

// ---- TvorgridColumns ------------------------------------------------------------------

TvorgridColumns::TvorgridColumns(tvorgrid *grid) : TCollection(factoryOf<tmcolumn>()), m_grid(grid)
{
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
    if (m_grid) emit m_grid->columnsChanged();
    if (!m_grid || !item)
        return;
    auto *column = static_cast<tmcolumn *>(item);
    m_grid->setColWidths(column->Index(), column->GetHide() ? 0 : column->GetWidth());
    if (m_grid->showtitles())
        m_grid->setshowtitles(true);
    m_grid->Repaint();
}

} // namespace vorgrd
