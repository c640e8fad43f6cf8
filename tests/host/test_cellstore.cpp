// The sparse cell store: texts and objects per cell, moves and permutations that carry
// both, and memory that follows the cells written. Every mutation is followed by the
// store's own invariant check.
#include "host/cellstore.h"
#include "host/exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>

using vorgrd::CellStore;
using vorgrd::ERangeError;

namespace {

void *obj(intptr_t n)
{
    return reinterpret_cast<void *>(n);
}

#define EXPECT_CONSISTENT(store) EXPECT_EQ((store).checkConsistency(), QString())

} // namespace

TEST(CellStore, UnwrittenCellsReadEmptyAnywhere)
{
    CellStore store;
    EXPECT_EQ(store.text(0, 0), QString());
    EXPECT_EQ(store.text(1000000, 9999999), QString());
    EXPECT_EQ(store.object(3, 3), nullptr);
    EXPECT_EQ(store.rowExtent(), 0);
    EXPECT_CONSISTENT(store);
}

TEST(CellStore, TextsOfEveryShapeRoundTrip)
{
    const QString texts[] = {
        QStringLiteral("a"),
        QStringLiteral("12345678"),
        QStringLiteral("exactly15chars!"),
        QStringLiteral("sixteen chars!!!"),
        QString::fromUtf8("\xc3\xa9t\xc3\xa9"),           // Latin-1 range: inline
        QString::fromUtf8("\xe2\x82\xac 5"),              // euro sign: heap
        QString(QChar(0)) + QStringLiteral("nul inside"), // embedded NUL
        QString(5000, QChar(u'x')),
    };
    CellStore store;
    int row = 0;
    for (const QString &t : texts)
        store.setText(2, row++, t);
    EXPECT_CONSISTENT(store);
    row = 0;
    for (const QString &t : texts)
        EXPECT_EQ(store.text(2, row++), t);
    // Overwriting changes the representation both ways.
    store.setText(2, 0, QString(40, QChar(u'y')));
    store.setText(2, 7, QStringLiteral("short"));
    EXPECT_EQ(store.text(2, 0), QString(40, QChar(u'y')));
    EXPECT_EQ(store.text(2, 7), QStringLiteral("short"));
    EXPECT_CONSISTENT(store);
}

TEST(CellStore, EmptyingTheLastCellsGivesRowsBack)
{
    CellStore store;
    store.setText(5, 3, QStringLiteral("x"));
    store.setObject(7, 3, obj(1));
    store.setText(1, 2000, QStringLiteral("far"));
    EXPECT_EQ(store.rowExtent(), 2001);
    EXPECT_EQ(store.colExtent(3), 8);
    store.setText(1, 2000, QString());
    EXPECT_EQ(store.rowExtent(), 4);
    store.setObject(7, 3, nullptr);
    EXPECT_EQ(store.colExtent(3), 6);
    store.setText(5, 3, QString());
    EXPECT_EQ(store.rowExtent(), 0);
    EXPECT_CONSISTENT(store);
}

TEST(CellStore, NegativeIndicesAreRefusedWithNothingChanged)
{
    CellStore store;
    store.setText(0, 0, QStringLiteral("keep"));
    EXPECT_THROW(store.setText(-1, 0, QStringLiteral("x")), ERangeError);
    EXPECT_THROW(store.setText(0, -1, QStringLiteral("x")), ERangeError);
    EXPECT_THROW(store.setObject(-5, 0, obj(1)), ERangeError);
    EXPECT_THROW((void)store.text(0, -1), ERangeError);
    EXPECT_THROW((void)store.object(-1, 0), ERangeError);
    EXPECT_THROW(store.moveRow(-1, 0), ERangeError);
    EXPECT_THROW(store.moveCol(0, -2), ERangeError);
    try {
        store.setText(-7, 0, QStringLiteral("x"));
    } catch (const ERangeError &e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("-7"))) << e.what();
    }
    EXPECT_EQ(store.text(0, 0), QStringLiteral("keep"));
    EXPECT_CONSISTENT(store);
}

TEST(CellStore, MovingLinesShiftsTheLinesBetweenWithObjects)
{
    struct Case
    {
        int from, to;
        std::vector<QString> expected; // rows 0..4 of column 0 afterwards
    };
    const Case cases[] = {
        {0, 2, {"B", "C", "A", "D", "E"}},
        {3, 0, {"D", "A", "B", "C", "E"}},
        {4, 4, {"A", "B", "C", "D", "E"}},
        {1, 9, {"A", "C", "D", "E", ""}}, // beyond the written rows: row 9 gets B
        {9, 1, {"A", "", "B", "C", "D"}}, // an empty row comes in, the rest shifts
    };
    for (const Case &c : cases) {
        CellStore rows, cols;
        for (int i = 0; i < 5; ++i) {
            const QString t(QChar(u'A' + i));
            rows.setText(0, i, t);
            rows.setObject(1, i, obj(i + 1));
            cols.setText(i, 0, t);
            cols.setObject(i, 1, obj(i + 1));
        }
        rows.moveRow(c.from, c.to);
        cols.moveCol(c.from, c.to);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(rows.text(0, i), c.expected[i]) << c.from << "->" << c.to << " row " << i;
            EXPECT_EQ(cols.text(i, 0), c.expected[i]) << c.from << "->" << c.to << " col " << i;
            // The object travels with its text.
            const void *expectedObject =
                c.expected[i].isEmpty() ? nullptr : obj(c.expected[i].at(0).unicode() - u'A' + 1);
            EXPECT_EQ(rows.object(1, i), expectedObject);
            EXPECT_EQ(cols.object(i, 1), expectedObject);
        }
        if (c.to == 9) {
            EXPECT_EQ(rows.text(0, 9), QStringLiteral("B"));
            EXPECT_EQ(cols.text(9, 0), QStringLiteral("B"));
        }
        EXPECT_CONSISTENT(rows);
        EXPECT_CONSISTENT(cols);
    }
}

