// KRX_QGRID over a recordset: what it shows, what it lets the user edit, and the events the
// window's grid handlers rely on.

#include "controls_support.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/recordset.h"
#include "runtime/conversions.h"
#include "tests/runtime/test_helpers.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>

using controls_test::settle;
using host::GridRow;
using host::KRX_QGRID;

namespace {

// The model tester reports its findings as warnings starting with "FAIL!".
QStringList gModelFailures;
void recordModelFailures(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && message.contains(u"FAIL!"_qs))
        gModelFailures << message;
}

struct ColumnSpec {
    const char* key;
    const char* caption;
    int kind;
    int widthTwips;
    const char* format; // nullptr: added without a display format
};

// A cut of the price-list grid: list number, currency, a price, two percentages, net price.
const ColumnSpec kColumns[] = {
    {"LI10_NUMLIST", "N.", 12, 255, nullptr},
    {"VALUTA", "Valuta", 1, 560, nullptr},
    {"LI10_PREZZO", "Prezzo lordo", 12, 1635, "#,##0.00"},
    {"LI10_SC1PER", "Sc. % 1", 12, 690, "#,##0.000"},
    {"LI10_MAG1PER", "Mg.%1 ", 12, 690, "#,##0.000"},
    {"PREZZO_NETTO", "Prezzo netto", 12, 1635, "#,##0.00000"},
};

class GridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        connection_ = controls_test::databaseWith({
            u"CREATE TABLE [PL_RIGHE] ([LI10_NUMLIST] [decimal](3, 0) NOT NULL, "
            u"[VALUTA] [char](4) NULL, [LI10_PREZZO] [decimal](17, 6) NULL, "
            u"[LI10_SC1PER] [decimal](6, 3) NULL, [LI10_MAG1PER] [decimal](6, 3) NULL, "
            u"[PREZZO_NETTO] [decimal](17, 6) NULL)"_qs,
            u"INSERT INTO PL_RIGHE VALUES (1, 'EURO', 1234.5675, 12.5, NULL, 1000), "
            u"(2, 'EURO', NULL, 0, 3, 0.5), (5, 'USD ', 12345678.9, 100, 1.25, 2)"_qs,
        });
        recordset_ = connection_->Execute(u"SELECT * FROM PL_RIGHE ORDER BY LI10_NUMLIST"_qs);
        outside_ = new QLineEdit(&window_);
        grid_ = new KRX_QGRID(&window_);
        grid_->resize(900, 300);
        gModelFailures.clear();
        previousHandler_ = qInstallMessageHandler(recordModelFailures);
        tester_ = std::make_unique<QAbstractItemModelTester>(
            grid_->view()->model(), QAbstractItemModelTester::FailureReportingMode::Warning);
        grid_->setAutoLayout(true);
        for (const ColumnSpec& c : kColumns) {
            if (c.format)
                grid_->addColumn(c.key, c.caption, c.kind, c.widthTwips, true, 0, c.format);
            else
                grid_->addColumn(c.key, c.caption, c.kind, c.widthTwips, true);
        }
        grid_->endColumns();
        for (const char* key : {"LI10_PREZZO", "LI10_SC1PER", "LI10_MAG1PER"})
            grid_->setColumnEditable(key, 1);
        grid_->setColumnDecimals("LI10_PREZZO", 2);
        grid_->setColumnDecimals("LI10_SC1PER", 3);
        grid_->endLayout();
        grid_->setRecordset(recordset_);
    }

    void TearDown() override {
        qInstallMessageHandler(previousHandler_);
        EXPECT_EQ(gModelFailures, QStringList()) << "the grid's model broke a model rule";
    }

    void focusGridAt(const QString& key) {
        ASSERT_TRUE(controls_test::showActive(window_));
        grid_->setFocus();
        grid_->setCurrentColumn(key);
        settle();
    }

    std::shared_ptr<host::Connection> connection_;
    std::shared_ptr<host::Recordset> recordset_;
    QWidget window_;
    QLineEdit* outside_ = nullptr;
    KRX_QGRID* grid_ = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester_;
    QtMessageHandler previousHandler_ = nullptr;
};

