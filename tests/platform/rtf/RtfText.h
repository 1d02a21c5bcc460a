#pragma once
// A small RTF-to-text reader for the tests, written apart from the engine so that it does not share
// its faults: paragraphs, cells and rows end lines; hidden destinations are skipped.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace rtftest {

QString rtfToText(const QByteArray& rtf);

// The text as lines without surrounding blanks, empty lines dropped: how both readers are compared.
QStringList lines(const QString& text);

}  // namespace rtftest
