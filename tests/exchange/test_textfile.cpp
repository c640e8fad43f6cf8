// Delimited text files: what a load makes of lines, delimiters, line ends and
// encodings; that a load replaces the content wholly and a failed one changes
// nothing; what a save writes, and that a failed save keeps the previous file.
#include "formulas/printers.h"
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "host/inplaceedit.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace vorgrd;

namespace {

struct TextFile : ::testing::Test
{
    QTemporaryDir dir;
    tvorgrid grid;

    QString path(const char *name = "cells.txt") const { return dir.filePath(QLatin1String(name)); }
    QString write(const QByteArray &bytes, const char *name = "cells.txt") const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
    QByteArray read(const QString &file) const
    {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    // Every cell in the counts, row by row, cells joined by "|".
    QStringList rows() const
    {
        QStringList out;
        for (int r = 0; r < grid.RowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid.ColCount(); ++c)
                cells << grid.Cells(c, r);
            out << cells.join(u'|');
        }
        return out;
    }
    void fill(int cols, int rows)
    {
        grid.setColCount(cols);
        grid.setRowCount(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                grid.setCells(c, r, QStringLiteral("old%1.%2").arg(c).arg(r));
    }
    void setUp0()
    {
        grid.setFixedCols(0);
        grid.setFixedRows(0);
    }
    // A case table: each file loaded with its delimiter into a grid without fixed
    // cells gives these rows.
    struct LoadCase
    {
        const char *delimiter;
        QByteArray file;
        QStringList rows;
    };
    void expectLoads(std::initializer_list<LoadCase> cases)
    {
        setUp0();
        for (const LoadCase &c : cases) {
            grid.LoadFromFile(write(c.file), QString::fromLatin1(c.delimiter));
            EXPECT_EQ(rows(), c.rows) << c.file.constData();
        }
    }
};

// ---- lines, delimiters and line ends ----------------------------------------------

TEST_F(TextFile, EmptyLinesAreSkippedAndTheWidestLineGivesTheColumns)
{
    grid.LoadFromFile(write("a;b\r\n\r\nc;d;e\r\n"), QStringLiteral(";"));
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(rows(), (QStringList{"a|b|", "c|d|e"}));
    grid.checkConsistency();
}

// As spreadsheets and the clipboards of Linux and macOS write them.
TEST_F(TextFile, CrLfLfAndALoneCrEachEndALine)
{
    grid.LoadFromFile(write("a;b\nc\r\nd\re;f\r\r\ng"), QStringLiteral(";"));
    EXPECT_EQ(rows(), (QStringList{"a|b", "c|", "d|", "e|f", "g|"}));
}

// Fields as RFC 4180 quotes them: a field that starts with a quote ends at the quote
// that is not doubled, and keeps delimiters, quotes and line breaks.
TEST_F(TextFile, QuotedFieldsKeepDelimitersQuotesAndLineBreaks)
{
    expectLoads({
        {",", "\"Walnuts, shelled\",5\n", {"Walnuts, shelled|5"}},
        {";", "\"say \"\"hi\"\"\";x", {"say \"hi\"|x"}},
        {";", "\"two\r\nlines\";x\r\nnext;y\r\n", {"two\r\nlines|x", "next|y"}},
        {";", "\"cr\rlf\n\";\"\";\"\"\"\"\n", {"cr\rlf\n||\""}},
        {";", "\"\"\n\n\"\";\"\"", {"|", "|"}}, // a quoted empty field is no empty line
        {"::", "\"a::b\"::c::\"d\"\n", {"a::b|c|d"}},
        {"", "\"x\ny\"\nz", {"x\ny", "z"}},
        {"\t", "\"\t\"\t\"\n\"\r\n", {"\t|\n"}},
    });
}

// Quotes that do not open a field, and one that is never closed, are characters:
// nothing of the file is lost. So a file of the old, unquoted kind whose cell starts
// with a quote reads as before unless a later quote closes it.
TEST_F(TextFile, QuotesThatQuoteNothingAreCharacters)
{
    expectLoads({
        {";", "say \"hi\";x\n", {"say \"hi\"|x"}},
        {";", " \"a;b\"\n", {" \"a|b\""}},
        {";", "\"ab\"cd;e\n", {"abcd|e"}},
        {";", "\"open;x\r\nz;\"\"w\n", {"\"open|x", "z|\"\"w"}},
        {";", "\"closed\";\"open\n", {"closed|\"open"}},
        {"\"", "a\"b\"\"c\n", {"a|b||c"}}, // the delimiter a quote: no quoting
    });
}

TEST_F(TextFile, DelimitersMatchExactlyAndAnEmptyOneNeverMatches)
{
    setUp0();
    const QString file = write("a::b:c\nx::::y\n");
    grid.LoadFromFile(file, QStringLiteral("::"));
    EXPECT_EQ(rows(), (QStringList{"a|b:c|", "x||y"}));
    grid.LoadFromFile(file, QString());
    EXPECT_EQ(rows(), (QStringList{"a::b:c", "x::::y"}));
    grid.LoadFromFile(write("aXbxc\n"), QStringLiteral("x"));
    EXPECT_EQ(rows(), (QStringList{"aXb|c"}));
}

TEST_F(TextFile, AnEmptyFileLeavesOneEmptyCellBeyondTheFixedBands)
{
    fill(4, 4);
    grid.LoadFromFile(write(""), QStringLiteral(";"));
    EXPECT_EQ(grid.RowCount(), grid.FixedRows() + 1);
    EXPECT_EQ(grid.ColCount(), grid.FixedCols() + 1);
    EXPECT_EQ(rows(), (QStringList{"|", "|"}));
}

// ---- a load replaces the content -----------------------------------------------------

TEST_F(TextFile, ALoadLeavesNoOldTextInOrBeyondTheNewCounts)
{
    fill(5, 6);
    grid.RowMarks()->setStrings(1, QStringLiteral("YY"));
    int object = 0;
    grid.setObjects(0, 0, &object);
    grid.LoadFromFile(write("a;b;c\nd\n"), QStringLiteral(";"));
    EXPECT_EQ(rows(), (QStringList{"a|b|c", "d||"}));
    EXPECT_EQ(grid.Objects(0, 0), nullptr);
    EXPECT_EQ(grid.RowMarks()->toStringList(), (QStringList{"N", "N"}));
    // Growing the counts again shows empty cells, not the texts of before.
    grid.setColCount(5);
    grid.setRowCount(6);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 5; ++c)
            if (!(r == 0 && c < 3) && !(r == 1 && c == 0)) {
                EXPECT_EQ(grid.Cells(c, r), QString()) << c << "," << r;
            }
    EXPECT_TRUE(grid.cellStore().checkConsistency().isEmpty());
    grid.checkConsistency();
}

TEST_F(TextFile, ALoadKeepsTheColumnDescriptionsByPositionAndAddsFreshOnes)
{
    setUp0();
    grid.setColCount(2);
    grid.columns()->GeTmColumn(1)->SetcolumnName(QStringLiteral("Price"));
    grid.columns()->GeTmColumn(1)->settype(ftnumeric);
    grid.LoadFromFile(write("1;2;3\n"), QStringLiteral(";"));
    ASSERT_EQ(grid.columns()->Count(), 3);
    EXPECT_EQ(grid.columns()->GeTmColumn(1)->columnName(), QStringLiteral("Price"));
    EXPECT_EQ(grid.columns()->GeTmColumn(1)->gettype(), ftnumeric);
    EXPECT_EQ(grid.columns()->GeTmColumn(2)->columnName(), QStringLiteral("column 3"));
}

TEST_F(TextFile, AnOpenEditorShowsTheLoadedTextAndWritesNothingIntoIt)
{
    grid.setOptions(grid.Options() | goEditing);
    grid.show();
    grid.setCells(1, 1, QStringLiteral("before"));
    grid.ShowEditor();
    ASSERT_TRUE(grid.EditorMode());
    grid.InplaceEditor()->setText(QStringLiteral("typed"));
    grid.LoadFromFile(write("a;b\nc;loaded\n"), QStringLiteral(";"));
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("loaded"));
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.InplaceEditor()->text(), QStringLiteral("loaded"));
    grid.HideEditor();
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("loaded"));
}

