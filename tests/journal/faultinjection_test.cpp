// Every write and rename of the journal's files is failed in turn; whatever
// step fails, the operation raises its one error and the files on disk are
// the ones from before, without a part of the new one beside them.
#include "journaltestsupport.h"

#include "common/faultprobe.h"

#include "journal/archivedump.h"
#include "journal/verificationdates.h"
#include "records/error.h"

#include <cerrno>
#include <functional>

using namespace zent5;
using namespace zent5::journal;
using zent5::testing::kMarch5;
using zent5::testing::sampleEntry;

namespace {

using Step = zent5::testing::FaultStep;

const char* stepName(Step step) { return step == Step::Write ? "write" : "rename"; }

// The error number the file seam gives for an injected fault.
int injectedError(Step step) { return step == Step::Write ? ENOSPC : EIO; }

} // namespace

class JournalFaultInjection : public zent5::testing::JournalFolder {
protected:
    struct Operation {
        const char* name;
        std::function<void()> prepare; // the files as they are before
        std::function<void()> run;
        std::function<std::string(Step)> error; // what a failed step raises
    };

    // Everything in the test's folder, name and bytes.
    std::map<std::string, std::vector<uint8_t>> snapshot() const
    {
        std::map<std::string, std::vector<uint8_t>> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(m_dir))
            if (e.is_regular_file())
                files[std::filesystem::relative(e.path(), m_dir).string()] = readBytes(e.path().string());
        return files;
    }

    std::vector<Operation> operations()
    {
        const std::string dates = path("data/instruments.dat");
        const std::string dump = path("archive.bin");
        return {
            {"journal entry",
             [this] {
                 Journal journal(journalDir());
                 for (int i = 0; i < 2; ++i) {
                     Entry e = sampleEntry(321, kMarch5 + i);
                     journal.add(e);
                 }
             },
             [this] {
                 Entry e = sampleEntry(321, kMarch5 + 2);
                 Journal(journalDir()).add(e);
             },
             [this](Step step) {
                 return "Не удалось записать файл журнала " + entryFile("20240305-100002-00321-01") + ": " +
                        fileio::errorText(injectedError(step));
             }},
            {"journal entry past the limit",
             [this] {
                 Journal journal(journalDir(), {2, 1 << 30});
                 for (int i = 0; i < 2; ++i) {
                     Entry e = sampleEntry(321, kMarch5 + i);
                     journal.add(e);
                 }
             },
             [this] {
                 Entry e = sampleEntry(321, kMarch5 + 2);
                 Journal(journalDir(), {2, 1 << 30}).add(e);
             },
             [this](Step step) {
                 return "Не удалось записать файл журнала " + entryFile("20240305-100002-00321-01") + ": " +
                        fileio::errorText(injectedError(step));
             }},
            {"verification dates",
             [dates] {
                 VerificationDates d;
                 d.setDueDate({25, 321}, Day{std::chrono::year(2025), std::chrono::March, std::chrono::day(1)});
                 saveVerificationDates(dates, d);
             },
             [dates] {
                 VerificationDates d = loadVerificationDates(dates);
                 d.setDueDate({25, 322}, Day{std::chrono::year(2026), std::chrono::May, std::chrono::day(31)});
                 saveVerificationDates(dates, d);
             },
             [dates](Step step) {
                 return "Не удалось записать файл сроков поверки " + dates + ": " +
                        fileio::errorText(injectedError(step));
             }},
            {"archive dump",
             [dump] { writeArchiveDump(sampleEntry(321, kMarch5, 2), dump); },
             [dump] { writeArchiveDump(sampleEntry(321, kMarch5, 5), dump); },
             [dump](Step) { return "Не удалось записать файл " + dump; }},
        };
    }
};

TEST_F(JournalFaultInjection, EveryFailingStepLeavesTheFilesAsTheyWere)
{
    for (const Operation& op : operations()) {
        for (Step step : {Step::Write, Step::Rename}) {
            int reached = 0;
            for (int n = 1;; ++n) {
                SCOPED_TRACE(std::string(op.name) + " " + stepName(step) + " " + std::to_string(n));
                ASSERT_LT(n, 20) << "the operation never stops reaching new steps";
                std::filesystem::remove_all(m_dir);
                std::filesystem::create_directory(m_dir);
                op.prepare();
                const auto before = snapshot();
                zent5::testing::armFault(step, n);
                std::string error;
                try {
                    op.run();
                } catch (const Error& e) {
                    error = e.what();
                }
                if (zent5::testing::faultStillArmed(step, folder())) {
                    EXPECT_EQ(error, "");
                    EXPECT_NE(snapshot(), before);
                    break; // the operation has fewer steps than n
                }
                ++reached;
                EXPECT_EQ(error, op.error(step));
                EXPECT_EQ(snapshot(), before);
            }
            EXPECT_GT(reached, 0) << op.name << " " << stepName(step);
        }
    }
}
