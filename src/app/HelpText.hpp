// The fixed texts of the Help command and the About box: usage lines, version history and the web address.
#pragma once

#include <QString>
#include <QStringList>

inline const QString kVersionText = QStringLiteral("3.41");
inline const QString kProductText = QStringLiteral("Velmora.exe");
inline const QString kNoticeText = QStringLiteral("Velmora Project");
inline const QString kWebAddress = QStringLiteral("https://velmora.example.org/");

// The 16 lines shown by "Help", in order.
QStringList helpLines();
// The 33 lines of the About box's history memo; indents are ideographic spaces (U+3000).
QStringList aboutHistoryLines();
