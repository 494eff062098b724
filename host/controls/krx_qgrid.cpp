#include "host/controls/krx_qgrid.h"

#include "host/controls/key_codes.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace host {

void GridDataProvider::init(std::shared_ptr<GlobalServices> global,
                            std::shared_ptr<Recordset> /*recordset*/, const QString& keyColumn,
                            int /*flags*/) {
    global_ = std::move(global);
    keyColumn_ = keyColumn;
}

namespace {

// Remembers where a recordset stands and puts it back there, BOF and EOF included, so that
// reading a row for display never disturbs the window's own walks over the recordset.
class SavedPosition {
  public:
    explicit SavedPosition(Recordset& rs) : rs_(rs) {
        const int position = rs.AbsolutePosition();
        if (position > 0)
            bookmark_ = rs.Bookmark();
        else
            place_ = position;
    }
    ~SavedPosition() {
        try {
            restore();
        } catch (const rt::Error&) {
            // The recordset changed under us (closed or refiltered); nothing left to restore.
        }
    }
    SavedPosition(const SavedPosition&) = delete;
    SavedPosition& operator=(const SavedPosition&) = delete;

  private:
    void restore() {
        if (!bookmark_.isEmpty()) {
            rs_.setBookmark(bookmark_);
        } else if (place_ == -2 && rs_.RecordCount() > 0) {
            rs_.MoveFirst();
            rs_.MovePrevious();
        } else if (place_ == -3 && rs_.RecordCount() > 0) {
            rs_.MoveLast();
            rs_.MoveNext();
        }
    }
    Recordset& rs_;
    rt::Variant bookmark_;
    int place_ = 0;
};

bool isOpen(const std::shared_ptr<Recordset>& rs) {
    return rs && rs->State() == 1;
}

// What an Italian user types into a numeric cell: an optional sign, digits with "." as
// thousands separator and "," before at most `decimals` decimal digits.
QValidator* numberValidator(int decimals, QObject* parent) {
    QString fraction;
    if (decimals < 0)
        fraction = QStringLiteral("(,[0-9]*)?");
    else if (decimals > 0)
        fraction = QStringLiteral("(,[0-9]{0,%1})?").arg(decimals);
    const QRegularExpression pattern(QStringLiteral("-?[0-9.]*") + fraction);
    return new QRegularExpressionValidator(pattern, parent);
}

// Dots in a typed number only group the integer digits by three ("1.234.567,5"): "12.5" is
// not read as 125, it is no number at all.
bool dotsGroupThousands(const QString& text) {
    static const QRegularExpression grouped(QStringLiteral("^-?[0-9]{1,3}(\\.[0-9]{3})+(,.*)?$"));
    return !text.contains(u'.') || grouped.match(text).hasMatch();
}

bool hasDigit(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// The typed text of a numeric cell as the value handed to OnEdited: blank is Null, a number
// becomes a Decimal, a text without digits stays text (the window's conversion reports it).
// Digits that make no Italian number ("12.5") give nothing: a price is never guessed.
std::optional<rt::Variant> typedNumber(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return rt::Variant::null();
    if (!hasDigit(text))
        return rt::Variant(text);
    if (!dotsGroupThousands(text))
        return std::nullopt;
    QString plain = text;
    plain.remove(u'.');
    try {
        return rt::Variant(rt::CDec(rt::Variant(plain)));
    } catch (const rt::Error&) {
        return std::nullopt;
    }
}

const char* const NumericProperty = "numericCell";

// The keypad's decimal key types the Italian decimal comma.
bool isKeypadDecimal(const QKeyEvent* key) {
    return key->key() == Qt::Key_Period && key->modifiers().testFlag(Qt::KeypadModifier);
}

// The same key press with a comma instead of the keypad's dot.
QKeyEvent commaFor(const QKeyEvent* key) {
    return QKeyEvent(key->type(), Qt::Key_Comma, key->modifiers(), QStringLiteral(","));
}

// While an edit event runs, the grid's current column is the edited cell's, wherever a click
// or an arrow has already put the current cell.
class EditedColumn {
  public:
    EditedColumn(QString& slot, const QString& key) : slot_(slot) { slot_ = key; }
    ~EditedColumn() { slot_.clear(); }
    EditedColumn(const EditedColumn&) = delete;
    EditedColumn& operator=(const EditedColumn&) = delete;

  private:
    QString& slot_;
};

} // namespace

// The grid's rows are the recordset's rows, read on demand; the columns are the grid's.
class GridModel : public QAbstractTableModel {
  public:
    explicit GridModel(KRX_QGRID* grid) : QAbstractTableModel(grid), grid_(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : grid_->columnCount();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
            return {};
        const GridColumn& column = grid_->column(index.column());
        switch (role) {
        case Qt::DisplayRole:
            return grid_->cellText(column, grid_->valueAt(index.row(), column.key));
        case Qt::EditRole:
            return editText(column, grid_->valueAt(index.row(), column.key));
        case Qt::TextAlignmentRole:
            return column.numeric ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                  : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= grid_->columnCount())
            return QAbstractTableModel::headerData(section, orientation, role);
        if (role == Qt::DisplayRole)
            return grid_->column(section).caption;
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (grid_->column(index.column()).editable)
            f |= Qt::ItemIsEditable;
        return f;
    }

