// The documentation's code, as a new user copies it: every whole program in README.md
// and docs/*.md is built as it stands (tests/CMakeLists.txt) and run here, and what it
// prints must be the output its page shows. The README's shell lines must name make
// targets and programs that exist.
#include "docexamples.inc"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The targets the Makefile has rules for.
QStringList makeTargets()
{
    QStringList targets;
    const QRegularExpression rule(QStringLiteral("^([A-Za-z0-9_-]+):"), QRegularExpression::MultilineOption);
    auto it = rule.globalMatch(readFile(QStringLiteral(VORGRD_SOURCE_DIR "/Makefile")));
    while (it.hasNext()) targets << it.next().captured(1);
    return targets;
}

} // namespace

TEST(Docs, EveryWholeProgramRunsAndPrintsWhatItsPageShows)
{
    ASSERT_GE(std::size(docExamples), 4u) << "the documentation's programs were not found";
    for (const DocExample &example : docExamples) {
        SCOPED_TRACE(example.name);
        QTemporaryDir workDir; // programs that write files write them here
        ASSERT_TRUE(workDir.isValid());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(workDir.path());
        program.start(QString::fromUtf8(example.program), {});
        ASSERT_TRUE(program.waitForFinished(120'000)) << "did not finish";
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << errors.toStdString();
        EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
        const QString output = QString::fromUtf8(program.readAllStandardOutput());
        if (QFile::exists(QString::fromUtf8(example.output)))
            EXPECT_EQ(output, readFile(QString::fromUtf8(example.output)));
        else
            EXPECT_TRUE(output.isEmpty()) << "prints, but its page shows no output: " << output.toStdString();
    }
}

TEST(Docs, TheReadmesShellLinesNameTargetsAndProgramsThatExist)
{
    const QStringList targets = makeTargets();
    int lines = 0;
    for (const char *const *entry = readmeCommands; *entry; ++entry, ++lines) {
        const QString where = QString::fromUtf8(*entry).section(u':', 0, 1);
        const QString command = QString::fromUtf8(*entry).section(u':', 2).section(u'#', 0, 0).trimmed();
        SCOPED_TRACE(where.toStdString() + ": " + command.toStdString());
        QStringList words = command.split(u' ', Qt::SkipEmptyParts);
        while (!words.isEmpty() && words.first().contains(u'=')) words.removeFirst(); // VAR=value
        ASSERT_FALSE(words.isEmpty());
        if (words.first() == QLatin1String("make")) {
            for (const QString &target : words.mid(1))
                EXPECT_TRUE(targets.contains(target)) << "no make target " << target.toStdString();
        } else if (words.first().contains(u'/')) {
            EXPECT_TRUE(QFileInfo(words.first()).isExecutable()) << "no program " << words.first().toStdString();
        } else {
            EXPECT_FALSE(QStandardPaths::findExecutable(words.first()).isEmpty())
                << "no program " << words.first().toStdString() << " on PATH";
        }
    }
    EXPECT_GE(lines, 3) << "the README's shell blocks were not found";
}
