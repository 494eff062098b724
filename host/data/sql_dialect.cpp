#include "host/data/sql_dialect.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>
#include <array>

// The translator works on tokens, so nothing inside a string literal or a comment is ever
// rewritten: every rule looks only at words, numbers and punctuation of the statement.

namespace host {
namespace {

enum class Kind { Space, Word, Bracketed, Number, String, Punct, Comment };

struct Token {
    Kind kind;
    QString text;
};

using Tokens = QList<Token>;

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_' || c == u'#' || c == u'@';
}

bool isWordChar(QChar c) {
    return isWordStart(c) || c.isDigit() || c == u'$';
}

int scanString(const QString& s, int i, QChar quote) {
    ++i;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

int scanNumber(const QString& s, int i) {
    while (i < s.size() && s[i].isDigit())
        ++i;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && s[i].isDigit())
            ++i;
    }
    if (i + 1 < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        int j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        if (j < s.size() && s[j].isDigit()) {
            while (j < s.size() && s[j].isDigit())
                ++j;
            i = j;
        }
    }
    return i;
}

// <= >= <> != ||
bool isTwoCharOperator(QChar c, QChar next) {
    return ((c == u'<' || c == u'>' || c == u'!') && next == u'=') || (c == u'<' && next == u'>') ||
           (c == u'|' && next == u'|');
}

// One shared text per ASCII character: most blanks and punctuation are one character long.
const QString& asciiCharacter(char16_t c) {
    static const auto texts = [] {
        std::array<QString, 128> all;
        for (char16_t k = 0; k < 128; ++k)
            all[k] = QString(QChar(k));
        return all;
    }();
    return texts[c];
}

Tokens tokenize(const QString& s) {
    Tokens tokens;
    tokens.reserve(s.size() / 4);
    int i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        const QChar next = i + 1 < s.size() ? s[i + 1] : QChar();
        int end = i + 1;
        Kind kind = Kind::Punct;
        if (c.isSpace()) {
            kind = Kind::Space;
            while (end < s.size() && s[end].isSpace())
                ++end;
        } else if (c == u'\'') {
            kind = Kind::String;
            end = scanString(s, i, u'\'');
        } else if (c == u'"') {
            kind = Kind::Word;
            end = scanString(s, i, u'"');
        } else if (c == u'[') {
            kind = Kind::Bracketed;
            end = s.indexOf(u']', i);
            end = end < 0 ? s.size() : end + 1;
        } else if (c == u'-' && next == u'-') {
            kind = Kind::Comment;
            end = s.indexOf(u'\n', i);
            end = end < 0 ? s.size() : end;
        } else if (c == u'/' && next == u'*') {
            kind = Kind::Comment;
            end = s.indexOf(QStringLiteral("*/"), i + 2);
            end = end < 0 ? s.size() : end + 2;
        } else if (c.isDigit() || (c == u'.' && next.isDigit())) {
            kind = Kind::Number;
            end = scanNumber(s, i);
        } else if (isWordStart(c)) {
            kind = Kind::Word;
            while (end < s.size() && isWordChar(s[end]))
                ++end;
        } else if (isTwoCharOperator(c, next)) {
            end = i + 2;
        }
        if (end == i + 1 && c.unicode() < 128)
            tokens.append({kind, asciiCharacter(c.unicode())});
        else
            tokens.append({kind, s.mid(i, end - i)});
        i = end;
    }
    return tokens;
}

QString join(const Tokens& tokens) {
    QString out;
    for (const Token& t : tokens)
        out += t.text;
    return out;
}

bool isWord(const Token& t, const char* upper) {
    return t.kind == Kind::Word && t.text.compare(QLatin1String(upper), Qt::CaseInsensitive) == 0;
}

bool isPunct(const Token& t, const char* text) {
    return t.kind == Kind::Punct && t.text == QLatin1String(text);
}

