// The application's texts (app_texts.h, UTF-8) as QStrings.
#pragma once

#include <QString>

namespace quillon::app {

inline QString Text(const char* text) { return QString::fromUtf8(text); }

}  // namespace quillon::app
