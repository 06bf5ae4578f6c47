#include "app/quitrequest.h"

#include <QCoreApplication>
#include <QEvent>

namespace zent5 {
namespace {

// Receives the request and ends the loop without asking any window.
class QuitRequestReceiver : public QObject {
public:
    using QObject::QObject;

    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::Quit)
            return QObject::event(event);
        QCoreApplication::exit(0);
        return true;
    }
};

QObject* receiver()
{
    QCoreApplication* app = QCoreApplication::instance();
    static const QString name = QStringLiteral("zent5QuitRequestReceiver");
    if (QObject* existing = app->findChild<QObject*>(name, Qt::FindDirectChildrenOnly))
        return existing;
    auto* created = new QuitRequestReceiver(app);
    created->setObjectName(name);
    return created;
}

} // namespace

void post_quit_request()
{
    QCoreApplication::postEvent(receiver(), new QEvent(QEvent::Quit));
}

} // namespace zent5