// Index of the next token that is not blank or a comment, from i on; size() when none.
int nextSignificant(const Tokens& tokens, int i) {
    while (i < tokens.size() && (tokens[i].kind == Kind::Space || tokens[i].kind == Kind::Comment))
        ++i;
    return i;
}

int previousSignificant(const Tokens& tokens, int i) {
    --i;
    while (i >= 0 && (tokens[i].kind == Kind::Space || tokens[i].kind == Kind::Comment))
        --i;
    return i;
}

// Index of the parenthesis closing the one at open; size() when it is not closed.
int matchingParenthesis(const Tokens& tokens, int open) {
    int depth = 0;
    for (int i = open; i < tokens.size(); ++i) {
        if (isPunct(tokens[i], "("))
            ++depth;
        else if (isPunct(tokens[i], ")") && --depth == 0)
            return i;
    }
    return int(tokens.size());
}

// Token ranges [first, last) of the items separated by top-level commas between open and close.
QList<std::pair<int, int>> commaSeparatedItems(const Tokens& tokens, int open, int close) {
    QList<std::pair<int, int>> items;
    int depth = 0;
    int start = open + 1;
    for (int i = open + 1; i < close; ++i) {
        if (isPunct(tokens[i], "("))
            ++depth;
        else if (isPunct(tokens[i], ")"))
            --depth;
        else if (depth == 0 && isPunct(tokens[i], ",")) {
            items.append({start, i});
            start = i + 1;
        }
    }
    items.append({start, close});
    return items;
}

QString unquotedName(const QString& word) {
    if (word.size() >= 2 && (word.front() == u'[' || word.front() == u'"'))
        return word.mid(1, word.size() - 2);
    return word;
}

// ---- words and names ----

void unbracketNames(Tokens& tokens) {
    for (Token& t : tokens) {
        if (t.kind == Kind::Bracketed) {
            t.kind = Kind::Word;
            t.text = unquotedName(t.text);
        }
    }
}

// "[dbo].[T]" and "dbo.T" name the table T: SQLite and PostgreSQL have no schema dbo.
void mergeQualifiedNames(Tokens& tokens) {
    for (int i = 0; i + 2 < tokens.size(); ++i) {
        if (tokens[i].kind != Kind::Word || !isPunct(tokens[i + 1], ".") ||
            tokens[i + 2].kind != Kind::Word)
            continue;
        if (tokens[i].text.compare(u"dbo", Qt::CaseInsensitive) == 0)
            tokens[i].text = tokens[i + 2].text;
        else
            tokens[i].text += u'.' + tokens[i + 2].text;
        tokens.remove(i + 1, 2);
        --i;
    }
}

void renameTemporaryTables(Tokens& tokens) {
    for (Token& t : tokens) {
        if (t.kind == Kind::Word && t.text.startsWith(u'#'))
            t.text = temporaryTableName(t.text);
    }
}

void replaceFunctions(Tokens& tokens) {
    for (int i = 0; i < tokens.size(); ++i) {
        const int open = nextSignificant(tokens, i + 1);
        if (open >= tokens.size() || !isPunct(tokens[open], "("))
            continue;
        if (isWord(tokens[i], "ISNULL")) {
            tokens[i].text = QStringLiteral("COALESCE");
        } else if (isWord(tokens[i], "GETDATE")) {
            const int close = nextSignificant(tokens, open + 1);
            if (close < tokens.size() && isPunct(tokens[close], ")")) {
                tokens[i].text = QStringLiteral("CURRENT_TIMESTAMP");
                tokens.remove(i + 1, close - i);
            }
        }
    }
}

// ---- dates ----

// '' is the base date of SQL Server (1 January 1900); 'YYYYMMDD' is its unseparated date form.
QString dateLiteral(const QString& literal) {
    static const QRegularExpression compact(u"^'(\\d{4})(\\d{2})(\\d{2})'$"_qs);
    static const QRegularExpression isoDay(u"^'(\\d{4})-(\\d{2})-(\\d{2})'$"_qs);
    if (literal == u"''")
        return QStringLiteral("'1900-01-01 00:00:00'");
    for (const QRegularExpression* re : {&compact, &isoDay}) {
        const auto m = re->match(literal);
        if (m.hasMatch())
            return QStringLiteral("'%1-%2-%3 00:00:00'")
                .arg(m.captured(1), m.captured(2), m.captured(3));
    }
    return literal;
}

