// The window's controls, at their design places, and the wiring of their events to the
// window's handlers (control_Event).
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/controls/window_controls.h"
#include "host/window/window_support.h"

#include <QFont>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace {

// The client area the controls were laid out in (twips).
constexpr int DesignClientWidth = 11880;
constexpr int DesignClientHeight = 6840;
constexpr int GridRowHeight = 18;
constexpr int DescriptionMaxLength = 72;
constexpr int DesignFontPixels = 11;

template <class Control> Control* named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

void place(QWidget* control, int left, int top, int width, int height) {
    host::placeInTwips(control, left, top, width, height);
}

// A header text field: caption (tooltip), length (0: no limit), and the flags the host's data frame
// reads.
void describeField(host::FieldControl* field, const QString& caption, int maxLength, bool required,
                   const char* dataField = nullptr) {
    field->setCaption(caption);
    if (maxLength > 0)
        field->setMaxLength(maxLength);
    field->setProperty("required", required);
    if (dataField != nullptr)
        field->setProperty("dataField", QString::fromLatin1(dataField));
}

void describeGrid(host::KRX_QGRID* grid) {
    if (grid->view() != nullptr)
        grid->view()->verticalHeader()->setDefaultSectionSize(GridRowHeight);
}

// The description box is only written by the program; it keeps its design length.
void limitLength(host::KrxRichTextBox* box, int maxLength) {
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, maxLength] {
        const QString text = box->toPlainText();
        if (text.size() > maxLength)
            box->setPlainText(text.left(maxLength));
    });
}

} // namespace

