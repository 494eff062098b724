#include "host/controls/field_controls.h"

#include "host/controls/pick_list.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/data/sql_literal.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>
#include <QValidator>

namespace host {

namespace {

constexpr int TwipsPerPixel = 15;

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Focus changes that are not the user moving between fields: another window or a pop-up
// took the focus for a moment (a message box asked by Validate, a menu).
bool isPassingFocus(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

// The company code is numeric in every table; anything else is quoted as data.
QString companyLiteral(const QString& company) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const QString trimmed = company.trimmed();
    return digits.match(trimmed).hasMatch() ? trimmed : quotedSqlText(trimmed);
}

QString textOf(const rt::Variant& v) {
    if (v.type() != rt::VarType::String)
        return v.isEmpty() || v.isNull() ? QString() : rt::CStr(v);
    return rt::RTrim(v.asString());
}

bool isOne(const rt::Variant& v) {
    try {
        return !v.isNull() && !v.isEmpty() && rt::CDec(v) == rt::Decimal(1);
    } catch (const rt::Error&) {
        return false;
    }
}

// A code as a message quotes it: a long paste is shown by its start.
QString quotedCode(const QString& code) {
    constexpr int Shown = 30;
    const QString shown = code.size() > Shown ? code.left(Shown) + QStringLiteral("...") : code;
    return u'"' + shown + u'"';
}

// Runs a query and hands back its first row, or nothing when it has none or fails.
template <class Read>
void firstRow(const std::shared_ptr<Connection>& connection, const QString& sql, Read read) {
    if (!connection || connection->State() != adStateOpen)
        return;
    try {
        auto rs = connection->Execute(sql);
        if (rs && rs->State() == adStateOpen && !rs->IsEOF())
            read(*rs);
    } catch (const rt::Error&) {
        // The field reports the article or option as unknown.
    }
}

} // namespace

// ---- FieldControl -------------------------------------------------------------------------

FieldControl::FieldControl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    edit_ = new QLineEdit(this);
    layout->addWidget(edit_);
    setFocusProxy(edit_);
    edit_->installEventFilter(this);
    connect(edit_, &QLineEdit::textEdited, this, [this] { edited_ = true; });
}

QString FieldControl::text() const {
    return edit_->text();
}

void FieldControl::setText(const QString& text) {
    edit_->setText(text);
    edited_ = false;
}

void FieldControl::setCaption(const QString& caption) {
    setToolTip(caption);
    setAccessibleName(caption);
    edit_->setAccessibleName(caption);
}

void FieldControl::setMaxLength(int n) {
    edit_->setMaxLength(n);
}

int FieldControl::leftTwips() const {
    return x() * TwipsPerPixel;
}

void FieldControl::setLeftTwips(int left) {
    move(left / TwipsPerPixel, y());
}

bool FieldControl::confirm() {
    bool cancel = false;
    emit Validate(cancel);
    if (cancel)
        return false;
    edited_ = false;
    if (validContent())
        emit AfterItem();
    return true;
}

bool FieldControl::confirmAndMoveOn() {
    if (!confirmKeepingFocus())
        return false;
    if (edit_->window()->focusWidget() == edit_)
        focusNextField();
    return true;
}

bool FieldControl::enterText(const QString& text) {
    edit_->setText(text);
    edited_ = true;
    edit_->setFocus(Qt::OtherFocusReason);
    return confirmAndMoveOn();
}

bool FieldControl::confirmKeepingFocus() {
    if (confirming_)
        return true;
    confirming_ = true;
    const bool done = confirm();
    confirming_ = false;
    return done;
}

