#include "platform/ui/OperatorInterface.h"

#include "platform/ui/ScriptedOperatorInterface.h"

namespace estaciones::ui {

namespace {
OperatorInterface*& current() {
    static OperatorInterface* instance = nullptr;
    return instance;
}

OperatorInterface& fallback() {
    static ScriptedOperatorInterface instance;
    return instance;
}
} // namespace

OperatorInterface& operatorInterface() {
    OperatorInterface* instance = current();
    return instance ? *instance : fallback();
}

OperatorInterface* setOperatorInterface(OperatorInterface* instance) {
    OperatorInterface* previous = current();
    current() = instance;
    return previous;
}

} // namespace estaciones::ui
