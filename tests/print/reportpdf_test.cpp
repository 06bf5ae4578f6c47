#include "print/reportcomposer.h"
#include "print/reportlayout.h"
#include "print/reportrenderer.h"

#include "common/memorycursor.h"
#include "pdftools.h"
#include "tests/common/readnumber.h"
#include "records/error.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <regex>

namespace zent5 {
namespace {

using testing::MemoryCursor;

MemoryCursor tableOf(int rows)
{
    MemoryCursor t;
    for (int i = 1; i <= rows; ++i) {
        t.rows.push_back({{"N", double(i)},
                          {"DATE", std::string("07.03.2014")},
                          {"TIME", std::string("09:05:07")},
                          {"SERIAL", 4321.0},
                          {"P", 12.3},
                          {"P_KG", 1254.0},
                          {"S", 436.0},
                          {"S_KG", 4446.0},
                          {"F", 28.3},
                          {"D", 6.0},
                          {"TYPE", std::string("проволока")},
                          {"COMMENT", std::string(i == 1 ? "первый ряд" : "")},
                          {"F_MM", 0.283}});
    }
    return t;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ReportPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testing::havePopplerTools())
            GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) not installed";
        ASSERT_TRUE(m_dir.isValid());
    }
    QString write(Units dimension, int rows)
    {
        MemoryCursor table = tableOf(rows);
        ReportComposer composer(reportLayoutFor(dimension));
        composer.setDecimalSeparator(',');
        const QString path = m_dir.filePath(dimension == Units::KiloGramForce ? "kgf.pdf" : "kn.pdf");
        writeReportPdf(composer.compose(table), path.toStdString());
        return path;
    }
    QTemporaryDir m_dir;
};

TEST_F(ReportPdf, PagesAreLandscapeA4WithHeadersAndFooters)
{
    struct Case {
        Units dimension;
        std::vector<std::string> header;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {Units::KiloNewton,
         {"Дата", "Время", "Тип", "арматуры", "d, мм", "P, кН", "σ", ", МПа", "F,", "кв.мм.", "Примечание"},
         {"12,30", "436,0", "28,3", "07.03.2014", "09:05:07", "проволока"}},
        {Units::KiloGramForce,
         {"Дата", "Время", "Тип", "арматуры", "d, мм", "P, кГс", "σ", ", кГс/кв.см", "F,", "кв.см.", "Примечание"},
         {"1254", "4446", "0,283", "07.03.2014"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dimension == Units::KiloGramForce ? "kgf" : "kN");
        const QString pdf = write(c.dimension, 30);
        const std::string info = testing::pdfInfo(pdf);
        EXPECT_TRUE(contains(info, "Pages:           3")) << info;
        std::smatch size;
        ASSERT_TRUE(std::regex_search(info, size, std::regex(R"(Page size:\s+([0-9.]+) x ([0-9.]+) pts)"))) << info;
        EXPECT_NEAR(testing::read_number(size[1].str()), 841.89, 0.5); // 297 mm across
        EXPECT_NEAR(testing::read_number(size[2].str()), 595.28, 0.5); // 210 mm down

        const auto pages = testing::pdfPages(pdf);
        ASSERT_EQ(pages.size(), 3u);
        for (size_t i = 0; i < pages.size(); ++i) {
            SCOPED_TRACE("page " + std::to_string(i + 1));
            for (const auto& h : c.header)
                EXPECT_TRUE(contains(pages[i], h)) << h << "\n" << pages[i];
            EXPECT_TRUE(contains(pages[i], "Стр. " + std::to_string(i + 1) + " из 3")) << pages[i];
            EXPECT_EQ(contains(pages[i], "ЗЕНТ-5"), i == 0) << pages[i];
        }
        EXPECT_TRUE(std::regex_search(pages[0], std::regex("ЗЕНТ-5 +№ 4321"))) << pages[0];
        EXPECT_TRUE(contains(pages[0], "первый ряд"));
        for (const auto& v : c.values)
            EXPECT_TRUE(contains(pages[0], v)) << v;
        EXPECT_TRUE(contains(pages[2], "30"));
    }
}

TEST_F(ReportPdf, EmptyTableGivesOnePage)
{
    const QString pdf = write(Units::KiloNewton, 0);
    EXPECT_TRUE(contains(testing::pdfInfo(pdf), "Pages:           1"));
    const auto pages = testing::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(contains(pages[0], "Стр. 1 из 1"));
    EXPECT_TRUE(contains(pages[0], "Примечание"));
}

TEST(ReportPdfErrors, UnwritableFileIsAnErrorAndLeavesNoFile)
{
    MemoryCursor table = tableOf(1);
    const ComposedReport report = ReportComposer(report1Layout()).compose(table);
    EXPECT_THROW(writeReportPdf(report, "/nonexistent-folder/report.pdf"), Error);
}

} // namespace
} // namespace zent5
