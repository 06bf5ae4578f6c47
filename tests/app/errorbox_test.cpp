#include "app/applicationtitle.h"
#include "app/errorbox.h"
#include "app/programstate.h"
#include "app/tform1.h"
#include "records/error.h"
#include "tests/app/testsupport.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <gtest/gtest.h>

namespace zent5 {
namespace {

using testing::CapturedErrorBox;

struct TextCase {
    const char* message;
    const char* shown;
};

TEST(ErrorBoxText, FullStopOnlyAfterCharactersThatSortAfterIt)
{
    const TextCase cases[] = {
        {"Нет файла", "Нет файла."},              // Cyrillic letters sort after '.'
        {"File not found", "File not found."},
        {"Ошибка 5", "Ошибка 5."},                // digits sort after '.'
        {"Путь /tmp/", "Путь /tmp/."},            // '/' is the character right after '.'
        {"Что?", "Что?."},
        {"Готово.", "Готово."},                   // the full stop itself: not after
        {"База данных повреждена !", "База данных повреждена !"},
        {"Диапазон (1-5)", "Диапазон (1-5)"},
        {"минус -", "минус -"},
        {"запятая,", "запятая,"},
        {"пробел ", "пробел "},
        {"строка\n", "строка\n"},
        {"", ""},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(error_box_text(c.message), c.shown);
    }
}

// An object whose event handler fails the way a command does.
class FailingHandler : public QObject {
public:
    int handled = 0;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw Error("Файл занят другой программой");
        if (e->type() == QEvent::Type(QEvent::User + 1))
            throw 42;
        if (e->type() == QEvent::Type(QEvent::User + 2)) {
            ++handled;
            return true;
        }
        return QObject::event(e);
    }
};

TEST(ErrorBox, AnErrorLeavingAnEventHandlerIsShownOnceAndTheProgramGoesOn)
{
    CapturedErrorBox box;
    set_application_title(program_title);
    FailingHandler handler;

    QEvent failing(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&handler, &failing));

    ASSERT_EQ(box.prompter.messages.size(), 1u);
    const auto& shown = box.prompter.messages[0];
    EXPECT_EQ(shown.caption, "ЗЕНТ-5");
    EXPECT_EQ(shown.text, "Файл занят другой программой.");
    EXPECT_EQ(shown.icon, MessageIcon::Error);
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);

    QEvent next(QEvent::Type(QEvent::User + 2));
    EXPECT_TRUE(QCoreApplication::sendEvent(&handler, &next));
    EXPECT_EQ(handler.handled, 1);
    EXPECT_EQ(box.prompter.messages.size(), 1u);
}

TEST(ErrorBox, PostedEventsFailInsideTheEventLoopToo)
{
    CapturedErrorBox box;
    set_application_title(program_title);
    FailingHandler handler;

    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::Type(QEvent::User + 2)));
    QCoreApplication::sendPostedEvents(&handler);

    EXPECT_EQ(box.prompter.messageLines(), std::vector<std::string>{"ЗЕНТ-5: Файл занят другой программой."});
    EXPECT_EQ(handler.handled, 1);
}

TEST(ErrorBox, SomethingThrownThatIsNoExceptionStillGetsABox)
{
    CapturedErrorBox box;
    set_application_title(program_title);
    FailingHandler handler;

    QEvent odd(QEvent::Type(QEvent::User + 1));
    QCoreApplication::sendEvent(&handler, &odd);

    EXPECT_EQ(box.prompter.messageLines(), std::vector<std::string>{"ЗЕНТ-5: Неизвестная ошибка."});
}

TEST(ErrorBox, CaptionIsTheApplicationTitleOfTheMoment)
{
    CapturedErrorBox box;
    set_application_title("May - ЗЕНТ-5");
    FailingHandler handler;
    QEvent failing(QEvent::User);
    QCoreApplication::sendEvent(&handler, &failing);
    set_application_title(program_title);

    ASSERT_EQ(box.prompter.messages.size(), 1u);
    EXPECT_EQ(box.prompter.messages[0].caption, "May - ЗЕНТ-5");
}

TEST(ErrorBox, AFailingMenuCommandShowsOneBoxAndTheWindowStaysUsable)
{
    testing::FreshSettings settings;
    testing::ScriptedPrompter prompts;
    CapturedErrorBox box;
    TForm1 window(prompts);
    testing::FakeTable table;
    table.failActive = true;
    window.attach_table(&table);
    window.enable_button();

    window.N23->trigger();

    EXPECT_EQ(box.prompter.messageLines(), std::vector<std::string>{"ЗЕНТ-5: Таблица недоступна."});
    EXPECT_TRUE(prompts.messages.empty());

    table.failActive = false;
    window.N23->trigger();
    EXPECT_EQ(box.prompter.messages.size(), 1u);
}

} // namespace
} // namespace zent5