bool isComparison(const Token& t) {
    static const QStringList operators = {u"="_qs,  u"<"_qs,  u">"_qs, u"<="_qs,
                                          u">="_qs, u"<>"_qs, u"!="_qs};
    return t.kind == Kind::Punct && operators.contains(t.text);
}

bool isDateColumn(const Token& t, const DialectCatalog& catalog) {
    if (t.kind != Kind::Word)
        return false;
    if (catalog.dateColumns.isEmpty())
        return false;
    const qsizetype dot = t.text.lastIndexOf(u'.');
    const QString name = dot < 0 ? t.text : t.text.mid(dot + 1);
    return catalog.dateColumns.contains(unquotedName(name).toUpper());
}

// "COL = 'literal'" and "COL <op> 'literal'" for a date column, in WHERE and SET alike.
void translateDateComparisons(Tokens& tokens, const DialectCatalog& catalog) {
    for (int i = 0; i < tokens.size(); ++i) {
        if (!isDateColumn(tokens[i], catalog))
            continue;
        const int op = nextSignificant(tokens, i + 1);
        if (op >= tokens.size() || !isComparison(tokens[op]))
            continue;
        const int value = nextSignificant(tokens, op + 1);
        if (value < tokens.size() && tokens[value].kind == Kind::String)
            tokens[value].text = dateLiteral(tokens[value].text);
    }
}

// INSERT INTO t (c1, c2, ...) VALUES (v1, v2, ...): a value that is one text literal and stands
// at the position of a date column is a date.
void translateInsertedDates(Tokens& tokens, const DialectCatalog& catalog) {
    const int insert = nextSignificant(tokens, 0);
    if (insert >= tokens.size() || !isWord(tokens[insert], "INSERT"))
        return;
    int i = nextSignificant(tokens, insert + 1);
    if (i < tokens.size() && isWord(tokens[i], "INTO"))
        i = nextSignificant(tokens, i + 1);
    const int columnsOpen = nextSignificant(tokens, i + 1);
    if (columnsOpen >= tokens.size() || !isPunct(tokens[columnsOpen], "("))
        return;
    const int columnsClose = matchingParenthesis(tokens, columnsOpen);
    QList<bool> dateAt;
    for (const auto& [first, last] : commaSeparatedItems(tokens, columnsOpen, columnsClose)) {
        const int name = nextSignificant(tokens, first);
        dateAt.append(name < last && isDateColumn(tokens[name], catalog));
    }
    int values = nextSignificant(tokens, columnsClose + 1);
    if (values >= tokens.size() || !isWord(tokens[values], "VALUES"))
        return;
    int open = nextSignificant(tokens, values + 1);
    while (open < tokens.size() && isPunct(tokens[open], "(")) {
        const int close = matchingParenthesis(tokens, open);
        const auto items = commaSeparatedItems(tokens, open, close);
        for (int k = 0; k < items.size() && k < dateAt.size(); ++k) {
            const int v = nextSignificant(tokens, items[k].first);
            if (dateAt[k] && v < items[k].second && tokens[v].kind == Kind::String &&
                nextSignificant(tokens, v + 1) >= items[k].second)
                tokens[v].text = dateLiteral(tokens[v].text);
        }
        const int comma = nextSignificant(tokens, close + 1);
        if (comma >= tokens.size() || !isPunct(tokens[comma], ","))
            break;
        open = nextSignificant(tokens, comma + 1);
    }
}

// ---- exact decimals on SQLite ----

