#include "app/banner.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "app/tform1.h"

namespace app {

namespace {

void drawEnvelope(QPainter& p, const QRectF& r, const QColor& color) {
    p.setPen(QPen(color, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 3, 3);
    QPainterPath flap;
    flap.moveTo(r.topLeft());
    flap.lineTo(r.center().x(), r.top() + r.height() * 0.55);
    flap.lineTo(r.topRight());
    p.drawPath(flap);
}

QFont bannerFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace

QPixmap drawBanner(int width, int height) {
    QPixmap pixmap(width, height);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(0x0b, 0x3d, 0x6e));
    sky.setColorAt(0.6, QColor(0x1f, 0x6f, 0xb2));
    sky.setColorAt(1, QColor(0x4f, 0xa3, 0xd9));
    p.fillRect(pixmap.rect(), sky);

    // A trail of envelopes, smaller towards the right.
    for (int i = 0; i < 6; ++i) {
        const double size = 34 - i * 4;
        const QRectF r(width - 330 + i * 52, height / 2.0 - size * 0.35, size, size * 0.7);
        drawEnvelope(p, r, QColor(255, 255, 255, 200 - i * 25));
    }
    drawEnvelope(p, QRectF(18, 16, 56, 40), Qt::white);

    p.setPen(Qt::white);
    p.setFont(bannerFont(26, true));
    p.drawText(QRect(90, 6, 520, 38), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(kApplicationTitle));
    p.setFont(bannerFont(12, false));
    p.setPen(QColor(0xdd, 0xee, 0xff));
    p.drawText(QRect(92, 44, 600, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("无效地址 · 错误地址 · 去重 · 转小写 · 按@后缀分类导出    ") +
                   QString::fromUtf8(publisher::kName));
    return pixmap;
}

QIcon drawPreviewIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1f, 0x6f, 0xb2), 3));
    p.setBrush(QColor(0xd8, 0xea, 0xfa));
    p.drawEllipse(QRectF(4, 4, 17, 17));
    p.setPen(QPen(QColor(0x0b, 0x3d, 0x6e), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 20), QPointF(28, 28));
    return QIcon(pixmap);
}

QIcon drawSetupIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x44, 0x44, 0x44), 2));
    for (int y : {4, 8, 12}) p.drawLine(2, y, 14, y);
    p.setBrush(QColor(0x1f, 0x6f, 0xb2));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(5, 4), 2.2, 2.2);
    p.drawEllipse(QPointF(11, 8), 2.2, 2.2);
    p.drawEllipse(QPointF(7, 12), 2.2, 2.2);
    return QIcon(pixmap);
}

}  // namespace app
