#include "host/services/media_link.h"

#include "host/data/connection.h"
#include "runtime/conversions.h"
#include "runtime/errors.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSqlQuery>
#include <QStandardPaths>

namespace host {
namespace {

constexpr int DescriptionLength = 72;
constexpr int PathLength = 255;

bool blankCode(const rt::Variant& code) {
    if (code.isEmpty() || code.isNull())
        return true;
    if (code.type() == rt::VarType::String && code.asString().trimmed().isEmpty())
        return true;
    return code.isNumeric() && rt::CDbl(code) == 0;
}

// Runs a statement with bound values on the connection, traced as written.
QSqlQuery run(Connection& connection, const QString& statement, const QVariantList& values) {
    const QString translated = connection.translate(statement);
    connection.recordTrace(statement, translated);
    return connection.runStatement(translated, values);
}

} // namespace

void MediaLink::Open(const QString& /*user*/, const QString& /*workstation*/,
                     const QString& connectionString, const rt::Variant& mediaCode,
                     std::int32_t /*company*/, int mayCreate, int /*readOnly*/) {
    try {
        if (!blankCode(mediaCode))
            show(connectionString, mediaCode);
        else if (mayCreate != 0)
            create(connectionString);
    } catch (const rt::Error& e) {
        tell(QStringLiteral("Collegamento multimediale non riuscito: ") + e.description());
    }
}

void MediaLink::create(const QString& connectionString) {
    const QString path =
        chooseFile ? chooseFile()
                   : QFileDialog::getOpenFileName(
                         nullptr, QStringLiteral("Collega un'immagine o un documento"),
                         QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                         QStringLiteral("Immagini e documenti (*.png *.jpg *.jpeg *.gif *.bmp "
                                        "*.webp *.pdf);;Tutti i file (*)"));
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (info.size() > MaxFileSize) {
        tell(QStringLiteral("Il file %1 supera il limite di 16 MB e non è stato collegato.")
                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError || bytes.size() != info.size()) {
        tell(QStringLiteral("Impossibile leggere il file %1: %2")
                 .arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    Connection connection;
    connection.Open(connectionString);
    // A new code above every stored one; the INSERT stores the whole item or nothing.
    QSqlQuery highest =
        run(connection, QStringLiteral("SELECT MAX(CG99_IDMEDIA) FROM CG99_MEDIA"), {});
    const qint64 code = (highest.next() ? highest.value(0).toLongLong() : 0) + 1;
    highest.finish();
    run(connection,
        QStringLiteral("INSERT INTO CG99_MEDIA (CG99_IDMEDIA, CG99_DESCRIZIONE, CG99_PERCORSO, "
                       "CG99_TIPO, CG99_DATI) VALUES (?, ?, ?, ?, ?)"),
        {QString::number(code), info.fileName().left(DescriptionLength),
         QDir::toNativeSeparators(info.absoluteFilePath()).right(PathLength),
         QMimeDatabase().mimeTypeForFile(info).name(), bytes});
    connection.Close();
    lastCreated_ = code;
    bool cancel = false;
    rt::Variant codiceMedia{rt::Decimal(std::int64_t{code})};
    emit AfterMediaCreate(cancel, codiceMedia);
}

void MediaLink::show(const QString& connectionString, const rt::Variant& mediaCode) {
    const QString code = rt::CDec(mediaCode).toString();
    Connection connection;
    connection.Open(connectionString);
    QSqlQuery item = run(connection,
                         QStringLiteral("SELECT CG99_DESCRIZIONE, CG99_DATI FROM CG99_MEDIA "
                                        "WHERE CG99_IDMEDIA = ?"),
                         {code});
    const bool found = item.next();
    const QString name = found ? item.value(0).toString().trimmed() : QString();
    const QByteArray bytes = found ? item.value(1).toByteArray() : QByteArray();
    item.finish();
    connection.Close();
    if (bytes.isEmpty()) {
        tell(QStringLiteral("Il dato multimediale %1 non ha un file nel database.").arg(code));
        return;
    }
    // The viewer opens a file: the stored one is written to the temporary folder first.
    const QString folder = QDir::temp().filePath(QStringLiteral("prezzolampo-media"));
    QDir().mkpath(folder);
    const QString fileName = QFileInfo(name.isEmpty() ? QStringLiteral("media") : name).fileName();
    QFile file(QDir(folder).filePath(code + u'-' + fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        tell(QStringLiteral("Impossibile scrivere il file %1: %2")
                 .arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
        return;
    }
    file.close();
    const QUrl url = QUrl::fromLocalFile(file.fileName());
    const bool shown = showFile ? showFile(url) : QDesktopServices::openUrl(url);
    if (!shown)
        tell(QStringLiteral("Nessun programma per aprire %1.")
                 .arg(QDir::toNativeSeparators(file.fileName())));
}

void MediaLink::tell(const QString& text) const {
    if (notice)
        notice(text);
}

} // namespace host
