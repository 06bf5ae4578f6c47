#include "link/tform2.h"
#include "tools/sim/archivegenerator.h"

#include "journal/datafolder.h"
#include "journal/moment.h"
#include "journal/verificationdates.h"
#include "tests/common/scopeddatahome.h"
#include "tests/common/scriptedprompter.h"
#include "tests/link/linktestsupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

namespace zent5 {
namespace {

const QString kWrongInstrument = QStringLiteral("Вы подключили не тот прибор !");

// The download window over a simulator in the ports folder. The window's
// 3000 ms wait before the search is cut short; every run has a watchdog.
class DownloadWindowTest : public ::testing::Test {
protected:
    DownloadWindowTest() { form.session().setSearchDelayForTesting(100); }

    // Starts a simulator at COM<com>; the remaining arguments are its options.
    std::unique_ptr<testing::Simulator> simulator(int com, QStringList args = {})
    {
        args << "--com" << QString::number(com);
        auto sim = std::make_unique<testing::Simulator>(args);
        EXPECT_TRUE(sim->ok()) << sim->errors().toStdString();
        return sim;
    }

    // exec() with `during` called on every turn of the event loop until it
    // returns true; a run that does not end within the time-out is cancelled.
    int run(std::function<bool()> during = {}, int timeoutMs = 20000)
    {
        QTimer watch;
        QElapsedTimer since;
        since.start();
        bool duringDone = !during;
        QObject::connect(&watch, &QTimer::timeout, &form, [&] {
            if (!duringDone)
                duringDone = during();
            if (since.elapsed() > timeoutMs) {
                timedOut = true;
                form.Button1Click();
            }
        });
        watch.start(5);
        return form.exec();
    }

