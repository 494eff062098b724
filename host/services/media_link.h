#pragma once
// The media-link object: links a picture or a document to a row through a media code. Opened
// with no code, it lets the user choose a file, stores it in the company database (table
// CG99_MEDIA) under a new code and raises AfterMediaCreate with that code; opened with the
// code of a stored item, it shows the stored file with the desktop's viewer.
//
// A file larger than MaxFileSize, one that cannot be read, or a database that refuses the
// item ends with a notice to the user and nothing stored; the item is one INSERT, so it is
// stored whole or not at all.

#include "runtime/variant.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>

namespace host {

class Connection;

class MediaLink : public QObject, public rt::Object {
    Q_OBJECT
  public:
    // Pictures and documents up to 16 MiB: a row's data sheet or photo, not an archive.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    // The opening operation: the user and workstation of the session, the connection string of
    // the company database, the media code (blank or 0: a new item), the company, whether a
    // new item may be created (1) and whether the item is only shown (1).
    virtual void Open(const QString& user, const QString& workstation,
                      const QString& connectionString, const rt::Variant& mediaCode,
                      std::int32_t company, int mayCreate, int readOnly);

    // The file chosen for a new item ("" when the user gave up): a file dialog unless replaced.
    std::function<QString()> chooseFile;
    // Shows a stored file: the desktop's viewer unless replaced.
    std::function<bool(const QUrl&)> showFile;
    // Tells the user what went wrong (Italian); nothing is said when it is empty.
    std::function<void(const QString&)> notice;

    // The code of the last item created (0 before any).
    qint64 lastCreatedCode() const { return lastCreated_; }

  signals:
    // A new item was stored under CodiceMedia.
    void AfterMediaCreate(bool& cancel, rt::Variant& CodiceMedia);

  private:
    void create(const QString& connectionString);
    void show(const QString& connectionString, const rt::Variant& mediaCode);
    void tell(const QString& text) const;
    qint64 lastCreated_ = 0;
};

} // namespace host