// "007.500" -> "7.5", ".5" -> "0.5", "2.0" -> "2": one spelling per value, so texts compare.
QString canonicalDecimal(QString text) {
    bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    QString whole = text.section(u'.', 0, 0);
    QString fraction = text.section(u'.', 1);
    while (whole.size() > 1 && whole.front() == u'0')
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    QString result = fraction.isEmpty() ? whole : whole + u'.' + fraction;
    if (negative && result != u"0")
        result.prepend(u'-');
    return result;
}

bool startsOperand(const Tokens& tokens, int i) {
    if (i < 0)
        return true;
    const Token& t = tokens[i];
    if (t.kind == Kind::Punct)
        return t.text != u")";
    static const QStringList keywords = {u"SELECT"_qs,  u"VALUES"_qs, u"SET"_qs,  u"WHERE"_qs,
                                         u"AND"_qs,     u"OR"_qs,     u"NOT"_qs,  u"THEN"_qs,
                                         u"ELSE"_qs,    u"WHEN"_qs,   u"CASE"_qs, u"DEFAULT"_qs,
                                         u"BETWEEN"_qs, u"IN"_qs,     u"LIKE"_qs, u"RETURN"_qs};
    return t.kind == Kind::Word && keywords.contains(t.text.toUpper());
}

// SQLite reads a literal with a decimal point, or an integer of more digits than 64 bits
// always hold, as a binary double before the column's affinity applies; between quotes it
// stays exact text (and a column's check can refuse it).
bool readAsDouble(const QString& number) {
    return number.contains(u'.') || number.size() > 18;
}

void quoteDecimalLiterals(Tokens& tokens) {
    for (int i = 0; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        if (t.kind != Kind::Number || !readAsDouble(t.text) || t.text.contains(u'e') ||
            t.text.contains(u'E'))
            continue;
        QString number = t.text;
        if (i > 0 && isPunct(tokens[i - 1], "-") &&
            startsOperand(tokens, previousSignificant(tokens, i - 1))) {
            tokens.remove(--i);
            number.prepend(u'-');
        }
        tokens[i] = {Kind::String, u'\'' + canonicalDecimal(number) + u'\''};
    }
}

// ---- CREATE TABLE ----

struct SqlServerType {
    QString name; // lower case
    QList<int> args;
    bool max = false;
};

QString mappedType(const SqlServerType& type, Dialect dialect) {
    const bool pg = dialect == Dialect::PostgreSQL;
    const QString& n = type.name;
    auto arg = [&](int k, int fallback) { return k < type.args.size() ? type.args[k] : fallback; };
    if (n == u"decimal" || n == u"numeric" || n == u"money" || n == u"smallmoney") {
        int precision = arg(0, 18), scale = arg(1, 0);
        if (n == u"money")
            precision = 19, scale = 4;
        if (n == u"smallmoney")
            precision = 10, scale = 4;
        if (pg)
            return QStringLiteral("numeric(%1,%2)").arg(precision).arg(scale);
        if (scale > 0)
            return QStringLiteral("%1(%2,%3)")
                .arg(QLatin1String(SqliteExactDecimalType))
                .arg(precision)
                .arg(scale);
        return QStringLiteral("decimal(%1,0)").arg(precision);
    }
    // SQL Server compares texts ignoring trailing blanks ('' equals ' '); SQLite does so with
    // the RTRIM collation.
    const QString textCollation = pg ? QString() : QStringLiteral(" COLLATE RTRIM");
    if (n == u"char" || n == u"nchar")
        return QStringLiteral("char(%1)").arg(arg(0, 1)) + textCollation;
    if (n == u"varchar" || n == u"nvarchar")
        return (type.max ? QStringLiteral("text") : QStringLiteral("varchar(%1)").arg(arg(0, 1))) +
               textCollation;
    if (n == u"text" || n == u"ntext")
        return QStringLiteral("text");
    if (n == u"datetime" || n == u"smalldatetime" || n == u"datetime2")
        return pg ? QStringLiteral("timestamp") : QStringLiteral("datetime");
    if (n == u"date")
        return QStringLiteral("date");
    if (n == u"tinyint" || n == u"smallint" || n == u"bit")
        return QStringLiteral("smallint");
    if (n == u"int" || n == u"integer")
        return QStringLiteral("integer");
    if (n == u"bigint")
        return QStringLiteral("bigint");
    if (n == u"float" || n == u"real")
        return pg ? QStringLiteral("double precision") : QStringLiteral("double");
    if (n == u"uniqueidentifier")
        return QStringLiteral("char(36)");
    if (n == u"image" || n == u"varbinary" || n == u"binary")
        return pg ? QStringLiteral("bytea") : QStringLiteral("blob");
    QString plain = n;
    if (!type.args.isEmpty()) {
        QStringList parts;
        for (int a : type.args)
            parts << QString::number(a);
        plain += u'(' + parts.join(u',') + u')';
    }
    return plain;
}

