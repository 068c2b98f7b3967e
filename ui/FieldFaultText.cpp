#include "ui/FieldFaultText.h"

namespace veerline::ui {

QString FieldFaultTip(FieldFault fault, const QString& decimalSeparator) {
  switch (fault) {
    case FieldFault::NotANumber:
      return QStringLiteral("Not a number. Type the decimal separator \"%1\".")
          .arg(decimalSeparator);
    case FieldFault::NotAboveZero:
      return QStringLiteral("Must be above zero!");
    case FieldFault::Negative:
      return QStringLiteral("Must not be negative!");
    case FieldFault::None:
      break;
  }
  return {};
}

QString FieldFaultMessage(Dimension field, FieldFault fault, const QString& text,
                          const QString& decimalSeparator) {
  const std::string_view name = DimensionDisplayName(field);
  const QString message = QStringLiteral("Bad value for %1!")
                              .arg(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
  if (fault == FieldFault::NotANumber)
    return message +
           QStringLiteral("\r\r\"%1\" is not a number. Type the decimal separator \"%2\".")
               .arg(text.trimmed(), decimalSeparator);
  return message + QStringLiteral(" ") + FieldFaultTip(fault, decimalSeparator);
}

}  // namespace veerline::ui
