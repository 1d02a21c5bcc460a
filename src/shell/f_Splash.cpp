#include "f_Splash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

namespace TolvMain {

namespace {
constexpr int kWidth = 435;
constexpr int kHeight = 263;
constexpr int kAlphaBlendValue = 230;
}  // namespace

TFSplash::TFSplash(QWidget* owner) : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("FSplash"));
    setFixedSize(kWidth, kHeight);
    setWindowOpacity(kAlphaBlendValue / 255.0);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kWidth, kHeight);
    Image1->setPixmap(QPixmap(QStringLiteral(":/tolvanix/splash.png")));
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
}

}  // namespace TolvMain
