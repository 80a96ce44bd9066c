// Skin gallery: every picture of the image library, stretched pictures at the
// sizes the viewer uses, and the skinned controls in all their states.
#include "SkinImage.h"
#include "SkinPictureList.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPainter>
#include <QResource>
#include <QScrollArea>
#include <QWidget>

namespace {
const QColor kPage(24, 27, 31);
const QColor kCaption(140, 169, 188);

// The canvas: pictures laid out in rows.
class CPictureSheet : public QWidget
{
public:
    CPictureSheet()
    {
        setAutoFillBackground(false);
        Layout();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), kPage);
        QFont small = font();
        small.setPixelSize(10);
        p.setFont(small);
        for (const Item& item : m_items) {
            p.fillRect(item.cell, QColor(31, 35, 40));
            p.setPen(QColor(45, 50, 57));
            p.drawRect(item.cell.adjusted(0, 0, -1, -1));
            p.drawImage(item.cell.topLeft() + QPoint(6, 6), item.image);
            p.setPen(kCaption);
            p.drawText(QRect(item.cell.left() + 4, item.cell.bottom() - 14, item.cell.width() - 8, 13),
                       Qt::AlignLeft | Qt::AlignVCenter, item.label);
        }
    }

private:
    struct Item {
        QString label;
        QImage image;
        QRect cell;
    };

    void Layout()
    {
        CSkinImage* skin = CSkinImage::GetInstance();
        const int maxWidth = 1880;
        int x = 10, y = 10, rowHeight = 0;
        for (const SkinPictureSpec& spec : SkinPictureList()) {
            CSkinSurface surface;
            const QSize show = spec.kind == SkinPictureKind::Plain ? spec.size : spec.used;
            surface.Create(show.width(), show.height());
            if (spec.kind == SkinPictureKind::Plain)
                skin->DrawImage(surface, spec.name);
            else if (spec.kind == SkinPictureKind::ThreeSliceV) {
                CSkinSurface top, mid, bottom;
                skin->LoadVerticalThreeSlice(spec.name, top, mid, bottom);
                QPainter p(&surface.GetImage());
                const int w = spec.size.width();
                const int middle = show.height() - top.GetHeight() - (bottom.GetHeight() - 2);
                p.drawImage(QRect(0, 0, w, top.GetHeight()), top.GetImage(), QRect(0, 0, w, top.GetHeight()));
                p.drawImage(QRect(0, top.GetHeight(), w, middle), mid.GetImage(), QRect(0, 0, w, 1));
                p.drawImage(QRect(0, top.GetHeight() + middle, w, bottom.GetHeight() - 2), bottom.GetImage(),
                            QRect(0, 0, w, bottom.GetHeight() - 2));
            } else
                skin->DrawNinePatch(surface, spec.name);
            QImage shown = surface.GetImage();
            if (shown.width() > 900) // the window background at full size: shown at half size
                shown = shown.scaled(shown.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            Item item{spec.name + (shown.size() != show ? QStringLiteral("  (%1 x %2, shown at half size)").arg(show.width()).arg(show.height()) : QString()), shown, QRect()};
            const QSize cellSize(std::max(shown.width() + 12, 120), shown.height() + 12 + 16);
            if (x + cellSize.width() > maxWidth) {
                x = 10;
                y += rowHeight + 8;
                rowHeight = 0;
            }
            item.cell = QRect(QPoint(x, y), cellSize);
            x += cellSize.width() + 8;
            rowHeight = std::max(rowHeight, cellSize.height());
            m_items.push_back(item);
        }
        setFixedSize(maxWidth + 10, y + rowHeight + 10);
    }

    std::vector<Item> m_items;
};
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption shot(QStringLiteral("screenshot"), QStringLiteral("Save the gallery to <file> and quit."),
                            QStringLiteral("file"));
    parser.addOption(shot);
    parser.process(app);

    const QString library = QCoreApplication::applicationDirPath() + QStringLiteral("/NvImageDll.rcc");
    if (!QResource::registerResource(library)) {
        qWarning("cannot open the image library %s", qPrintable(library));
        return 1;
    }
    CPictureSheet sheet;
    if (parser.isSet(shot)) {
        sheet.grab().save(parser.value(shot));
        return 0;
    }
    QScrollArea area;
    area.setWidget(&sheet);
    area.resize(1600, 1000);
    area.setWindowTitle(QStringLiteral("Kestrav skin gallery"));
    area.show();
    return QApplication::exec();
}
