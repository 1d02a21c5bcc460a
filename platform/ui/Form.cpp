#include "platform/ui/Form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "platform/core/Exception.h"
#include "platform/os/IniFile.h"

namespace ui {

namespace {

TerminateHook& terminateHook() {
    static TerminateHook hook;
    return hook;
}

}  // namespace

Form::Form(const QString& componentName, QWidget* owner, Qt::WindowFlags flags) : QDialog(owner, flags) {
    setObjectName(componentName);
}

Form::~Form() = default;

ModalResult Form::showModal() {
    modalResult_ = ModalResult::None;
    showError_ = nullptr;
    setModal(true);
    exec();
    if (showError_) {
        const std::exception_ptr error = showError_;
        showError_ = nullptr;
        std::rethrow_exception(error);
    }
    if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
    return modalResult_;
}

void Form::setModalResult(ModalResult result) {
    modalResult_ = result;
    if (result == ModalResult::None) return;
    const bool accepted = result == ModalResult::Ok || result == ModalResult::Yes;
    const ModalResult kept = result;
    done(accepted ? QDialog::Accepted : QDialog::Rejected);
    // done() clears the result when the close step kept the form open.
    if (!isVisible()) modalResult_ = kept;
}

void Form::setDefaultButton(QPushButton* button) {
    defaultButton_ = button;
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(b == button);
    }
}

void Form::accept() {
    setModalResult(ModalResult::Ok);
}

void Form::reject() {
    setModalResult(ModalResult::Cancel);
}

void Form::done(int result) {
    if (modalResult_ == ModalResult::None)
        modalResult_ = result == QDialog::Accepted ? ModalResult::Ok : ModalResult::Cancel;
    if (isVisible() && !closing_) {
        closing_ = true;
        try {
            formClose();
            if (!placementFile_.isEmpty()) savePlacement(placementFile_, placementSection_);
        } catch (const std::exception&) {
            // As on the platform, a failing close handler keeps the form open.
            closing_ = false;
            modalResult_ = ModalResult::None;
            runGuarded([] { throw; });
            return;
        }
    }
    QDialog::done(result);
}

void Form::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        closing_ = false;
        // Enter is answered by keyPressEvent alone: no button becomes default on its own.
        for (QPushButton* b : findChildren<QPushButton*>()) {
            b->setAutoDefault(false);
            b->setDefault(b == defaultButton_);
        }
        try {
            if (!placementFile_.isEmpty()) restorePlacement(placementFile_, placementSection_);
            formShow();
        } catch (const std::exception&) {
            if (isModal()) {
                // Leaves showModal() once the modal loop runs; no close step for a form never shown.
                showError_ = std::current_exception();
                closing_ = true;
                QMetaObject::invokeMethod(
                    this, [this] { QDialog::done(QDialog::Rejected); }, Qt::QueuedConnection);
            } else {
                runGuarded([] { throw; });
            }
        }
    }
    QDialog::showEvent(event);
}

void Form::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier && cancelButton_) {
        if (cancelButton_->isVisible() && cancelButton_->isEnabled()) cancelButton_->click();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && mods == Qt::NoModifier) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        QPushButton* target = focused ? focused : defaultButton_.data();
        if (target && target->isVisible() && target->isEnabled()) target->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Form::savePlacement(const QString& iniFile, const QString& section) const {
    const os::IniFile ini(iniFile);
    const QRect normal = isMaximized() ? normalGeometry() : QRect(pos(), size());
    ini.writeInt(section, QStringLiteral("ShowCmd"), isMaximized() ? 3 : 1);
    const QScreen* s = screen();
    ini.writeInt(section, QStringLiteral("PixelsPerInch"), s ? qRound(s->logicalDotsPerInch()) : 96);
    ini.writeString(section, QStringLiteral("NormPos"),
                    QStringLiteral("%1,%2,%3,%4")
                        .arg(normal.left())
                        .arg(normal.top())
                        .arg(normal.left() + normal.width())
                        .arg(normal.top() + normal.height()));
}

void Form::restorePlacement(const QString& iniFile, const QString& section) {
    const os::IniFile ini(iniFile);
    const QStringList parts = ini.readString(section, QStringLiteral("NormPos"), QString()).split(u',');
    if (parts.size() != 4) return;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return;
    }
    const int width = v[2] - v[0];
    const int height = v[3] - v[1];
    if (width <= 0 || height <= 0) return;
    resize(width, height);
    const QPoint topLeft(v[0], v[1]);
    for (const QScreen* s : QGuiApplication::screens()) {
        if (s->geometry().contains(topLeft)) {
            move(topLeft);
            break;
        }
    }
    if (ini.readInt(section, QStringLiteral("ShowCmd"), 1) == 3)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void Form::setPlacementStorage(const QString& iniFile, const QString& section) {
    placementFile_ = iniFile;
    placementSection_ = section;
}

namespace {
std::function<QString()>& placementFileHook() {
    static std::function<QString()> hook;
    return hook;
}
}  // namespace

QString Form::defaultPlacementFile() {
    return placementFileHook() ? placementFileHook()() : QString();
}

void Form::setPlacementFileHook(std::function<QString()> hook) {
    placementFileHook() = std::move(hook);
}

void requestTerminate() {
    if (terminateHook()) {
        terminateHook()();
        return;
    }
    if (QCoreApplication::instance()) QCoreApplication::quit();
}

TerminateHook setTerminateHook(TerminateHook hook) {
    TerminateHook previous = std::move(terminateHook());
    terminateHook() = std::move(hook);
    return previous;
}

}  // namespace ui
