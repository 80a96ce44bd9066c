#pragma once

#include "skin/SkinSurface.h"

#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QTimer>

#include <functional>

// The splash window: a borderless, topmost 480 x 320 picture in the middle of
// the screen with the program version and a thin progress bar. Its progress
// is driven by its own timer (103), not by the start-up work: one step per
// period, and after the hundredth step it ends with the OK result (finished
// with QDialog::Accepted == IDOK). Nothing else ends it: Enter and Escape are
// dropped before dispatch and close requests are refused.
//
// Lives on the GUI thread (a Qt widget). The main window starts it with
// Start() and lets the event loop run it; exec() runs it modally as well.
class CSplashDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CSplashDlg(QWidget* parent = nullptr);
    ~CSplashDlg() override;

    // Period of timer 103 in milliseconds (10 by default); set before Start().
    void SetTimerPeriod(int ms) { m_periodMs = ms; }
    int TimerPeriod() const { return m_periodMs; }
    // Where the version text comes from (the program's FileVersion by
    // default); an empty text counts as an unreadable version.
    void SetVersionSource(std::function<QString()> source) { m_versionSource = std::move(source); }

    // Initialises the window (placement, font, pictures, timer) and shows it.
    void Start();
    int exec() override;
    // True from Start() until the window has ended.
    bool IsRunning() const { return m_running; }

    int Step() const { return m_step; }
    // Width of the progress fill for a step: step x 1.8f, truncated.
    static int FillWidth(int step);
    // "Version  " followed by the version text ("0.0.0.00" when unreadable).
    QString VersionLine() const { return m_versionLine; }
    QRect TrackRect() const { return m_trackRect; }

    // The window's "set step" message (1044): records the step, draws the
    // fill and ends the window with OK once the step reaches 100.
    void OnSetStep(int step);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void OnInitDialog();
    void OnTimer();
    void DrawTextLines(QImage& target);
    QString ReadVersionText();

    CSkinSurface m_composed;    // off-screen picture at client size
    QPixmap m_cachedBitmap;     // the composed picture kept between paints
    CSkinSurface m_splashSurface;
    QRect m_clientRect;
    QRect m_trackRect;
    bool m_dirty = true;
    QFont m_splashFont;
    int m_step = 0;
    int m_fillWidth = 0;
    int m_periodMs;
    bool m_running = false;
    QTimer m_timer; // timer 103
    QString m_versionLine;
    std::function<QString()> m_versionSource;
};
