#pragma once
// The small list a look-up field opens: codes and descriptions, narrowed as the user types,
// Enter (or a double click) picks the highlighted code.

#include "runtime/variant.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLineEdit;
class QTableWidget;

namespace host {

class Recordset;

class PickList : public QDialog {
    Q_OBJECT
  public:
    struct Entry {
        QString code;
        QString description;
    };

    PickList(const QString& title, const QList<Entry>& entries, QWidget* parent = nullptr);
    // The rows of a look-up query: the code from keyColumn (a field name or position, the first
    // field when Empty), the description from descriptionColumn (the next field when Empty).
    static QList<Entry> entriesOf(Recordset& rs, const rt::Variant& keyColumn,
                                  const rt::Variant& descriptionColumn);

    void setFilter(const QString& text);
    // The codes still shown, in order.
    QStringList shownCodes() const;
    QString chosen() const { return chosen_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyFilter(const QString& text);
    void pickCurrent();
    int firstShownRow() const;

    QLineEdit* filter_ = nullptr;
    QTableWidget* table_ = nullptr;
    QString chosen_;
};

} // namespace host
