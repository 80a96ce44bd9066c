#include "skin/SkinDropWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

CSkinDropWindow::CSkinDropWindow(QWidget* owner)
    : CSkinLayeredWindow(owner, Qt::Tool)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void CSkinDropWindow::MoveOnScreen(QPoint global)
{
    QScreen* screen = QGuiApplication::screenAt(global);
    if (!screen && parentWidget())
        screen = parentWidget()->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        global.setX(qMax(area.left(), qMin(global.x(), area.left() + area.width() - width())));
        global.setY(qMax(area.top(), qMin(global.y(), area.top() + area.height() - height())));
    }
    move(global);
}

void CSkinDropWindow::RaiseWindow(QWidget* window)
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        window->raise();
}

void CSkinDropWindow::ShowAt(QPoint global)
{
    MoveOnScreen(global);
    show();
    RaiseWindow(this);
}

void CSkinDropWindow::ShowPassive(QPoint global)
{
    MoveOnScreen(global);
    m_passiveShow = true;
    const bool before = testAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, before);
    m_passiveShow = false;
}

bool CSkinDropWindow::OwnsWindow(const QWidget* window) const
{
    for (const QWidget* w = window; w; w = w->parentWidget())
        if (w == this)
            return true;
    return false;
}

void CSkinDropWindow::OnDeactivated(QWidget* newActive)
{
    if (newActive && OwnsWindow(newActive))
        return;
    hide();
}

void CSkinDropWindow::showEvent(QShowEvent* event)
{
    if (!m_filtering && qApp) {
        qApp->installEventFilter(this);
        m_filtering = true;
    }
    if (!m_passiveShow)
        activateWindow();
    CSkinLayeredWindow::showEvent(event);
}

void CSkinDropWindow::hideEvent(QHideEvent* event)
{
    if (m_filtering && qApp) {
        qApp->removeEventFilter(this);
        m_filtering = false;
    }
    CSkinLayeredWindow::hideEvent(event);
}

void CSkinDropWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow())
        OnDeactivated(QApplication::activeWindow());
    CSkinLayeredWindow::changeEvent(event);
}

void CSkinDropWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        hide();
        return;
    }
    CSkinLayeredWindow::keyPressEvent(event);
}

bool CSkinDropWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) && watched->isWidgetType()
        && isVisible()) {
        const QWidget* target = static_cast<QWidget*>(watched)->window();
        if (!KeepsOpenOnPressIn(target))
            hide(); // the press still reaches its target
    }
    return false;
}