    // The grid never stores a value: OnEdited hands it to the window.
    bool setData(const QModelIndex&, const QVariant&, int) override { return false; }

    void reset(int rows) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    }
    int rows() const { return rows_; }
    void announceColumn(int position) {
        beginInsertColumns({}, position, position);
        endInsertColumns();
    }
    template <class Change> void resetWith(Change change) {
        beginResetModel();
        change();
        endResetModel();
    }
    void refreshAll() {
        if (rows_ > 0 && grid_->columnCount() > 0)
            emit dataChanged(index(0, 0), index(rows_ - 1, grid_->columnCount() - 1));
    }

  private:
    static QString editText(const GridColumn& column, const rt::Variant& v) {
        if (v.isEmpty() || v.isNull())
            return {};
        try {
            return v.type() == rt::VarType::String ? rt::RTrim(v.asString()) : rt::CStr(v);
        } catch (const rt::Error&) {
            return {};
        }
    }

    KRX_QGRID* grid_;
    int rows_ = 0;
};

// Cell editor: a line edit taking Italian numbers; tells the grid when an edit starts and
// ends, and lets KeyDown see every key typed into the editor first.
class GridDelegate : public QStyledItemDelegate {
  public:
    explicit GridDelegate(KRX_QGRID* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        const GridColumn& column = grid_->column(index.column());
        editor->setProperty(NumericProperty, column.numeric);
        grid_->editor_ = editor;
        grid_->releasedEditor_ = nullptr;
        if (column.numeric) {
            editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            editor->setValidator(numberValidator(column.decimals, editor));
        }
        grid_->beginEdit(index);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line && !line->isModified())
            line->setText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            grid_->finishEdit(index, line->text());
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QLineEdit*>(object);
        if (!editor || event->type() != QEvent::KeyPress)
            return QStyledItemDelegate::eventFilter(object, event);
        auto* key = static_cast<QKeyEvent*>(event);
        if (isKeypadDecimal(key)) {
            QKeyEvent comma = commaFor(key);
            QCoreApplication::sendEvent(editor, &comma);
            return true;
        }
        if (isEnterKey(key->key()) && editor->property(NumericProperty).toBool() &&
            !typedNumber(editor->text()))
            return true; // Enter waits for a number the user meant
        if (isEnterKey(key->key())) {
            // The edit ends first, so that KeyDown's handler finds the value stored and the
            // current column still the edited one.
            emit commitData(editor);
            // A rebinding inside OnEdited has already let the view go of the editor.
            if (grid_->releasedEditor_ == editor)
                editor->hide();
            else
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            grid_->raiseKeyDown(key);
            return true;
        }
        if (grid_->raiseKeyDown(key))
            return true;
        return QStyledItemDelegate::eventFilter(object, event);
    }

  private:
    KRX_QGRID* grid_;
};

KRX_QGRID::KRX_QGRID(QWidget* parent) : QWidget(parent) {
    view_ = new QTableView(this);
    model_ = new GridModel(this);
    view_->setModel(model_);
    view_->setItemDelegate(new GridDelegate(this));
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectItems);
    view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    view_->setTabKeyNavigation(true);
    view_->horizontalHeader()->setMinimumSectionSize(1); // narrow columns keep their width
    view_->verticalHeader()->setDefaultSectionSize(18);
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &KRX_QGRID::onCurrentChanged);
    connect(qApp, &QApplication::focusChanged, this, &KRX_QGRID::onFocusChanged);
}

