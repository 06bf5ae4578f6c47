#pragma once

#include <QMainWindow>
#include <QStringList>
#include <QUrl>

#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QTextBrowser;

namespace zent5 {

// The program's help window: the pages of the user guide in a text browser,
// with back, forward, the contents page and a search through the guide.
class HelpWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(const QString& firstPage, QWidget* owner = nullptr);

    // The help window of `owner`, made on first use, shown at the guide's
    // first page and brought to the front. Like the contents command of a
    // help viewer, each call goes to that page; "Назад" leads back to where
    // the reader was.
    static HelpWindow* show_guide(const std::string& firstPage, QWidget* owner);

    QTextBrowser* Browser = nullptr;
    QAction* BackAction = nullptr;
    QAction* ForwardAction = nullptr;
    QAction* ContentsAction = nullptr;
    QLineEdit* SearchText = nullptr;
    QAction* FindAction = nullptr;
    QLabel* SearchState = nullptr;

    // The guide's pages in the order of its contents: the first page, then
    // each page it links to.
    QStringList pages() const;

    // Selects the next place where `text` stands (any case): on from the
    // selection in the page shown, then in the following pages, round to
    // the top of the page shown. False, with a note below the page, when
    // the guide has it nowhere.
    bool find_text(const QString& text);

public slots:
    void show_contents();
    void find_next();

private:
    void update_title();

    QUrl m_firstPage;
};

} // namespace zent5
