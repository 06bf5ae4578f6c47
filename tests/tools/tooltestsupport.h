#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zent5::testing {

inline const QString kToolProgram = QStringLiteral(ZENT5_BINARY_DIR "/tools/zent5-tool");
inline const QString kSimulatorProgram = QStringLiteral(ZENT5_BINARY_DIR "/tools/sim/zent5-sim");

struct ProgramRun {
    int code = -1;
    std::string out;
    std::string err;
};

// One folder per test: the tables, a configuration folder whose ports
// folder leads every COM number nowhere until a test points one at a device,
// so the machine's own serial ports never take part, and a data folder for
// the journal of downloads, so the user's own journal never does either.
class ToolFolder {
public:
    ToolFolder()
    {
        std::filesystem::create_directories(portsFolder());
        for (int n = 1; n <= 38; ++n)
            block(n);
    }

    std::string path(const std::string& name) const { return m_dir.path().toStdString() + "/" + name; }
    std::string configHome() const { return path("config"); }
    std::string portsFolder() const { return configHome() + "/Korvelin/ZT/ports"; }
    std::string portEntry(int com) const { return portsFolder() + "/COM" + std::to_string(com); }
    const std::string& dataHome() const { return m_dataHome; }
    std::string journalFolder() const { return m_dataHome + "/Korvelin/ZT/journal"; }
    // The programs started after this keep their data there.
    void setDataHome(const std::string& folder) { m_dataHome = folder; }

    void point(int com, const std::string& device) const
    {
        std::filesystem::remove(portEntry(com));
        std::filesystem::create_symlink(device, portEntry(com));
    }
    void block(int com) const { point(com, path("absent/COM" + std::to_string(com))); }

    // The environment the programs start in; under `locale` when one is named.
    QProcessEnvironment environment(const char* locale = nullptr) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(configHome()));
        env.insert("XDG_DATA_HOME", QString::fromStdString(m_dataHome));
        if (locale)
            env.insert("LC_ALL", QString::fromLatin1(locale));
        return env;
    }

    ProgramRun run(const QString& program, const QStringList& args, int timeoutMs = 60000,
                   const char* locale = nullptr) const
    {
        QProcess p;
        p.setProcessEnvironment(environment(locale));
        p.setWorkingDirectory(m_dir.path());
        p.start(program, args);
        ProgramRun r;
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished(5000);
            r.err = "did not finish: " + p.readAllStandardError().toStdString();
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        return r;
    }
    ProgramRun tool(const QStringList& args, const char* locale = nullptr) const
    {
        return run(kToolProgram, args, 60000, locale);
    }
    // `zent5-tool rows`: the header line, then one CSV line per row.
    std::string rows(const std::string& table) const
    {
        const ProgramRun r = tool({"rows", QString::fromStdString(table)});
        EXPECT_EQ(r.code, 0) << r.err;
        return r.out;
    }

    // The names in the folder, the configuration and data folders left out.
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_dir.path().toStdString()))
            if (e.path().filename() != "config" && e.path().filename() != "data")
                names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    QTemporaryDir m_dir;
    std::string m_dataHome = path("data");
};

// zent5-sim as a child process, placed in the folder's ports as COM<com>
// (0: not placed); stopped when this object goes.
class SimulatorProcess {
public:
    SimulatorProcess(const ToolFolder& folder, int com, QStringList args)
    {
        if (com > 0)
            args << "--com" << QString::number(com);
        m_process.setProcessEnvironment(folder.environment());
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(kSimulatorProgram, args);
        if (!m_process.waitForStarted(10000))
            return;
        QElapsedTimer t;
        t.start();
        while (!m_process.canReadLine() && m_process.state() == QProcess::Running && t.elapsed() < 10000)
            m_process.waitForReadyRead(100);
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed().toStdString();
    }
    ~SimulatorProcess()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool ok() const { return !m_device.empty(); }
    const std::string& device() const { return m_device; }

private:
    QProcess m_process;
    std::string m_device;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace zent5::testing
