#pragma once
// A price sheet typed with the keyboard alone: the demo article's header typed field by field,
// then keys sent to whatever has the focus, as a person at the keyboard sends them.

#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/connection.h"
#include "host/data/recordset.h"
#include "host/data/sql_literal.h"
#include "storage/form_utilities.h"
#include "tests/setup/setup_scenarios.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace editingtest {

using testsupport::WindowDriver;

// A key to the focused control, then what it set off.
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ASSERT_NE(QApplication::focusWidget(), nullptr) << "nothing has the focus";
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    WindowDriver::pump();
}

// Text typed into the focused control, then Enter.
inline void typeAndEnter(const QString& text) {
    ASSERT_NE(QApplication::focusWidget(), nullptr) << "nothing has the focus";
    QTest::keyClicks(QApplication::focusWidget(), text);
    press(Qt::Key_Return);
}

// Where the focus stands, as "A0 PREZZO" (purchase grid, first row, LI10_PREZZO) or
// "V2 SC1PER"; "+" is appended when the cell is open for typing.
inline QString place(FRMMG_PREZZOLAMPO* w) {
    QWidget* const focused = QApplication::focusWidget();
    for (host::KRX_QGRID* grid : {w->GRD_LISACQ, w->GRD_LISVEN}) {
        if (focused == nullptr || !(focused == grid || grid->isAncestorOf(focused)))
            continue;
        const bool open = qobject_cast<QLineEdit*>(focused) != nullptr;
        return QStringLiteral("%1%2 %3%4")
            .arg(grid == w->GRD_LISACQ ? u"A"_qs : u"V"_qs)
            .arg(grid->currentRow())
            .arg(grid->currentColumnKey().remove(u"LI10_"_qs))
            .arg(open ? u"+"_qs : QString());
    }
    return QStringLiteral("outside");
}

// A cell's value as the tests compare it: "8,4", "Null".
inline std::string text(const rt::Variant& v) {
    return v.isNull() ? "Null" : NzStr(v).toStdString();
}

// The column's value in the LI10_LISTARTIC row stored for the working row the recordset stands
// on (same company, side, list, article and first day); a text when there is no such row.
inline rt::Variant storedValue(const QString& connectionString, host::Recordset& working,
                               const QString& key) {
    const auto at = [&](const char* column) {
        return working.Fields(QLatin1String(column)).Value();
    };
    host::Connection side;
    side.Open(connectionString);
    auto rs =
        side.Execute(QStringLiteral("SELECT %1, LI10_DATAINIZIOVAL FROM LI10_LISTARTIC WHERE "
                                    "LI10_DITTA_CG18 = %2 AND LI10_FLGVENDACQ = %3 AND "
                                    "LI10_NUMLIST = %4 AND LI10_CODART_MG66 = %5")
                         .arg(key, rt::CStr(at("LI10_DITTA_CG18")), rt::CStr(at("LI10_FLGVENDACQ")),
                              rt::CStr(at("LI10_NUMLIST")),
                              host::quotedSqlText(rt::CStr(at("LI10_CODART_MG66")).trimmed())));
    rt::Variant value = QStringLiteral("no stored row");
    for (; !rs->IsEOF(); rs->MoveNext())
        if (rt::CDate(rs->Fields(1).Value()) == rt::CDate(at("LI10_DATAINIZIOVAL")))
            value = rs->Fields(0).Value();
    return value;
}

} // namespace editingtest
