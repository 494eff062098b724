#pragma once
// Tool-bar button, resize component, window host and the header data frame.

#include "runtime/variant.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <memory>

namespace host {

class Cinterface;
class Connection;
class Recordset;
class KRX_QGRID;

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
    // A control of a stack that shares the window's added height: its sides across follow the
    // mode's bits 1 and 4, its top and bottom move by these shares of the added height (a group
    // above another takes the top share 0 and the bottom share s, the one below s and 1).
    void addSharedControl(const QString& name, int mode, double topShare, double bottomShare);
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
        double topShare;    // of the added height, by which the top moves
        double bottomShare; // and the bottom
        QRect start;
    };
    void add(const Entry& entry);
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
// hands to the navigator, and the row the user is on, which the navigator's media link reaches
// through "Recordset", "Status" and "Update".
//   Status 2: header only (no article accepted); Recordset is the frame's own (the articles).
//   Status 1: variation (an article accepted); Recordset is the working recordset of the grid
//             of the window the user was last on, standing on its current row (no object
//             before the user has been on a grid row).
//   Status 0: insertion, a row not stored yet; this window stores every row as it is edited,
//             so its frame never is in it.
class HeaderFrame : public QObject, public rt::Object {
    Q_OBJECT
  public:
    static constexpr int StatusInsertion = 0;
    static constexpr int StatusVariation = 1;
    static constexpr int StatusHeaderOnly = 2;

    void init(std::shared_ptr<Cinterface>& contract, std::shared_ptr<Connection>& connection,
              std::shared_ptr<host::Recordset>& articles, const QString& query,
              const QString& extra, std::shared_ptr<rt::Object> obj1,
              std::shared_ptr<rt::Object> obj2);
    void registerField(QWidget* field, std::shared_ptr<rt::Object> none);
    void registerField(QWidget* field);
    void setOption(bool on);
    // Status, Recordset and Update are what the navigator reaches by name: other frames may
    // answer them otherwise.
    virtual int Status() const { return status_; }
    void setStatus(int status, int reason = 0);
    std::shared_ptr<host::Recordset> recordset() const { return articles_; }
    // The recordset of the row the user is on (see above).
    virtual std::shared_ptr<host::Recordset> Recordset() const;
    // Writes the pending changes of that row to its table.
    virtual void Update();
    void end();
    bool ended() const { return ended_; }
  signals:
    void ChangeStatus(int status, int reason);

  private:
    void followGridsOf(QWidget* window);

    std::shared_ptr<Cinterface> contract_;
    std::shared_ptr<Connection> connection_;
    std::shared_ptr<host::Recordset> articles_;
    QString query_;
    QList<QWidget*> fields_;
    QPointer<QWidget> window_;
    QPointer<KRX_QGRID> currentGrid_;
    bool option_ = false;
    bool ended_ = false;
    int status_ = StatusHeaderOnly;
};

} // namespace host
