#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace kelvara {

// What the desktop shell keeps between runs beside the settings file, in a
// file of its own so the settings file keeps its format: the window's size
// and place, and the language of the interface.
struct WindowSettings {
  QByteArray geometry;  // as QWidget::saveGeometry gives it; empty: none kept
  QString language;     // "ja" or "en"; empty: not chosen
};

// The file beside the settings file: "klv.ini" keeps "klv-window.ini".
std::string windowSettingsPath(const std::string& settingsPath);

// Reads the file; a missing, oversized or unreadable file gives nothing kept.
WindowSettings readWindowSettings(const std::string& path);

// Writes the file; false when it cannot be written.
bool writeWindowSettings(const std::string& path, const WindowSettings& settings);

// The interface languages there are.
bool isInterfaceLanguage(const QString& language);

}  // namespace kelvara
