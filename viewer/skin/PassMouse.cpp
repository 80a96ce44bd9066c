#include "skin/PassMouse.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include <memory>

void PassMouseToParent(QWidget* widget, QMouseEvent* event)
{
    if (QWidget* parent = widget->parentWidget()) {
        std::unique_ptr<QEvent> copy(event->clone());
        QCoreApplication::sendEvent(parent, copy.get());
    }
    event->accept();
}
