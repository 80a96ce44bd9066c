#pragma once

#include "evidence/ClipExporter.h"
#include "skin/SkinSurface.h"

#include <QDialog>

#include <memory>

class CRButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QThread;

// Fixed values of the clip export dialog.
namespace ExportClipIds {
inline constexpr int kWidth = 440;
inline constexpr int kHeight = 318;
// The span proposed around the player's position, seconds.
inline constexpr double kDefaultSpanSeconds = 30.0;
// Buttons (control ids of the dialog's own skinned buttons).
inline constexpr int kIdBrowse = 1701;
inline constexpr int kIdExport = 1702;
inline constexpr int kIdCancel = 1703;
// Texts.
inline constexpr const char* kTitleKey = "IDS_STRING_K_140";
inline constexpr const char* kFromKey = "IDS_STRING_K_141";
inline constexpr const char* kToKey = "IDS_STRING_K_142";
inline constexpr const char* kLayoutKey = "IDS_STRING_K_143";
inline constexpr const char* kLayoutFrontKey = "IDS_STRING_K_144";
inline constexpr const char* kLayoutRearKey = "IDS_STRING_K_145";
inline constexpr const char* kLayoutSideBySideKey = "IDS_STRING_K_146";
inline constexpr const char* kLayoutPipKey = "IDS_STRING_K_147";
inline constexpr const char* kLayoutAsRecordedKey = "IDS_STRING_K_148";
inline constexpr const char* kOverlayKey = "IDS_STRING_K_149";
inline constexpr const char* kSaveToKey = "IDS_STRING_K_150";
inline constexpr const char* kBrowseKey = "IDS_STRING_K_151";
inline constexpr const char* kExportKey = "IDS_STRING_K_152";
inline constexpr const char* kCancelKey = "IDS_STRING_K_153";
inline constexpr const char* kCloseKey = "IDS_STRING_K_154";
inline constexpr const char* kProgressKey = "IDS_STRING_K_155"; // "%d%%" replaced by the per cent
inline constexpr const char* kSavedKey = "IDS_STRING_K_156";
inline constexpr const char* kFailedKey = "IDS_STRING_K_157";
inline constexpr const char* kAskCancelKey = "IDS_STRING_K_158";
inline constexpr const char* kBadSpanKey = "IDS_STRING_K_159";
inline constexpr const char* kCancelledKey = "IDS_STRING_K_160";
// Look: the main window's content colour, the list title's band across the
// top behind the title, menu-button pictures for the buttons, the position
// slider's pictures for the progress bar.
inline constexpr QRgb kBackgroundColor = 0xFF1B1F24;
inline constexpr const char* kTitleBandPicture = "bg_title.9.png";
inline constexpr int kTitleBandHeight = 40;
inline constexpr const char* kButtonPictures[4] = {"btn_menu_nor.png", "btn_menu_over.png", "btn_menu_press.png",
                                                   "btn_menu_dis.png"};
inline constexpr const char* kProgressTrackPicture = "progress_bg.9.png";
inline constexpr const char* kProgressBarPicture = "progress_bar.9.png";
inline constexpr QRgb kTextColor = 0xFFB6C7D7;
inline constexpr QRgb kTitleColor = 0xFFFFFFFF;
inline constexpr QRgb kButtonTextColor = 0xFFB6C7D7;
inline constexpr QRgb kButtonDisabledColor = 0xFF5D6C81;
inline constexpr QRgb kFieldBackground = 0xFF22242B;
inline constexpr QRgb kButtonPlateBorder = 0xFF3D3E46;
inline constexpr QRgb kErrorColor = 0xFFFF6B5B;
inline constexpr const char* kTextSizeKey = "TEXTSIZE_BBINFO_1";
inline constexpr int kTextSizeDefault = 13;
} // namespace ExportClipIds

