#pragma once

#include <QList>
#include <QString>

class QLineEdit;
class QWidget;

namespace estaciones::library {

// The form helpers' field look-up. A window marks each text box of a control
// array with the field it edits in the dynamic property "DataField" (the
// original's field name: "Codigo", "Descripcion", "Precio") and with its
// array position in "index"; all boxes of the array share one objectName.
inline constexpr char fieldNameProperty[] = "DataField";
inline constexpr char arrayIndexProperty[] = "index";

// The text boxes under `parent` whose objectName is `arrayName`, in the
// order of their "index" property.
QList<QLineEdit*> controlArray(const QWidget& parent, const QString& arrayName);

// The box of `array` whose field name is `fieldName` (ignoring case), or
// nullptr.
QLineEdit* findFieldBox(const QList<QLineEdit*>& array, const QString& fieldName);

} // namespace estaciones::library
