#include "ui/UserLocale.h"

#include <QLocale>

namespace veerline::ui {

NumberSymbols UserNumberSymbols() {
  const QLocale locale;
  NumberSymbols symbols;
  symbols.decimal = locale.decimalPoint().toStdString();
  symbols.grouping = locale.groupSeparator().toStdString();
  if (symbols.grouping == symbols.decimal) symbols.grouping.clear();
  return symbols;
}

QString UserDecimalSeparator() { return QLocale().decimalPoint(); }

QString FormatUserNumber(double value) {
  return QString::fromStdString(FormatFieldNumber(value, UserNumberSymbols()));
}

}  // namespace veerline::ui
