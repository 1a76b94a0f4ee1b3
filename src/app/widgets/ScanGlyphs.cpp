#include "app/widgets/ScanGlyphs.h"

#include <QPainter>
#include <QPainterPath>

QPixmap ScanGlyph(bool enabled)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    const QColor folderFill = enabled ? QColor(0xF2, 0xC9, 0x4C) : QColor(0xC8, 0xC8, 0xC8);
    const QColor folderEdge = enabled ? QColor(0xA0, 0x78, 0x10) : QColor(0x80, 0x80, 0x80);
    const QColor lensFill = enabled ? QColor(0xCF, 0xEB, 0xFF, 0xE0) : QColor(0xF0, 0xF0, 0xF0, 0xE0);
    const QColor lensEdge = enabled ? QColor(0x1F, 0x4E, 0x9A) : QColor(0x80, 0x80, 0x80);
    const QColor handle = enabled ? QColor(0x5A, 0x3A, 0x1A) : QColor(0x90, 0x90, 0x90);

    if (!enabled) {
        // The white shadow, one pixel down and right, that gives disabled glyphs their
        // engraved look.
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(1.5, 5.5, 11, 8), 1, 1);
        p.drawEllipse(QRectF(7.5, 2.5, 7, 7));
    }

    // The folder: a tab and a body.
    QPainterPath folder;
    folder.moveTo(0.5, 4.5);
    folder.lineTo(4.5, 4.5);
    folder.lineTo(5.5, 5.5);
    folder.lineTo(10.5, 5.5);
    folder.lineTo(10.5, 12.5);
    folder.lineTo(0.5, 12.5);
    folder.closeSubpath();
    p.setPen(QPen(folderEdge, 1));
    p.setBrush(folderFill);
    p.drawPath(folder);

    // The magnifying glass: lens and handle.
    p.setPen(QPen(handle, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.8, 8.2), QPointF(5.2, 10.8));
    p.setPen(QPen(lensEdge, 1.4));
    p.setBrush(lensFill);
    p.drawEllipse(QRectF(6.5, 1.5, 7, 7));
    return pixmap;
}

QIcon ScanButtonIcon()
{
    QIcon icon;
    icon.addPixmap(ScanGlyph(true), QIcon::Normal);
    icon.addPixmap(ScanGlyph(false), QIcon::Disabled);
    return icon;
}