void FRMMG_PREZZOLAMPO::buildLayout() {
    setObjectName(QStringLiteral("FRMMG_PREZZOLAMPO"));
    setWindowTitle(QStringLiteral("Creazione veloce Listini Anagrafici "));
    // The design places are measured for the desktop's small dialog font (8 points): a larger
    // font would cut the labels ("Articolo", "Inizio validità") at their design widths.
    QFont designFont = font();
    designFont.setPixelSize(DesignFontPixels);
    setFont(designFont);
    resize(host::twipsToPixels(DesignClientWidth), host::twipsToPixels(DesignClientHeight));

    // Group boxes first: the controls they frame lie above them.
    GRB_HEAD = named(new host::KRX_GROUPBOX(QString(), this), "GRB_HEAD");
    place(GRB_HEAD, 0, 0, 11805, 795);
    GRB_DETAILACQ =
        named(new host::KRX_GROUPBOX(QStringLiteral("Listini di Acquisto"), this), "GRB_DETAILACQ");
    place(GRB_DETAILACQ, 0, 810, 11805, 2445);
    GRB_DETAILVEN =
        named(new host::KRX_GROUPBOX(QStringLiteral("Listini di Vendita"), this), "GRB_DETAILVEN");
    place(GRB_DETAILVEN, 0, 3270, 11805, 3105);

    // Header.
    LBL_ARTICOLO = named(new host::KRX_LABEL(QStringLiteral("Articolo"), this), "LBL_ARTICOLO");
    place(LBL_ARTICOLO, 120, 120, 585, 300);
    LBL_VARIANTE = named(new host::KRX_LABEL(QStringLiteral("Variante"), this), "LBL_VARIANTE");
    place(LBL_VARIANTE, 120, 420, 585, 300);

    TXT_CODART = named(new host::TxtArticolo(this), "TXT_CODART");
    describeField(TXT_CODART, QStringLiteral("Codice articolo di magazzino"), 25, true,
                  "MG66_CODART");
    place(TXT_CODART, 1350, 90, 3120, 300);

    TXT_OPZIONE = named(new host::TXT_EDITVARIANTE(this), "TXT_OPZIONE");
    describeField(TXT_OPZIONE, QStringLiteral("Codice variante"), 0, false, "LI10_OPZIONE_MG5E");
    TXT_OPZIONE->setProperty("optionType", 5);
    place(TXT_OPZIONE, 1530, 420, 2955, 315);

    TXT_DESCART = named(new host::KrxRichTextBox(this), "TXT_DESCART");
    TXT_DESCART->setToolTip(QStringLiteral("Descrizione articolo"));
    TXT_DESCART->setProperty("dataField", QStringLiteral("MG87_DESCART"));
    TXT_DESCART->setEnabled(false);
    limitLength(TXT_DESCART, DescriptionMaxLength);
    place(TXT_DESCART, 5910, 90, 4395, 600);
    TXT_CODART->setDescriptionBox(TXT_DESCART);

    // Purchase side.
    TXT_DADATA_ACQ_LBL =
        named(new host::KRX_LABEL(QStringLiteral("Inizio validità"), this), "TXT_DADATA_ACQ_LBL");
    place(TXT_DADATA_ACQ_LBL, 120, 1050, 1035, 300);
    TXT_ADATA_ACQ_LBL =
        named(new host::KRX_LABEL(QStringLiteral("Fine validità"), this), "TXT_ADATA_ACQ_LBL");
    place(TXT_ADATA_ACQ_LBL, 3570, 1050, 945, 300);
    TXT_DADATA_ACQ = named(new host::TxtEditDate(this), "TXT_DADATA_ACQ");
    describeField(TXT_DADATA_ACQ,
                  QStringLiteral("Data di inizio validità per i listini di acquisto"), 8, true);
    place(TXT_DADATA_ACQ, 1350, 1020, 1215, 300);
    TXT_ADATA_ACQ = named(new host::TxtEditDate(this), "TXT_ADATA_ACQ");
    describeField(TXT_ADATA_ACQ, QStringLiteral("Data di fine validità per i listini di acquisto"),
                  8, true);
    place(TXT_ADATA_ACQ, 4710, 1020, 1215, 300);
    // The combos hold only "Da Configurazione" (17 characters), their longest text.
    CBO_DADATA_ACQ = named(new host::KRX_COMBO(this), "CBO_DADATA_ACQ");
    place(CBO_DADATA_ACQ, 7920, 1020, 1665, 315);
    CBO_DADATA_ACQ->setEnabled(false);
    CBO_ADATA_ACQ = named(new host::KRX_COMBO(this), "CBO_ADATA_ACQ");
    place(CBO_ADATA_ACQ, 9720, 1020, 1665, 315);
    CBO_ADATA_ACQ->setEnabled(false);
    GRD_LISACQ = named(new host::KRX_QGRID(this), "GRD_LISACQ");
    describeGrid(GRD_LISACQ);
    place(GRD_LISACQ, 60, 1380, 11685, 1815);

    // Sales side.
    TXT_DADATA_VEN_LBL =
        named(new host::KRX_LABEL(QStringLiteral("Inizio validità"), this), "TXT_DADATA_VEN_LBL");
    place(TXT_DADATA_VEN_LBL, 120, 3510, 1035, 300);
    TXT_ADATA_VEN_LBL =
        named(new host::KRX_LABEL(QStringLiteral("Fine validità"), this), "TXT_ADATA_VEN_LBL");
    place(TXT_ADATA_VEN_LBL, 3570, 3510, 945, 300);
    TXT_DADATA_VEN = named(new host::TxtEditDate(this), "TXT_DADATA_VEN");
    describeField(TXT_DADATA_VEN,
                  QStringLiteral("Data di inizio validità per i listini di vendita"), 8, true);
    place(TXT_DADATA_VEN, 1350, 3480, 1215, 300);
    TXT_ADATA_VEN = named(new host::TxtEditDate(this), "TXT_ADATA_VEN");
    describeField(TXT_ADATA_VEN, QStringLiteral("Data di fine validità per i listini di vendita"),
                  8, true);
    place(TXT_ADATA_VEN, 4710, 3480, 1215, 300);
    CBO_DADATA_VEN = named(new host::KRX_COMBO(this), "CBO_DADATA_VEN");
    place(CBO_DADATA_VEN, 7920, 3480, 1665, 315);
    CBO_ADATA_VEN = named(new host::KRX_COMBO(this), "CBO_ADATA_VEN");
    place(CBO_ADATA_VEN, 9720, 3480, 1665, 315);
    GRD_LISVEN = named(new host::KRX_QGRID(this), "GRD_LISVEN");
    describeGrid(GRD_LISVEN);
    place(GRD_LISVEN, 60, 3840, 11685, 2445);

    // Bottom row.
    TXT_DESCLISTINO_LBL = named(new host::KRX_LABEL(QStringLiteral("Descrizione listino"), this),
                                "TXT_DESCLISTINO_LBL");
    place(TXT_DESCLISTINO_LBL, 120, 6480, 1335, 300);
    TXT_DESCLISTINO = named(new host::KRX_LABEL(QString(), this), "TXT_DESCLISTINO");
    TXT_DESCLISTINO->setBorder(true);
    place(TXT_DESCLISTINO, 1500, 6450, 4365, 300);
    CMD_RICALCOLATUTTI =
        named(new host::KRX_TBARMENU(QStringLiteral("&Ricalcola"), this), "CMD_RICALCOLATUTTI");
    place(CMD_RICALCOLATUTTI, 9390, 6420, 1185, 345);
    CMD_NUOVO = named(new host::KRX_TBARMENU(QStringLiteral("&Nuovo"), this), "CMD_NUOVO");
    place(CMD_NUOVO, 10590, 6420, 1185, 345);

    // A caption label may grow to the right to show its whole text: the next control stands
    // well past its design width.
    for (host::KRX_LABEL* label :
         {LBL_ARTICOLO, LBL_VARIANTE, TXT_DADATA_ACQ_LBL, TXT_ADATA_ACQ_LBL, TXT_DADATA_VEN_LBL,
          TXT_ADATA_VEN_LBL, TXT_DESCLISTINO_LBL})
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());

    // Components without a place of their own.
    RESIZEFORM = named(new host::KRX_RESIZEFORM(this), "RESIZEFORM");
    RESIZEFORM->setParent(this);
    MDIActiveX1 = named(new host::MDIActiveX(this), "MDIActiveX1");
    MDIActiveX1->setParent(this);
}

