#pragma once
// Collects what qWarning writes while it lives, for tests of what the library reports.
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>

namespace vorgrd::test {

class WarningCapture
{
public:
    WarningCapture() { m_previous = qInstallMessageHandler(&WarningCapture::handle); current() = this; }
    ~WarningCapture()
    {
        qInstallMessageHandler(m_previous);
        current() = nullptr;
    }
    QStringList messages;
    bool contains(const QString &part) const
    {
        return std::any_of(messages.begin(), messages.end(),
                           [&](const QString &m) { return m.contains(part); });
    }

private:
    static WarningCapture *&current()
    {
        static WarningCapture *capture = nullptr;
        return capture;
    }
    static void handle(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtWarningMsg && current()) current()->messages << message;
    }
    QtMessageHandler m_previous = nullptr;
};

} // namespace vorgrd::test
