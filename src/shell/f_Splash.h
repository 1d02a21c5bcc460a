#pragma once
// The splash window: borderless, centred on the screen, sized to its picture (435 by 263), slightly
// transparent. It has no behaviour.

#include <QWidget>

class QLabel;

namespace TolvMain {

class TFSplash : public QWidget {
    Q_OBJECT
public:
    explicit TFSplash(QWidget* owner = nullptr);

    QLabel* Image1;
};

}  // namespace TolvMain
