#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

// zorv-demo-server as a test starts it: on a free loopback port, serving the demo database of
// the test's own folder, stopped when the object goes.
class DemoServerProcess
{
public:
    ~DemoServerProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // options: the server's own, such as {"--idle-timeout", "1"}.
    bool start(const QString& home, const QStringList& options, QString* error)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZORV_HOME"), home);
        env.remove(QStringLiteral("ZORV_DEMO_SCALE"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QStringLiteral(ZORV_DEMO_SERVER),
                        QStringList{QStringLiteral("--port"), QStringLiteral("0")} + options);
        if (!m_process.waitForStarted()) {
            *error = m_process.errorString();
            return false;
        }
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(60000)) {
                *error = QString::fromUtf8(m_process.readAllStandardError());
                return false;
            }
        }
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^listening on (http://127\\.0\\.0\\.1:[1-9]\\d*)$"))
                .match(line);
        if (!match.hasMatch()) {
            *error = line;
            return false;
        }
        m_url = match.captured(1);
        return true;
    }

    const QString& url() const { return m_url; }
    quint16 port() const { return static_cast<quint16>(QUrl(m_url).port()); }
    qint64 pid() const { return m_process.processId(); }
    bool running() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
    QString m_url;
};
