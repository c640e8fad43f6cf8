// The system clipboard of an X server, with xclip as the program on the other side:
// what the grid copies reads back exactly, what xclip offers pastes exactly (non-ASCII
// characters too), and a copy offers text/html beside the plain text.
#include "grid/vorGrid.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

struct Result
{
    bool finished = false;
    QByteArray out;
};

// Runs xclip while this program's event loop keeps going: the grid's side of the
// clipboard is served from it, so a blocking wait would hang both programs.
Result xclip(const QStringList &arguments, const QByteArray &input = QByteArray())
{
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
    process.start(QStringLiteral("xclip"), arguments);
    if (!process.waitForStarted()) return {};
    if (!input.isNull()) {
        process.write(input);
        process.closeWriteChannel();
    }
    if (process.state() != QProcess::NotRunning) loop.exec();
    Result result;
    result.finished = process.state() == QProcess::NotRunning && process.exitCode() == 0;
    result.out = process.readAllStandardOutput();
    if (!result.finished) process.kill();
    return result;
}

Result readClipboard(const QString &target = QString())
{
    QStringList arguments{QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")};
    if (!target.isEmpty()) arguments << QStringLiteral("-t") << target;
    return xclip(arguments);
}

// Processes events until the clipboard offers what `arrived` looks for (the grid
// learns of a new owner through an X event), or a few seconds passed.
template <typename Arrived> bool waitForClipboard(Arrived &&arrived)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        if (data && arrived(*data)) return true;
    }
    return false;
}

bool waitForClipboardText(const QString &expected)
{
    return waitForClipboard([&](const QMimeData &data) { return data.text() == expected; });
}