TEST(CellStore, PermutationsPlaceEachSourceLineAtItsTarget)
{
    CellStore store;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            store.setText(c, r, QStringLiteral("%1%2").arg(c).arg(r));
    store.setObject(2, 3, obj(42));

    store.permuteRows(1, {3, 1, 2}); // row 1 := old 3, row 2 := old 1, row 3 := old 2
    EXPECT_EQ(store.text(0, 1), QStringLiteral("03"));
    EXPECT_EQ(store.text(0, 2), QStringLiteral("01"));
    EXPECT_EQ(store.text(0, 3), QStringLiteral("02"));
    EXPECT_EQ(store.object(2, 1), obj(42));
    EXPECT_CONSISTENT(store);

    store.permuteCols(0, {2, 0, 1});
    EXPECT_EQ(store.text(0, 0), QStringLiteral("20"));
    EXPECT_EQ(store.text(1, 0), QStringLiteral("00"));
    EXPECT_EQ(store.text(3, 0), QStringLiteral("30"));
    EXPECT_EQ(store.object(0, 1), obj(42));
    EXPECT_CONSISTENT(store);

    store.permuteRowCells(0, 1, {3, 1, 2}); // only row 0 changes
    EXPECT_EQ(store.text(1, 0), QStringLiteral("30"));
    EXPECT_EQ(store.text(1, 1), QStringLiteral("03"));
    EXPECT_CONSISTENT(store);

    store.permuteColCells(0, 0, {1, 0}); // only column 0 changes
    EXPECT_EQ(store.text(0, 0), QStringLiteral("23"));
    EXPECT_EQ(store.object(0, 0), obj(42));
    EXPECT_EQ(store.text(0, 1), QStringLiteral("20"));
    EXPECT_EQ(store.object(0, 1), nullptr);
    EXPECT_EQ(store.text(1, 1), QStringLiteral("03"));
    EXPECT_CONSISTENT(store);
}

TEST(CellStore, InvalidPermutationsChangeNothing)
{
    CellStore store;
    store.setText(0, 0, QStringLiteral("a"));
    store.setText(0, 1, QStringLiteral("b"));
    const std::vector<int> bad[] = {{0, 0}, {0, 2}, {-1, 0}, {1}};
    for (const auto &order : bad) {
        EXPECT_THROW(store.permuteRows(0, order), ERangeError);
        EXPECT_THROW(store.permuteCols(0, order), ERangeError);
        EXPECT_THROW(store.permuteColCells(0, 0, order), ERangeError);
    }
    EXPECT_THROW(store.permuteRows(-1, {}), ERangeError);
    EXPECT_EQ(store.text(0, 0), QStringLiteral("a"));
    EXPECT_EQ(store.text(0, 1), QStringLiteral("b"));
    EXPECT_CONSISTENT(store);
}