// ---- failures change nothing -----------------------------------------------------------

TEST_F(TextFile, FailedLoadsLeaveTheGridAsItWas)
{
    fill(3, 4);
    grid.RowMarks()->setStrings(2, QStringLiteral("Y"));
    const QStringList before = rows();
    const QString missing = path("missing.txt");
    try {
        grid.LoadFromFile(missing, QStringLiteral(";"));
        FAIL() << "no MFileError";
    } catch (const MFileError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("File ") + missing + QStringLiteral(" not found"));
    }
    // Bad bytes at the end: everything before them would have loaded.
    const QString bad = write("a;b\nc;d\n\xC3\x28;x\n");
    try {
        grid.LoadFromFile(bad, QStringLiteral(";"));
        FAIL() << "no EInOutError";
    } catch (const EInOutError &e) {
        EXPECT_TRUE(e.Message().contains(bad)) << e.what();
        EXPECT_TRUE(e.Message().contains(QLatin1String("byte 8"))) << e.what();
    }
    EXPECT_THROW(grid.LoadFromFile(dir.path(), QStringLiteral(";")), MFileError);
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(grid.RowMarks()->Strings(2), QStringLiteral("Y"));
}

TEST_F(TextFile, MalformedUtf8IsRefusedWhereverItStands)
{
    const QByteArray cases[] = {
        "\x80",             // a stray continuation byte
        "\xC0\xAF",         // an overlong slash
        "\xE0\x80\xAF",     // an overlong slash in three bytes
        "\xED\xA0\x80",     // a surrogate
        "\xF4\x90\x80\x80", // past U+10FFFF
        "ab\xE2\x82",       // cut short by the end of the file
        "\xFF",
    };
    for (const QByteArray &bytes : cases) {
        fill(2, 2);
        EXPECT_THROW(grid.LoadFromFile(write("ok;ok\n" + bytes), QStringLiteral(";")), EInOutError)
            << bytes.toHex().constData();
        EXPECT_EQ(grid.Cells(0, 0), QStringLiteral("old0.0"));
    }
    grid.LoadFromFile(write("\xF0\x9F\x98\x80;\xED\x9F\xBF;\xF4\x8F\xBF\xBF"), QStringLiteral(";"));
    EXPECT_EQ(grid.Cells(0, 0), QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_EQ(grid.Cells(1, 0), QString(QChar(0xD7FF)));
    EXPECT_EQ(grid.Cells(2, 0).size(), 2);
}

TEST_F(TextFile, TooManyFieldsOnALineAreRefusedWithNothingChanged)
{
    fill(2, 2);
    const QByteArray line = QByteArray(";").repeated(tvorgrid::MaxInsertColCount);
    EXPECT_THROW(grid.LoadFromFile(write("a\n" + line + "\n"), QStringLiteral(";")), ERangeError);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("old1.1"));
}

