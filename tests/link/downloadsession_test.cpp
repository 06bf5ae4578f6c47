#include "link/downloadsession.h"
#include "tools/sim/archivegenerator.h"

#include "tests/common/scriptedprompter.h"
#include "tests/link/linktestsupport.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace zent5 {
namespace {

// The window-less session, as the command-line tool runs it.
class DownloadSessionTest : public ::testing::Test {
protected:
    DownloadSessionTest() { session.setSearchDelayForTesting(100); }

    std::unique_ptr<testing::Simulator> simulator(int com, QStringList args = {})
    {
        args << "--com" << QString::number(com);
        auto sim = std::make_unique<testing::Simulator>(args);
        EXPECT_TRUE(sim->ok()) << sim->errors().toStdString();
        return sim;
    }

    testing::PortsFolder ports;
    testing::ScriptedPrompter prompter;
    ArchiveImage archive;
    DownloadSession session{prompter, archive};
};

TEST_F(DownloadSessionTest, RunsWithoutAWindow)
{
    auto sim = simulator(1, {"--records", "3", "--serial", "7"});
    EXPECT_EQ(session.run(20000), DownloadResult::Received);
    EXPECT_FALSE(session.timedOut());
    EXPECT_EQ(session.archive().serialNumber, 7);
    EXPECT_EQ(session.archive().port, "\\\\.\\COM1") << "the port the archive came through";
    const auto expected = sim::generateArchive({});
    ASSERT_EQ(session.archive().decodedLength, expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), session.archive().bytes.begin()));
}

TEST_F(DownloadSessionTest, TimeOutCancels)
{
    auto silent = simulator(1, {"--silent"});
    std::vector<std::string> statuses;
    QObject::connect(&session, &DownloadSession::statusTextChanged,
                     [&](const QString& text) { statuses.push_back(text.toStdString()); });
    EXPECT_EQ(session.run(300), DownloadResult::Cancelled);
    EXPECT_TRUE(session.timedOut());
    EXPECT_FALSE(session.driver().IsOpen());
    EXPECT_TRUE(prompter.messages.empty());
    // The port stays open and waited on, and the window says why nothing happens.
    EXPECT_EQ(statuses, (std::vector<std::string>{"Ожидание готовности прибора ...", "Прибор не отвечает ..."}));
}

