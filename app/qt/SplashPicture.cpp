#include "app/qt/SplashPicture.h"

#include <QEventLoop>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSplashScreen>
#include <QTimer>

namespace quillet {

QPixmap splashPicture() {
    constexpr int kWidth = 420, kHeight = 240;
    QPixmap pixmap(kWidth, kHeight);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(0x1d, 0x3b, 0x6a));
    sky.setColorAt(1, QColor(0x5e, 0x8f, 0xc7));
    p.fillRect(pixmap.rect(), sky);
    // Three overlapping sheets: the layers the editor is built around.
    const QColor sheets[] = {QColor(255, 196, 64, 210), QColor(96, 208, 160, 210),
                             QColor(240, 96, 112, 210)};
    for (int i = 0; i < 3; ++i) {
        const QRectF r(40 + i * 26, 50 + i * 22, 120, 90);
        p.setPen(QPen(QColor(255, 255, 255, 230), 2));
        p.setBrush(sheets[i]);
        p.drawRoundedRect(r, 8, 8);
    }
    // A quill across the sheets.
    QPainterPath quill;
    quill.moveTo(70, 200);
    quill.cubicTo(120, 150, 170, 90, 215, 40);
    quill.cubicTo(200, 95, 160, 150, 70, 200);
    p.setPen(QPen(QColor(250, 250, 250), 1.5));
    p.setBrush(QColor(250, 250, 250, 200));
    p.drawPath(quill);
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Sans"), 30, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(230, 70, 180, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Quillet"));
    QFont sub(QStringLiteral("Sans"), 12);
    p.setFont(sub);
    p.drawText(QRect(232, 120, 180, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("버전 4.6"));
    p.drawText(QRect(232, 190, 180, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Velloran Applications"));
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return pixmap;
}

void showSplash(int milliseconds) {
    QSplashScreen splash(splashPicture());
    splash.show();
    // Modal for its time: the program waits here, painting the picture.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    splash.close();
}

}  // namespace quillet
