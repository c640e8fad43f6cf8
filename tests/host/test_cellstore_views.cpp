// Reading cells as views: the view must show exactly what text() gives, for texts
// kept inside the cell and on the heap, and must not be disturbed by reading another
// heap text through the same buffer.
#include "host/cellstore.h"
#include "host/exceptions.h"

#include <gtest/gtest.h>

using vorgrd::CellStore;

TEST(CellStoreViews, ViewsShowWhatTextGivesForEveryShape)
{
    CellStore store;
    const QString texts[] = {
        QStringLiteral("a"),
        QStringLiteral("fifteen chars!!"),       // the longest inline text
        QStringLiteral("sixteen chars!!!"),      // the shortest heap text
        QStringLiteral("Caf\u00e9 \u00fcber"),   // Latin-1, inline
        QStringLiteral("\u20ac 12"),             // beyond Latin-1: heap
        QString(300, QChar(u'x')),
    };
    int col = 0;
    for (const QString &text : texts)
        store.setText(col++, 2, text);
    CellStore::TextBuffer buffer;
    for (int c = 0; c < col; ++c)
        EXPECT_EQ(store.textView(c, 2, buffer).toString(), store.text(c, 2)) << "column " << c;
    // Unwritten cells, beyond the row's cells and beyond the rows, read empty.
    EXPECT_TRUE(store.textView(40, 2, buffer).isEmpty());
    EXPECT_TRUE(store.textView(0, 1000, buffer).isEmpty());
    EXPECT_THROW(store.textView(-1, 0, buffer), vorgrd::ERangeError);
    EXPECT_THROW(store.textView(0, -1, buffer), vorgrd::ERangeError);
}

TEST(CellStoreViews, AHeapViewOutlivesTheNextReadThroughTheSameBuffer)
{
    CellStore store;
    store.setText(0, 0, QStringLiteral("a text kept on the heap"));
    store.setText(1, 0, QStringLiteral("short"));
    CellStore::TextBuffer buffer;
    const QStringView heap = store.textView(0, 0, buffer);
    const QStringView inlineText = store.textView(1, 0, buffer);
    EXPECT_EQ(heap, QStringLiteral("a text kept on the heap"));
    EXPECT_EQ(inlineText, QStringLiteral("short"));
}
