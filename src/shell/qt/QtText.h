#pragma once
// The Qt boundary for text: Windows-1252 bytes <-> QString.
#include <QString>
#include <string>
#include <string_view>

QString toUnicode(std::string_view bytes);
std::string fromUnicode(const QString& text);
