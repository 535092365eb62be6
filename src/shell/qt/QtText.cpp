#include "QtText.h"

#include "shell/Cp1252.h"

QString toUnicode(std::string_view bytes) {
    return QString::fromStdString(cp1252::ToUtf8(bytes));
}

std::string fromUnicode(const QString& text) {
    return cp1252::FromUtf8(text.toStdString());
}
