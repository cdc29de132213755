#include "forms/WindowRole.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QWidget>

namespace forms {
namespace {

QHash<QString, QAccessible::Role>& roles()
{
    static QHash<QString, QAccessible::Role> byClass;
    return byClass;
}

QAccessibleInterface* windowAccessible(const QString& className, QObject* object)
{
    const auto role = roles().constFind(className);
    if (role == roles().cend() || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), *role);
}

} // namespace

void SetWindowRole(const QMetaObject& windowClass, QAccessible::Role role)
{
    if (roles().isEmpty())
        QAccessible::installFactory(windowAccessible);
    roles().insert(QString::fromLatin1(windowClass.className()), role);
}

} // namespace forms
