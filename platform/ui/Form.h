#pragma once
// The base of the program's windows, our stand-in for the platform's form with its translation
// component and its placement component:
// - a dialog known by its component name (the object name, "BookForm", "FSetGridColumns" ...);
// - its own table of texts in the two interface languages (ui::Translations): messages under keys such
//   as "IDS_0", and the captions of its controls (any text property: a label's or button's "text", a
//   group box's "title", the window's "windowTitle", a "toolTip"); the process-wide active language
//   (1 Russian, 2 Ukrainian) picks the text, and changing it re-translates every live form;
// - modal showing that answers a ui::ModalResult, with a button that Esc clicks and a default button
//   that Enter clicks (a focused button answers Enter itself; nothing else does, as on the platform);
// - show and close steps for subclasses (formShow, formClose), and an action guard that shows what an
//   action raises in an error box, as the application's exception handler does;
// - its placement (position, size, maximised) saved to and restored from a section of an INI file,
//   by call or automatically when it shows and closes.

#include <QAbstractButton>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <exception>
#include <functional>
#include <map>
#include <vector>

#include "platform/dialogs/Dialogs.h"
#include "platform/ui/Translations.h"

namespace ui {

class Form : public QDialog {
    Q_OBJECT
public:
    explicit Form(const QString& componentName, QWidget* owner = nullptr, Qt::WindowFlags flags = Qt::Dialog);
    ~Form() override;

    QString componentName() const { return objectName(); }

    // The active language of every form (1 Russian, the default, or 2 Ukrainian; anything else is
    // taken as Russian). Setting it re-translates the forms that exist.
    static int language() { return Translations::language(); }
    static void setLanguage(int language) { Translations::setLanguage(language); }
    static QString decodeEscapes(const QString& text) { return Translations::decodeEscapes(text); }

    // The form's own table of texts (ui::Translations).
    void addMessage(const QString& key, const QString& russian, const QString& ukrainian) {
        texts_.addMessage(key, russian, ukrainian);
    }
    QString message(const QString& key) const { return texts_.message(key); }
    void addCaption(QObject* control, const char* property, const QString& russian,
                    const QString& ukrainian) {
        texts_.addCaption(control, property, russian, ukrainian);
    }
    void applyLanguage() { texts_.applyLanguage(); }

    // Shows the form modally; the result names how it was closed (Cancel when it was closed without
    // one). An exception raised by the show step closes the form and leaves this call.
    ModalResult showModal();
    ModalResult modalResult() const { return modalResult_; }
    // Any result but None closes a shown form with that result; the close step runs first and may
    // keep the form open by raising (the error is shown).
    void setModalResult(ModalResult result);

    // Esc clicks this button (when it is visible and enabled) instead of closing the form.
    void setCancelButton(QAbstractButton* button) { cancelButton_ = button; }
    // Enter clicks this button, unless another push button has the focus: then Enter clicks that one,
    // as on the platform. Without a default button Enter in an edit does nothing.
    void setDefaultButton(QPushButton* button);

    // Placement in a section of an INI file: keys "NormPos" (left,top,right,bottom of the normal
    // window: its position and client size), "ShowCmd" (1 normal, 3 maximised) and "PixelsPerInch".
    void savePlacement(const QString& iniFile, const QString& section) const;
    // Nothing changes when the section holds no valid position; a position off every screen keeps
    // the current one.
    void restorePlacement(const QString& iniFile, const QString& section);
    // Restored before each show and saved at each close; an empty file name stops it.
    void setPlacementStorage(const QString& iniFile, const QString& section);
    // The file windows keep their placement in when they name none of their own: the program installs
    // the per-user interface file; empty until then.
    static QString defaultPlacementFile();
    static void setPlacementFileHook(std::function<QString()> hook);

    void accept() override;
    void reject() override;
    void done(int result) override;

protected:
    // Run as the form is being shown, before it appears; and once as it closes (also when it is closed
    // through its close box or Esc), before it hides.
    virtual void formShow() {}
    virtual void formClose() {}

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Translations texts_;
    ModalResult modalResult_ = ModalResult::None;
    QPointer<QAbstractButton> cancelButton_;
    QPointer<QPushButton> defaultButton_;
    QString placementFile_;
    QString placementSection_;
    bool closing_ = false;
    std::exception_ptr showError_;
};

// The request to end the application (the platform's Application->Terminate): by default it quits
// the application's event loops; tests and the shell may install their own. Setting an empty hook
// puts the default back; the previous hook is returned.
using TerminateHook = std::function<void()>;
void requestTerminate();
TerminateHook setTerminateHook(TerminateHook hook);

}  // namespace ui
