#include "host/data/sql_literal.h"

namespace host {

QString escapeSqlText(const QString& text) {
    QString escaped = text;
    escaped.replace(u'\'', QStringLiteral("''"));
    return escaped;
}

QString quotedSqlText(const QString& text) {
    return u'\'' + escapeSqlText(text) + u'\'';
}

QString withParametersWritten(const QString& statement, const QVariantList& values) {
    QString text;
    text.reserve(statement.size() + values.size() * 8);
    qsizetype next = 0;
    QChar quote; // inside '...' or "..." when set
    for (const QChar c : statement) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?' && next < values.size()) {
            const QVariant& value = values[next++];
            if (value.isNull())
                text += QStringLiteral("NULL");
            else if (value.typeId() == QMetaType::QByteArray) // bytea's hex input form
                text += QStringLiteral("'\\x") + QString::fromLatin1(value.toByteArray().toHex()) +
                        u'\'';
            else
                text += quotedSqlText(value.toString());
            continue;
        }
        text += c;
    }
    return text;
}

} // namespace host
