#include "ui/AboutBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>

#include "ui/VehicleIllustrations.h"
#include "ui/VersionInfo.h"

namespace veerline::ui {

QString ProductWebAddress(const UiServices& services) {
  auto settings = services.openSettings();
  settings->beginGroup(QString::fromLatin1(kSettingsSection));
  const QString address = settings->value(QStringLiteral("UpdateAddress")).toString().trimmed();
  return address.isEmpty() ? QStringLiteral("https://veerline.example.org/") : address;
}

void CentreOnScreen(QWidget* window) {
  if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
    return;
  const QScreen* screen = window->screen();
  if (screen == nullptr) return;
  const QRect area = screen->geometry();
  const QRect frame = window->frameGeometry();
  window->move(area.x() + (area.width() - frame.width()) / 2,
               area.y() + (area.height() - frame.height()) / 2);
}

frmAbout::frmAbout(const UiServices& services, QWidget* parent)
    : QDialog(parent), mServices(services) {
  setObjectName(QStringLiteral("frmAbout"));
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSizeF(8.25);
  setFont(font);
  setModal(false);

  auto named = [](QLabel* label, const char* name) {
    label->setObjectName(QString::fromLatin1(name));
    return label;
  };
  auto* picture = named(new QLabel, "Picture1");
  picture->setPixmap(VehicleIllustration(QStringLiteral("Semitrailer")));
  auto* title = named(new QLabel(QStringLiteral("Veerline")), "Label6");
  title->setFont(QFont(QStringLiteral("Verdana"), 16, QFont::Bold));
  auto* version = named(new QLabel, "lblVersion");
  auto* description = named(new QLabel, "lblDescription");
  auto* disclaimer = named(
      new QLabel(QStringLiteral("Veerline draws the swept path of a vehicle model. Check every "
                                "result against the vehicle's own turning data before relying "
                                "on it.")),
      "lblDisclaimer");
  disclaimer->setWordWrap(true);
  auto* updates = new QPushButton(QStringLiteral("Check for updates"));
  updates->setObjectName(QStringLiteral("Command2"));
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setObjectName(QStringLiteral("cmdOK"));

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(picture);
  auto* texts = new QVBoxLayout;
  texts->addWidget(title);
  texts->addWidget(version);
  texts->addWidget(description);
  texts->addStretch(1);
  top->addLayout(texts);
  layout->addLayout(top);
  layout->addWidget(disclaimer);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(updates);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  connect(updates, &QPushButton::clicked, this, &frmAbout::OnCheckForUpdates);
  connect(ok, &QPushButton::clicked, this, &frmAbout::close);

  const VersionInfo v = ProgramVersion();
  setWindowTitle(QStringLiteral("About Veerline"));
  version->setText(QStringLiteral("Version %1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision));
  description->setText(QStringLiteral("Vehicle Turning Simulation for DXF drawings"));
}

void frmAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!mCentred) {
    mCentred = true;
    CentreOnScreen(this);
  }
}

void frmAbout::OnCheckForUpdates() {
  const QString address = ProductWebAddress(mServices);
  if (!mServices.openUrl(QUrl(address)))
    mServices.showMessage(this, MessageKind::Error, QStringLiteral("Check for updates"),
                          QStringLiteral("No program could open the address %1").arg(address));
}

}  // namespace veerline::ui
