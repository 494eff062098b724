#include "runtime/errors.h"

namespace rt {

Error::Error(int number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description) {}

// The descriptions are those of the Italian desktop run time.
Error Error::overflow() {
    return Error(ErrOverflow, QStringLiteral("Overflow"));
}

Error Error::typeMismatch() {
    return Error(ErrTypeMismatch, QStringLiteral("Tipo non corrispondente"));
}

Error Error::divisionByZero() {
    return Error(ErrDivisionByZero, QStringLiteral("Divisione per zero"));
}

Error Error::invalidUseOfNull() {
    return Error(ErrInvalidUseOfNull, QStringLiteral("Utilizzo non valido di Null"));
}

Error Error::objectNotSet() {
    return Error(ErrObjectNotSet,
                 QStringLiteral("Variabile oggetto o variabile del blocco With non impostata"));
}

} // namespace rt
