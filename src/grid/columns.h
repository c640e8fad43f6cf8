#pragma once
// The column descriptions of tvorgrid: one tmcolumn per grid column, kept in the
// grid's TvorgridColumns collection (item i describes grid column i), each with a
// tmcolumntitle.
//
// Every attribute either follows a default taken from the grid (so a change of the
// grid's font or colour reaches every column that was not given its own) or holds an
// assigned value. AssignedValues records which; only assigned attributes that differ
// from their defaults are streamed. Reading an attribute always goes through its
// getter, which falls back to the default.
//
//   attribute             default (with a grid)      without a grid
//   Alignment             taLeftJustify
//   VertAlignment         vaTopJustify
//   Color                 grid Color                 0x80000005 (window)
//   Font                  grid Font                  the column's own font
//   ReadOnly              false
//   Wordwrap              true
//   Width                 grid DefaultColWidth       64
//   Hide                  false
//   columntype            ftstring
//   Title.Alignment       taLeftJustify
//   Title.Color           grid FixedColor            0x8000000F (button face)
//   Title.Font            grid Font                  the column's Font
//   Title.Caption         the column's columnName
//
// A change of a column reaches the grid through the collection's Update (outside an
// update bracket): the column's width (0 while hidden) goes into the grid's
// ColWidths, the title row is rewritten while the grid shows titles, and the grid
// repaints.

#include "host/vorgrdexport.h"
#include "grid/columntypes.h"
#include "host/collection.h"
#include "host/graphics.h"
#include "host/strings.h"

#include <memory>

namespace vorgrd {

class tmcolumn;
class tvorgrid;
class TvorgridColumns;

class VORGRD_EXPORT tmcolumntitle : public TPersistent
{
    Q_OBJECT
    Q_PROPERTY(vorgrd::ColumnTypes::TAlignment Alignment READ GetAlignment WRITE SetAlignment)
    Q_CLASSINFO("stored:Alignment", "IsAlignmentStored")
    Q_PROPERTY(QString Caption READ GetCaption WRITE SetCaption)
    Q_CLASSINFO("stored:Caption", "IsCaptionStored")
    Q_PROPERTY(quint32 Color READ GetColor WRITE SetColor)
    Q_CLASSINFO("stored:Color", "IsColorStored")
    Q_PROPERTY(vorgrd::TFont *Font READ GetFont WRITE SetFont)
    Q_CLASSINFO("stored:Font", "IsFontStored")
public:
    explicit tmcolumntitle(tmcolumn *column);
    ~tmcolumntitle() override;

    tmcolumn *Column() const;

    TAlignment GetAlignment() const;
    void SetAlignment(TAlignment value);
    QString GetCaption() const;
    virtual void SetCaption(const QString &value);
    TColor GetColor() const;
    void SetColor(TColor value);
    // The title's own font, first brought up to date with the default while the font
    // was not assigned.
    TFont *GetFont();
    void SetFont(TFont *value);

    Q_INVOKABLE bool IsAlignmentStored() const;
    Q_INVOKABLE bool IsCaptionStored() const;
    Q_INVOKABLE bool IsColorStored() const;
    Q_INVOKABLE bool IsFontStored() const;

    TAlignment DefaultAlignment() const { return taLeftJustify; }
    QString DefaultCaption() const;
    TColor DefaultColor() const;
    TFont *DefaultFont() const;

    // Copies the assigned attributes of another title; another class raises the
    // cannot-assign error.
    void Assign(const TPersistent *source) override;
    // Back to following every default (the caption is emptied).
    virtual void RestoreDefaults();
    // Copies the default font into the own font, unless the font was assigned; the
    // copy does not count as an assignment.
    void RefreshDefaultFont();

private:
    void FontChanged();
    void notify(bool allItems);

    // The title's state (columns_p.h).
    struct Private;
    std::unique_ptr<Private> d;
};

class VORGRD_EXPORT tmcolumn : public TCollectionItem
{
    Q_OBJECT
    Q_PROPERTY(bool Hide READ GetHide WRITE SetHide)
    Q_CLASSINFO("stored:Hide", "IsHideStored")
    Q_PROPERTY(vorgrd::ColumnTypes::TAlignment Alignment READ GetAlignment WRITE SetAlignment)
    Q_CLASSINFO("stored:Alignment", "IsAlignmentStored")
    Q_PROPERTY(vorgrd::ColumnTypes::TVertAlignment VertAlignment READ GetVertAlignment WRITE
                   SetVertAlignment)
    Q_CLASSINFO("stored:VertAlignment", "IsVertAlignmentStored")
    Q_PROPERTY(quint32 Color READ GetColor WRITE SetColor)
    Q_CLASSINFO("stored:Color", "IsColorStored")
    Q_PROPERTY(QString columnName READ columnName WRITE SetcolumnName)
    Q_PROPERTY(vorgrd::TFont *Font READ GetFont WRITE SetFont)
    Q_CLASSINFO("stored:Font", "IsFontStored")
    Q_PROPERTY(bool ReadOnly READ GetReadOnly WRITE SetReadOnly)
    Q_CLASSINFO("stored:ReadOnly", "IsReadOnlyStored")
    Q_PROPERTY(bool Wordwrap READ GetWordwrap WRITE SetWordwrap)
    Q_CLASSINFO("stored:Wordwrap", "IsWordwrapStored")
    Q_PROPERTY(vorgrd::tmcolumntitle *Title READ Title WRITE SetTitle)
    Q_PROPERTY(int Width READ GetWidth WRITE SetWidth)
    Q_CLASSINFO("stored:Width", "IsWidthStored")
    Q_PROPERTY(vorgrd::ColumnTypes::tvorcolumntype columntype READ gettype WRITE settype)
    Q_CLASSINFO("stored:columntype", "Istypestored")
    Q_PROPERTY(QString Displayformat READ Displayformat WRITE SetDisplayformat)
    Q_PROPERTY(vorgrd::TStrings *PickList READ GetPickList WRITE SetPickList)
    Q_PROPERTY(int DropDownRows READ DropDownRows WRITE setDropDownRows)
    Q_CLASSINFO("stored:DropDownRows", "IsDropDownRowsStored")
    Q_PROPERTY(vorgrd::ColumnTypes::TmColumnButtonStyle ButtonStyle READ ButtonStyle WRITE
                   SetButtonStyle)
public:
    // Joins `collection` when it is the columns of a grid; otherwise the column
    // belongs to no collection (and has no grid).
    explicit tmcolumn(TCollection *collection = nullptr);
    ~tmcolumn() override;

