#include "kv_progressBar.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace {

// D = 100 / P positions of the bar; a step outside 1..100 is clamped, a zero would divide by zero.
int positions(int percentStep) { return 100 / std::clamp(percentStep, 1, 100); }

}  // namespace

TFrmProgressBar::TFrmProgressBar(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FrmProgressBar"));
    setModal(false);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    pg_Bar = new QProgressBar(this);
    pg_Bar->setObjectName(QStringLiteral("pg_Bar"));
    pg_Bar->setGeometry(5, 6, 385, 16);
    pg_Bar->setTextVisible(false);
    l_pg2 = new QLabel(this);
    l_pg2->setObjectName(QStringLiteral("l_pg2"));
    l_pg2->move(5, 27);
    pg_Bar2 = new QProgressBar(this);
    pg_Bar2->setObjectName(QStringLiteral("pg_Bar2"));
    pg_Bar2->setGeometry(5, 43, 385, 16);
    pg_Bar2->setTextVisible(false);
    setFixedWidth(394);
    resize(394, 64);
    setCursor(Qt::BusyCursor);
    showSecondBar(false);
}

TFrmProgressBar::~TFrmProgressBar() {
    // The screen cursor of before the window was shown comes back.
    if (cursorSet_) QApplication::restoreOverrideCursor();
}

void TFrmProgressBar::showEvent(QShowEvent* event) {
    if (!cursorSet_) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        cursorSet_ = true;
    }
    if (parentWidget()) move(parentWidget()->window()->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TFrmProgressBar::init(const QString& caption, int maximum, bool show) {
    setWindowTitle(caption);
    pg_Bar->setRange(0, std::max(0, maximum));
    pg_Bar->setValue(0);
    if (show) this->show();
    if (processMessages_) QCoreApplication::processEvents();
}

void TFrmProgressBar::refresh() {
    raise();
    if (processMessages_) QCoreApplication::processEvents();
}

void TFrmProgressBar::step(const QString& text) {
    if (stepDivisor != 0) {
        if (++stepCounter < stepDivisor) return;
        stepCounter = 0;
    }
    if (!text.isEmpty()) setWindowTitle(text);
    pg_Bar->setValue(std::min(pg_Bar->maximum(), pg_Bar->value() + 1));
    refresh();
}

void TFrmProgressBar::stepBy(int count) {
    pg_Bar->setValue(std::min(pg_Bar->maximum(), pg_Bar->value() + count));
    refresh();
}

void TFrmProgressBar::complete() {
    pg_Bar->setValue(pg_Bar->maximum());
    refresh();
}

void TFrmProgressBar::initPercent(const QString& caption, int total, bool show, int percentStep) {
    const int d = positions(percentStep);
    stepDivisor = total / d + 1;
    stepCounter = 0;
    init(caption, stepDivisor == 1 ? total : d, show);
}

void TFrmProgressBar::showSecondBar(bool on) {
    l_pg2->setVisible(on);
    pg_Bar2->setVisible(on);
    const QProgressBar* lowest = on ? pg_Bar2 : pg_Bar;
    const int height = lowest->geometry().top() + lowest->height() + lowest->height() / 2;
    setFixedHeight(height);
}

void TFrmProgressBar::init2(const QString& label, int maximum) {
    l_pg2->setText(label);
    l_pg2->adjustSize();
    pg_Bar2->setRange(0, std::max(0, maximum));
    pg_Bar2->setValue(0);
    showSecondBar(true);
}

void TFrmProgressBar::initPercent2(const QString& label, int total, int percentStep) {
    const int d = positions(percentStep);
    stepDivisor2 = total / d + 1;
    stepCounter2 = 0;
    init2(label, stepDivisor2 == 1 ? total : d);
}

void TFrmProgressBar::step2() {
    if (stepDivisor2 != 0) {
        if (++stepCounter2 < stepDivisor2) return;
        stepCounter2 = 0;
    }
    pg_Bar2->setValue(std::min(pg_Bar2->maximum(), pg_Bar2->value() + 1));
    refresh();
}

void TFrmProgressBar::setPosition2(int position) {
    pg_Bar2->setValue(std::clamp(position, pg_Bar2->minimum(), pg_Bar2->maximum()));
    refresh();
}

void TFrmProgressBar::complete2() {
    pg_Bar2->setValue(pg_Bar2->maximum());
    refresh();
}

void TFrmProgressBar::install() {
    ui::setProgressFactory([](QObject* owner) -> std::unique_ptr<ui::ProgressWindow> {
        return std::make_unique<TFrmProgressBar>(qobject_cast<QWidget*>(owner));
    });
}
