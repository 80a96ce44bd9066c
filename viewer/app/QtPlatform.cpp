#include "app/QtPlatform.h"

#include <QApplication>
#include <QDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace {
QWidget* AsWidget(QObject* owner)
{
    return qobject_cast<QWidget*>(owner);
}
} // namespace

int CQtPlatform::MessageBox(QObject* owner, const QString& text, const QString& caption, unsigned flags)
{
    QMessageBox box(AsWidget(owner));
    box.setWindowTitle(caption);
    box.setText(text);
    switch (flags & 0xF0u) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (flags & 0x0Fu) {
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return IDOK;
    }
}

QString CQtPlatform::GetOpenFileName(QObject* owner, const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(AsWidget(owner), title, folder, filter);
}

QString CQtPlatform::GetSaveFileName(QObject* owner, const QString& title, const QString& suggestedPath, const QString& filter)
{
    return QFileDialog::getSaveFileName(AsWidget(owner), title, suggestedPath, filter);
}

bool CQtPlatform::ShellOpen(const QString& pathOrUrl)
{
    const QFileInfo info(pathOrUrl);
    if (info.isFile() && info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
    const QUrl url = info.exists() ? QUrl::fromLocalFile(info.absoluteFilePath()) : QUrl(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

void CQtPlatform::SetWaitCursor(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

int CQtPlatform::RunModalDialog(QObject* dialog)
{
    if (auto* d = qobject_cast<QDialog*>(dialog))
        return d->exec();
    return CPlatform::RunModalDialog(dialog);
}