// An endless device, a file that says it is too large, and one with too many fields:
// each is refused as the load reads it, with the grid as it was.
TEST_F(TextFile, ALoadPastItsBoundsIsRefusedAsItReads)
{
    fill(3, 3);
    try {
        grid.LoadFromFile(QStringLiteral("/dev/zero"), QStringLiteral(";"));
        ADD_FAILURE() << "/dev/zero loaded";
    } catch (const ERangeError &e) {
        EXPECT_TRUE(e.Message().contains(QLatin1String("/dev/zero"))) << e.what();
        EXPECT_TRUE(e.Message().contains(QString::number(tvorgrid::MaxLoadFileSize))) << e.what();
    }
    {
        QFile sparse(path("sparse.txt"));
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
        ASSERT_TRUE(sparse.resize(tvorgrid::MaxLoadFileSize + 1));
    }
    EXPECT_THROW(grid.LoadFromFile(path("sparse.txt"), QStringLiteral(";")), ERangeError);

    const qint64 perLine = tvorgrid::MaxInsertColCount;
    const QByteArray line = QByteArray(int(perLine - 1), ';') + "\n";
    QByteArray many;
    for (qint64 fields = 0; fields <= tvorgrid::MaxLoadCells; fields += perLine)
        many += line;
    try {
        grid.LoadFromFile(write(many, "many.txt"), QStringLiteral(";"));
        ADD_FAILURE() << "too many cells loaded";
    } catch (const ERangeError &e) {
        EXPECT_TRUE(e.Message().contains(QString::number(tvorgrid::MaxLoadCells))) << e.what();
    }
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.Cells(2, 2), QStringLiteral("old2.2"));
}

