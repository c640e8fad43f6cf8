// The system clipboard of an X server, with xclip as the program on the other side:
// what the grid copies reads back exactly, what xclip offers pastes exactly (non-ASCII
// characters too), and a copy offers text/html beside the plain text.
#include "grid/vorGrid.h"

#include <QClipboard>
#include <QElapsedTimer>
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

// Processes events until the clipboard's text is `expected` (the grid learns of a
// new owner through an X event), or a few seconds passed.
bool waitForClipboardText(const QString &expected)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (QGuiApplication::clipboard()->text() == expected) return true;
    }
    return false;
}

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

} // namespace
