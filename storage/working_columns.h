#pragma once
// The 48 columns of a working table, in their order, with the types they are declared with.
// One table serves the CREATE of a working table and the UPDATE and INSERT that write a
// working row to LI10_LISTARTIC: the saver walks these columns by position.
//
// DATAFINEVAL stands before DATAINIZIOVAL here, unlike in every statement that names the
// columns. VALUTA and PREZZO_NETTO live only in the working table; LI10_FLGDACONF (the last
// column) is never written by the saver.

#include <array>
#include <cstddef>
#include <string_view>

namespace storage {

// How a column's value is written into SQL text (the declared type decides).
enum class ColumnKind { Number, Text, Date };

struct WorkingColumn {
    std::string_view name;
    std::string_view declaredType; // as written in the CREATE statement
    std::string_view options;      // what follows the type
    ColumnKind kind;
};

inline constexpr std::string_view Nullable = "NULL";

// clang-format off
inline constexpr std::array<WorkingColumn, 48> workingColumns{{
    {"LI10_DITTA_CG18",    "[decimal](5, 0)",  Nullable, ColumnKind::Number},
    {"LI10_FLGUSODECOR",   "[decimal](1, 0)",  Nullable, ColumnKind::Number},
    {"LI10_FLGVENDACQ",    "[decimal](1, 0)",  Nullable, ColumnKind::Number},
    {"LI10_INDTIPOLIS",    "[decimal](2, 0)",  Nullable, ColumnKind::Number},
    {"LI10_CODART_MG66",   "[char](25)",       Nullable, ColumnKind::Text},
    {"LI10_OPZIONE_MG5E",  "[char](20)",       Nullable, ColumnKind::Text},
    {"LI10_DEPOS_MG58",    "[char](2)",        Nullable, ColumnKind::Text},
    {"LI10_NUMLIST",       "[decimal](3, 0)",  Nullable, ColumnKind::Number},
    {"VALUTA",             "[char](4)",        Nullable, ColumnKind::Text},
    {"LI10_DATAFINEVAL",   "[datetime]",       Nullable, ColumnKind::Date},
    {"LI10_DATAINIZIOVAL", "[datetime]",       Nullable, ColumnKind::Date},
    {"LI10_FLGLIST",       "[decimal](1, 0)",  Nullable, ColumnKind::Number},
    {"LI10_PREZZO",        "[decimal](17, 6)", Nullable, ColumnKind::Number},
    {"LI10_SC1PER",        "[decimal](6, 3)",  Nullable, ColumnKind::Number},
    {"LI10_SC2PER",        "[decimal](6, 3)",  Nullable, ColumnKind::Number},
    {"LI10_SC3PER",        "[decimal](6, 3)",  Nullable, ColumnKind::Number},
    {"LI10_SC4PER",        "[decimal](6, 3)",  Nullable, ColumnKind::Number},
    {"LI10_SC5PER",        "[decimal](6, 3)",  Nullable, ColumnKind::Number},
    {"LI10_SC6PER",        "[decimal](6, 3)",  Nullable, ColumnKind::Number},
    {"LI10_SCIMP",         "[decimal](14, 6)", Nullable, ColumnKind::Number},
    {"LI10_MAG1PER",       "[decimal](6, 3)",  Nullable, ColumnKind::Number},
    {"LI10_MAG2PER",       "[decimal](6, 3)",  Nullable, ColumnKind::Number},
    {"LI10_MAGIMP",        "[decimal](14, 6)", Nullable, ColumnKind::Number},
    {"PREZZO_NETTO",       "[decimal](17, 6)", Nullable, ColumnKind::Number},
    {"LI10_PERRICDELTA",   "[decimal](7, 3)",  Nullable, ColumnKind::Number},
    {"LI10_INDRICALPR",    "[decimal](2, 0)",  Nullable, ColumnKind::Number},
    {"LI10_INDARROT",      "[decimal](2, 0)",  Nullable, ColumnKind::Number},
    {"LI10_SCAGL_MG02",    "[decimal](2, 0)",  Nullable, ColumnKind::Number},
    {"LI10_FLGPROVV",      "[decimal](1, 0)",  Nullable, ColumnKind::Number},
    {"LI10_PROVPER",       "[decimal](6, 3)",  Nullable, ColumnKind::Number},
    {"LI10_PROVIMP",       "[decimal](14, 6)", Nullable, ColumnKind::Number},
    {"LI10_PROVVSC_PA10",  "[char](20)",       Nullable, ColumnKind::Text},
    {"LI10_DATACREAZ",     "[datetime]",       Nullable, ColumnKind::Date},
    {"LI10_DATAULTAGG",    "[datetime]",       Nullable, ColumnKind::Date},
    {"LI10_FLGVARIATO",    "[decimal](1, 0)",  Nullable, ColumnKind::Number},
    {"LI10_INDTIPOVAR",    "[decimal](2, 0)",  Nullable, ColumnKind::Number},
    {"LI10_DATASTLIS",     "[datetime]",       Nullable, ColumnKind::Date},
    {"LI10_NUMPAGST",      "[decimal](5, 0)",  Nullable, ColumnKind::Number},
    {"LI10_BVMBASE",       "[decimal](17, 6)", Nullable, ColumnKind::Number},
    {"LI10_BVMVAR",        "[decimal](17, 6)", Nullable, ColumnKind::Number},
    {"LI10_BVMMOLT",       "[decimal](10, 4)", Nullable, ColumnKind::Number},
    {"LI10_FLGPERSON",     "[decimal](1, 0)",  Nullable, ColumnKind::Number},
    {"LI10_LIBEROVAL",     "[decimal](17, 6)", Nullable, ColumnKind::Number},
    {"LI10_IDMEDIA_CG99",  "[decimal](12, 0)", Nullable, ColumnKind::Number},
    {"LI10_INDUM",         "[decimal](2, 0)",  "NULL DEFAULT (1)", ColumnKind::Number},
    {"LI10_NOTE",          "[varchar](40)",    Nullable, ColumnKind::Text},
    {"LI10_LASTCHANGE",    "[datetime]",       Nullable, ColumnKind::Date},
    {"LI10_FLGDACONF",     "[tinyint]",        "NULL DEFAULT ((0))", ColumnKind::Number},
}};
// clang-format on

inline constexpr std::size_t WorkingColumnCount = workingColumns.size();
// The saver writes the columns before the last one.
inline constexpr std::size_t SavedColumnCount = WorkingColumnCount - 1;
// The UPDATE's SET list starts at the fourth column: the first three appear only in its WHERE.
inline constexpr std::size_t FirstUpdatedColumn = 3;

// Position of a column in the table; the table's size when there is none.
constexpr std::size_t workingColumnIndex(std::string_view name) {
    for (std::size_t i = 0; i < workingColumns.size(); ++i)
        if (workingColumns[i].name == name)
            return i;
    return workingColumns.size();
}

// Columns that exist only in the working table and are never written to LI10_LISTARTIC.
constexpr bool isWorkingOnlyColumn(std::string_view name) {
    return name == "VALUTA" || name == "PREZZO_NETTO";
}

} // namespace storage
