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

} // namespace host
