#pragma once

#include "platform/Platform.h"

// The production façade: standard Qt dialogs and desktop services.
class CQtPlatform : public CPlatform
{
public:
    int MessageBox(QObject* owner, const QString& text, const QString& caption, unsigned flags) override;
    QString GetOpenFileName(QObject* owner, const QString& title, const QString& folder, const QString& filter) override;
    QString GetSaveFileName(QObject* owner, const QString& title, const QString& suggestedPath, const QString& filter) override;
    bool ShellOpen(const QString& pathOrUrl) override;
    void SetWaitCursor(bool busy) override;
    int RunModalDialog(QObject* dialog) override;
};