bool isDateType(const QString& lowerName) {
    return lowerName == u"datetime" || lowerName == u"smalldatetime" || lowerName == u"datetime2" ||
           lowerName == u"date";
}

// Reads "type" or "type(args)" from token first; returns the index after it.
int readType(const Tokens& tokens, int first, int last, SqlServerType& type) {
    type.name = unquotedName(tokens[first].text).toLower();
    int i = nextSignificant(tokens, first + 1);
    if (i >= last || !isPunct(tokens[i], "("))
        return first + 1;
    const int close = std::min(matchingParenthesis(tokens, i), last - 1);
    for (int k = i + 1; k < close; ++k) {
        if (tokens[k].kind == Kind::Number)
            type.args.append(tokens[k].text.toInt());
        else if (isWord(tokens[k], "MAX"))
            type.max = true;
    }
    return close + 1;
}

QString collapsedText(const Tokens& tokens, int first, int last) {
    QStringList words;
    QString current;
    for (int i = first; i < last; ++i) {
        if (tokens[i].kind == Kind::Space || tokens[i].kind == Kind::Comment) {
            if (!current.isEmpty())
                words << current;
            current.clear();
        } else {
            current += tokens[i].text;
        }
    }
    if (!current.isEmpty())
        words << current;
    return words.join(u' ');
}

bool startsConstraint(const Token& t) {
    return isWord(t, "CONSTRAINT") || isWord(t, "PRIMARY") || isWord(t, "UNIQUE") ||
           isWord(t, "CHECK") || isWord(t, "FOREIGN");
}

// The rest of a column definition ("NULL DEFAULT (1)", "NOT NULL IDENTITY(1,1)", ...).
QString columnOptions(Tokens rest, Dialect dialect) {
    for (int i = 0; i < rest.size(); ++i) {
        if (isWord(rest[i], "COLLATE")) {
            const int name = nextSignificant(rest, i + 1);
            rest.remove(i, std::min<qsizetype>(name + 1, rest.size()) - i);
            --i;
        } else if (isWord(rest[i], "CLUSTERED") || isWord(rest[i], "NONCLUSTERED")) {
            rest.remove(i--);
        } else if (isWord(rest[i], "IDENTITY")) {
            int end = i + 1;
            const int open = nextSignificant(rest, i + 1);
            if (open < rest.size() && isPunct(rest[open], "("))
                end = matchingParenthesis(rest, open) + 1;
            rest.remove(i, std::min<qsizetype>(end, rest.size()) - i);
            if (dialect == Dialect::PostgreSQL)
                rest.insert(i, {Kind::Word, QStringLiteral("GENERATED BY DEFAULT AS IDENTITY")});
            --i;
        }
    }
    return collapsedText(rest, 0, int(rest.size()));
}

