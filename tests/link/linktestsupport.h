#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace zent5::testing {

// A private XDG_CONFIG_HOME for one test, so that the COM numbers point only
// at the devices the test places in its ports folder.
class PortsFolder {
public:
    PortsFolder()
    {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_hadOld = old != nullptr;
        if (old)
            m_old = old;
        ::setenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit().constData(), 1);
        m_folder = m_dir.path().toStdString() + "/Korvelin/ZT/ports";
        std::filesystem::create_directories(m_folder);
    }
    ~PortsFolder()
    {
        if (m_hadOld)
            ::setenv("XDG_CONFIG_HOME", m_old.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }

    const std::string& path() const { return m_folder; }
    std::string entry(int com) const { return m_folder + "/COM" + std::to_string(com); }
    std::string tempPath(const std::string& name) const { return m_dir.path().toStdString() + "/" + name; }

    void point(int com, const std::string& device) const
    {
        std::filesystem::remove(entry(com));
        std::filesystem::create_symlink(device, entry(com));
    }
    // A link to nowhere: the port is absent, whatever the machine has.
    void block(int com) const { point(com, "/nonexistent/zent5/COM" + std::to_string(com)); }
    void blockAll() const
    {
        for (int n = 1; n <= 38; ++n)
            block(n);
    }

private:
    QTemporaryDir m_dir;
    std::string m_folder;
    std::string m_old;
    bool m_hadOld = false;
};

// zent5-sim as a child process; stopped when this object goes.
class Simulator {
public:
    explicit Simulator(const QStringList& args)
    {
        m_process.setProgram(QStringLiteral(ZENT5_BINARY_DIR "/tools/sim/zent5-sim"));
        m_process.setArguments(args);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        if (!m_process.waitForStarted(10000))
            return;
        QElapsedTimer t;
        t.start();
        while (!m_process.canReadLine() && t.elapsed() < 10000)
            m_process.waitForReadyRead(100);
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed().toStdString();
    }
    ~Simulator()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }

    bool ok() const { return !m_device.empty(); }
    const std::string& device() const { return m_device; }
    bool running() { return m_process.state() == QProcess::Running; }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

private:
    QProcess m_process;
    std::string m_device;
};

// Runs the event loop until the condition holds or the time-out passes.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 15000)
{
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ::usleep(1000);
    }
    return true;
}

inline std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace zent5::testing