// The clip export dialog: the span to cut (30 s around the player's
// position by default, within the recording), the layout of the pictures,
// the overlay switch, the output folder (the user's Videos folder by
// default; another through the platform façade's file dialog), a progress
// bar and Cancel. The export itself runs on a worker thread (CClipExporter);
// the dialog gets its progress and its end as queued calls and never
// touches FFmpeg. The dialog is modal, the viewer behind it keeps playing.
// Closing it while an export runs asks whether to cancel it; a cancelled
// export leaves no file behind.
//
// Runs through the platform façade (CPlatform::RunModalDialog), so tests
// never block; messages go through CPlatform::MessageBox.
//
// Thread: GUI thread only, every member. StartExport() creates a worker
// QThread that deletes itself (deleteLater) when it has finished; it shares
// only the options and the cancel flag with the dialog, through a shared
// pointer, so a worker that outlives the dialog still owns what it uses.
// Progress and the result come back as queued calls guarded by a QPointer.
//
// Ownership: the caller owns the dialog. From a menu entry use Open(), which
// creates it on its own stack over `parent` and destroys it when the user
// closes it; the dialog keeps nothing of the caller's.
class CExportClipDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CExportClipDlg(QWidget* parent = nullptr);
    // Cancels a running export and waits (bounded) for its thread.
    ~CExportClipDlg() override;

    // The entry point of the "Export clip..." menu entries: `recording` is
    // the file the player shows (an AVI, or either file of an F/R pair),
    // `position` the player's position in it in seconds, `parent` the window
    // the dialog is centred on. Finds the recording's pictures and length,
    // takes the speed unit from the settings (g_settings, loaded at start),
    // and runs the dialog modally; the viewer keeps playing behind it.
    // Returns IDOK when a clip was saved, else IDCANCEL (also when the
    // recording cannot be read: the user is told by a message box).
    static int Open(const QString& recording, double position, QWidget* parent);

    // Prepares the dialog for `recording` (lasting `duration` seconds, the
    // player at `position`), then runs it modally through the platform
    // façade. `hasRear` offers the layouts with the rear picture; `mph`
    // gives the overlay's speed unit. Returns IDOK when a clip was saved.
    int DoModal(const QString& recording, double duration, double position, bool hasRear, bool mph);
    void Prepare(const QString& recording, double duration, double position, bool hasRear, bool mph);

    // The recording the dialog was prepared for.
    QString Recording() const { return m_recording; }
    // The fields as the user set them.
    bool Span(double* from, double* to) const; // false when the texts do not make a span within the recording
    void SetSpan(double from, double to);
    CClipOptions::Layout Layout() const;
    void SetLayout(CClipOptions::Layout layout);
    bool Overlay() const;
    void SetOverlay(bool on);
    QString OutputFolder() const { return m_folder; }
    void SetOutputFolder(const QString& folder);
    // The clip's path for the current fields.
    QString OutputPath() const;
    // Whether the layout is offered (the rear ones only with a rear picture).
    bool IsLayoutOffered(CClipOptions::Layout layout) const;

    // Starts the export with the current fields (no-op while one runs or
    // when the span is not valid; the reason is shown).
    void StartExport();
    // Asks a running export to stop; it ends soon after, removing its file.
    void CancelExport();
    bool IsRunning() const { return m_thread != nullptr; }
    int Percent() const { return m_percent; }
    QString StatusText() const;
    // The last export's result (valid once it has ended).
    const CClipResult& LastResult() const { return m_result; }
    // Default folder for clips: the user's Videos folder (else home).
    static QString DefaultFolder();

signals:
    // On the GUI thread, when an export has ended (saved, failed or cancelled).
    void ExportEnded(bool ok);

public slots:
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Shared;
    void OnCommand(int id);
    void OnProgress(int percent);
    void OnFinished(const CClipResult& result);
    void Browse();
    void SetRunning(bool running);
    void BuildSkin();
    void LayoutFields();
    QLabel* MakeLabel(const QString& text, bool title = false);
    CRButton* MakeButton(int id, const char* key);

    QString m_recording;
    double m_duration = 0.0;
    bool m_hasRear = false;
    bool m_mph = false;
    QString m_folder;
    QString m_fileName; // chosen in the file dialog; empty: the default name

    CSkinSurface m_background;
    QLabel* m_title = nullptr;
    QLabel* m_fromLabel = nullptr;
    QLabel* m_toLabel = nullptr;
    QLabel* m_layoutLabel = nullptr;
    QLabel* m_saveLabel = nullptr;
    QLabel* m_folderText = nullptr;
    QLabel* m_status = nullptr;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QComboBox* m_layout = nullptr;
    QCheckBox* m_overlay = nullptr;
    CRButton* m_browse = nullptr;
    CRButton* m_export = nullptr;
    CRButton* m_cancel = nullptr;
    QWidget* m_progress = nullptr;

    QThread* m_thread = nullptr;
    std::shared_ptr<Shared> m_shared;
    int m_percent = 0;
    bool m_closeWhenDone = false;
    bool m_cancelled = false;
    CClipResult m_result;
};
