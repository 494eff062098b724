#pragma once
// The header's field controls: article, option, date, combo, label, rich text box and group box.
// Every field reports whether its content is valid; events are signals named as the window's
// handlers expect them (AfterItem, Validate, StartLookup, StartDecode, Entered).

#include "runtime/variant.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <memory>
#include <optional>

class QLineEdit;
class QToolButton;

namespace host {

class Cinterface;
class Connection;
class TXT_EDITVARIANTE;
class KrxRichTextBox;

// Common behaviour of the text fields: text, enabled, left position in twips, valid content.
class FieldControl : public QWidget {
    Q_OBJECT
  public:
    explicit FieldControl(QWidget* parent = nullptr);
    virtual QString text() const;
    virtual void setText(const QString& text);
    virtual bool validContent() const = 0;
    // Why the content cannot be right, in the user's words; empty when it can be (an empty
    // field is the window's business: it decides what is required).
    virtual QString refusal() const { return {}; }
    // Puts the text in the field and confirms it as the user's Enter does: the focus moves on
    // unless a handler moved it. False when Validate refused it (the focus stays).
    bool enterText(const QString& text);
    void setCaption(const QString& caption); // shown as tooltip and accessible name
    virtual void setMaxLength(int n);
    int leftTwips() const;
    void setLeftTwips(int left);
    void bringToFront() { raise(); }
    QLineEdit* editor() const { return edit_; }

  signals:
    // The control's first event: the field is entered.
    void Entered();
    // The user confirmed the field (Enter, Tab or leaving it); cancel keeps the focus.
    void Validate(bool& cancel);
    // The field accepted a value.
    void AfterItem();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusNextField();
    // Runs Validate, then AfterItem when not cancelled and the content is valid.
    virtual bool confirm();
    // A key the field handles itself before confirming (the article's F4); true when used.
    virtual bool specialKey(int qtKey) { return false; }
    // Confirms, keeping the focus when Validate cancels; false when cancelled.
    bool confirmKeepingFocus();
    // Confirms as Enter does: then, when no handler moved the focus, on like Tab.
    bool confirmAndMoveOn();
    QLineEdit* edit_ = nullptr;

  private:
    bool confirming_ = false;
    bool edited_ = false; // typed into since the last confirmation
};

// Article field: looks up the company's articles (a list to pick from, on F3/F4 and on its
// button), shows the article's description in the linked description box and enables the
// linked option field for articles with options. Its length limit refuses a longer code
// instead of cutting it: a prefix of a code may name another article.
class TxtArticolo : public FieldControl {
    Q_OBJECT
  public:
    explicit TxtArticolo(QWidget* parent = nullptr);
    void init(std::shared_ptr<Cinterface> contract, std::shared_ptr<Connection> connection,
              const QString& companyCode);
    void setDecoding(bool on); // the Boolean option switched on at load
    void setOptionField(TXT_EDITVARIANTE* option);
    void setDescriptionBox(KrxRichTextBox* box);
    void setLookupValue(const rt::Variant& v);
    void setMaxLength(int n) override;
    bool validContent() const override;
    QString refusal() const override;
    bool hasOptions() const;
    QString description() const; // the article's own description; empty for no article
    // Opens the pick list (the button and F4 do the same).
    void lookup();

  signals:
    void StartLookup(QString& query, rt::Variant& keyColumn, QString& title,
                     QString& connectionString);

  protected:
    bool confirm() override;
    bool specialKey(int qtKey) override;

  private:
    struct Article {
        bool exists = false;
        bool hasOptions = false;
        QString description;
    };
    // The article of the field's text, read once per text.
    const Article& article() const;
    bool tooLong(const QString& code) const;
    void decode();
    QString pick(const QString& query, const rt::Variant& keyColumn, const QString& title,
                 const QString& connectionString);
    std::shared_ptr<Connection> connection_;
    QString company_;
    TXT_EDITVARIANTE* option_ = nullptr;
    KrxRichTextBox* description_ = nullptr;
    QToolButton* button_ = nullptr;
    bool decoding_ = true;
    int maxLength_ = 0; // 0: no limit
    rt::Variant lookupValue_;
    mutable std::optional<std::pair<QString, Article>> cache_;
};

// Option field: enabled only for articles with options; decodes the option's description.
class TXT_EDITVARIANTE : public FieldControl {
    Q_OBJECT
  public:
    explicit TXT_EDITVARIANTE(QWidget* parent = nullptr);
    void init(std::shared_ptr<Cinterface> contract, const QString& companyCode,
              std::shared_ptr<Connection> connection, const QString& connectionString);
    void setArticle(const QString& article, bool hasOptions);
    bool validContent() const override;
    QString refusal() const override;
    // Re-reads the option's description.
    void refresh();
    QString article() const { return article_; }

  signals:
    // Asks where to show the decoded description: (control, column) pairs and the connection.
    void StartDecode(QList<QPair<QWidget*, QString>>& targets, QString& connectionString);

  protected:
    bool confirm() override;

  private:
    struct Option {
        bool exists = false;
        QString description;
    };
    const Option& option() const;
    QString articleDescription() const;
    void decode();
    std::shared_ptr<Connection> connection_;
    QString company_;
    QString connectionString_;
    QString article_;
    bool hasOptions_ = false;
    mutable std::optional<std::pair<QString, Option>> cache_;
};

// Date field: takes digits and "/" only, what an Italian user types in at most 8 characters
// (10052024, 100524, 10/05/24), and shows dd/mm/yyyy; an impossible date (31/02/2024) is not
// valid content.
class TxtEditDate : public FieldControl {
    Q_OBJECT
  public:
    explicit TxtEditDate(QWidget* parent = nullptr);
    bool validContent() const override;
    QString refusal() const override;
    // At most n typed characters; the shown dd/mm/yyyy form always fits.
    void setMaxLength(int n) override;
    // The typed text as a date; invalid QDate when it is none.
    static QDate parseTyped(const QString& typed);

  protected:
    bool confirm() override;
};

class KRX_COMBO : public QComboBox {
    Q_OBJECT
  public:
    explicit KRX_COMBO(QWidget* parent = nullptr);
    void addItemAt(const QString& text, int index);
    QString text() const { return currentText(); }
    void setText(const QString& t);
    void setLocked(bool on); // the Boolean option: read-only
    bool locked() const { return locked_; }
    int leftTwips() const;
    void setLeftTwips(int left);
    void bringToFront() { raise(); }
    void showPopup() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    bool locked_ = false;
};

class KRX_LABEL : public QLabel {
    Q_OBJECT
  public:
    explicit KRX_LABEL(const QString& caption = {}, QWidget* parent = nullptr);
    void setBorder(bool on);
};

class KrxRichTextBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit KrxRichTextBox(QWidget* parent = nullptr);
    QString text() const { return toPlainText(); }
    void setText(const QString& t) { setPlainText(t); }
};

class KRX_GROUPBOX : public QGroupBox {
    Q_OBJECT
  public:
    explicit KRX_GROUPBOX(const QString& caption = {}, QWidget* parent = nullptr);
};

} // namespace host