// What LibreOffice Calc offers when the cells of tests/x11/data/fruit.fods are
// copied, made by LibreOffice (tests/x11/data/make-libreoffice-copies.sh).
QByteArray libreOfficeCopy(const char *name)
{
    QFile file(QStringLiteral(QT_TESTCASE_SOURCEDIR "/x11/data/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QList<QStringList> fruit = {
    {"Fruit", "Count", "Price", "Note"},
    {"Kiwi", "5", "1.5", ""},
    {"Mango", "12", "2.25", "say \"ripe\""},
    {"Walnuts, shelled", "1", "9.9", "two\nlines"},
    {QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80"), "", "0.5", "<b>not bold</b> & more"},
};

const QString Umlauts = QString::fromUtf8("K\xC3\xA4se \xE2\x82\xAC 5");
const QString Emoji = QString::fromUtf8("\xF0\x9F\x98\x80 <b>&");

struct RealClipboard : ::testing::Test
{
    tvorgrid grid;
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        grid.setOptions(grid.Options() | goRangeSelect);
        grid.setCells(1, 1, QStringLiteral("a"));
        grid.setCells(2, 1, Umlauts);
        grid.setCells(1, 2, Emoji);
        grid.setCells(2, 2, QStringLiteral("d"));
        grid.setSelection(TGridRect{1, 1, 2, 2});
    }
};

TEST_F(RealClipboard, ACopyReadsBackExactlyThroughXclip)
{
    grid.CopyToClipboard();
    const Result plain = readClipboard();
    ASSERT_TRUE(plain.finished);
    EXPECT_EQ(plain.out, (QStringLiteral("a\t") + Umlauts + QStringLiteral("\r\n") + Emoji +
                          QStringLiteral("\td"))
                             .toUtf8());
}

TEST_F(RealClipboard, ACopyOffersHtmlBesideThePlainText)
{
    grid.CopyToClipboard();
    const Result targets = readClipboard(QStringLiteral("TARGETS"));
    ASSERT_TRUE(targets.finished);
    const QList<QByteArray> offered = targets.out.split('\n');
    EXPECT_TRUE(offered.contains("text/html")) << targets.out.constData();
    EXPECT_TRUE(offered.contains("text/plain") || offered.contains("UTF8_STRING"))
        << targets.out.constData();
    const Result html = readClipboard(QStringLiteral("text/html"));
    ASSERT_TRUE(html.finished);
    const QString table = QString::fromUtf8(html.out);
    EXPECT_TRUE(table.contains(QStringLiteral("<td>") + QString::fromUtf8("\xF0\x9F\x98\x80") +
                               QStringLiteral(" &lt;b&gt;&amp;</td>")))
        << html.out.constData();
}

// What the grid copies with tabs, quotes and line breaks in its cells reads back
// through xclip as quoted fields, and pastes back into the same cells.
// (A copy comes before the tests that leave xclip owning the clipboard: the X server
// refuses an owner whose last event is older than the owner's, and without user
// input this program sees no newer one.)
TEST_F(RealClipboard, QuotedCellsMakeTheTripThroughXclip)
{
    grid.setCells(1, 1, QStringLiteral("two\nlines"));
    grid.setCells(2, 1, QStringLiteral("say \"hi\"\tthere"));
    grid.setSelection(TGridRect{1, 1, 2, 1});
    grid.CopyToClipboard();
    const Result plain = readClipboard();
    ASSERT_TRUE(plain.finished);
    EXPECT_EQ(plain.out, QByteArray("\"two\nlines\"\t\"say \"\"hi\"\"\tthere\""));
    // Offered again by xclip, as another program would, and pasted one row lower.
    ASSERT_TRUE(xclip({QStringLiteral("-i"), QStringLiteral("-selection"), QStringLiteral("clipboard")}, plain.out)
                    .finished);
    ASSERT_TRUE(waitForClipboard([](const QMimeData &data) { return !data.hasHtml(); }));
    grid.FocusCell(1, 3, true);
    grid.PasteFromClipboard();
    EXPECT_EQ(grid.Cells(1, 3), QStringLiteral("two\nlines"));
    EXPECT_EQ(grid.Cells(2, 3), QStringLiteral("say \"hi\"\tthere"));
}

TEST_F(RealClipboard, TextFromXclipPastesExactly)
{
    const QString text = QString::fromUtf8("x\t\xC3\xBC\xE2\x82\xAC\r\n\xF0\x9F\x98\x80\ty z");
    ASSERT_TRUE(xclip({QStringLiteral("-i"), QStringLiteral("-selection"), QStringLiteral("clipboard")},
                      text.toUtf8())
                    .finished);
    ASSERT_TRUE(waitForClipboardText(text)) << qPrintable(QGuiApplication::clipboard()->text());
    grid.PasteFromClipboard();
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("x"));
    EXPECT_EQ(grid.Cells(2, 1), QString::fromUtf8("\xC3\xBC\xE2\x82\xAC"));
    EXPECT_EQ(grid.Cells(1, 2), QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_EQ(grid.Cells(2, 2), QStringLiteral("y z"));
}

// Copied from LibreOffice: LF line ends, a line break after the last row, quoted
// fields with a comma, quotes and a line break. Every cell pastes exactly, and the
// row below the block ("Cherries") keeps its text.
TEST_F(RealClipboard, LibreOfficesPlainTextPastesExactly)
{
    const QByteArray text = libreOfficeCopy("libreoffice-copy.txt");
    ASSERT_TRUE(text.endsWith("more\n")) << "missing or changed: tests/x11/data/libreoffice-copy.txt";
    grid.setCells(1, 6, QStringLiteral("Cherries"));
    ASSERT_TRUE(xclip({QStringLiteral("-i"), QStringLiteral("-selection"), QStringLiteral("clipboard")}, text)
                    .finished);
    ASSERT_TRUE(waitForClipboardText(QString::fromUtf8(text)));
    grid.PasteFromClipboard();
    for (int r = 0; r < fruit.size(); ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(grid.Cells(1 + c, 1 + r), fruit[r][c]) << c << "," << r;
    EXPECT_EQ(grid.Cells(1, 6), QStringLiteral("Cherries"));
}

// LibreOffice's HTML table alone (xclip offers one target): read as the table.
TEST_F(RealClipboard, LibreOfficesHtmlTablePastesExactly)
{
    const QByteArray html = libreOfficeCopy("libreoffice-copy.html");
    ASSERT_TRUE(html.contains("<table")) << "missing: tests/x11/data/libreoffice-copy.html";
    grid.setCells(1, 6, QStringLiteral("Cherries"));
    ASSERT_TRUE(xclip({QStringLiteral("-i"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                       QStringLiteral("-t"), QStringLiteral("text/html")},
                      html)
                    .finished);
    ASSERT_TRUE(waitForClipboard([](const QMimeData &data) { return data.html().contains(QLatin1String("Kiwi")); }));
    grid.PasteFromClipboard();
    for (int r = 0; r < fruit.size(); ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(grid.Cells(1 + c, 1 + r), fruit[r][c]) << c << "," << r;
    EXPECT_EQ(grid.Cells(1, 6), QStringLiteral("Cherries"));
}

} // namespace
