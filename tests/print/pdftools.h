#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <string>

namespace zent5::testing {

// poppler's command-line readers, the independent check of our PDF files.
inline bool havePopplerTools()
{
    return !QStandardPaths::findExecutable("pdftotext").isEmpty() && !QStandardPaths::findExecutable("pdfinfo").isEmpty();
}

inline std::string runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return "(" + program.toStdString() + " failed: " + p.readAllStandardError().toStdString() + ")";
    return p.readAllStandardOutput().toStdString();
}

inline std::string pdfInfo(const QString& file) { return runTool("pdfinfo", {file}); }

// The text of every page, in reading order; pages end with a form feed.
inline std::string pdfText(const QString& file) { return runTool("pdftotext", {"-enc", "UTF-8", file, "-"}); }

// The same with the words of a line kept on their line, as they stand on the page.
inline std::string pdfLayoutText(const QString& file)
{
    return runTool("pdftotext", {"-layout", "-enc", "UTF-8", file, "-"});
}

// Pages end with a form feed.
inline std::vector<std::string> splitPages(const std::string& text)
{
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', start)) {
        pages.push_back(text.substr(start, ff - start));
        start = ff + 1;
    }
    return pages;
}

inline std::vector<std::string> pdfPages(const QString& file) { return splitPages(pdfText(file)); }

} // namespace zent5::testing
