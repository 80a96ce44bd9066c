#pragma once

#include <QByteArray>
#include <QDialog>
#include <QFont>
#include <QLine>
#include <QList>
#include <QMap>

class QLabel;
class QPushButton;

// The device information dialog: what the camera's memory card says about
// the camera, one row each, label on the left and value on the right: model
// name, firmware version, memory card capacity, safe-driving section
// version and MICOM version. White, 386 x 245, with thin separator lines
// between the rows and the values in orange.
//
// Everything comes from the device record (the first 668 bytes of the card's
// "SETTING/setup.cfg", empty without a card) and the card's capacity that
// the caller passes to DoModal(); each run reads them afresh. Texts of the
// record are single-byte, zero-terminated and decoded with the local 8-bit
// code page; each field is read within its own room in the record only,
// control characters and undecodable bytes are dropped, so a damaged record
// shows shortened or empty values, never characters that are not there.
// Rows without a value are left out: no safe-driving row when its four
// version bytes are zero, and a MICOM row without label when its text is
// empty. Without a record the labels show without values.
//
// Runs through the platform façade (CPlatform::RunModalDialog), so that
// tests never block. GUI thread only.
class CBbInfoDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CBbInfoDlg(QWidget* parent = nullptr);
    ~CBbInfoDlg() override;

    // Prepares the dialog for `record` and `cardSizeGB` and runs it modally
    // through the platform façade; returns the dialog's result (IDOK after
    // the OK button).
    int DoModal(const QByteArray& record, float cardSizeGB);
    // What DoModal does before running: placement, fonts, texts, values,
    // rows and layout.
    void Prepare(const QByteArray& record, float cardSizeGB);

    // Rows with a separator line below all but the last.
    int Rows() const { return m_rows; }
    // A label or value field by its control id (1009-1021), or null.
    QLabel* Field(int id) const { return m_fields.value(id, nullptr); }
    // The full text of a field (a value too long for its field is shown
    // shortened, with the whole text as its tool tip).
    QString FieldText(int id) const;
    bool IsFieldShown(int id) const;
    QPushButton* OkButton() const { return m_ok; }
    // The separator lines as painted (end points inclusive).
    QList<QLine> SeparatorLines() const;

    // The zero-terminated text at `offset`, read within `room` bytes of the
    // record (and its end), decoded, without control or undecodable
    // characters, trimmed.
    static QString RecordText(const QByteArray& record, int offset, int room);
    // The model name: the text at offset 8 cut at its first "(".
    static QString ModelText(const QByteArray& record);
    // "%02d.%02d.%02d.%02d" of the bytes at 227, 226, 225, 224; empty when
    // all four are zero (or the record is too short to hold them).
    static QString SafeDrivingVersion(const QByteArray& record);
    // "%0.2f GB" (a point for the decimals, whatever the locale).
    static QString CapacityText(float cardSizeGB);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* MakeField(int id, bool value);
    void SetValue(int id, const QString& text);
    void PlaceField(int id, int row);

    QMap<int, QLabel*> m_fields;
    QMap<int, QString> m_fullTexts;
    QPushButton* m_ok = nullptr;
    QFont m_labelFont;
    QFont m_valueFont;
    int m_rows = 3;
    int m_rowHeight;
    int m_margin;
    int m_top;
};