// The file is read in blocks of a megabyte: a character, a surrogate pair or a CR LF
// that a block boundary cuts in two still reads as one.
TEST_F(TextFile, WhatABlockBoundaryCutsReadsWhole)
{
    setUp0();
    const qsizetype block = 1 << 20;
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    for (int shift = 1; shift <= 3; ++shift) {
        const QByteArray pad(block - shift, 'a');
        grid.LoadFromFile(write(pad + "\xF0\x9F\x98\x80;b\r\nc"), QStringLiteral(";"));
        EXPECT_EQ(grid.Cells(0, 0), QString::fromLatin1(pad) + emoji) << shift;
        EXPECT_EQ(grid.Cells(1, 0), QStringLiteral("b")) << shift;
        EXPECT_EQ(grid.Cells(0, 1), QStringLiteral("c")) << shift;
    }
    for (const QByteArray &lineEnd : {QByteArray("\r\n"), QByteArray("\r")}) {
        grid.LoadFromFile(write(QByteArray(block - 1, 'a') + lineEnd + "b"), QStringLiteral(";"));
        EXPECT_EQ(rows(), (QStringList{QString(block - 1, u'a'), "b"}));
    }
    // A doubled quote across the boundary, and a quoted cell of three blocks.
    const QByteArray pad(block - 2, 'p');
    grid.LoadFromFile(write("\"" + pad + "\"\"x\r\ny\";z\r\n"), QStringLiteral(";"));
    EXPECT_EQ(rows(), (QStringList{QString::fromLatin1(pad) + "\"x\r\ny|z"}));
    const QByteArray big = QByteArray("q\n\"\"").repeated(3 * block / 4);
    grid.LoadFromFile(write("a;\"" + big + "\"\nb"), QStringLiteral(";"));
    EXPECT_EQ(rows(), (QStringList{"a|" + QString::fromLatin1(big).replace("\"\"", "\""), "b|"}));

    // UTF-16LE: the mark, then units up to a surrogate pair across the boundary.
    QByteArray utf16("\xFF\xFE");
    const QString text = QString(block / 2 - 2, u'a') + emoji + QStringLiteral(";z");
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    grid.LoadFromFile(write(utf16), QStringLiteral(";"));
    EXPECT_EQ(grid.Cells(0, 0), QString(block / 2 - 2, u'a') + emoji);
    EXPECT_EQ(grid.Cells(1, 0), QStringLiteral("z"));
}

// ---- encodings -------------------------------------------------------------------------

TEST_F(TextFile, AByteOrderMarkDecidesTheEncodingAndIsNoText)
{
    grid.LoadFromFile(write("\xEF\xBB\xBFK\xC3\xA4se;\xEF\xBB\xBFx\n\xEF\xBB\xBFy"), QStringLiteral(";"));
    EXPECT_EQ(grid.Cells(0, 0), QString::fromUtf8("K\xC3\xA4se"));
    // Only the file's first bytes are a mark: U+FEFF elsewhere is a character.
    EXPECT_EQ(grid.Cells(1, 0), QChar(0xFEFF) + QStringLiteral("x"));
    EXPECT_EQ(grid.Cells(0, 1), QChar(0xFEFF) + QStringLiteral("y"));

    QByteArray utf16("\xFF\xFE");
    const QString text = QString::fromUtf8("\xE2\x82\xAC;\xF0\x9F\x98\x80\r\nb");
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    grid.LoadFromFile(write(utf16), QStringLiteral(";"));
    EXPECT_EQ(rows(), (QStringList{QString::fromUtf8("\xE2\x82\xAC|\xF0\x9F\x98\x80"), "b|"}));
}

