#include "ui/QtColourSettings.h"

#include <QSettings>

namespace veerline::ui {

// The store is opened for every read, so a change made in the colour settings
// dialog counts from the next run on.
std::string QtColourSettings::Read(const std::string& key, const std::string& defaultValue) {
  if (!mServices.openSettings) return defaultValue;
  const std::unique_ptr<QSettings> settings = mServices.openSettings();
  if (!settings) return defaultValue;
  settings->beginGroup(QString::fromLatin1(kSettingsSection));
  const QVariant value = settings->value(QString::fromStdString(key));
  settings->endGroup();
  return value.isValid() ? value.toString().toStdString() : defaultValue;
}

}  // namespace veerline::ui