// SQLite keeps exact decimals as text and would store any number in them: the check refuses
// a value with more integer digits than the column has, as the other servers do (a discount
// of 1000 in a decimal(6, 3) column).
QString exactDecimalRangeCheck(const QString& column, const SqlServerType& type, Dialect dialect) {
    if (dialect != Dialect::SQLite || (type.name != u"decimal" && type.name != u"numeric"))
        return {};
    const int precision = type.args.value(0, 18);
    const int scale = type.args.value(1, 0);
    if (scale <= 0 || precision <= scale)
        return {};
    // The digits before the point are counted on the text itself: as a double the value
    // 99999999999.999999 would round up to 1E11 and be refused.
    const QString text = QStringLiteral("CAST(%1 AS TEXT)").arg(column);
    return QStringLiteral(" CHECK (length(ltrim(replace(substr(%1, 1, instr(%1 || '.', '.') - 1), "
                          "'-', ''), '0')) <= %2)")
        .arg(text)
        .arg(precision - scale);
}

struct CreateTable {
    int tableName = -1; // token index
    int open = -1, close = -1;
};

bool findCreateTable(const Tokens& tokens, CreateTable& create) {
    const int c = nextSignificant(tokens, 0);
    if (c >= tokens.size() || !isWord(tokens[c], "CREATE"))
        return false;
    const int table = nextSignificant(tokens, c + 1);
    if (table >= tokens.size() || !isWord(tokens[table], "TABLE"))
        return false;
    create.tableName = nextSignificant(tokens, table + 1);
    create.open = nextSignificant(tokens, create.tableName + 1);
    if (create.open >= tokens.size() || !isPunct(tokens[create.open], "("))
        return false;
    create.close = matchingParenthesis(tokens, create.open);
    return create.close < tokens.size();
}

QString translateCreateTable(const Tokens& tokens, const CreateTable& create, bool temporary,
                             Dialect dialect) {
    QStringList definitions;
    for (const auto& [first, last] : commaSeparatedItems(tokens, create.open, create.close)) {
        const int name = nextSignificant(tokens, first);
        if (name >= last)
            continue; // the empty item after a trailing comma
        if (startsConstraint(tokens[name])) {
            definitions << columnOptions(tokens.mid(name, last - name), dialect);
            continue;
        }
        QString definition = tokens[name].text;
        const int typeStart = nextSignificant(tokens, name + 1);
        if (typeStart < last) {
            SqlServerType type;
            const int after = readType(tokens, typeStart, last, type);
            definition += u' ' + mappedType(type, dialect);
            const QString options = columnOptions(tokens.mid(after, last - after), dialect);
            if (!options.isEmpty())
                definition += u' ' + options;
            definition += exactDecimalRangeCheck(tokens[name].text, type, dialect);
        }
        definitions << definition;
    }
    return QStringLiteral("CREATE %1TABLE %2 (%3)")
        .arg(temporary ? QStringLiteral("TEMP ") : QString(), tokens[create.tableName].text,
             definitions.join(QStringLiteral(", ")));
}

QString translateTokens(const QString& text, Dialect dialect, const DialectCatalog& catalog) {
    Tokens tokens = tokenize(text);
    unbracketNames(tokens);
    mergeQualifiedNames(tokens);
    CreateTable create;
    const bool isCreate = findCreateTable(tokens, create);
    const bool temporary = isCreate && tokens[create.tableName].text.startsWith(u'#');
    renameTemporaryTables(tokens);
    translateDateComparisons(tokens, catalog);
    translateInsertedDates(tokens, catalog);
    replaceFunctions(tokens);
    if (dialect == Dialect::SQLite)
        quoteDecimalLiterals(tokens);
    if (isCreate && findCreateTable(tokens, create))
        return translateCreateTable(tokens, create, temporary, dialect);
    return join(tokens);
}

} // namespace

QString temporaryTableName(const QString& sqlServerName) {
    QString name = unquotedName(sqlServerName);
    if (name.startsWith(u"##"))
        return QStringLiteral("tmp_") + name.mid(2);
    if (name.startsWith(u'#'))
        return QStringLiteral("tmpl_") + name.mid(1);
    return name;
}