TEST_F(GridTest, ShowsItsColumnsAndEveryRowFormattedAsAsked) {
    const QAbstractItemModel* model = grid_->view()->model();
    ASSERT_EQ(grid_->columnCount(), int(std::size(kColumns)));
    for (int col = 0; col < grid_->columnCount(); ++col) {
        SCOPED_TRACE(kColumns[col].key);
        EXPECT_EQ(grid_->column(col).key.toStdString(), kColumns[col].key);
        EXPECT_EQ(model->headerData(col, Qt::Horizontal).toString().toStdString(),
                  kColumns[col].caption); // "Mg.%1 " keeps its blank
        EXPECT_EQ(grid_->view()->columnWidth(col), kColumns[col].widthTwips / 15);
        const auto alignment = model->index(0, col).data(Qt::TextAlignmentRole).value<int>();
        EXPECT_EQ(bool(alignment & Qt::AlignRight), kColumns[col].kind == 12);
    }
    // Per row, in the columns' order; the currency's blanks trimmed, a Null shown empty.
    const char* const shown[][6] = {
        {"1", "EURO", "1.234,57", "12,500", "", "1.000,00000"},
        {"2", "EURO", "", "0,000", "3,000", "0,50000"},
        {"5", "USD", "12.345.678,90", "100,000", "1,250", "2,00000"},
    };
    ASSERT_EQ(model->rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 6; ++col)
            EXPECT_EQ(grid_->displayText(row, kColumns[col].key).toStdString(), shown[row][col])
                << row << " " << kColumns[col].key;
}

TEST_F(GridTest, HiddenColumnsAreLeftOutOfTheVisiblePositions) {
    grid_->setColumnVisible(u"VALUTA"_qs, false);
    grid_->setColumnVisible(u"LI10_SC1PER"_qs, false);
    for (int col = 0; col < grid_->columnCount(); ++col)
        EXPECT_EQ(grid_->view()->isColumnHidden(col), col == 1 || col == 3) << col;
    const char* const visible[] = {"LI10_NUMLIST", "LI10_PREZZO", "LI10_MAG1PER", "PREZZO_NETTO"};
    for (int position = 0; position < 4; ++position) {
        grid_->setCurrentColumn(visible[position]);
        EXPECT_EQ(grid_->focusedVisibleColumn(), position);
        grid_->setFocusedVisibleColumn(position);
        EXPECT_EQ(grid_->currentColumnKey().toStdString(), visible[position]);
    }
    grid_->setColumnVisible(u"VALUTA"_qs, true);
    EXPECT_FALSE(grid_->view()->isColumnHidden(1));
}

TEST_F(GridTest, OnlyEditableColumnsOpenWithTheRowAsItIsAndTheGridIsEnteredOnce) {
    grid_->setColumnEditable(u"LI10_MAG1PER"_qs, 0); // made editable, then read-only again
    const QAbstractItemModel* model = grid_->view()->model();
    for (int col = 0; col < grid_->columnCount(); ++col)
        EXPECT_EQ(bool(model->flags(model->index(1, col)) & Qt::ItemIsEditable),
                  col == 2 || col == 3)
            << col;
    std::vector<GridRow> rows;
    QObject::connect(grid_, &KRX_QGRID::OnEditing, [&](const GridRow& r) { rows.push_back(r); });
    QSignalSpy entered(grid_, &KRX_QGRID::Entered);
    focusGridAt(u"PREZZO_NETTO"_qs);
    QTest::keyClick(grid_->view(), Qt::Key_F2); // a read-only cell opens no editor
    settle();
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
    grid_->setCurrentColumn(u"LI10_SC1PER"_qs);
    QTest::keyClick(grid_->view(), Qt::Key_Down);
    QTest::keyClick(grid_->view(), Qt::Key_F2);
    settle();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].editedColumn, u"LI10_SC1PER"_qs);
    EXPECT_EQ(rt::CDec(rows[0].value(u"LI10_SC1PER"_qs)), rt::Decimal(0));
    EXPECT_EQ(rt::CDec(rows[0].value(u"LI10_MAG1PER"_qs)), rt::Decimal(3));
    EXPECT_TRUE(rows[0].value(u"LI10_PREZZO"_qs).isNull());
    EXPECT_EQ(rt::CDec(rows[0].value(0)), rt::Decimal(2)); // by position: the list number
    // Into the cell editor and back is still inside the grid; leaving it and coming back
    // enters it again.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(entered.count(), 1);
    outside_->setFocus();
    grid_->setFocus();
    settle();
    EXPECT_EQ(entered.count(), 2);
}

