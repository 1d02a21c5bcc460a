#pragma once
// The small window long operations show while they run on the user-interface thread: one bar, or two
// where an outer loop holds an inner one. After every change it comes to the front and lets pending
// events through, so the rest of the interface repaints while the caller works.

#include <QDialog>

#include "platform/dialogs/Dialogs.h"

class QLabel;
class QProgressBar;

class TFrmProgressBar : public QDialog, public ui::ProgressWindow {
    Q_OBJECT
public:
    explicit TFrmProgressBar(QWidget* owner = nullptr);
    ~TFrmProgressBar() override;

    void init(const QString& caption, int maximum, bool show) override;
    void refresh() override;
    void step(const QString& text = QString()) override;
    void stepBy(int count) override;
    void complete() override;
    void initPercent(const QString& caption, int total, bool show, int percentStep) override;
    void showSecondBar(bool on) override;
    void init2(const QString& label, int maximum) override;
    void initPercent2(const QString& label, int total, int percentStep) override;
    void step2() override;
    void setPosition2(int position) override;
    void complete2() override;

    QProgressBar* pg_Bar;
    QLabel* l_pg2;
    QProgressBar* pg_Bar2;

    int stepDivisor = 0;
    int stepCounter = 0;
    int stepDivisor2 = 0;
    int stepCounter2 = 0;

    // Makes these windows the ones createProgressWindow() gives.
    static void install();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool cursorSet_ = false;
    bool processMessages_ = true;
};
