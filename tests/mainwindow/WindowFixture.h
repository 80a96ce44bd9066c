#pragma once

// What the command and file tests share: the main window over the stand-in
// transport on a card written for the case, with a recording platform that
// also keeps the dialogs' filters.

#include "CardFixture.h"
#include "FakeTransport.h"
#include "WindowTestEnvironment.h"
#include "catalogue/MemoryCard.h"
#include "mainwindow/MovaraDlg.h"
#include "platform/Platform.h"
#include "skin/RListCtrl.h"
#include "telemetry/TextData.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <functional>
#include <memory>

// The recorder, plus the filters the file dialogs were given.
class CFilterRecordingPlatform : public CRecordingPlatform
{
public:
    QStringList openFilters;
    QStringList saveFilters;
    QString GetOpenFileName(QObject* owner, const QString& title, const QString& folder, const QString& filter) override
    {
        openFilters << filter;
        return CRecordingPlatform::GetOpenFileName(owner, title, folder, filter);
    }
    QString GetSaveFileName(QObject* owner, const QString& title, const QString& suggested, const QString& filter) override
    {
        saveFilters << filter;
        return CRecordingPlatform::GetSaveFileName(owner, title, suggested, filter);
    }
    void Reset()
    {
        Clear();
        openFilters.clear();
        saveFilters.clear();
        openFileAnswers.clear();
        saveFileAnswers.clear();
        messageBoxAnswers.clear();
        modalDialogAnswers.clear();
        modalInspector = nullptr;
        shellOpenResult = true;
    }
};

class CWindowFixture
{
public:
    explicit CWindowFixture(const QString& folder)
        : m_folder(folder)
    {
    }
    ~CWindowFixture() { Close(); }

    // A window on a new card holding `files` (none: no card at all) of `model`.
    CMovaraDlg& Open(const QStringList& files, const QByteArray& model = "ARX330",
                     const std::function<void(CMovaraDlgOptions&)>& tweak = {},
                     const QByteArray& programPath = QByteArray(), bool withCard = true)
    {
        Close();
        static int n = 0;
        root = m_folder + QStringLiteral("/card%1").arg(++n);
        QDir().mkpath(root);
        if (withCard && !WriteCard(root, model, files, programPath))
            qFatal("cannot write the card");
        qputenv("KESTRAV_CARD_ROOTS", root.toLocal8Bit());
        ForgetCard();
        fake = std::make_unique<CFakeTransport>();
        CMovaraDlgOptions o;
        o.showSplash = false;
        o.probeConnectivity = [] { return false; };
        o.extract = [](const QString&, CTextData& t) { t.gsensorList.push_back(CGSensorData(1, 2, 3)); };
        o.checkH264 = [](const QString&) { return 1; };
        o.isMp4Recording = [](const QString& path) { return path.endsWith(QLatin1String(".MP4"), Qt::CaseInsensitive); };
        o.tickCount = [this] { return tick += 5000; };
        o.transport = fake.get();
        if (tweak)
            tweak(o);
        dlg = std::make_unique<CMovaraDlg>(o);
        dlg->OnInitDialog();
        if (!QTest::qWaitFor([this] { return !dlg->IsAnalysisRunning(); }, 10000))
            qFatal("the analysis does not end");
        return *dlg;
    }
    void Close()
    {
        dlg.reset(); // before the transport it uses
        fake.reset();
    }
    // The card file of `relative` (category folder first).
    QString CardFile(const QString& relative) const { return QDir(root).filePath(relative); }
    CRListCtrl& List() const { return *dlg->List(); }
    // Plays list item `name` as a double click would.
    bool Play(const QString& name)
    {
        List().SetFocusedByName(name);
        List().PlayFocused();
        return fake->GetState() == STATE_PLAY;
    }

    QString root;
    std::unique_ptr<CFakeTransport> fake;
    std::unique_ptr<CMovaraDlg> dlg;
    unsigned tick = 100000;

private:
    QString m_folder;
};