bool FieldControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (specialKey(key))
            return true;
        if (isEnter(key)) {
            confirmAndMoveOn();
            return true;
        }
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            return !confirmKeepingFocus(); // a cancelled Tab keeps the focus here
        break;
    }
    case QEvent::FocusIn:
        if (!isPassingFocus(static_cast<QFocusEvent*>(event)->reason()))
            emit Entered();
        break;
    case QEvent::FocusOut:
        if (edited_ && !confirming_ &&
            !isPassingFocus(static_cast<QFocusEvent*>(event)->reason()) && !confirmKeepingFocus()) {
            // Validate cancelled: the field takes the focus back once the change is over.
            QTimer::singleShot(0, edit_, [e = edit_] { e->setFocus(Qt::OtherFocusReason); });
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// Moves the focus as Tab does: to the next enabled, visible control that takes Tab focus.
// (QWidget::focusNextChild stops at a window hosted in a window area.)
void FieldControl::focusNextField() {
    for (QWidget* w = edit_->nextInFocusChain(); w != nullptr && w != edit_;
         w = w->nextInFocusChain()) {
        if (w->isEnabled() && w->isVisible() && (w->focusPolicy() & Qt::TabFocus) &&
            w->focusProxy() == nullptr) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

// ---- TxtArticolo --------------------------------------------------------------------------

TxtArticolo::TxtArticolo(QWidget* parent) : FieldControl(parent) {
    button_ = new QToolButton(this);
    button_->setText(QStringLiteral("..."));
    button_->setFocusPolicy(Qt::NoFocus);
    layout()->addWidget(button_);
    connect(button_, &QToolButton::clicked, this, &TxtArticolo::lookup);
    connect(edit_, &QLineEdit::textChanged, this, [this] {
        if (edit_->text().trimmed().isEmpty() && option_)
            option_->setArticle(QString(), false);
    });
}

void TxtArticolo::init(std::shared_ptr<Cinterface> /*contract*/,
                       std::shared_ptr<Connection> connection, const QString& companyCode) {
    connection_ = std::move(connection);
    company_ = companyCode;
    cache_.reset();
}

void TxtArticolo::setDecoding(bool on) {
    decoding_ = on;
}

void TxtArticolo::setOptionField(TXT_EDITVARIANTE* option) {
    option_ = option;
}

void TxtArticolo::setDescriptionBox(KrxRichTextBox* box) {
    description_ = box;
}

void TxtArticolo::setLookupValue(const rt::Variant& v) {
    lookupValue_ = v;
}

void TxtArticolo::setMaxLength(int n) {
    maxLength_ = n;
    cache_.reset();
}

bool TxtArticolo::tooLong(const QString& code) const {
    return maxLength_ > 0 && code.size() > maxLength_;
}

const TxtArticolo::Article& TxtArticolo::article() const {
    const QString code = rt::Trim(text());
    if (cache_ && cache_->first == code)
        return cache_->second;
    Article found;
    if (!code.isEmpty() && !tooLong(code)) {
        const QString sql =
            QStringLiteral("SELECT MG66_FLGOPZIONI, MG87_DESCART FROM MG66_ANAGRART "
                           "LEFT JOIN MG87_DESCART ON MG87_DITTA_CG18 = MG66_DITTA_CG18 "
                           "AND MG87_CODART_MG66 = MG66_CODART AND MG87_OPZIONE_MG5E = '' "
                           "WHERE MG66_DITTA_CG18 = %1 AND MG66_CODART = %2")
                .arg(companyLiteral(company_), quotedSqlText(code));
        firstRow(connection_, sql, [&](Recordset& rs) {
            found.exists = true;
            found.hasOptions = isOne(rs.Fields(0).Value());
            found.description = textOf(rs.Fields(1).Value());
        });
    }
    cache_.emplace(code, found);
    return cache_->second;
}

bool TxtArticolo::validContent() const {
    return article().exists;
}

QString TxtArticolo::refusal() const {
    const QString code = rt::Trim(text());
    if (code.isEmpty())
        return {};
    if (tooLong(code))
        return QStringLiteral("Il codice articolo %1 ha %2 caratteri: al massimo ne può avere %3!")
            .arg(quotedCode(code))
            .arg(code.size())
            .arg(maxLength_);
    if (!article().exists)
        return QStringLiteral("L'articolo %1 non esiste!").arg(quotedCode(code));
    return {};
}

bool TxtArticolo::hasOptions() const {
    return article().hasOptions;
}

QString TxtArticolo::description() const {
    return article().description;
}

void TxtArticolo::decode() {
    const Article& a = article();
    if (decoding_ && description_)
        description_->setText(a.description);
    if (option_)
        option_->setArticle(a.exists ? rt::Trim(text()) : QString(), a.hasOptions);
}

bool TxtArticolo::confirm() {
    // The option field must know the article before AfterItem's handler looks at it.
    decode();
    return FieldControl::confirm();
}

bool TxtArticolo::specialKey(int qtKey) {
    if (qtKey != Qt::Key_F3 && qtKey != Qt::Key_F4)
        return false;
    lookup();
    return true;
}

void TxtArticolo::lookup() {
    QString query;
    rt::Variant keyColumn;
    QString title;
    QString connectionString;
    emit StartLookup(query, keyColumn, title, connectionString);
    if (query.isEmpty())
        return; // the window offers no list now
    const QString code = pick(query, keyColumn, title, connectionString);
    if (code.isEmpty())
        return;
    edit_->setText(code);
    edit_->setFocus(Qt::OtherFocusReason);
    confirmKeepingFocus();
}

QString TxtArticolo::pick(const QString& query, const rt::Variant& keyColumn, const QString& title,
                          const QString& connectionString) {
    std::shared_ptr<Connection> connection = connection_;
    try {
        if ((!connection || connection->State() != adStateOpen) && !connectionString.isEmpty()) {
            connection = std::make_shared<Connection>();
            connection->Open(connectionString);
        }
        if (!connection)
            return {};
        auto rs = connection->Execute(query);
        const QList<PickList::Entry> entries = PickList::entriesOf(*rs, keyColumn, lookupValue_);
        PickList list(title.isEmpty() ? QStringLiteral("Articoli di magazzino") : title, entries,
                      window());
        list.setFilter(rt::Trim(text()));
        return list.exec() == QDialog::Accepted ? list.chosen() : QString();
    } catch (const rt::Error&) {
        return {};
    }
}

// ---- TXT_EDITVARIANTE ---------------------------------------------------------------------

TXT_EDITVARIANTE::TXT_EDITVARIANTE(QWidget* parent) : FieldControl(parent) {
    setEnabled(false);
}

void TXT_EDITVARIANTE::init(std::shared_ptr<Cinterface> /*contract*/, const QString& companyCode,
                            std::shared_ptr<Connection> connection,
                            const QString& connectionString) {
    company_ = companyCode;
    connection_ = std::move(connection);
    connectionString_ = connectionString;
    cache_.reset();
}

void TXT_EDITVARIANTE::setArticle(const QString& article, bool hasOptions) {
    if (article != article_ || !hasOptions)
        setText(QString());
    article_ = article;
    hasOptions_ = hasOptions && !article.isEmpty();
    cache_.reset();
    setEnabled(hasOptions_);
}

const TXT_EDITVARIANTE::Option& TXT_EDITVARIANTE::option() const {
    const QString code = rt::Trim(text());
    if (cache_ && cache_->first == code)
        return cache_->second;
    Option found;
    if (!code.isEmpty() && !article_.isEmpty()) {
        const QString sql =
            QStringLiteral("SELECT MG5E_DESCRIZIONE, MG87_DESCART FROM MG5E_OPZIONI "
                           "LEFT JOIN MG87_DESCART ON MG87_DITTA_CG18 = MG5E_DITTA_CG18 "
                           "AND MG87_CODART_MG66 = MG5E_CODART_MG66 "
                           "AND MG87_OPZIONE_MG5E = MG5E_OPZIONE "
                           "WHERE MG5E_DITTA_CG18 = %1 AND MG5E_CODART_MG66 = %2 "
                           "AND MG5E_OPZIONE = %3")
                .arg(companyLiteral(company_), quotedSqlText(article_), quotedSqlText(code));
        firstRow(connection_, sql, [&](Recordset& rs) {
            found.exists = true;
            const QString own = textOf(rs.Fields(1).Value());
            found.description = own.trimmed().isEmpty() ? textOf(rs.Fields(0).Value()) : own;
        });
    }
    cache_.emplace(code, found);
    return cache_->second;
}

QString TXT_EDITVARIANTE::articleDescription() const {
    QString description;
    const QString sql = QStringLiteral("SELECT MG87_DESCART FROM MG87_DESCART "
                                       "WHERE MG87_DITTA_CG18 = %1 AND MG87_CODART_MG66 = %2 "
                                       "AND MG87_OPZIONE_MG5E = ''")
                            .arg(companyLiteral(company_), quotedSqlText(article_));
    firstRow(connection_, sql, [&](Recordset& rs) { description = textOf(rs.Fields(0).Value()); });
    return description;
}

bool TXT_EDITVARIANTE::validContent() const {
    if (rt::Trim(text()).isEmpty())
        return !hasOptions_;
    return option().exists;
}

QString TXT_EDITVARIANTE::refusal() const {
    const QString code = rt::Trim(text());
    if (code.isEmpty() || article_.isEmpty() || option().exists)
        return {};
    return QStringLiteral("La variante %1 non esiste per l'articolo %2!")
        .arg(quotedCode(code), quotedCode(article_));
}

void TXT_EDITVARIANTE::decode() {
    if (article_.isEmpty())
        return;
    QString description;
    if (rt::Trim(text()).isEmpty())
        description = articleDescription();
    else if (option().exists)
        description = option().description;
    else
        return; // an unknown option leaves the shown description alone
    QList<QPair<QWidget*, QString>> targets;
    QString connectionString = connectionString_;
    emit StartDecode(targets, connectionString);
    for (const auto& [control, column] : targets) {
        if (auto* box = qobject_cast<QPlainTextEdit*>(control))
            box->setPlainText(description);
        else if (auto* label = qobject_cast<QLabel*>(control))
            label->setText(description);
        else if (auto* field = qobject_cast<FieldControl*>(control))
            field->setText(description);
        else if (auto* line = qobject_cast<QLineEdit*>(control))
            line->setText(description);
    }
}

void TXT_EDITVARIANTE::refresh() {
    cache_.reset();
    decode();
}

bool TXT_EDITVARIANTE::confirm() {
    decode();
    return FieldControl::confirm();
}

// ---- TxtEditDate --------------------------------------------------------------------------

namespace {

// Digits and "/" only, at most `typed` characters, except the shown form dd/mm/yyyy (and what
// editing it leaves).
class DateTypingValidator : public QValidator {
  public:
    DateTypingValidator(int typed, QObject* parent) : QValidator(parent), typed_(typed) {}
    State validate(QString& input, int&) const override {
        static const QRegularExpression allowed(QStringLiteral("^[0-9/]*$"));
        if (!allowed.match(input).hasMatch())
            return Invalid;
        if (input.size() <= typed_)
            return Acceptable;
        return input.size() <= 10 && input.count(u'/') == 2 ? Acceptable : Invalid;
    }

  private:
    int typed_;
};

int fullYear(const QString& digits) {
    const int year = digits.toInt();
    return digits.size() <= 2 ? 2000 + year : year;
}

} // namespace

TxtEditDate::TxtEditDate(QWidget* parent) : FieldControl(parent) {
    setMaxLength(8);
}

void TxtEditDate::setMaxLength(int n) {
    edit_->setMaxLength(std::max(n, 10));
    edit_->setValidator(new DateTypingValidator(n, edit_));
}

QDate TxtEditDate::parseTyped(const QString& typed) {
    const QString text = typed.trimmed();
    static const QRegularExpression digitsOnly(QStringLiteral("^[0-9]+$"));
    static const QRegularExpression separated(
        QStringLiteral("^([0-9]{1,2})[/.\\-]([0-9]{1,2})(?:[/.\\-]([0-9]{1,4}))?$"));
    int day = 0, month = 0, year = rt::Today().year();
    if (digitsOnly.match(text).hasMatch()) {
        if (text.size() != 4 && text.size() != 6 && text.size() != 8)
            return {};
        day = text.left(2).toInt();
        month = text.mid(2, 2).toInt();
        if (text.size() > 4)
            year = fullYear(text.mid(4));
    } else if (const auto m = separated.match(text); m.hasMatch()) {
        day = m.captured(1).toInt();
        month = m.captured(2).toInt();
        if (!m.captured(3).isEmpty()) {
            if (m.captured(3).size() == 3)
                return {};
            year = fullYear(m.captured(3));
        }
    } else {
        return {};
    }
    const QDate date(year, month, day);
    return date.isValid() ? date : QDate();
}

bool TxtEditDate::validContent() const {
    const QString t = text().trimmed();
    return t.isEmpty() || parseTyped(t).isValid();
}

QString TxtEditDate::refusal() const {
    const QString t = text().trimmed();
    if (t.isEmpty() || parseTyped(t).isValid())
        return {};
    return QStringLiteral("\"%1\" non è una data valida!").arg(t);
}

bool TxtEditDate::confirm() {
    // Validate's handler compares the dates as the field shows them: dd/mm/yyyy.
    const QDate date = parseTyped(text());
    if (date.isValid())
        edit_->setText(date.toString(QStringLiteral("dd/MM/yyyy")));
    return FieldControl::confirm();
}

// ---- KRX_COMBO ----------------------------------------------------------------------------

KRX_COMBO::KRX_COMBO(QWidget* parent) : QComboBox(parent) {}

void KRX_COMBO::addItemAt(const QString& text, int index) {
    insertItem(std::clamp(index, 0, count()), text);
    if (currentIndex() < 0)
        setCurrentIndex(0);
}

void KRX_COMBO::setText(const QString& t) {
    const int found = findText(t);
    if (found >= 0) {
        setCurrentIndex(found);
    } else if (isEditable()) {
        setEditText(t);
    } else {
        addItem(t);
        setCurrentIndex(count() - 1);
    }
}

void KRX_COMBO::setLocked(bool on) {
    locked_ = on;
    if (on)
        setEditable(false);
}

void KRX_COMBO::showPopup() {
    if (!locked_)
        QComboBox::showPopup();
}

void KRX_COMBO::keyPressEvent(QKeyEvent* event) {
    if (locked_ && event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void KRX_COMBO::wheelEvent(QWheelEvent* event) {
    if (locked_) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

int KRX_COMBO::leftTwips() const {
    return x() * TwipsPerPixel;
}

void KRX_COMBO::setLeftTwips(int left) {
    move(left / TwipsPerPixel, y());
}

// ---- Labels, text box, group box ----------------------------------------------------------

KRX_LABEL::KRX_LABEL(const QString& caption, QWidget* parent) : QLabel(caption, parent) {}

void KRX_LABEL::setBorder(bool on) {
    setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
}

KrxRichTextBox::KrxRichTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
}

KRX_GROUPBOX::KRX_GROUPBOX(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

} // namespace host
