#include "runtime/variant.h"

namespace rt {

VarType Variant::type() const {
    struct Visitor {
        VarType operator()(std::monostate) const { return VarType::Empty; }
        VarType operator()(NullValue) const { return VarType::Null; }
        VarType operator()(std::int16_t) const { return VarType::Integer; }
        VarType operator()(std::int32_t) const { return VarType::Long; }
        VarType operator()(double) const { return VarType::Double; }
        VarType operator()(const QString&) const { return VarType::String; }
        VarType operator()(const QDateTime&) const { return VarType::Date; }
        VarType operator()(const std::shared_ptr<Object>&) const { return VarType::Object; }
        VarType operator()(bool) const { return VarType::Boolean; }
        VarType operator()(const Decimal&) const { return VarType::Decimal; }
    };
    return std::visit(Visitor{}, value_);
}

bool Variant::isNumeric() const {
    switch (type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Decimal:
    case VarType::Boolean:
        return true;
    default:
        return false;
    }
}

QString Variant::debugText() const {
    switch (type()) {
    case VarType::Empty:
        return QStringLiteral("Empty");
    case VarType::Null:
        return QStringLiteral("Null");
    case VarType::Integer:
        return QStringLiteral("Integer(%1)").arg(asInteger());
    case VarType::Long:
        return QStringLiteral("Long(%1)").arg(asLong());
    case VarType::Double:
        return QStringLiteral("Double(%1)").arg(QString::number(asDouble(), 'g', 17));
    case VarType::Decimal:
        return QStringLiteral("Decimal(%1)").arg(asDecimal().toString());
    case VarType::String:
        return QStringLiteral("String(\"%1\")").arg(asString());
    case VarType::Date:
        return QStringLiteral("Date(%1)")
            .arg(asDate().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")));
    case VarType::Boolean:
        return asBool() ? QStringLiteral("Boolean(True)") : QStringLiteral("Boolean(False)");
    case VarType::Object:
        return asObject() ? QStringLiteral("Object") : QStringLiteral("Object(Nothing)");
    }
    return QString();
}

} // namespace rt