// Random operations against a plain map as the model.
TEST(CellStore, RandomOperationsMatchASimpleModel)
{
    std::mt19937 rng(12345);
    CellStore store;
    std::map<std::pair<int, int>, QString> texts; // (row, col)
    std::map<std::pair<int, int>, void *> objects;
    const int span = 12;
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto remap = [&](auto &model, auto f) {
        std::remove_reference_t<decltype(model)> next;
        for (auto &[key, value] : model)
            next[f(key)] = value;
        model = std::move(next);
    };
    auto moved = [](int i, int from, int to) {
        if (i == from) return to;
        if (from < to && i > from && i <= to) return i - 1;
        if (to < from && i >= to && i < from) return i + 1;
        return i;
    };
    std::vector<int> lastOrder; // the order of the last permutation or revert
    int reverts = 0;
    for (int step = 0; step < 3000; ++step) {
        const int c = pick(span), r = pick(span);
        switch (pick(8)) {
        case 0:
        case 1: {
            const QString t = pick(4) == 0   ? QString()
                              : pick(3) == 0 ? QString(20, QChar(u'a' + pick(26)))
                                             : QString::number(step);
            store.setText(c, r, t);
            if (t.isEmpty())
                texts.erase({r, c});
            else
                texts[{r, c}] = t;
            break;
        }
        case 2: {
            void *o = pick(3) == 0 ? nullptr : obj(step + 1);
            store.setObject(c, r, o);
            if (o)
                objects[{r, c}] = o;
            else
                objects.erase({r, c});
            break;
        }
        case 3: {
            const int to = pick(span);
            store.moveRow(r, to);
            auto f = [&](std::pair<int, int> k) {
                return std::pair(moved(k.first, r, to), k.second);
            };
            remap(texts, f);
            remap(objects, f);
            break;
        }
        case 4: {
            const int to = pick(span);
            store.moveCol(c, to);
            auto f = [&](std::pair<int, int> k) {
                return std::pair(k.first, moved(k.second, c, to));
            };
            remap(texts, f);
            remap(objects, f);
            break;
        }
        case 5: {
            std::vector<int> order(span);
            std::iota(order.begin(), order.end(), 0);
            std::shuffle(order.begin(), order.end(), rng);
            std::vector<int> target(span);
            for (int i = 0; i < span; ++i)
                target[order[i]] = i;
            store.permuteRows(0, order);
            auto f = [&](std::pair<int, int> k) { return std::pair(target[k.first], k.second); };
            remap(texts, f);
            remap(objects, f);
            lastOrder = order; // a revert moves each row back where it came from
            break;
        }
        case 7: {
            // Granted only while no row was created, removed or moved since the last
            // permutation: a wrong grant shows in the model.
            if (!store.revertRowPermutation(store.rowLayoutStamp())) break;
            ++reverts;
            auto f = [&](std::pair<int, int> k) { return std::pair(lastOrder[k.first], k.second); };
            remap(texts, f);
            remap(objects, f);
            std::vector<int> undone(span); // the revert is the permutation to take back now
            for (int i = 0; i < span; ++i)
                undone[lastOrder[i]] = i;
            lastOrder = undone;
            break;
        }
        case 6:
            store.clearRow(r, c, c + 2);
            for (int i = c; i <= c + 2; ++i) {
                texts.erase({r, i});
                objects.erase({r, i});
            }
            break;
        }
        ASSERT_EQ(store.checkConsistency(), QString()) << "step " << step;
    }
    EXPECT_GT(reverts, 10) << "the reverts were tried";
    for (int r = 0; r < span; ++r)
        for (int c = 0; c < span; ++c) {
            auto t = texts.find({r, c});
            EXPECT_EQ(store.text(c, r), t == texts.end() ? QString() : t->second);
            auto o = objects.find({r, c});
            EXPECT_EQ(store.object(c, r), o == objects.end() ? nullptr : o->second);
        }
}

TEST(CellStore, DistantRowsCostPagesNotTheRowsBetween)
{
    CellStore store;
    store.setText(0, 9999999, QStringLiteral("last"));
    EXPECT_EQ(store.rowExtent(), 10000000);
    store.moveRow(9999999, 0);
    EXPECT_EQ(store.text(0, 0), QStringLiteral("last"));
    EXPECT_EQ(store.rowExtent(), 1);
    EXPECT_CONSISTENT(store);
}

// Column operations walk the pages that hold rows: rows on both sides of page
// boundaries, pages left out between them and a far page must all be visited, and
// each exactly once.
TEST(CellStore, ColumnOperationsAcrossSparsePagesMatchASimpleModel)
{
    std::mt19937 rng(777);
    const std::vector<int> rows = {0, 1, 1023, 1024, 1025, 2047, 5 * 1024 + 7, 400'000};
    const int cols = 6;
    CellStore store;
    std::map<std::pair<int, int>, QString> model; // (row, col)
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int row : rows)
        for (int c = 0; c < cols; ++c)
            if (pick(3) != 0) {
                const QString t = QString::number(row) + u':' + QString::number(c);
                store.setText(c, row, t);
                model[{row, c}] = t;
            }
    for (int step = 0; step < 200; ++step) {
        std::vector<int> order(cols); // new column i holds old column order[i]
        std::iota(order.begin(), order.end(), 0);
        const int a = pick(cols), b = pick(cols);
        switch (pick(3)) {
        case 0: // a moves to b, the columns between shift towards a
            store.moveCol(a, b);
            order.erase(order.begin() + a);
            order.insert(order.begin() + b, a);
            break;
        case 1:
            store.exchangeCols(a, b);
            std::swap(order[size_t(a)], order[size_t(b)]);
            break;
        default:
            std::shuffle(order.begin(), order.end(), rng);
            store.permuteCols(0, order);
            break;
        }
        std::map<std::pair<int, int>, QString> next;
        for (const auto &[key, text] : model)
            next[{key.first, int(std::find(order.begin(), order.end(), key.second) - order.begin())}] = text;
        model = std::move(next);
        for (int row : rows)
            for (int c = 0; c < cols; ++c) {
                const auto it = model.find({row, c});
                ASSERT_EQ(store.text(c, row), it == model.end() ? QString() : it->second)
                    << "step " << step << ", cell " << c << "," << row;
            }
        ASSERT_EQ(store.checkConsistency(), QString()) << "step " << step;
    }
}
