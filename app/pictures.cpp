#include "app/pictures.h"

#include "app/programstate.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace zent5 {

namespace {

const QColor outline(40, 40, 40);

void drawPage(QPainter& p, const QRectF& r)
{
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - 4, r.top());
    page.lineTo(r.right(), r.top() + 4);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(r.right() - 4, r.top()), QPointF(r.right() - 4, r.top() + 4));
    p.drawLine(QPointF(r.right() - 4, r.top() + 4), QPointF(r.right(), r.top() + 4));
}

void drawNew(QPainter& p)
{
    drawPage(p, QRectF(2.5, 0.5, 10, 15));
    p.setPen(QPen(QColor(230, 170, 0), 1.5));
    p.drawLine(QPointF(12, 9), QPointF(15.5, 12.5));
    p.drawLine(QPointF(15.5, 9), QPointF(12, 12.5));
}

void drawOpen(QPainter& p)
{
    p.setPen(QPen(QColor(120, 90, 10), 1));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(QRectF(0.5, 3.5, 13, 11));
    p.drawRect(QRectF(0.5, 2.5, 5, 2));
    QPainterPath flap;
    flap.moveTo(3.5, 7.5);
    flap.lineTo(15.5, 7.5);
    flap.lineTo(13.5, 14.5);
    flap.lineTo(0.5, 14.5);
    flap.closeSubpath();
    p.setBrush(QColor(255, 225, 120));
    p.drawPath(flap);
}

void drawSave(QPainter& p)
{
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(0.5, 0.5, 15, 15));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 0.5, 9, 6));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(3.5, 10.5, 9, 5));
    p.setBrush(QColor(20, 40, 90));
    p.drawRect(QRectF(9.5, 11.5, 2, 3));
}

void drawPreview(QPainter& p)
{
    drawPage(p, QRectF(0.5, 0.5, 10, 14));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (double y = 4.5; y < 13; y += 2)
        p.drawLine(QPointF(2.5, y), QPointF(8.5, y));
    p.setPen(QPen(QColor(20, 20, 120), 1.5));
    p.setBrush(QColor(200, 230, 255, 200));
    p.drawEllipse(QPointF(9.5, 9.5), 3.5, 3.5);
    p.setPen(QPen(QColor(20, 20, 120), 2.5));
    p.drawLine(QPointF(12, 12), QPointF(15, 15));
}

void drawPrint(QPainter& p)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 0.5, 9, 6));
    p.setBrush(QColor(170, 170, 170));
    p.drawRoundedRect(QRectF(0.5, 5.5, 15, 7), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 10.5, 9, 5));
    p.setPen(QPen(QColor(0, 160, 0), 1));
    p.drawPoint(QPointF(13, 7.5));
}

void drawHelp(QPainter& p)
{
    p.setPen(QPen(QColor(20, 60, 140), 1));
    p.setBrush(QColor(50, 110, 210));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont f(QStringLiteral("Sans Serif"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
}

void drawDeleteRows(QPainter& p)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(0.5, 1.5 + i * 4.5, 13, 3.5));
    p.setPen(QPen(QColor(210, 20, 20), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 6), QPointF(14.5, 14.5));
    p.drawLine(QPointF(14.5, 6), QPointF(7, 14.5));
}

} // namespace

QPixmap picture(int index)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case picNew: drawNew(p); break;
    case picOpen: drawOpen(p); break;
    case picSave: drawSave(p); break;
    case picPreview: drawPreview(p); break;
    case picPrint: drawPrint(p); break;
    case picHelp: drawHelp(p); break;
    case picDeleteRows: drawDeleteRows(p); break;
    default: break;
    }
    return pixmap;
}

QIcon picture_icon(int index) { return QIcon(picture(index)); }

QPixmap splash_picture()
{
    QPixmap pixmap(400, 78);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 400, 78);
    sky.setColorAt(0, QColor(16, 42, 92));
    sky.setColorAt(1, QColor(70, 120, 170));
    p.fillRect(pixmap.rect(), sky);

    // A pull-test curve: the force rises, holds, then the sample gives way.
    QPainterPath curve;
    curve.moveTo(170, 70);
    curve.cubicTo(220, 68, 250, 20, 300, 16);
    curve.lineTo(352, 14);
    curve.lineTo(360, 60);
    curve.lineTo(392, 62);
    p.setPen(QPen(QColor(255, 200, 60), 2.5));
    p.drawPath(curve);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawLine(170, 72, 394, 72);
    p.drawLine(170, 72, 170, 8);

    QFont title(QStringLiteral("Sans Serif"));
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(14, 4, 200, 44), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(program_title));

    QFont line(QStringLiteral("Sans Serif"));
    line.setPixelSize(11);
    p.setFont(line);
    p.setPen(QColor(220, 230, 245));
    p.drawText(QRect(14, 48, 160, 26), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Передача данных с прибора"));
    p.end();
    return pixmap;
}

} // namespace zent5