    // The grid whose columns hold this column, or none.
    tvorgrid *GetGrid() const;

    bool GetHide() const;
    virtual void SetHide(bool value);
    TAlignment GetAlignment() const;
    virtual void SetAlignment(TAlignment value);
    TVertAlignment GetVertAlignment() const;
    virtual void SetVertAlignment(TVertAlignment value);
    TColor GetColor() const;
    void SetColor(TColor value);
    const QString &columnName() const;
    void SetcolumnName(const QString &value);
    TFont *GetFont();
    void SetFont(TFont *value);
    bool GetReadOnly() const;
    virtual void SetReadOnly(bool value);
    bool GetWordwrap() const;
    virtual void SetWordwrap(bool value);
    tmcolumntitle *Title() const;
    void SetTitle(tmcolumntitle *value);
    int GetWidth() const;
    virtual void SetWidth(int value);
    tvorcolumntype gettype() const;
    virtual void settype(tvorcolumntype value);
    const QString &Displayformat() const;
    virtual void SetDisplayformat(const QString &value);
    // The pick list, created empty on first use.
    TStringList *GetPickList();
    // Copies the texts of `value`; null frees the pick list.
    void SetPickList(TStrings *value);
    bool HasPickList() const;
    int DropDownRows() const;
    void setDropDownRows(int value);
    TmColumnButtonStyle ButtonStyle() const;
    void SetButtonStyle(TmColumnButtonStyle value);

    tmcolumnValues AssignedValues() const;

    Q_INVOKABLE bool IsHideStored() const;
    Q_INVOKABLE bool IsAlignmentStored() const;
    Q_INVOKABLE bool IsVertAlignmentStored() const;
    Q_INVOKABLE bool IsColorStored() const;
    Q_INVOKABLE bool IsFontStored() const;
    Q_INVOKABLE bool IsReadOnlyStored() const;
    Q_INVOKABLE bool IsWordwrapStored() const;
    Q_INVOKABLE bool IsWidthStored() const;
    Q_INVOKABLE bool Istypestored() const;
    Q_INVOKABLE bool IsDropDownRowsStored() const;

    TColor DefaultColor() const;
    TFont *DefaultFont() const;
    int DefaultWidth() const;

    // Copies another column: first back to the defaults, then the name and every
    // attribute that is assigned in the source, the title, the format, the drop-down
    // rows, the button style and the pick list. Another class raises the
    // cannot-assign error and leaves the column unchanged.
    void Assign(const TPersistent *source) override;
    QString GetDisplayName() const override;
    // Every attribute back to its default; the name, the format and the drop-down
    // rows stay, the pick list is freed.
    virtual void RestoreDefaults();
    void RefreshDefaultFont();

protected:
    virtual tmcolumntitle *CreateTitle();

private:
    // The title reads and writes the column's assignment flags, and notifies through it.
    friend class tmcolumntitle;
    void FontChanged();
    void assign(tmcolumnValue flag);
    bool assigned(tmcolumnValue flag) const;
    // Changed() for the title, which has no collection of its own.
    void notify(bool allItems);

    // The column's attributes and what it owns (columns_p.h).
    struct Private;
    std::unique_ptr<Private> d;
};

class VORGRD_EXPORT TvorgridColumns : public TCollection
{
    Q_OBJECT
public:
    explicit TvorgridColumns(tvorgrid *grid);

    tvorgrid *Grid() const;

    // Appends a column named "column " + its 1-based number.
    tmcolumn *Add();
    // Column `index`; EListError outside 0..Count-1.
    tmcolumn *GeTmColumn(int index) const;
    // Copies `value` into column `index` (Assign).
    void SeTmColumn(int index, tmcolumn *value);
    // Every column back to its defaults, inside one update bracket.
    void RestoreDefaults();

    ~TvorgridColumns() override;

protected:
    void Update(TCollectionItem *item) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vorgrd