// An instrument that falls silent in the middle of its archive: the window
// says so and keeps waiting (there is no overall time-out), and takes the
// receiving text back when the rest arrives.
TEST_F(DownloadSessionTest, SilenceInTheArchiveIsShown)
{
    struct Case {
        const char* name;
        QStringList options;
        DownloadResult result;
        std::vector<std::string> statuses;
    };
    const Case cases[] = {
        {"stops (for longer than the test waits)",
         {"--records", "200", "--chunk", "300", "--chunk-delay", "2500"},
         DownloadResult::Cancelled,
         {"Ожидание готовности прибора ...", "Идет прием информации ...", "Прибор не отвечает ..."}},
        {"pauses, then goes on",
         {"--records", "20", "--chunk", "300", "--chunk-delay", "800"},
         DownloadResult::Received,
         {"Ожидание готовности прибора ...", "Идет прием информации ...", "Прибор не отвечает ...",
          "Идет прием информации ..."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto sim = simulator(1, c.options);
        ArchiveImage image;
        DownloadSession s{prompter, image};
        s.setSearchDelayForTesting(100);
        s.setSilenceNoticeForTesting(300);
        std::vector<std::string> statuses;
        QObject::connect(&s, &DownloadSession::statusTextChanged,
                         [&](const QString& text) { statuses.push_back(text.toStdString()); });
        EXPECT_EQ(s.run(c.result == DownloadResult::Received ? 20000 : 1200), c.result);
        // A pause may come more than once before the end; each ends the same way.
        statuses.erase(std::unique(statuses.begin(), statuses.end()), statuses.end());
        if (c.result == DownloadResult::Received)
            statuses.resize(std::min<size_t>(statuses.size(), c.statuses.size()));
        EXPECT_EQ(statuses, c.statuses);
        EXPECT_TRUE(prompter.messages.empty());
    }
}

TEST_F(DownloadSessionTest, MessagesGoThroughThePrompter)
{
    ports.blockAll();
    EXPECT_EQ(session.run(20000), DownloadResult::NotFound);
    EXPECT_FALSE(session.timedOut());
    EXPECT_EQ(prompter.messageLines(),
              std::vector<std::string>{
                  "Ошибка: Прибор не обнаружен! Проверте правильность подключения согласно инструкции!"});
}

TEST_F(DownloadSessionTest, DumpFileHoldsTheDecodedImage)
{
    auto sim = simulator(1, {"--records", "6", "--record-size", "20"});
    const std::string dump = ports.tempPath("archive.bin");
    prompter.files.push_back(dump);
    session.setSaveBinaryFile(true);
    ASSERT_EQ(session.run(20000), DownloadResult::Received);
    ASSERT_EQ(prompter.dialogs.size(), 1u);
    EXPECT_TRUE(prompter.dialogs[0].save);
    EXPECT_EQ(prompter.dialogs[0].request.filter, "Двоичные файлы|*.bin");
    EXPECT_EQ(prompter.dialogs[0].request.filterIndex, 1);
    EXPECT_EQ(prompter.dialogs[0].request.defaultExtension, ".bin");
    EXPECT_EQ(prompter.dialogs[0].request.fileName, "");
    EXPECT_EQ(testing::readBytes(dump), sim::generateArchive({.recordCount = 6, .recordSize = 20}));

    // The dump served back by the simulator downloads the same image.
    auto again = simulator(2, {"--image", QString::fromStdString(dump)});
    ports.block(1);
    session.setSaveBinaryFile(false);
    ASSERT_EQ(session.run(20000), DownloadResult::Received);
    EXPECT_EQ(session.archive().decodedLength, 4u + 6 * 20);
}

TEST_F(DownloadSessionTest, DumpDialogCancelledOrFileUnwritable)
{
    auto sim = simulator(1);
    session.setSaveBinaryFile(true);
    prompter.files.push_back(std::nullopt);
    EXPECT_EQ(session.run(20000), DownloadResult::Received);
    EXPECT_TRUE(prompter.messages.empty());

    const std::string bad = ports.tempPath("no/such/folder/a.bin");
    prompter.files.push_back(bad);
    EXPECT_EQ(session.run(20000), DownloadResult::Received); // the archive itself arrived
    EXPECT_EQ(prompter.messageLines(), std::vector<std::string>{"Ошибка: Не удалось записать файл " + bad});
    EXPECT_FALSE(std::filesystem::exists(bad));
}

// A port that is always there and answers the identification request with
// a reply too short to be an identification, as a wrong device may send.
class AnswersWrongly : public SerialDevice {
public:
    int opens = 0;

    bool open(const std::string&) override
    {
        ++opens;
        return m_open = true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool configure(const LineSettings&) override { return m_open; }
    bool purge(bool, bool) override { return m_open; }
    bool setQueueSizes(uint32_t, uint32_t) override { return m_open; }
    long pendingInput() override { return m_open ? long(m_input.size()) : -1; }
    long pendingOutput() override { return m_open ? 0 : -1; }
    long read(uint8_t* buffer, size_t size) override
    {
        if (!m_open)
            return -1;
        const size_t n = std::min(size, m_input.size());
        std::copy_n(m_input.begin(), n, buffer);
        m_input.erase(0, n);
        return long(n);
    }
    long write(const uint8_t* data, size_t size) override
    {
        if (!m_open)
            return -1;
        for (size_t i = 0; i < size; ++i)
            if (data[i] == 'V')
                m_input += "S10P";
        return long(size);
    }
    unsigned modemLines() override { return 0; }
    bool hungUp() override { return false; }
    void waitForInput(int ms) override { ::usleep(useconds_t(ms) * 1000); }

private:
    bool m_open = false;
    std::string m_input;
};

// An error box the user leaves on screen: its own event loop runs for a
// while, as a modal box's does, and timers go on firing under it.
class BoxLeftOpen : public testing::ScriptedPrompter {
public:
    explicit BoxLeftOpen(int ms) : m_ms(ms) {}
    MessageAnswer message(const std::string& caption, const std::string& text, MessageIcon icon,
                          MessageButtons buttons) override
    {
        QEventLoop loop;
        QTimer::singleShot(m_ms, &loop, &QEventLoop::quit);
        loop.exec();
        return ScriptedPrompter::message(caption, text, icon, buttons);
    }

private:
    int m_ms;
};

TEST(DownloadSessionPort, AnErrorBoxLeftOpenPastTheSearchDelayLeavesThePortClosed)
{
    BoxLeftOpen prompter(600);
    auto device = std::make_unique<AnswersWrongly>();
    const AnswersWrongly& port = *device;
    ArchiveImage archive;
    DownloadSession session(prompter, archive, std::make_unique<SerialPortDriver>(std::move(device)));
    session.setSearchDelayForTesting(100);

    EXPECT_EQ(session.run(10000), DownloadResult::WrongInstrument);
    EXPECT_FALSE(session.timedOut());
    EXPECT_EQ(prompter.messageLines(), std::vector<std::string>{"Ошибка: Вы подключили не тот прибор !"});
    testing::waitUntil([] { return false; }, 300);
    EXPECT_FALSE(port.isOpen()) << "the port is let go with the window";
    EXPECT_EQ(port.opens, 1) << "no search or reopening behind the box";
}

} // namespace
} // namespace zent5