// OnEdited runs before KeyDown sees the Enter that ended the edit, with the typed value; the
// recordset is the window's to change.
TEST_F(GridTest, OnEditedCarriesTheTypedValueBeforeKeyDownSeesTheEnter) {
    // Typed, and the value OnEdited carries (nullptr: Null).
    const char* const cases[][2] = {
        {"12,5", "12.5"}, {"1.234,5", "1234.5"}, {"-3", "-3"}, {"0,125", "0.125"}, {"", nullptr}};
    GridRow edited;
    QStringList order; // which event ran, so OnEdited once per edit
    QObject::connect(grid_, &KRX_QGRID::OnEdited, [&](const GridRow& r) {
        edited = r;
        order << u"OnEdited"_qs;
    });
    QObject::connect(grid_, &KRX_QGRID::KeyDown, [&](int& key, int) {
        if (key == 13)
            order << u"KeyDown"_qs;
    });
    focusGridAt(u"LI10_SC1PER"_qs);
    for (const auto& [typed, expected] : cases) {
        SCOPED_TRACE(typed);
        order.clear();
        QTest::keyClick(grid_->view(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr) << "the cell did not open for typing";
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, QString::fromLatin1(typed));
        QTest::keyClick(editor, Qt::Key_Return);
        settle();
        EXPECT_EQ(order, (QStringList{u"OnEdited"_qs, u"KeyDown"_qs}));
        EXPECT_EQ(QApplication::focusWidget(), grid_->view());
        EXPECT_EQ(edited.editedColumn, u"LI10_SC1PER"_qs);
        const rt::Variant v = edited.value(u"LI10_SC1PER"_qs);
        const rt::Variant want = expected ? rt::Variant(dec(expected)) : rt::Variant::null();
        EXPECT_TRUE(v == want && v.type() == want.type()) << v.debugText().toStdString();
        EXPECT_EQ(rt::CDec(recordset_->Fields(u"LI10_SC1PER"_qs).Value()), dec("12.5"));
        EXPECT_EQ(grid_->displayText(0, u"LI10_SC1PER"_qs), u"12,500"_qs);
    }
}

TEST_F(GridTest, KeyDownReportsKeyCodeAndShiftState) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int code, shift;
    } cases[] = {
        {Qt::Key_Return, Qt::NoModifier, 13, 0},    {Qt::Key_Enter, Qt::KeypadModifier, 13, 0},
        {Qt::Key_Return, Qt::ShiftModifier, 13, 1}, {Qt::Key_Down, Qt::ControlModifier, 40, 2},
        {Qt::Key_F2, Qt::AltModifier, 113, 4},      {Qt::Key_Escape, Qt::NoModifier, 27, 0},
        {Qt::Key_Down, Qt::NoModifier, 40, 0},
    };
    focusGridAt(u"LI10_NUMLIST"_qs);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        int code = -1, shift = -1;
        auto connection = QObject::connect(grid_, &KRX_QGRID::KeyDown, [&](int& k, int s) {
            code = k;
            shift = s;
            k = 0; // swallowed by the window: the grid does nothing with it
        });
        QTest::keyClick(grid_->view(), c.key, c.modifiers);
        QObject::disconnect(connection);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(shift, c.shift);
    }
    // Enter, shifted or not, does not move by itself either.
    QTest::keyClick(grid_->view(), Qt::Key_Return);
    QTest::keyClick(grid_->view(), Qt::Key_Return, Qt::ShiftModifier);
    settle();
    EXPECT_EQ(grid_->currentRow(), 0);
    EXPECT_EQ(grid_->currentColumnKey(), u"LI10_NUMLIST"_qs);
}

TEST_F(GridTest, DownAndClickMoveTheRecordsetAndRaiseRowChanged) {
    QList<int> positions; // where the recordset stands when RowChanged runs
    QObject::connect(grid_, &KRX_QGRID::RowChanged,
                     [&] { positions << recordset_->AbsolutePosition(); });
    focusGridAt(u"LI10_PREZZO"_qs);
    for (int i = 0; i < 3; ++i) // the third on the last row: no change
        QTest::keyClick(grid_->view(), Qt::Key_Down);
    EXPECT_EQ(positions, (QList<int>{2, 3}));
    const QModelIndex first = grid_->view()->model()->index(0, 2);
    QTest::mouseClick(grid_->view()->viewport(), Qt::LeftButton, {},
                      grid_->view()->visualRect(first).center());
    EXPECT_EQ(positions, (QList<int>{2, 3, 1}));
    // Down starts from the row the window moved the recordset to.
    recordset_->MoveLast();
    EXPECT_EQ(grid_->currentRow(), 2);
    recordset_->MoveFirst();
    QTest::keyClick(grid_->view(), Qt::Key_Down);
    EXPECT_EQ(positions, (QList<int>{2, 3, 1, 2}));
}

TEST_F(GridTest, RowsFollowTheRecordsetAndItsFilter) {
    recordset_->setFilter(u"LI10_NUMLIST =5"_qs);
    grid_->refreshRows();
    ASSERT_EQ(grid_->view()->model()->rowCount(), 1);
    EXPECT_EQ(grid_->displayText(0, u"VALUTA"_qs), u"USD"_qs);
    recordset_->setFilter(host::adFilterNone);
    grid_->refreshRows();
    EXPECT_EQ(grid_->view()->model()->rowCount(), 3);
    // The same rows with values the window changed (derived prices) are painted again.
    QSignalSpy repainted(grid_->view()->model(), &QAbstractItemModel::dataChanged);
    grid_->refreshRows();
    EXPECT_EQ(repainted.count(), 1);
}

} // namespace
