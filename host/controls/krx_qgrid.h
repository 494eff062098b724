#pragma once
// KRX_QGRID: the host's editable grid. It shows a recordset, one grid column per recordset
// field of the same name (the column key); the grid itself holds no values. Edits are not
// written to the recordset by the grid: OnEditing and OnEdited hand a row object to the
// window, which stores the value itself.

#include "host/data/recordset.h"
#include "runtime/variant.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class QKeyEvent;
class QModelIndex;
class QTableView;

namespace host {

class GlobalServices;
class GridModel;

// Created per grid by the column builder; the grid binds by column name and needs nothing
// else from it.
class GridDataProvider : public rt::Object {
  public:
    void init(std::shared_ptr<GlobalServices> global, std::shared_ptr<Recordset> recordset,
              const QString& keyColumn, int flags);
    QString keyColumn() const { return keyColumn_; }

  private:
    std::shared_ptr<GlobalServices> global_;
    QString keyColumn_;
};

// The row handed to OnEditing and OnEdited: the row's cells by column key, the edited cell
// holding the typed value in OnEdited.
class GridRow {
  public:
    rt::Variant value(const QString& key) const { return values_.value(key.toUpper()); }
    // By the column's position in the grid (from 0); Empty out of range.
    rt::Variant value(int index) const {
        return index >= 0 && index < keys_.size() ? value(keys_.at(index)) : rt::Variant();
    }
    void setValue(const QString& key, const rt::Variant& v) {
        if (!values_.contains(key.toUpper()))
            keys_.append(key.toUpper());
        values_.insert(key.toUpper(), v);
    }
    QString editedColumn;

  private:
    QHash<QString, rt::Variant> values_;
    QStringList keys_;
};

struct GridColumn {
    QString key;
    QString caption;
    int kind = 0;
    int widthTwips = 0;
    bool visible = true;
    QString format;
    int numericKind1 = 0, numericKind2 = 0;
    QString currency;
    bool numeric = false;
    bool editable = false;
    int decimals = -1;
};

class KRX_QGRID : public QWidget {
    Q_OBJECT
  public:
    explicit KRX_QGRID(QWidget* parent = nullptr);
    ~KRX_QGRID() override;

    // Building the columns.
    void setAutoLayout(bool on); // the Boolean property set before and after the columns
    void setDataProvider(std::shared_ptr<GridDataProvider> provider);
    void addColumn(const QString& key, const QString& caption, int kind, int widthTwips,
                   bool visible);
    void addColumn(const QString& key, const QString& caption, int kind, int widthTwips,
                   bool visible, int flags, const QString& displayFormat);
    void endColumns();
    void endLayout();
    // Per-column settings; a key without a column is tolerated and ignored.
    void setNumericKind(const QString& key, int kind1, int kind2, const QString& currency);
    void setNumericSetting(const QString& key, int value);
    void setColumnEditable(const QString& key, int editable);
    void setColumnDecimals(const QString& key, int decimals);
    void setColumnVisible(const QString& key, bool visible);

    // The recordset shown; nullptr detaches the grid.
    void setRecordset(std::shared_ptr<Recordset> recordset);
    std::shared_ptr<Recordset> recordset() const { return recordset_; }
    // Re-reads the rows of the recordset (values changed by the window).
    void refreshRows();

    // Columns collection.
    int columnCount() const { return static_cast<int>(columns_.size()); }
    const GridColumn& column(int position) const {
        return columns_.at(static_cast<size_t>(position));
    }
    const GridColumn* column(const QString& key) const;
    // Current column by key; the position of the focused column among the visible columns.
    // While OnEditing or OnEdited runs, the current column is the edited cell's.
    void setCurrentColumn(const QString& key);
    QString currentColumnKey() const;
    const GridColumn* currentColumn() const; // nullptr without a current column
    int focusedVisibleColumn() const;        // -1 without a current column
    void setFocusedVisibleColumn(int position);
    int currentRow() const; // 0-based, -1 without rows
    // The column's position in the grid (from 0), -1 for a key without a column.
    int columnIndex(const QString& key) const;
    // Opens the current cell for typing (what F2 does) when its column is editable; the cell's
    // text is selected, so that typing replaces it.
    void editCurrentCell();
    // One row down in the current column (what the Down key does), raising RowChanged; from
    // the row the recordset stands on. Nothing on the last row.
    void moveToNextRow();
    // Gives the grid the input focus; a grid that has it already, in a cell editor too, keeps it
    // where it is (an open cell stays open).
    using QWidget::setFocus;
    void setFocus();

    // The text a cell shows (formatted as its column asks).
    QString displayText(int row, const QString& key) const;

    // A cell still open for typing is stored as Enter would store it (OnEdited raised); what is
    // not a number the user meant is dropped. For a window that is closing.
    void commitOpenEdit();

    // Clean-up at the window's unload.
    void cleanup();

    QTableView* view() const { return view_; }

  signals:
    void Entered();
    void KeyDown(int& keyCode, int shift);
    void OnEditing(const host::GridRow& row);
    void OnEdited(const host::GridRow& row);
    void RowChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class GridModel;
    friend class GridDelegate;
    GridColumn* findColumn(const QString& key);
    void applyColumnLayout(int position);
    int firstVisibleColumn() const;
    // The recordset's current row (0-based), -1 when it stands on no row.
    int recordsetRow() const;
    void moveRecordsetTo(int row);
    rt::Variant valueAt(int row, const QString& key) const;
    QString cellText(const GridColumn& column, const rt::Variant& value) const;
    GridRow rowValues(int row) const;
    void resetRows();
    // Puts the view's current cell on the recordset's current row without raising RowChanged.
    void followRecordset();
    void onCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void onFocusChanged(QWidget* old, QWidget* now);
    // KeyDown for a key press; true when the handler swallowed it.
    bool raiseKeyDown(const QKeyEvent* event);
    void beginEdit(const QModelIndex& index);
    void finishEdit(const QModelIndex& index, const QString& typed);
    bool contains(const QWidget* w) const;

    std::vector<GridColumn> columns_;
    std::shared_ptr<Recordset> recordset_;
    std::shared_ptr<GridDataProvider> provider_;
    QTableView* view_ = nullptr;
    GridModel* model_ = nullptr;
    bool autoLayout_ = false;
    bool following_ = false;           // the view follows the recordset: no RowChanged
    QString pendingColumn_;            // current column asked while there is no row
    QString editedColumn_;             // the edited cell's column while an edit event runs
    QPointer<QWidget> editor_;         // the cell editor opened last (hidden once closed)
    QPointer<QWidget> releasedEditor_; // the editor a rebinding took from the view
};

} // namespace host
