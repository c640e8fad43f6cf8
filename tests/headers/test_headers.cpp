// The installed headers as a consumer meets them: each one compiles as the only include
// of a translation unit of its own, against the installed tree and with the flags CMake
// gives a program that links vorgrd, and none of them shows what is private: no
// private header (*_p.h, which is not installed) and no `using namespace`, which would
// pour names into every file that includes it.
#include "headers/headerrules.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

using vorgrd::testing::namespaceDirectives;
using vorgrd::testing::privateIncludes;

namespace {

// Headers allowed to break a rule while they are being reworked (none today). An entry
// must go as soon as its header passes: the test then says so and fails.
const QStringList knownFailing = {};

struct Compiler
{
    QString program;
    QStringList arguments; // everything but the source and the output
};

// The command that compiled tests/headers/consumer/flags.cpp, with the source tree's
// include folder replaced by the installed one (a header that includes what is not
// installed then fails as it would for a consumer).
Compiler consumerCompiler(const QString &installedInclude)
{
    QFile file(QStringLiteral(VORGRD_BUILD_DIR "/compile_commands.json"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QJsonArray entries = QJsonDocument::fromJson(file.readAll()).array();
    for (const QJsonValue &entry : entries) {
        const QJsonObject object = entry.toObject();
        if (!object.value(QStringLiteral("file")).toString().endsWith(
                QStringLiteral("tests/headers/consumer/flags.cpp")))
            continue;
        QStringList words = QProcess::splitCommand(object.value(QStringLiteral("command")).toString());
        Compiler compiler{words.takeFirst(), {}};
        const QString sourceInclude = QStringLiteral("-I" VORGRD_SOURCE_DIR "/src");
        for (qsizetype i = 0; i < words.size(); ++i) {
            if (words[i] == QStringLiteral("-o") || words[i] == QStringLiteral("-c")) {
                ++i; // the consumer's own object and source
            } else if (words[i] == QStringLiteral("-DVORGRD_AUTOTEST_EXPORTS")) {
                // our own tests' switch; an installed package's user never has it
            } else if (words[i] == sourceInclude) {
                compiler.arguments << QStringLiteral("-I") + installedInclude + QStringLiteral("/vorgrd")
                                   << QStringLiteral("-I") + installedInclude;
            } else {
                compiler.arguments << words[i];
            }
        }
        return compiler;
    }
    return {};
}

// The headers `cmake --install` puts under include/vorgrd, relative to it.
QStringList installHeaders(const QString &prefix)
{
    QProcess install;
    install.start(QStringLiteral(VORGRD_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(VORGRD_BUILD_DIR), QStringLiteral("--component"),
                   QStringLiteral("development"), QStringLiteral("--prefix"), prefix});
    if (!install.waitForFinished(120000) || install.exitCode() != 0) {
        ADD_FAILURE() << "cmake --install failed: " << install.readAllStandardError().toStdString();
        return {};
    }
    const QDir root(prefix + QStringLiteral("/include/vorgrd"));
    QStringList headers;
    const QStringList found = vorgrd::testing::filesUnder(root.path(), QStringLiteral("*.h"));
    for (const QString &path : found)
        headers << root.relativeFilePath(path);
    headers.sort();
    return headers;
}

// What is wrong with one header, or the empty text.
struct Verdict
{
    QString header;
    QString faults;
};

// Compiles each header alone (two at a time, the machine's share) and adds the rule
// checks of its text.
std::vector<Verdict> judge(const Compiler &compiler, const QString &includeRoot, const QStringList &headers,
                           const QString &work)
{
    std::vector<Verdict> verdicts;
    std::deque<std::pair<QString, std::unique_ptr<QProcess>>> running;
    auto finish = [&] {
        auto &[header, process] = running.front();
        process->waitForFinished(300000);
        QString faults;
        if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
            faults += QStringLiteral("does not compile on its own:\n") +
                      QString::fromLocal8Bit(process->readAllStandardError()).left(2000);
        QFile text(includeRoot + QLatin1Char('/') + header);
        if (text.open(QIODevice::ReadOnly)) {
            const QString content = QString::fromUtf8(text.readAll());
            for (const QString &line : privateIncludes(content))
                faults += QStringLiteral("includes a private header: ") + line + QLatin1Char('\n');
            for (const QString &line : namespaceDirectives(content))
                faults += QStringLiteral("has a using-directive: ") + line + QLatin1Char('\n');
        }
        verdicts.push_back({header, faults});
        running.pop_front();
    };
    int n = 0;
    for (const QString &header : headers) {
        const QString source = QStringLiteral("%1/tu%2.cpp").arg(work).arg(n++);
        QFile unit(source);
        EXPECT_TRUE(unit.open(QIODevice::WriteOnly));
        unit.write(QStringLiteral("#include <vorgrd/%1>\n").arg(header).toUtf8());
        unit.close();
        auto process = std::make_unique<QProcess>();
        process->start(compiler.program, compiler.arguments + QStringList{QStringLiteral("-fsyntax-only"), source});
        running.emplace_back(header, std::move(process));
        if (running.size() == 2) finish();
    }
    while (!running.empty())
        finish();
    return verdicts;
}

TEST(InstalledHeaders, EachCompilesAloneAndShowsNothingPrivate)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QStringList headers = installHeaders(prefix.path());
    // The manual's front page is among them, the private parts are not.
    ASSERT_TRUE(headers.contains(QStringLiteral("grid/vorGrid.h"))) << headers.join(u' ').toStdString();
    for (const QString &header : headers)
        EXPECT_FALSE(header.endsWith(QStringLiteral("_p.h"))) << header.toStdString();

    const QString include = prefix.path() + QStringLiteral("/include");
    const Compiler compiler = consumerCompiler(include);
    ASSERT_FALSE(compiler.program.isEmpty()) << "no compiler command for tests/headers/consumer/flags.cpp";

    QStringList stillKnown;
    for (const Verdict &verdict : judge(compiler, include + QStringLiteral("/vorgrd"), headers, prefix.path())) {
        const bool known = knownFailing.contains(verdict.header);
        if (known && verdict.faults.isEmpty())
            ADD_FAILURE() << verdict.header.toStdString()
                          << " passes now: take it off the list of known failing headers";
        else if (!known)
            EXPECT_TRUE(verdict.faults.isEmpty()) << verdict.header.toStdString() << " "
                                                  << verdict.faults.toStdString();
        else
            stillKnown << verdict.header;
    }
    for (const QString &header : knownFailing)
        EXPECT_TRUE(headers.contains(header)) << header.toStdString() << " is listed but not installed";
    if (!stillKnown.isEmpty())
        std::printf("known failing headers, being reworked elsewhere: %s\n", qPrintable(stillKnown.join(u' ')));
}

// The checks themselves must catch what they are for: a compile that cannot fail or a
// scan that never matches would pass every header.
TEST(InstalledHeaders, CompilerCommandRejectsAHeaderThatIsNotSelfContained)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString include = prefix.path() + QStringLiteral("/include");
    ASSERT_TRUE(QDir().mkpath(include + QStringLiteral("/vorgrd/probe")));
    const Compiler compiler = consumerCompiler(include);
    ASSERT_FALSE(compiler.program.isEmpty());
    struct Case
    {
        const char *name;
        const char *text;
        bool compiles;
    } cases[] = {
        {"probe/needsqstring.h", "#pragma once\ninline int size(const QString &s) { return int(s.size()); }\n", false},
        {"probe/hasqstring.h", "#pragma once\n#include <QString>\ninline int size(const QString &s) { return int(s.size()); }\n", true},
        {"probe/base.h", "#pragma once\n#include <QtGlobal>\nQ_DECL_IMPORT int f();\n", true},
        // The installed tree is on the include path under both of its names.
        {"probe/usesinstalled.h", "#pragma once\n#include \"probe/base.h\"\n#include <vorgrd/probe/base.h>\n", true},
        // The source tree, which holds the private headers, is not.
        {"probe/usesuninstalled.h", "#pragma once\n#include \"formulas/vorpars_p.h\"\n", false},
    };
    QStringList names;
    for (const Case &c : cases) {
        QFile file(include + QStringLiteral("/vorgrd/") + QLatin1String(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.text);
        names << QLatin1String(c.name);
    }
    const std::vector<Verdict> verdicts = judge(compiler, include + QStringLiteral("/vorgrd"), names, prefix.path());
    ASSERT_EQ(verdicts.size(), std::size(cases));
    for (size_t i = 0; i < verdicts.size(); ++i)
        EXPECT_EQ(verdicts[i].faults.isEmpty(), cases[i].compiles) << cases[i].name << ": "
                                                                   << verdicts[i].faults.toStdString();
}

TEST(HeaderRules, FindPrivateIncludesAndUsingDirectivesOutsideComments)
{
    struct Case
    {
        const char *text;
        int privateIncludes;
        int directives;
    } cases[] = {
        {"#include \"grid/vorGrid_p.h\"\n", 1, 0},
        {"#  include <private/qobject_p.h>\n", 1, 0},
        {"#include \"host/gridtypes.h\"\n#include <QPointer>\n", 0, 0},
        {"// the state lives in vorGrid_p.h\n", 0, 0},
        {"/* #include \"a_p.h\"\n   using namespace X; */\n", 0, 0},
        {"using namespace GridTypes;\n", 0, 1},
        {"namespace a {\n    using namespace std::literals;\n}\n", 0, 1},
        {"int x; using  namespace Y;\n", 0, 1},
        {"// uic's code compiles without a using namespace\n", 0, 0},
        {"using Clock = int;\nusing enum GridTypes::TGridOption;\nusing GridTypes::TGridOptions;\n", 0, 0},
        {"const char *s = \"using namespace\"; // text, not code\n", 0, 0},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(privateIncludes(text).size(), c.privateIncludes) << c.text;
        EXPECT_EQ(namespaceDirectives(text).size(), c.directives) << c.text;
    }
}

} // namespace
