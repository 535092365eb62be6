#pragma once
// The Qt boundary for text: Windows-1252 bytes <-> QString.
#include <QString>
#include <string>

QString toUnicode(const std::string& bytes);
std::string fromUnicode(const QString& text);