KRX_QGRID::~KRX_QGRID() = default;

void KRX_QGRID::setAutoLayout(bool on) {
    autoLayout_ = on;
}

void KRX_QGRID::setDataProvider(std::shared_ptr<GridDataProvider> provider) {
    provider_ = std::move(provider);
}

void KRX_QGRID::addColumn(const QString& key, const QString& caption, int kind, int widthTwips,
                          bool visible) {
    addColumn(key, caption, kind, widthTwips, visible, 0, QString());
}

void KRX_QGRID::addColumn(const QString& key, const QString& caption, int kind, int widthTwips,
                          bool visible, int /*flags*/, const QString& displayFormat) {
    GridColumn column;
    column.key = key;
    column.caption = caption;
    column.kind = kind;
    column.widthTwips = widthTwips;
    column.visible = visible;
    column.format = displayFormat;
    // Kind 12 is the numeric kind; a display format only makes sense for numbers.
    column.numeric = kind == 12 || !displayFormat.isEmpty();
    columns_.push_back(column);
    const int position = columnCount() - 1;
    model_->announceColumn(position);
    applyColumnLayout(position);
}

void KRX_QGRID::endColumns() {
    for (int i = 0; i < columnCount(); ++i)
        applyColumnLayout(i);
}

void KRX_QGRID::endLayout() {
    endColumns();
}

void KRX_QGRID::applyColumnLayout(int position) {
    const GridColumn& c = column(position);
    view_->setColumnHidden(position, !c.visible);
    if (c.widthTwips > 0)
        view_->setColumnWidth(position, c.widthTwips / 15);
}

GridColumn* KRX_QGRID::findColumn(const QString& key) {
    const int position = columnIndex(key);
    return position < 0 ? nullptr : &columns_[static_cast<size_t>(position)];
}

const GridColumn* KRX_QGRID::column(const QString& key) const {
    const int position = columnIndex(key);
    return position < 0 ? nullptr : &columns_[static_cast<size_t>(position)];
}

int KRX_QGRID::firstVisibleColumn() const {
    for (int i = 0; i < columnCount(); ++i) {
        if (column(i).visible)
            return i;
    }
    return columnCount() > 0 ? 0 : -1;
}

