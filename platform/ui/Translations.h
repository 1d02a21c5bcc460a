#pragma once
// The translation component of a window: its messages under keys such as "IDS_0" and the captions of
// its controls, each in the two interface languages with "\n" escapes decoded. One process-wide active
// language (1 Russian, 2 Ukrainian) picks the texts, and changing it re-translates every live table.
// Dialogs get it through ui::Form; other windows (the main window) hold one of their own.

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <map>
#include <utility>
#include <vector>

class QObject;

namespace ui {

// The interface languages.
constexpr int kLanguageRussian = 1;
constexpr int kLanguageUkrainian = 2;

class Translations {
public:
    Translations();
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // The active language of every table (1 Russian, the default, or 2 Ukrainian; anything else is
    // taken as Russian). Setting it re-translates the captions of every live table.
    static int language();
    static void setLanguage(int language);

    // "\n" (a backslash and an n) becomes a line break; nothing else changes.
    static QString decodeEscapes(const QString& text);

    // A message, replacing an earlier one of the same key.
    void addMessage(const QString& key, const QString& russian, const QString& ukrainian);
    // The message in the active language; the Russian text when the other is empty; empty for a key
    // the table does not have.
    QString message(const QString& key) const;
    // A translated caption: the control's property takes the text of the active language, now and at
    // every change of language.
    void addCaption(QObject* control, const char* property, const QString& russian, const QString& ukrainian);
    // Puts the active language's captions on the controls.
    void applyLanguage();

private:
    struct Caption {
        QPointer<QObject> control;
        QByteArray property;
        QString texts[2];
    };
    std::map<QString, std::pair<QString, QString>> messages_;
    std::vector<Caption> captions_;
};

}  // namespace ui
