#include "host/controls/pick_list.h"

#include "host/data/recordset.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace host {

namespace {

QString cellText(const rt::Variant& v) {
    if (v.isEmpty() || v.isNull())
        return {};
    try {
        return v.type() == rt::VarType::String ? rt::RTrim(v.asString()) : rt::CStr(v);
    } catch (const rt::Error&) {
        return {};
    }
}

// A field position from a name or a number; `fallback` when neither names a field.
int fieldPosition(Recordset& rs, const rt::Variant& column, int fallback) {
    if (column.type() == rt::VarType::String && rs.hasField(column.asString())) {
        for (int i = 0; i < rs.FieldCount(); ++i) {
            if (rs.Fields(i).Name().compare(column.asString(), Qt::CaseInsensitive) == 0)
                return i;
        }
    }
    if (column.isNumeric()) {
        try {
            const int position = rt::CInt(column);
            if (position >= 0 && position < rs.FieldCount())
                return position;
        } catch (const rt::Error&) {
        }
    }
    return fallback < rs.FieldCount() ? fallback : -1;
}

} // namespace

QList<PickList::Entry> PickList::entriesOf(Recordset& rs, const rt::Variant& keyColumn,
                                           const rt::Variant& descriptionColumn) {
    QList<Entry> entries;
    if (rs.State() != 1 || rs.FieldCount() == 0)
        return entries;
    const int key = fieldPosition(rs, keyColumn, 0);
    const int description = fieldPosition(rs, descriptionColumn, key == 0 ? 1 : 0);
    if (key < 0)
        return entries;
    if (rs.RecordCount() > 0)
        rs.MoveFirst();
    for (; !rs.IsEOF(); rs.MoveNext()) {
        entries.append({cellText(rs.Fields(key).Value()),
                        description >= 0 ? cellText(rs.Fields(description).Value()) : QString()});
    }
    return entries;
}

PickList::PickList(const QString& title, const QList<Entry>& entries, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->setPlaceholderText(QStringLiteral("Cerca"));
    table_ = new QTableWidget(int(entries.size()), 2, this);
    table_->setObjectName(QStringLiteral("rows"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Codice"), QStringLiteral("Descrizione")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < entries.size(); ++row) {
        table_->setItem(row, 0, new QTableWidgetItem(entries[row].code));
        table_->setItem(row, 1, new QTableWidgetItem(entries[row].description));
    }
    table_->resizeColumnToContents(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filter_);
    layout->addWidget(table_);
    resize(520, 360);
    filter_->installEventFilter(this);
    table_->installEventFilter(this);
    connect(filter_, &QLineEdit::textChanged, this, &PickList::applyFilter);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { pickCurrent(); });
    applyFilter(QString());
    filter_->setFocus();
}

void PickList::setFilter(const QString& text) {
    filter_->setText(text);
    applyFilter(text);
}

void PickList::applyFilter(const QString& text) {
    const QString wanted = text.trimmed();
    for (int row = 0; row < table_->rowCount(); ++row) {
        const bool match = wanted.isEmpty() ||
                           table_->item(row, 0)->text().contains(wanted, Qt::CaseInsensitive) ||
                           table_->item(row, 1)->text().contains(wanted, Qt::CaseInsensitive);
        table_->setRowHidden(row, !match);
    }
    const int first = firstShownRow();
    if (first >= 0)
        table_->setCurrentCell(first, 0);
    else
        table_->clearSelection();
}

int PickList::firstShownRow() const {
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (!table_->isRowHidden(row))
            return row;
    }
    return -1;
}

QStringList PickList::shownCodes() const {
    QStringList codes;
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (!table_->isRowHidden(row))
            codes << table_->item(row, 0)->text();
    }
    return codes;
}

void PickList::pickCurrent() {
    int row = table_->currentRow();
    if (row < 0 || table_->isRowHidden(row))
        row = firstShownRow();
    if (row < 0)
        return;
    chosen_ = table_->item(row, 0)->text();
    accept();
}

bool PickList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        pickCurrent();
        return true;
    }
    if (watched == filter_ && (key == Qt::Key_Down || key == Qt::Key_Up)) {
        // The arrows move in the list while the user keeps typing in the filter.
        QCoreApplication::sendEvent(table_, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace host
