#include "session/library/FormFields.h"

#include <QLineEdit>
#include <QVariant>

#include <algorithm>

namespace estaciones::library {

QList<QLineEdit*> controlArray(const QWidget& parent, const QString& arrayName) {
    QList<QLineEdit*> boxes = parent.findChildren<QLineEdit*>(arrayName);
    std::stable_sort(boxes.begin(), boxes.end(), [](const QLineEdit* a, const QLineEdit* b) {
        return a->property(arrayIndexProperty).toInt() < b->property(arrayIndexProperty).toInt();
    });
    return boxes;
}

QLineEdit* findFieldBox(const QList<QLineEdit*>& array, const QString& fieldName) {
    const auto found = std::find_if(array.begin(), array.end(), [&](const QLineEdit* box) {
        return box && box->property(fieldNameProperty)
                              .toString()
                              .compare(fieldName.trimmed(), Qt::CaseInsensitive) == 0;
    });
    return found == array.end() ? nullptr : *found;
}

} // namespace estaciones::library