// UTF-16 and UTF-32 after their byte-order mark: whatever is not a character there is
// refused with the byte that starts it, as in UTF-8; nothing is replaced or dropped.
TEST_F(TextFile, MalformedUtf16AndUtf32AreRefusedNamingTheByte)
{
    const struct
    {
        const char *what;
        QByteArray bytes;
        int badByte;
    } cases[] = {
        {"UTF-16LE, a high surrogate before a letter", QByteArray("\xFF\xFEo\0k\0\x3D\xD8x\0", 10), 6},
        {"UTF-16LE, a low surrogate alone", QByteArray("\xFF\xFEo\0\x00\xDEx\0", 8), 4},
        {"UTF-16LE, a high surrogate at the end", QByteArray("\xFF\xFEo\0\x3D\xD8", 6), 4},
        {"UTF-16LE, the last unit cut short", QByteArray("\xFF\xFEo\0k", 5), 4},
        {"UTF-16BE, a low surrogate alone", QByteArray("\xFE\xFF\0o\xDE\x00", 6), 4},
        {"UTF-16BE, two high surrogates", QByteArray("\xFE\xFF\xD8\x3D\xD8\x3D\xDE\x00", 8), 2},
        {"UTF-32LE, past U+10FFFF", QByteArray("\xFF\xFE\0\0o\0\0\0\0\0\x11\0", 12), 8},
        {"UTF-32LE, a surrogate", QByteArray("\xFF\xFE\0\0\x00\xD8\0\0", 8), 4},
        {"UTF-32BE, the last unit cut short", QByteArray("\0\0\xFE\xFF\0\0\0o\0\0", 10), 8},
        {"UTF-32BE, past U+10FFFF", QByteArray("\0\0\xFE\xFF\x80\0\0o", 8), 4},
    };
    for (const auto &c : cases) {
        fill(2, 2);
        const QString file = write(c.bytes);
        try {
            grid.LoadFromFile(file, QStringLiteral(";"));
            ADD_FAILURE() << c.what << ": loaded as " << qPrintable(rows().join(u'/'));
        } catch (const EInOutError &e) {
            EXPECT_TRUE(e.Message().contains(file)) << c.what << ": " << e.what();
            EXPECT_TRUE(e.Message().contains(QStringLiteral("byte %1 ").arg(c.badByte)))
                << c.what << ": " << e.what();
        }
        EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("old1.1")) << c.what;
    }
    // Without a mark, the encoding the caller names is checked the same way.
    EXPECT_THROW(grid.LoadFromFile(write(QByteArray("o\0\x3D\xD8", 4)), QStringLiteral(";"),
                                   QStringConverter::Utf16LE),
                 EInOutError);
    grid.LoadFromFile(write(QByteArray("\xFE\xFF\xD8\x3D\xDE\x00\0;\0x", 10)), QStringLiteral(";"));
    EXPECT_EQ(grid.Cells(0, 0), QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_EQ(grid.Cells(1, 0), QStringLiteral("x"));
    grid.LoadFromFile(write(QByteArray("\xFF\xFE\0\0\xFF\xFF\x10\0;\0\0\0", 12)), QStringLiteral(";"));
    EXPECT_EQ(grid.Cells(0, 0), QString::fromUcs4(U"\U0010FFFF"));
}