QString translateSql(const QString& sqlServerText, Dialect dialect, const DialectCatalog& catalog) {
    if (dialect == Dialect::SqlServer)
        return sqlServerText;
    static const QRegularExpression dropIfExists(
        u"^\\s*IF\\s+NOT\\s+OBJECT_ID\\s*\\(\\s*'tempdb\\.\\.(#{1,2}\\w+)'\\s*\\)\\s+IS\\s+NULL\\s+"
        "DROP\\s+TABLE\\s+(#{1,2}\\w+)\\s*;?\\s*$"_qs,
        QRegularExpression::CaseInsensitiveOption);
    const auto drop = dropIfExists.match(sqlServerText);
    if (drop.hasMatch())
        return QStringLiteral("DROP TABLE IF EXISTS ") + temporaryTableName(drop.captured(2));
    return translateTokens(sqlServerText, dialect, catalog);
}

CreatedTable createdTableOf(const QString& sqlServerText) {
    CreatedTable created;
    Tokens tokens = tokenize(sqlServerText);
    unbracketNames(tokens);
    mergeQualifiedNames(tokens);
    CreateTable create;
    if (!findCreateTable(tokens, create))
        return created;
    created.name = temporaryTableName(tokens[create.tableName].text);
    for (const auto& [first, last] : commaSeparatedItems(tokens, create.open, create.close)) {
        const int name = nextSignificant(tokens, first);
        if (name >= last || startsConstraint(tokens[name]))
            continue;
        const int typeStart = nextSignificant(tokens, name + 1);
        if (typeStart >= last)
            continue;
        QString type = unquotedName(tokens[typeStart].text);
        int next = nextSignificant(tokens, typeStart + 1);
        if (next < last && tokens[next].text == u"(") {
            for (; next < last && tokens[next].text != u")"; ++next)
                type += tokens[next].text;
            type += u')';
        }
        created.declaredTypes.insert(unquotedName(tokens[name].text).toUpper(), type);
    }
    return created;
}

QSet<QString> dateColumnsOfCreateTable(const QString& sqlServerText) {
    QSet<QString> columns;
    const CreatedTable created = createdTableOf(sqlServerText);
    for (auto it = created.declaredTypes.cbegin(); it != created.declaredTypes.cend(); ++it)
        if (isDateType(it.value().section(u'(', 0, 0).toLower()))
            columns.insert(it.key());
    return columns;
}

QString rowIdentityColumn(Dialect dialect) {
    switch (dialect) {
    case Dialect::SQLite:
        return QStringLiteral("rowid");
    case Dialect::PostgreSQL:
        return QStringLiteral("ctid");
    case Dialect::SqlServer:
        return QStringLiteral("%%physloc%%");
    }
    return {};
}

QString returningRowIdentity(Dialect dialect) {
    return dialect == Dialect::PostgreSQL ? QStringLiteral(" RETURNING ctid") : QString();
}

QString selectWithRowIdentity(const QString& translatedSelect, const QString& alias,
                              Dialect dialect) {
    static const QRegularExpression select(u"^\\s*SELECT\\s+"_qs,
                                           QRegularExpression::CaseInsensitiveOption);
    QString text = translatedSelect;
    return text.replace(select,
                        QStringLiteral("SELECT %1 AS %2, ").arg(rowIdentityColumn(dialect), alias));
}

QString updateRowStatement(const QString& table, const QStringList& columns, Dialect dialect) {
    QStringList assignments;
    for (const QString& column : columns)
        assignments << column + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
               .arg(table, assignments.join(QStringLiteral(", ")), rowIdentityColumn(dialect)) +
           returningRowIdentity(dialect);
}

bool insertReturnsRowIdentity(Dialect dialect) {
    return dialect != Dialect::SqlServer;
}

QString insertRowStatement(const QString& table, const QStringList& columns, Dialect dialect) {
    QString statement =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(table, columns.join(QStringLiteral(", ")),
                 QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    if (insertReturnsRowIdentity(dialect))
        statement += QStringLiteral(" RETURNING ") + rowIdentityColumn(dialect);
    return statement;
}

QString allRowIdentities(const QString& table, Dialect dialect) {
    return QStringLiteral("SELECT %1 FROM %2").arg(rowIdentityColumn(dialect), table);
}

} // namespace host
