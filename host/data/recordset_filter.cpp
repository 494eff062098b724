#include "host/data/recordset_filter.h"

#include "host/data/recordset_values.h"
#include "runtime/errors.h"

#include <QRegularExpression>
#include <QStringList>

namespace host {

struct RecordFilter::Node {
    enum class Kind { And, Or, Compare };
    Kind kind = Kind::Compare;
    std::shared_ptr<const Node> left, right;
    // Comparison
    int column = -1;
    QString op;          // = <> < > <= >= LIKE
    rt::Variant operand; // Decimal, String, Date or Null
};

namespace {

rt::Error badFilter() {
    return rt::Error(3001, QStringLiteral("Gli argomenti non sono del tipo corretto, non "
                                          "rientrano nell'intervallo accettabile o sono in "
                                          "conflitto."));
}

QStringList filterTokens(const QString& text) {
    static const QRegularExpression token(
        u"\\s*('(?:[^']|'')*'|#[^#]*#|<=|>=|<>|!=|[=<>()]|[^\\s=<>()'#]+)"_qs);
    QStringList tokens;
    int at = 0;
    while (at < text.size()) {
        const auto m = token.match(text, at, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch()) {
            if (text.mid(at).trimmed().isEmpty())
                break;
            throw badFilter();
        }
        tokens << m.captured(1);
        at = int(m.capturedEnd());
    }
    return tokens;
}

rt::Variant operandOf(const QString& token) {
    if (token.startsWith(u'\''))
        return token.mid(1, token.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    if (token.startsWith(u'#')) {
        const QString inner = token.mid(1, token.size() - 2);
        for (const char* format :
             {"dd/MM/yyyy", "MM/dd/yyyy", "yyyy-MM-dd", "dd/MM/yyyy HH:mm:ss"}) {
            const QDateTime dt = QDateTime::fromString(inner, QString::fromLatin1(format));
            if (dt.isValid())
                return dt;
        }
        throw badFilter();
    }
    if (token.compare(u"NULL", Qt::CaseInsensitive) == 0)
        return rt::Variant::null();
    if (auto number = rt::Decimal::parse(token))
        return *number;
    if (auto number = rt::Decimal::parse(token, u','))
        return *number;
    throw badFilter();
}

class Parser {
  public:
    Parser(QStringList tokens, const std::function<int(const QString&)>& columnIndex)
        : tokens_(std::move(tokens)), columnIndex_(columnIndex) {}

    std::shared_ptr<const RecordFilter::Node> parseAll() {
        auto node = parseOr();
        if (at_ != tokens_.size())
            throw badFilter();
        return node;
    }

  private:
    using NodePtr = std::shared_ptr<const RecordFilter::Node>;

    bool accept(const char* word) {
        if (at_ < tokens_.size() &&
            tokens_[at_].compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
            ++at_;
            return true;
        }
        return false;
    }
    QString take() {
        if (at_ >= tokens_.size())
            throw badFilter();
        return tokens_[at_++];
    }
    NodePtr join(RecordFilter::Node::Kind kind, NodePtr left, NodePtr right) {
        auto node = std::make_shared<RecordFilter::Node>();
        node->kind = kind;
        node->left = std::move(left);
        node->right = std::move(right);
        return node;
    }
    NodePtr parseOr() {
        NodePtr node = parseAnd();
        while (accept("OR"))
            node = join(RecordFilter::Node::Kind::Or, node, parseAnd());
        return node;
    }
    NodePtr parseAnd() {
        NodePtr node = parseComparison();
        while (accept("AND"))
            node = join(RecordFilter::Node::Kind::And, node, parseComparison());
        return node;
    }
    NodePtr parseComparison() {
        if (accept("(")) {
            NodePtr inner = parseOr();
            if (!accept(")"))
                throw badFilter();
            return inner;
        }
        auto node = std::make_shared<RecordFilter::Node>();
        QString name = take();
        if (name.startsWith(u'[') && name.endsWith(u']'))
            name = name.mid(1, name.size() - 2);
        node->column = columnIndex_(name);
        node->op = take().toUpper();
        if (node->op == u"!=")
            node->op = QStringLiteral("<>");
        static const QStringList operators = {u"="_qs,  u"<>"_qs, u"<"_qs,   u">"_qs,
                                              u"<="_qs, u">="_qs, u"LIKE"_qs};
        if (!operators.contains(node->op))
            throw badFilter();
        node->operand = operandOf(take());
        return node;
    }

    QStringList tokens_;
    qsizetype at_ = 0;
    const std::function<int(const QString&)>& columnIndex_;
};

bool holds(int order, const QString& op) {
    if (op == u"=")
        return order == 0;
    if (op == u"<>")
        return order != 0;
    if (op == u"<")
        return order < 0;
    if (op == u">")
        return order > 0;
    if (op == u"<=")
        return order <= 0;
    return order >= 0; // >=
}

template <typename T> int orderOf(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

QString textOf(const rt::Variant& v) {
    switch (v.type()) {
    case rt::VarType::String:
        return v.asString();
    case rt::VarType::Date:
        return v.asDate().toString(QStringLiteral("dd/MM/yyyy"));
    default:
        if (auto d = toDecimal(v))
            return d->toString(u',');
        return {};
    }
}

QString withoutTrailingBlanks(QString s) {
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

bool likeMatches(const QString& value, const QString& pattern) {
    QString re;
    for (QChar c : pattern) {
        if (c == u'*' || c == u'%')
            re += QStringLiteral(".*");
        else if (c == u'_' || c == u'?')
            re += u'.';
        else
            re += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(re),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption)
        .match(withoutTrailingBlanks(value))
        .hasMatch();
}

bool compare(const rt::Variant& field, const QString& op, const rt::Variant& operand) {
    if (operand.isNull())
        return op == u"=" ? field.isNull() : (op == u"<>" && !field.isNull());
    if (field.isNull() || field.isEmpty())
        return false;
    if (op == u"LIKE")
        return likeMatches(textOf(field), textOf(operand));
    if (operand.type() == rt::VarType::Date) {
        if (field.type() != rt::VarType::Date)
            return false;
        return holds(orderOf(field.asDate(), operand.asDate()), op);
    }
    const auto fieldNumber =
        field.type() == rt::VarType::String ? std::optional<rt::Decimal>() : toDecimal(field);
    if (operand.type() == rt::VarType::Decimal || fieldNumber) {
        const auto left = fieldNumber ? fieldNumber : toDecimal(field);
        const auto right = toDecimal(operand);
        if (!left || !right)
            return false;
        return holds(orderOf(*left, *right), op);
    }
    // Texts compare without regard to case or to the blanks that pad char columns.
    const int order = withoutTrailingBlanks(textOf(field))
                          .compare(withoutTrailingBlanks(textOf(operand)), Qt::CaseInsensitive);
    return holds(order, op);
}

bool evaluate(const RecordFilter::Node& node, const std::vector<rt::Variant>& row) {
    switch (node.kind) {
    case RecordFilter::Node::Kind::And:
        return evaluate(*node.left, row) && evaluate(*node.right, row);
    case RecordFilter::Node::Kind::Or:
        return evaluate(*node.left, row) || evaluate(*node.right, row);
    default:
        return compare(row[std::size_t(node.column)], node.op, node.operand);
    }
}

} // namespace

RecordFilter RecordFilter::parse(const QString& expression,
                                 const std::function<int(const QString&)>& columnIndex) {
    RecordFilter filter;
    filter.root_ = Parser(filterTokens(expression), columnIndex).parseAll();
    return filter;
}

bool RecordFilter::matches(const std::vector<rt::Variant>& row) const {
    return !root_ || evaluate(*root_, row);
}

} // namespace host