    testing::PortsFolder ports;
    // The due dates the window reads are the test's own.
    testing::ScopedDataHome data;
    testing::ScriptedPrompter prompter;
    ArchiveImage archive;
    TForm2 form{prompter, archive};
    bool timedOut = false;
};

std::vector<uint8_t> imageOf(const TForm2& form)
{
    const ArchiveImage& a = form.archive();
    return {a.bytes.begin(), a.bytes.begin() + static_cast<long>(a.decodedLength)};
}

TEST_F(DownloadWindowTest, LayoutAndTextsBeforeShowing)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Прием данных"));
    EXPECT_EQ(form.size(), QSize(490, 245));
    EXPECT_EQ(form.StaticText2->text(), QStringLiteral("Ожидание готовности прибора ..."));
    EXPECT_TRUE(form.StaticText2->font().bold());
    EXPECT_EQ(form.ProgressBar1->minimum(), 0);
    EXPECT_EQ(form.ProgressBar1->maximum(), 100);
    EXPECT_EQ(form.GroupBox1->title(), QStringLiteral("Информация"));
    EXPECT_EQ(form.Button1->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(form.CheckBox1->text(), QStringLiteral("Сохранить двоичный файл"));
    EXPECT_TRUE(form.CheckBox1->isHidden());
    QStringList captions;
    for (const QLabel* l : form.GroupBox1->findChildren<QLabel*>())
        captions << l->text();
    EXPECT_TRUE(captions.contains(QStringLiteral("Тип прибора:")));
    EXPECT_TRUE(captions.contains(QStringLiteral("Версия ПО:")));
    EXPECT_TRUE(captions.contains(QStringLiteral("Количество записей:")));
    // Top to bottom: status, bar, search text, group, then the button at the bottom right.
    EXPECT_LT(form.StaticText2->y(), form.ProgressBar1->y());
    EXPECT_LT(form.ProgressBar1->y(), form.Label1->y());
    EXPECT_LT(form.Label1->y(), form.GroupBox1->y());
    EXPECT_LT(form.GroupBox1->geometry().bottom(), form.Button1->y());
    EXPECT_GT(form.Button1->x(), 490 / 2);
}

TEST_F(DownloadWindowTest, FoundOnCom1)
{
    auto sim = simulator(1, {"--records", "5", "--serial", "4321", "--model", "25", "--version", "10.10.14"});
    EXPECT_EQ(run(), 1);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(imageOf(form), sim::generateArchive({.recordCount = 5}));
    EXPECT_EQ(form.archive().serialNumber, 4321);
    EXPECT_EQ(form.archive().versionText, "10.10.14");
    EXPECT_EQ(form.archive().kind, 1);
    EXPECT_EQ(form.archive().model, 25);
    EXPECT_EQ(form.StaticText1->text(), QStringLiteral("10.10.14"));
    EXPECT_EQ(form.StaticText5->text(), QStringLiteral("вид 1, модель 25"));
    EXPECT_EQ(form.StaticText7->text(), QStringLiteral("5"));
    EXPECT_EQ(form.StaticText2->text(), QStringLiteral("Идет прием информации ..."));
    EXPECT_EQ(form.ProgressBar1->value(), 100);
    EXPECT_EQ(form.Label1->text(), QString()); // no search was needed
    EXPECT_FALSE(form.SerialPortDriver1().IsOpen());
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(prompter.dialogs.empty()); // the dump option stays off
}

// Once the instrument has told who it is, an overdue verification is told
// on a line of its own; the download goes on whatever the dates say.
TEST_F(DownloadWindowTest, OverdueVerificationIsToldAndTheDownloadGoesOn)
{
    using std::chrono::days;
    const auto today = std::chrono::sys_days(journal::localDay(journal::now()));
    const journal::Day yesterday(today - days(1));
    const struct {
        const char* name;
        std::optional<journal::Day> due; // of the instrument 4242, model 25
        bool damaged;
        std::string line;
    } cases[] = {
        {"past", yesterday, false,
         "Поверка прибора № 4242 просрочена (до " + journal::shownDayText(yesterday) + ")"},
        {"today", journal::Day(today), false, ""},
        {"tomorrow", journal::Day(today + days(1)), false, ""},
        {"no date", std::nullopt, false, ""},
        {"damaged dates", std::nullopt, true, "Не удалось прочитать сроки поверки приборов"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        journal::VerificationDates dates;
        dates.setDueDate({25, 4242}, c.due);
        journal::saveVerificationDates(data.datesFile(), dates);
        if (c.damaged)
            std::ofstream(data.datesFile(), std::ios::app) << "tail";
        // Slow enough for the line to be seen while the archive arrives.
        auto sim = simulator(1, {"--records", "3", "--serial", "4242", "--model", "25", "--chunk", "16",
                                 "--chunk-delay", "40"});
        QString lineWhileReceiving;
        EXPECT_EQ(run([&] {
                      if (form.StaticText1->text().isEmpty())
                          return false;
                      lineWhileReceiving = form.Label2->text();
                      return true;
                  }),
                  1);
        EXPECT_FALSE(timedOut);
        EXPECT_EQ(lineWhileReceiving.toStdString(), c.line);
        EXPECT_EQ(form.Label2->text().toStdString(), c.line);
        EXPECT_EQ(imageOf(form), sim::generateArchive({.recordCount = 3}));
        EXPECT_TRUE(prompter.messages.empty());
    }
}

TEST_F(DownloadWindowTest, SearchFindsTheInstrumentOnALaterNumber)
{
    // COM1 cannot be opened; COM2 opens but stays silent to the probe.
    ports.blockAll();
    auto silent = simulator(2, {"--silent"});
    auto sim = simulator(5, {"--records", "2"});
    QStringList searchTexts;
    QObject::connect(&form.session(), &DownloadSession::searchTextChanged, &form,
                     [&](const QString& t) { searchTexts << t; });
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(imageOf(form), sim::generateArchive({.recordCount = 2}));
    const QString com5 = QStringLiteral("\\\\.\\COM5 (%1)").arg(QString::fromStdString(ports.entry(5)));
    ASSERT_EQ(searchTexts.size(), 6);
    EXPECT_EQ(searchTexts[0], QStringLiteral("Поиск прибора....ComPort №\\\\.\\COM1 (%1)")
                                  .arg(QString::fromStdString(ports.entry(1))));
    EXPECT_EQ(searchTexts[4], QStringLiteral("Поиск прибора....ComPort №") + com5);
    // The search ends on the port that answered; later ports are not tried.
    EXPECT_EQ(searchTexts[5], QStringLiteral("Прибор найден ComPort №") + com5);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Прибор найден ComPort №") + com5);
    EXPECT_EQ(form.SerialPortDriver1().PortName(), "\\\\.\\COM5");
    EXPECT_TRUE(prompter.messages.empty());
}

// The device behind a port goes away (unplugged adapter) after the window
// opened and before the search reaches it: the search passes over it, and
// the window tells the user when nothing else answers.
TEST_F(DownloadWindowTest, PortThatVanishesBeforeTheSearchIsPassedOver)
{
    for (const bool another : {false, true}) {
        SCOPED_TRACE(another ? "instrument on COM4" : "nothing else");
        ports.blockAll();
        auto vanishing = simulator(2, {"--records", "3"});
        auto sim = another ? simulator(4, {"--records", "2"}) : nullptr;
        QStringList searchTexts;
        const auto seen = QObject::connect(&form.session(), &DownloadSession::searchTextChanged, &form,
                                           [&](const QString& t) { searchTexts << t; });
        int ticksAfterGone = 0;
        const int result = run([&] {
            if (vanishing) {
                vanishing.reset(); // the pseudo-terminal closes: COM2 now leads nowhere
                return false;
            }
            ++ticksAfterGone;
            return !form.isVisible();
        });
        QObject::disconnect(seen);
        EXPECT_FALSE(timedOut);
        EXPECT_GT(ticksAfterGone, 0);
        // The search went on past the port that vanished.
        const QString com2 = QStringLiteral("Поиск прибора....ComPort №\\\\.\\COM2");
        EXPECT_TRUE(std::any_of(searchTexts.begin(), searchTexts.end(),
                                [&](const QString& t) { return t.startsWith(com2); }))
            << searchTexts.join(QStringLiteral(" | ")).toStdString();
        EXPECT_GT(searchTexts.size(), 2);
        EXPECT_FALSE(form.SerialPortDriver1().IsOpen());
        if (another) {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(imageOf(form), sim::generateArchive({.recordCount = 2}));
            EXPECT_EQ(form.SerialPortDriver1().PortName(), "\\\\.\\COM4");
            EXPECT_TRUE(prompter.messages.empty());
        } else {
            EXPECT_EQ(result, 2);
            EXPECT_EQ(form.archive().decodedLength, 0u);
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_EQ(prompter.messages[0].text,
                      "Прибор не обнаружен! Проверте правильность подключения согласно инструкции!");
        }
        prompter.messages.clear();
    }
}

TEST_F(DownloadWindowTest, NoInstrumentAnywhere)
{
    ports.blockAll();
    EXPECT_EQ(run(), 2);
    EXPECT_FALSE(timedOut);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Ошибка");
    EXPECT_EQ(prompter.messages[0].text,
              "Прибор не обнаружен! Проверте правильность подключения согласно инструкции!");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(form.Label1->text(), QString());
    EXPECT_EQ(form.SerialPortDriver1().PortName(), "\\\\.\\COM1");
    EXPECT_EQ(form.ProgressBar1->value(), 0);
}

TEST_F(DownloadWindowTest, SilentCom1IsWaitedOnUntilCancel)
{
    ports.blockAll();
    auto silent = simulator(1, {"--silent"});
    auto other = simulator(2); // would answer, but there is no search
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(run([&] {
                  if (t.elapsed() < 600)
                      return false;
                  form.Button1->click();
                  return true;
              }),
              2);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(form.Label1->text(), QString());
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(form.SerialPortDriver1().IsOpen());
}

struct InstrumentCase {
    int kind, model, result;
};

class WrongInstrumentTest : public DownloadWindowTest,
                            public ::testing::WithParamInterface<InstrumentCase> {};

TEST_P(WrongInstrumentTest, KindAndModelAreChecked)
{
    const InstrumentCase c = GetParam();
    auto sim = simulator(1, {"--kind", QString::number(c.kind), "--model", QString::number(c.model)});
    EXPECT_EQ(run(), c.result);
    EXPECT_EQ(form.archive().kind, c.kind);
    EXPECT_EQ(form.archive().model, c.model);
    EXPECT_FALSE(form.SerialPortDriver1().IsOpen());
    if (c.result == 1) {
        EXPECT_TRUE(prompter.messages.empty());
        return;
    }
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kWrongInstrument.toStdString());
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(form.archive().decodedLength, 0u);
}

INSTANTIATE_TEST_SUITE_P(Instruments, WrongInstrumentTest,
                         ::testing::Values(InstrumentCase{1, 25, 1}, InstrumentCase{1, 23, 2},
                                           InstrumentCase{1, 26, 2}, InstrumentCase{0, 24, 2},
                                           InstrumentCase{2, 24, 2}),
                         [](const auto& info) {
                             return "kind" + std::to_string(info.param.kind) + "model" +
                                    std::to_string(info.param.model);
                         });

TEST_F(DownloadWindowTest, ProbeLetterMidTransferRestartsWithIdentification)
{
    auto sim = simulator(1, {"--records", "20", "--z-after", "60"});
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(imageOf(form), sim::generateArchive({.recordCount = 20}));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DownloadWindowTest, ChunkedNoisyReplyDecodesLikeAWholeOne)
{
    const QStringList archive = {"--records", "7", "--record-size", "13", "--serial", "99"};
    std::vector<uint8_t> whole;
    {
        auto sim = simulator(1, archive);
        ASSERT_EQ(run(), 1);
        whole = imageOf(form);
    }
    auto sim = simulator(1, archive + QStringList{"--chunk", "1", "--chunk-delay", "1", "--noise", "5"});
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(imageOf(form), whole);
    EXPECT_EQ(whole, sim::generateArchive({.recordCount = 7, .recordSize = 13}));
    EXPECT_EQ(form.archive().serialNumber, 99);
}

TEST_F(DownloadWindowTest, StartDirectlyFollowedByEndGivesNoBytesAndOk)
{
    const std::string empty = ports.tempPath("empty.bin");
    { std::ofstream(empty, std::ios::binary); }
    auto sim = simulator(1, {"--image", QString::fromStdString(empty)});
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(form.archive().decodedLength, 0u);
    EXPECT_EQ(form.ProgressBar1->value(), 100);
}

TEST_F(DownloadWindowTest, CancelDuringTheTransfer)
{
    auto sim = simulator(1, {"--records", "400", "--chunk", "16", "--chunk-delay", "10"});
    EXPECT_EQ(run([&] {
                  if (form.ProgressBar1->value() < 2)
                      return false;
                  EXPECT_EQ(form.StaticText7->text(), QStringLiteral("400"));
                  form.Button1->click();
                  return true;
              }),
              2);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(form.ProgressBar1->value(), 0);
    EXPECT_EQ(form.archive().decodedLength, 0u);
    EXPECT_FALSE(form.SerialPortDriver1().IsOpen());
    EXPECT_TRUE(prompter.messages.empty());
}

// "Отмена" in the middle of an archive, and the next download at once: the
// instrument is still sending the old archive, and its tail with the closing
// "P" arrives before the new identification. It is passed over, the
// identification of the last download is not shown meanwhile, and the new
// download gets the whole archive.
TEST_F(DownloadWindowTest, RetryRightAfterCancelWhileTheArchiveStillArrives)
{
    auto sim = simulator(1, {"--records", "2000", "--chunk", "200", "--chunk-delay", "5"});
    ASSERT_EQ(run([&] {
                  if (form.ProgressBar1->value() < 5)
                      return false;
                  EXPECT_EQ(form.StaticText5->text(), QStringLiteral("вид 1, модель 24"));
                  form.Button1->click();
                  return true;
              }),
              2);
    QStringList kindsShown;
    EXPECT_EQ(run([&] {
                  kindsShown << form.StaticText5->text();
                  return false;
              }),
              1);
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageLines()[0];
    ASSERT_FALSE(kindsShown.isEmpty());
    EXPECT_EQ(kindsShown.front(), QString()) << "the last download's identification was shown";
    EXPECT_EQ(imageOf(form), sim::generateArchive({.recordCount = 2000}));
    EXPECT_EQ(form.StaticText5->text(), QStringLiteral("вид 1, модель 24"));
}

TEST_F(DownloadWindowTest, HangUpMidTransferLeavesTheWindowResponsive)
{
    auto sim = simulator(1, {"--records", "100", "--chunk", "50", "--chunk-delay", "5", "--hangup-after", "400"});
    int ticksAfterLoss = 0;
    EXPECT_EQ(run([&] {
                  if (form.StaticText2->text() != QStringLiteral("Связь с прибором потеряна !"))
                      return false;
                  // Still turning the event loop and showing; only "Отмена" ends it.
                  if (++ticksAfterLoss < 20)
                      return false;
                  EXPECT_TRUE(form.isVisible());
                  form.Button1->click();
                  return true;
              }),
              2);
    EXPECT_FALSE(timedOut);
    EXPECT_GE(ticksAfterLoss, 20);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(form.archive().decodedLength, 0u);
}

TEST_F(DownloadWindowTest, EscapeEndsLikeCancel)
{
    auto silent = simulator(1, {"--silent"});
    EXPECT_EQ(run([&] {
                  form.reject();
                  return true;
              }),
              2);
    EXPECT_FALSE(form.SerialPortDriver1().IsOpen());
}

TEST_F(DownloadWindowTest, ShownAgainStartsAfresh)
{
    auto sim = simulator(1, {"--records", "4"});
    ASSERT_EQ(run(), 1);
    form.CheckBox1->setChecked(true); // unchecked again when shown
    sim.reset();
    auto wrong = simulator(1, {"--model", "26"});
    EXPECT_EQ(run(), 2);
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_TRUE(prompter.dialogs.empty());
    // The archive of the earlier download stays.
    EXPECT_EQ(imageOf(form), sim::generateArchive({.recordCount = 4}));
}

} // namespace
} // namespace zent5
