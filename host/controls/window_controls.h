#pragma once
// Tool-bar button, resize component, window host and the header data frame.

#include "runtime/variant.h"

#include <QList>
#include <QObject>
#include <QPushButton>
#include <QString>
#include <memory>

namespace host {

class Cinterface;
class Connection;
class Recordset;

// A tool-bar button of the window ("&Nuovo", "&Ricalcola").
class KRX_TBARMENU : public QPushButton {
    Q_OBJECT
  public:
    explicit KRX_TBARMENU(const QString& caption = {}, QWidget* parent = nullptr);
  signals:
    void ButtonClick();
};

// Keeps registered controls anchored to the window's sides as it is resized. Mode bits:
// 1 left, 2 top, 4 right, 8 bottom: 15 grows with the window, 12 moves with its lower-right corner.
// The distances are those of the window's size when the component was made (its design size),
// so a window resized before the start has its controls follow at once.
class KRX_RESIZEFORM : public QObject {
    Q_OBJECT
  public:
    explicit KRX_RESIZEFORM(QWidget* form);
    void addControl(const QString& name, int mode);
    // Starts: raises Setup, remembers the places of the registered controls and fits them to
    // the window's present size.
    void start();
    bool started() const { return started_; }
  signals:
    void Setup();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Entry {
        QString name;
        int mode;
        QRect start;
    };
    QWidget* form_;
    void follow();
    QList<Entry> entries_;
    QSize startSize_;
    bool started_ = false;
};

// Hosts the window in the host's frame: raises FormLoad and places the window in twips.
class MDIActiveX : public QObject {
    Q_OBJECT
  public:
    explicit MDIActiveX(QWidget* form);
    void place(int left, int top, int width, int height);
    void raiseFormLoad() { emit FormLoad(); }
  signals:
    void FormLoad();

  private:
    QWidget* form_;
};

// The header data frame: knows the header's key fields and the window's status, which it
// hands to the navigator. Status 0: no article; 1: an article is being changed (variation).
class HeaderFrame : public QObject, public rt::Object {
    Q_OBJECT
  public:
    void init(std::shared_ptr<Cinterface>& contract, std::shared_ptr<Connection>& connection,
              std::shared_ptr<Recordset>& articles, const QString& query, const QString& extra,
              std::shared_ptr<rt::Object> obj1, std::shared_ptr<rt::Object> obj2);
    void registerField(QWidget* field, std::shared_ptr<rt::Object> none);
    void registerField(QWidget* field);
    void setOption(bool on);
    int Status() const { return status_; }
    void setStatus(int status, int reason = 0);
    std::shared_ptr<Recordset> recordset() const { return articles_; }
    void end();
    bool ended() const { return ended_; }
  signals:
    void ChangeStatus(int status, int reason);

  private:
    std::shared_ptr<Cinterface> contract_;
    std::shared_ptr<Connection> connection_;
    std::shared_ptr<Recordset> articles_;
    QString query_;
    QList<QWidget*> fields_;
    bool option_ = false;
    bool ended_ = false;
    int status_ = 0;
};

} // namespace host