int KRX_QGRID::columnIndex(const QString& key) const {
    for (int i = 0; i < columnCount(); ++i) {
        if (column(i).key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void KRX_QGRID::setNumericKind(const QString& key, int kind1, int kind2, const QString& currency) {
    if (GridColumn* c = findColumn(key)) {
        c->numericKind1 = kind1;
        c->numericKind2 = kind2;
        c->currency = currency;
        c->numeric = true;
    }
}

void KRX_QGRID::setNumericSetting(const QString& key, int value) {
    if (GridColumn* c = findColumn(key); c && value != 0)
        c->numeric = true;
}

void KRX_QGRID::setColumnEditable(const QString& key, int editable) {
    if (GridColumn* c = findColumn(key))
        c->editable = editable != 0;
}

void KRX_QGRID::setColumnDecimals(const QString& key, int decimals) {
    if (GridColumn* c = findColumn(key))
        c->decimals = decimals;
}

void KRX_QGRID::setColumnVisible(const QString& key, bool visible) {
    if (GridColumn* c = findColumn(key)) {
        c->visible = visible;
        view_->setColumnHidden(columnIndex(key), !visible);
    }
}

void KRX_QGRID::setRecordset(std::shared_ptr<Recordset> recordset) {
    recordset_ = std::move(recordset);
    resetRows();
}

void KRX_QGRID::refreshRows() {
    const int rows = isOpen(recordset_) ? recordset_->RecordCount() : 0;
    if (rows != model_->rows()) {
        resetRows();
        return;
    }
    model_->refreshAll();
    followRecordset();
}

void KRX_QGRID::resetRows() {
    // The current column outlives a rebinding: the window walks on from it.
    const QString column = currentColumnKey();
    // An open editor goes before its rows do, without taking the focus out of the grid.
    QWidget* focused = QApplication::focusWidget();
    if (focused != view_ && contains(focused))
        view_->setFocus();
    releasedEditor_ = editor_;
    model_->reset(isOpen(recordset_) ? recordset_->RecordCount() : 0);
    if (!column.isEmpty())
        pendingColumn_ = column;
    followRecordset();
}

int KRX_QGRID::recordsetRow() const {
    if (!isOpen(recordset_))
        return -1;
    const int position = recordset_->AbsolutePosition();
    return position > 0 && position <= model_->rows() ? position - 1 : -1;
}

void KRX_QGRID::moveRecordsetTo(int row) {
    if (isOpen(recordset_) && row >= 0 && row < recordset_->RecordCount() && recordsetRow() != row)
        recordset_->setAbsolutePosition(row + 1);
}

void KRX_QGRID::followRecordset() {
    const int row = recordsetRow();
    if (row < 0)
        return;
    const QModelIndex current = view_->currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    int col = current.isValid() ? current.column() : columnIndex(pendingColumn_);
    if (col < 0)
        col = firstVisibleColumn();
    if (col < 0)
        return;
    following_ = true;
    view_->selectionModel()->setCurrentIndex(model_->index(row, col),
                                             QItemSelectionModel::ClearAndSelect);
    following_ = false;
}

void KRX_QGRID::onCurrentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (following_ || !current.isValid())
        return;
    const bool rowMoved = !previous.isValid() || previous.row() != current.row();
    const bool recordsetElsewhere = recordsetRow() != current.row();
    if (!rowMoved && !recordsetElsewhere)
        return;
    moveRecordsetTo(current.row());
    emit RowChanged();
    model_->refreshAll(); // the window may have changed the row's values
}

rt::Variant KRX_QGRID::valueAt(int row, const QString& key) const {
    if (!isOpen(recordset_) || row < 0 || row >= recordset_->RecordCount() ||
        !recordset_->hasField(key))
        return {};
    try {
        if (recordset_->AbsolutePosition() == row + 1)
            return recordset_->Fields(key).Value();
        SavedPosition saved(*recordset_);
        recordset_->setAbsolutePosition(row + 1);
        return recordset_->Fields(key).Value();
    } catch (const rt::Error&) {
        return {};
    }
}

QString KRX_QGRID::cellText(const GridColumn& c, const rt::Variant& v) const {
    if (v.isEmpty() || v.isNull())
        return {};
    try {
        if (v.type() == rt::VarType::String)
            return rt::RTrim(v.asString());
        if (c.numeric && v.isNumeric() && !c.format.isEmpty())
            return rt::Format(v, c.format);
        return rt::CStr(v);
    } catch (const rt::Error&) {
        return {};
    }
}

QString KRX_QGRID::displayText(int row, const QString& key) const {
    const GridColumn* c = column(key);
    if (!c || row < 0 || row >= model_->rows())
        return {};
    return cellText(*c, valueAt(row, key));
}

GridRow KRX_QGRID::rowValues(int row) const {
    GridRow values;
    for (const GridColumn& c : columns_)
        values.setValue(c.key, valueAt(row, c.key));
    return values;
}

void KRX_QGRID::setCurrentColumn(const QString& key) {
    const int col = columnIndex(key);
    if (col < 0)
        return;
    followRecordset();
    int row = view_->currentIndex().isValid() ? view_->currentIndex().row() : recordsetRow();
    if (row < 0 && model_->rows() > 0)
        row = 0;
    if (row < 0) {
        pendingColumn_ = column(col).key;
        return;
    }
    const QModelIndex target = model_->index(row, col);
    view_->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(target);
}

const GridColumn* KRX_QGRID::currentColumn() const {
    return column(currentColumnKey());
}

QString KRX_QGRID::currentColumnKey() const {
    if (!editedColumn_.isEmpty())
        return editedColumn_;
    const QModelIndex current = view_->currentIndex();
    if (current.isValid() && current.column() < columnCount())
        return column(current.column()).key;
    return column(pendingColumn_) ? pendingColumn_ : QString();
}

int KRX_QGRID::focusedVisibleColumn() const {
    const int col = columnIndex(currentColumnKey());
    if (col < 0 || !column(col).visible)
        return -1;
    int position = 0;
    for (int i = 0; i < col; ++i)
        position += column(i).visible ? 1 : 0;
    return position;
}

void KRX_QGRID::setFocusedVisibleColumn(int position) {
    int seen = 0;
    for (const GridColumn& c : columns_) {
        if (!c.visible)
            continue;
        if (seen++ == position) {
            setCurrentColumn(c.key);
            return;
        }
    }
}

int KRX_QGRID::currentRow() const {
    if (model_->rows() == 0)
        return -1;
    const int row = recordsetRow();
    if (row >= 0)
        return row;
    return view_->currentIndex().isValid() ? view_->currentIndex().row() : -1;
}

void KRX_QGRID::editCurrentCell() {
    followRecordset();
    const QModelIndex current = view_->currentIndex();
    // A cell already open stays as it is, with what has been typed into it.
    if (editor_ && editor_->isVisible())
        return;
    if (current.isValid() && (model_->flags(current) & Qt::ItemIsEditable))
        view_->edit(current);
}

void KRX_QGRID::commitOpenEdit() {
    auto* line = qobject_cast<QLineEdit*>(editor_.data());
    if (!line || !line->isVisible() || releasedEditor_ == editor_)
        return;
    QAbstractItemDelegate* delegate = view_->itemDelegate();
    if (!line->property(NumericProperty).toBool() || typedNumber(line->text()))
        emit delegate->commitData(line);
    if (editor_ == line && releasedEditor_ != line)
        emit delegate->closeEditor(line, QAbstractItemDelegate::NoHint);
}

void KRX_QGRID::moveToNextRow() {
    followRecordset();
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid() || current.row() + 1 >= model_->rows())
        return;
    const QModelIndex below = model_->index(current.row() + 1, current.column());
    view_->selectionModel()->setCurrentIndex(below, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(below);
}

void KRX_QGRID::setFocus() {
    if (!contains(QApplication::focusWidget()))
        QWidget::setFocus();
}

void KRX_QGRID::beginEdit(const QModelIndex& index) {
    moveRecordsetTo(index.row());
    GridRow row = rowValues(index.row());
    row.editedColumn = column(index.column()).key;
    const EditedColumn edited(editedColumn_, row.editedColumn);
    emit OnEditing(row);
}

void KRX_QGRID::finishEdit(const QModelIndex& index, const QString& typed) {
    // A rebinding inside OnEdited takes the focus from the editor: the edit is already ending.
    if (!editedColumn_.isEmpty() || !index.isValid() || index.row() >= model_->rows() ||
        index.column() >= columnCount())
        return;
    const GridColumn& c = column(index.column());
    const std::optional<rt::Variant> value =
        c.numeric ? typedNumber(typed) : rt::Variant(rt::RTrim(typed));
    if (!value)
        return; // left by another way than Enter: the cell keeps its value
    moveRecordsetTo(index.row());
    GridRow row = rowValues(index.row());
    row.setValue(c.key, *value);
    row.editedColumn = c.key;
    {
        const EditedColumn edited(editedColumn_, row.editedColumn);
        emit OnEdited(row);
    }
    model_->refreshAll(); // the stored value and what the window worked out from it
}

bool KRX_QGRID::raiseKeyDown(const QKeyEvent* event) {
    int code = virtualKeyCode(event->key());
    if (code == 0)
        return false;
    emit KeyDown(code, shiftState(event->modifiers()));
    return code == 0;
}

bool KRX_QGRID::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isKeypadDecimal(key)) {
            QKeyEvent comma = commaFor(key);
            QCoreApplication::sendEvent(view_, &comma);
            return true;
        }
        // Keys act on the row the recordset stands on, wherever the window moved it.
        followRecordset();
        if (raiseKeyDown(key))
            return true;
        // Enter does not move by itself: the window's KeyDown handler decides where to go.
        return isEnterKey(key->key());
    }
    return QWidget::eventFilter(watched, event);
}

bool KRX_QGRID::contains(const QWidget* w) const {
    return w && (w == this || isAncestorOf(w));
}

void KRX_QGRID::onFocusChanged(QWidget* old, QWidget* now) {
    if (contains(now) && !contains(old))
        emit Entered();
}

void KRX_QGRID::cleanup() {
    setRecordset(nullptr);
    model_->resetWith([this] {
        columns_.clear();
        pendingColumn_.clear();
    });
    provider_.reset();
}

} // namespace host
