#pragma once
// The rules the header test applies to a header's text, apart so that their own cases
// can check them.
#include <QDirIterator>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace vorgrd::testing {

// The text with comments and the contents of string and character literals blanked
// (line breaks kept), except the file names of #include lines.
inline QString codeOnly(const QString &text)
{
    QString out = text;
    enum { Code, Line, Block, String, Char } state = Code;
    bool directive = false, lineStart = true;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out[i];
        const QChar next = i + 1 < out.size() ? out[i + 1] : QChar();
        if (c == u'\n') {
            if (state == Line) state = Code;
            directive = false;
            lineStart = true;
            continue;
        }
        switch (state) {
        case Code:
            if (lineStart && !c.isSpace()) directive = c == u'#';
            if (c == u'/' && next == u'/') {
                state = Line;
                out[i] = u' ';
            } else if (c == u'/' && next == u'*') {
                state = Block;
                out[i] = out[i + 1] = u' ';
                ++i;
            } else if (!directive && c == u'"') {
                state = String;
            } else if (!directive && c == u'\'') {
                state = Char;
            }
            break;
        case Line:
            out[i] = u' ';
            break;
        case Block:
            out[i] = u' ';
            if (c == u'*' && next == u'/') {
                out[++i] = u' ';
                state = Code;
            }
            break;
        case String:
        case Char:
            if (c == u'\\') {
                out[i] = u' ';
                if (next != u'\n' && i + 1 < out.size()) out[++i] = u' ';
            } else if (c == (state == String ? u'"' : u'\'')) {
                state = Code;
            } else {
                out[i] = u' ';
            }
            break;
        }
        if (!c.isSpace()) lineStart = false;
    }
    return out;
}

inline QStringList linesMatching(const QString &text, const QRegularExpression &pattern)
{
    QStringList found;
    const QStringList lines = codeOnly(text).split(u'\n');
    for (const QString &line : lines)
        if (pattern.match(line).hasMatch()) found << line.trimmed();
    return found;
}

// The #include lines that name a private header (*_p.h, ours or Qt's).
inline QStringList privateIncludes(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*#\s*include\s*[<"][^>"]*_p\.h[>"])"));
    return linesMatching(text, pattern);
}

// The lines with a using-directive (`using namespace ...`) in code.
inline QStringList namespaceDirectives(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(\busing\s+namespace\b)"));
    return linesMatching(text, pattern);
}

inline QStringList filesUnder(const QString &root, const QString &nameFilter)
{
    QStringList files;
    QDirIterator it(root, {nameFilter}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

} // namespace vorgrd::testing
