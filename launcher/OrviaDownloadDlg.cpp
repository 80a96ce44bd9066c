#include "OrviaDownloadDlg.h"

#include "LauncherConstants.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

QRect ToPixels(const Launcher::DluRect& r)
{
    using namespace Launcher;
    return QRect(r.x * kDluXNum / kDluXDen, r.y * kDluYNum / kDluYDen,
                 r.w * kDluXNum / kDluXDen, r.h * kDluYNum / kDluYDen);
}

QLineEdit* MakeEdit(QWidget* parent, int id, const Launcher::DluRect& where)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("edit%1").arg(id));
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignCenter);
    edit->setGeometry(ToPixels(where));
    return edit;
}

} // namespace

COrviaDownloadDlg::COrviaDownloadDlg(QWidget* parent)
    : QDialog(parent)
{
    using namespace Launcher;
    setObjectName(QStringLiteral("dialog%1").arg(kDownloadDialogId));
    setFixedSize(ToPixels(kDownloadDialogDlu).size());

    messageEdit = MakeEdit(this, kIdcMessageEdit, kMessageEditDlu);
    hintEdit = MakeEdit(this, kIdcHintEdit, kHintEditDlu);

    cancelButton = new QPushButton(this);
    cancelButton->setObjectName(QStringLiteral("button%1").arg(kIdCancel));
    cancelButton->setGeometry(ToPixels(kCancelButtonDlu));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    connect(&dotTimer, &QTimer::timeout, this, [this] { OnTimer(kDotTimerId); });

    OnInitDialog();
}

void COrviaDownloadDlg::OnInitDialog()
{
    using namespace Launcher;
    setWindowTitle(QString::fromUtf8(kDownloadTitle));
    messageText = QString::fromUtf8(kDownloadMessage);
    hintText = QString::fromUtf8(kDownloadHint);
    messageEdit->setText(messageText);
    hintEdit->setText(hintText);
    dotCount = 0;
    cancelButton->setText(QString::fromUtf8(kCancelText));
}

void COrviaDownloadDlg::OnTimer(int timerId)
{
    if (timerId != Launcher::kDotTimerId)
        return;
    QString run(dotCount + 1, QLatin1Char('.'));
    if (dotCount++ == Launcher::kMaxDots) {
        run.clear();
        dotCount = 0;
    }
    messageEdit->setText(messageText + run);
}

void COrviaDownloadDlg::StartDotTimer(int intervalMs)
{
    dotTimer.start(intervalMs);
}

void COrviaDownloadDlg::StopDotTimer()
{
    dotTimer.stop();
}

void COrviaDownloadDlg::done(int result)
{
    dotTimer.stop();
    dotCount = 0;
    QDialog::done(result);
}
