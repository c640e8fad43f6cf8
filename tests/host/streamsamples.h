#pragma once
// Small components for the collection and form-stream tests: a component with
// scalar, enum, flag, string-list, nested-object and collection properties, and an
// item class whose width follows a default unless assigned (a stored test).
#include "host/collection.h"
#include "host/exceptions.h"

#include <QStringList>

namespace vorgrd::test {

Q_NAMESPACE
enum Shape { Round, Square, Oval };
Q_ENUM_NS(Shape)
enum Part { Lid = 1, Base = 2, Handle = 4 };
Q_DECLARE_FLAGS(Parts, Part)
Q_FLAG_NS(Parts)

class Label : public TPersistent
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(unsigned Color READ Color WRITE setColor)
public:
    QString Text() const { return m_text; }
    void setText(const QString &v) { m_text = v; }
    unsigned Color() const { return m_color; }
    void setColor(unsigned v) { m_color = v; }

private:
    QString m_text;
    unsigned m_color = 0x80000005u;
};

class Slot : public TCollectionItem
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE setName)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_CLASSINFO("stored:Width", "IsWidthStored")
public:
    explicit Slot(TCollection *c = nullptr) : TCollectionItem(c) {}
    QString Name() const { return m_name; }
    void setName(const QString &v) { m_name = v; }
    int Width() const { return m_assigned ? m_width : 64; }
    void setWidth(int v)
    {
        if (v < 0)
            throw ERangeError(QStringLiteral("negative width %1").arg(v));
        m_width = v;
        m_assigned = true;
        Changed(false);
    }
    Q_INVOKABLE bool IsWidthStored() const { return m_assigned && m_width != 64; }

    void Assign(const TPersistent *source) override
    {
        if (auto *s = qobject_cast<const Slot *>(source)) {
            m_name = s->m_name;
            m_width = s->m_width;
            m_assigned = s->m_assigned;
            return;
        }
        TCollectionItem::Assign(source);
    }

private:
    QString m_name;
    int m_width = 0;
    bool m_assigned = false;
};

// Counts what reaches it, as the grid's column collection would pass it on.
class Slots : public TCollection
{
    Q_OBJECT
public:
    Slots() : TCollection(factoryOf<Slot>()) {}
    int itemUpdates = 0;
    int wholeUpdates = 0;

protected:
    void Update(TCollectionItem *item) override { item ? ++itemUpdates : ++wholeUpdates; }
};

class Gadget : public TPersistent
{
    Q_OBJECT
    Q_PROPERTY(int Count READ Count WRITE setCount)
    Q_PROPERTY(int Fixed READ Fixed WRITE setFixed)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible STORED false)
    Q_PROPERTY(double Ratio READ Ratio WRITE setRatio)
    Q_PROPERTY(vorgrd::test::Shape Shape READ shape WRITE setShape)
    Q_PROPERTY(vorgrd::test::Parts Parts READ parts WRITE setParts)
    Q_PROPERTY(QStringList Items READ Items WRITE setItems)
    Q_PROPERTY(bool Titles READ Titles WRITE setTitles)
    Q_CLASSINFO("stored:Titles", "IsTitlesStored")
    Q_PROPERTY(vorgrd::test::Label *Caption READ Caption)
    Q_PROPERTY(vorgrd::test::Slots *Slots READ slotList)
    Q_PROPERTY(bool Busy READ Busy)
public:
    int Count() const { return m_count; }
    void setCount(int v) { m_count = v; }
    int Fixed() const { return m_fixed; }
    // Depends on Count: a check of the value alone cannot foresee the refusal.
    void setFixed(int v)
    {
        if (v >= m_count)
            throw ERangeError(QStringLiteral("Fixed %1 must be below Count %2").arg(v).arg(m_count));
        m_fixed = v;
    }
    bool Visible() const { return m_visible; }
    void setVisible(bool v) { m_visible = v; }
    double Ratio() const { return m_ratio; }
    void setRatio(double v) { m_ratio = v; }
    Shape shape() const { return m_shape; }
    void setShape(Shape v) { m_shape = v; }
    Parts parts() const { return m_parts; }
    void setParts(Parts v) { m_parts = v; }
    QStringList Items() const { return m_items; }
    void setItems(const QStringList &v) { m_items = v; }
    bool Titles() const { return m_titles; }
    void setTitles(bool v) { m_titles = v; }
    Q_INVOKABLE bool IsTitlesStored() const { return m_titles; }
    Label *Caption() { return &m_caption; }
    Slots *slotList() { return &m_slots; }
    bool Busy() const { return false; }

    Q_INVOKABLE void Loaded() { ++loadedCalls; }
    int loadedCalls = 0;

private:
    int m_count = 5;
    int m_fixed = 1;
    bool m_visible = true;
    double m_ratio = 0.5;
    Shape m_shape = Round;
    Parts m_parts = Lid;
    QStringList m_items;
    bool m_titles = false;
    Label m_caption;
    Slots m_slots;
};

} // namespace vorgrd::test