TEST_F(TextFile, Latin1ReadsEveryByteAsACharacter)
{
    grid.LoadFromFile(write("caf\xE9;\x80\xFF\n"), QStringLiteral(";"), QStringConverter::Latin1);
    EXPECT_EQ(grid.Cells(0, 0), QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_EQ(grid.Cells(1, 0), QString(QChar(0x80)) + QChar(0xFF));
}

// ---- saving ----------------------------------------------------------------------------

TEST_F(TextFile, ASaveWritesEveryCellInUtf8WithCrLfAfterEachRow)
{
    setUp0();
    grid.setColCount(2);
    grid.setRowCount(2);
    grid.setCells(0, 0, QString::fromUtf8("\xE2\x82\xAC"));
    grid.setCells(1, 1, QStringLiteral("x;y"));
    grid.SaveToFile(path(), QStringLiteral(";"));
    EXPECT_EQ(read(path()), QByteArray("\xE2\x82\xAC;\r\n;\"x;y\"\r\n"));
}

// Only a cell that holds the delimiter, a quote or a line break is quoted; every
// other is written as it stands.
TEST_F(TextFile, ASaveQuotesTheCellsThatNeedItAndNoOthers)
{
    setUp0();
    const struct
    {
        const char *delimiter;
        QString cell;
        QByteArray written;
    } cases[] = {
        {";", "plain, with \t and 'x'", "plain, with \t and 'x'"},
        {";", " blanks ", " blanks "},
        {";", "x;y", "\"x;y\""},
        {";", "say \"hi\"", "\"say \"\"hi\"\"\""},
        {";", "\"", "\"\"\"\""},
        {";", "two\r\nlines", "\"two\r\nlines\""},
        {";", "cr\r", "\"cr\r\""},
        {";", "\nlf", "\"\nlf\""},
        {"\t", "tab\t", "\"tab\t\""},
        {"::", "a:b", "a:b"},
        {"::", "a::b", "\"a::b\""},
        {"", "a;b", "a;b"},
        {"\"", "say \"hi\"", "say \"hi\""}, // the delimiter a quote: no quoting
    };
    grid.setColCount(1);
    grid.setRowCount(1);
    for (const auto &c : cases) {
        grid.setCells(0, 0, c.cell);
        grid.SaveToFile(path(), QString::fromLatin1(c.delimiter));
        EXPECT_EQ(read(path()), c.written + "\r\n") << qPrintable(c.cell);
    }
}

// Half a surrogate pair has no UTF-8 form: a save writes U+FFFD for it, in a cell and
// in the delimiter alike, and a load with the same delimiter splits the file again.
TEST_F(TextFile, HalfASurrogatePairIsWrittenAsTheReplacementCharacter)
{
    setUp0();
    const QByteArray replacement("\xEF\xBF\xBD");
    const struct
    {
        QString delimiter;
        QByteArray written;
    } cases[] = {
        {QString(QChar(0xD83D)), replacement},
        {QString(QChar(0xDE00)), replacement},
        {QStringLiteral("x") + QChar(0xD83D), "x" + replacement},
        {QString(QChar(0xDE00)) + QChar(0xD83D), replacement + replacement},
    };
    for (const auto &c : cases) {
        grid.setColCount(2);
        grid.setRowCount(2);
        grid.setCells(0, 0, QStringLiteral("a"));
        grid.setCells(1, 0, QStringLiteral("b"));
        grid.setCells(0, 1, QStringLiteral("c") + QChar(0xDE00) + QChar(0xD83D));
        grid.setCells(1, 1, QStringLiteral("d"));
        grid.SaveToFile(path(), c.delimiter);
        EXPECT_TRUE(read(path()).startsWith("a" + c.written + "b\r\n")) << c.written.toHex().constData();
        EXPECT_TRUE(read(path()).contains("c" + replacement + replacement)) << c.written.toHex().constData();
        grid.LoadFromFile(path(), c.delimiter);
        EXPECT_EQ(rows(), (QStringList{"a|b", QStringLiteral("c") + QChar(0xFFFD) + QChar(0xFFFD) + "|d"}))
            << c.written.toHex().constData();
    }
}

TEST_F(TextFile, SavingAndLoadingGiveTheSameGrid)
{
    setUp0();
    QRandomGenerator random(12);
    grid.setColCount(7);
    grid.setRowCount(40);
    QStringList alphabet = QString::fromUtf8("a b c \t \" < & \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 | ;")
                               .split(u' ');
    alphabet << QStringLiteral("|;|") << QStringLiteral("\r\n") << QStringLiteral("\n") << QStringLiteral("\r")
             << QStringLiteral(" ");
    for (int r = 0; r < 40; ++r)
        for (int c = 0; c < 7; ++c) {
            QString text = QStringLiteral("r%1").arg(r); // no row entirely empty
            const int length = random.bounded(30);
            for (int i = 0; i < length; ++i)
                text += alphabet.at(random.bounded(int(alphabet.size())));
            if (c > 0 && random.bounded(4) == 0) text.clear();
            grid.setCells(c, r, text);
        }
    const QStringList saved = rows();
    grid.SaveToFile(path(), QStringLiteral("|;|"));
    fill(9, 50);
    grid.LoadFromFile(path(), QStringLiteral("|;|"));
    EXPECT_EQ(rows(), saved);
}

// A write that fails part-way (the file-size limit stands in for a full disk).
TEST_F(TextFile, AFailedSaveKeepsThePreviousFileAndNamesTheFile)
{
    const QString target = write("previous\r\n", "kept.txt");
    fill(4, 5000);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    QString message;
    try {
        grid.SaveToFile(target, QStringLiteral(";"));
    } catch (const EInOutError &e) {
        message = e.Message();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(message.contains(target)) << qPrintable(message);
    EXPECT_EQ(read(target), QByteArray("previous\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.txt"});

    EXPECT_THROW(grid.SaveToFile(dir.filePath("no/such/dir.txt"), QStringLiteral(";")), EInOutError);
}

} // namespace