void FRMMG_PREZZOLAMPO::connectHandlers() {
    using F = FRMMG_PREZZOLAMPO;
    connect(TXT_CODART, &host::FieldControl::Validate, this, &F::TXT_CODART_Validate);
    connect(TXT_CODART, &host::FieldControl::AfterItem, this, &F::TXT_CODART_AfterItem);
    connect(TXT_CODART, &host::TxtArticolo::StartLookup, this, &F::TXT_CODART_StartLookup);
    connect(TXT_OPZIONE, &host::FieldControl::Validate, this, &F::TXT_OPZIONE_Validate);
    connect(TXT_OPZIONE, &host::FieldControl::AfterItem, this, &F::TXT_OPZIONE_AfterItem);
    connect(TXT_OPZIONE, &host::TXT_EDITVARIANTE::StartDecode, this, &F::TXT_OPZIONE_StartDecode);

    connect(TXT_DADATA_ACQ, &host::FieldControl::Entered, this, &F::TXT_DADATA_ACQ_Entered);
    connect(TXT_DADATA_ACQ, &host::FieldControl::Validate, this, &F::TXT_DADATA_ACQ_Validate);
    connect(TXT_DADATA_ACQ, &host::FieldControl::AfterItem, this, &F::TXT_DADATA_ACQ_AfterItem);
    connect(TXT_ADATA_ACQ, &host::FieldControl::Entered, this, &F::TXT_ADATA_ACQ_Entered);
    connect(TXT_ADATA_ACQ, &host::FieldControl::Validate, this, &F::TXT_ADATA_ACQ_Validate);
    connect(TXT_ADATA_ACQ, &host::FieldControl::AfterItem, this, &F::TXT_ADATA_ACQ_AfterItem);
    connect(TXT_DADATA_VEN, &host::FieldControl::Entered, this, &F::TXT_DADATA_VEN_Entered);
    connect(TXT_DADATA_VEN, &host::FieldControl::Validate, this, &F::TXT_DADATA_VEN_Validate);
    connect(TXT_DADATA_VEN, &host::FieldControl::AfterItem, this, &F::TXT_DADATA_VEN_AfterItem);
    connect(TXT_ADATA_VEN, &host::FieldControl::Entered, this, &F::TXT_ADATA_VEN_Entered);
    connect(TXT_ADATA_VEN, &host::FieldControl::Validate, this, &F::TXT_ADATA_VEN_Validate);
    connect(TXT_ADATA_VEN, &host::FieldControl::AfterItem, this, &F::TXT_ADATA_VEN_AfterItem);

    connect(GRD_LISACQ, &host::KRX_QGRID::Entered, this, &F::GRD_LISACQ_Entered);
    connect(GRD_LISACQ, &host::KRX_QGRID::KeyDown, this, &F::GRD_LISACQ_KeyDown);
    connect(GRD_LISACQ, &host::KRX_QGRID::OnEditing, this, &F::GRD_LISACQ_OnEditing);
    connect(GRD_LISACQ, &host::KRX_QGRID::OnEdited, this, &F::GRD_LISACQ_OnEdited);
    connect(GRD_LISACQ, &host::KRX_QGRID::RowChanged, this, &F::GRD_LISACQ_RowChanged);
    connect(GRD_LISVEN, &host::KRX_QGRID::Entered, this, &F::GRD_LISVEN_Entered);
    connect(GRD_LISVEN, &host::KRX_QGRID::KeyDown, this, &F::GRD_LISVEN_KeyDown);
    connect(GRD_LISVEN, &host::KRX_QGRID::OnEditing, this, &F::GRD_LISVEN_OnEditing);
    connect(GRD_LISVEN, &host::KRX_QGRID::OnEdited, this, &F::GRD_LISVEN_OnEdited);
    connect(GRD_LISVEN, &host::KRX_QGRID::RowChanged, this, &F::GRD_LISVEN_RowChanged);

    connect(CMD_NUOVO, &host::KRX_TBARMENU::ButtonClick, this, &F::CMD_NUOVO_ButtonClick);
    connect(CMD_RICALCOLATUTTI, &host::KRX_TBARMENU::ButtonClick, this,
            &F::CMD_RICALCOLATUTTI_ButtonClick);
    connect(RESIZEFORM, &host::KRX_RESIZEFORM::Setup, this, &F::RESIZEFORM_Setup);
    connect(MDIActiveX1, &host::MDIActiveX::FormLoad, this, &F::MDIActiveX1_FormLoad);
}
