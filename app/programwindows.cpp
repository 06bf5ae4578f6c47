#include "app/programwindows.h"

#include "app/applicationtitle.h"
#include "app/downloadwindow.h"
#include "app/errorbox.h"
#include "app/programstate.h"
#include "app/tform1.h"
#include "app/tform3.h"
#include "app/tform5.h"
#include "app/tform6.h"
#include "app/translations.h"

#include <QApplication>
#include <QScreen>

namespace zent5 {

ProgramWindows::ProgramWindows(Prompter& prompter)
{
    m_form1 = std::make_unique<TForm1>(prompter);
    m_order << m_form1->objectName();
    m_form2 = create_download_window(prompter, m_archive, m_form1.get());
    m_order << m_form2->objectName();
    m_form5 = std::make_unique<TForm5>();
    m_order << m_form5->objectName();
    m_form6 = std::make_unique<Tform6>(m_form1.get());
    m_order << m_form6->objectName();
    m_form3 = std::make_unique<TForm3>(m_form1->state(), m_form1->settings(), m_form1.get());
    m_order << m_form3->objectName();
    m_form1->attach_windows(m_form2.get(), &m_archive, m_form6.get(), m_form3.get());
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::show_splash()
{
    if (!m_form5)
        return;
    m_form5->exec();
    m_form5.reset();
}

int run_program(Prompter& prompter)
{
    set_application_title(program_title);
    QApplication::setApplicationDisplayName(QString());
    load_russian_translations(*QCoreApplication::instance());
    set_error_box_prompter(&prompter);

    ProgramWindows windows(prompter);
    windows.show_splash();
    // A desktop without a window manager (a bare X server) ignores the
    // maximized state, so the window is also given the whole screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        windows.main_window().setGeometry(screen->availableGeometry());
    windows.main_window().showMaximized();
    const int code = QApplication::exec();
    set_error_box_prompter(nullptr);
    return code;
}

} // namespace zent5
