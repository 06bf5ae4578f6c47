#include "commands.h"

#include "print/reportcomposer.h"
#include "print/reportlayout.h"
#include "print/reportrenderer.h"
#include "records/error.h"
#include "table/dbftable.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace zent5::tool {
namespace {

int usage()
{
    std::fputs("usage: zent5-tool report [--units kn|kgf] TABLE.db REPORT.pdf\n", stderr);
    return 2;
}

// Fonts and painting need a GUI application; without a display it runs on
// Qt's offscreen platform.
std::unique_ptr<QGuiApplication> startGui()
{
    if (QGuiApplication::instance())
        return nullptr;
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "zent5-tool";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

// zent5-tool report: the printed report of a table, in the layout of the
// chosen units, as a PDF file.
int runReport(const std::vector<std::string>& args)
{
    bool kgf = false;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--units") {
            if (i + 1 >= args.size())
                return usage();
            const std::string& units = args[++i];
            if (units == "kn")
                kgf = false;
            else if (units == "kgf")
                kgf = true;
            else
                return usage();
        } else if (args[i].empty() || args[i][0] == '-') {
            return usage();
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2)
        return usage();

    const std::string& file = files[0];
    const size_t slash = file.rfind('/');
    DbfTable table;
    table.setFilePath(slash == std::string::npos ? std::string() : file.substr(0, slash + 1));
    table.setTableName(slash == std::string::npos ? file : file.substr(slash + 1));
    // Only reading: the table file is left exactly as it was.
    table.setExclusive(false);

    const auto app = startGui();
    try {
        table.Open();
        const ComposedReport report = ReportComposer(reportLayoutFor(kgf)).compose(table);
        table.Close();
        writeReportPdf(report, files[1]);
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace zent5::tool
