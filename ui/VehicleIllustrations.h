#pragma once

#include <QPixmap>
#include <QString>

namespace veerline::ui {

// The side-view picture of a vehicle type with its dimension letters (F, WB,
// B, H, F2, ...), looked up by the type's illustration key ("Truck",
// "Semitrailer", ...). Painted once and kept; a null pixmap for an unknown key.
QPixmap VehicleIllustration(const QString& key);

}  // namespace veerline::ui
