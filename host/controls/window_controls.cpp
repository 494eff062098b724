#include "host/controls/window_controls.h"

#include "host/controls/field_controls.h"
#include "host/controls/krx_qgrid.h"
#include "host/data/recordset.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMdiSubWindow>

namespace host {

namespace {

constexpr int TwipsPerPixel = 15;

enum Anchor { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };

// One side pair of an anchored control: both sides anchored grows it, only the far side
// anchored moves it, only the near side (or none) leaves it.
void anchorAxis(int mode, int nearBit, int farBit, int delta, int& position, int& length) {
    const bool nearSide = mode & nearBit;
    const bool farSide = mode & farBit;
    if (nearSide && farSide)
        length = std::max(0, length + delta);
    else if (farSide)
        position += delta;
}

} // namespace

KRX_TBARMENU::KRX_TBARMENU(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    connect(this, &QPushButton::clicked, this, &KRX_TBARMENU::ButtonClick);
}

KRX_RESIZEFORM::KRX_RESIZEFORM(QWidget* form)
    : QObject(form), form_(form), startSize_(form->size()) {
    form_->installEventFilter(this);
}

void KRX_RESIZEFORM::addControl(const QString& name, int mode) {
    // Top and bottom anchored: the bottom follows; bottom only: both follow; else neither.
    const double bottom = (mode & AnchorBottom) ? 1.0 : 0.0;
    const double top = (mode & AnchorBottom) && !(mode & AnchorTop) ? 1.0 : 0.0;
    add({name, mode, top, bottom, QRect()});
}

void KRX_RESIZEFORM::addSharedControl(const QString& name, int mode, double topShare,
                                      double bottomShare) {
    add({name, mode, topShare, bottomShare, QRect()});
}

void KRX_RESIZEFORM::add(const Entry& entry) {
    for (Entry& e : entries_) {
        if (e.name == entry.name) {
            e = entry;
            return;
        }
    }
    entries_.append(entry);
}

void KRX_RESIZEFORM::start() {
    emit Setup();
    for (Entry& e : entries_) {
        if (auto* w = form_->findChild<QWidget*>(e.name))
            e.start = w->geometry();
    }
    started_ = true;
    follow();
}

bool KRX_RESIZEFORM::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_ && event->type() == QEvent::Resize && started_)
        follow();
    return QObject::eventFilter(watched, event);
}

void KRX_RESIZEFORM::follow() {
    const int dx = form_->width() - startSize_.width();
    const int dy = form_->height() - startSize_.height();
    for (const Entry& e : entries_) {
        auto* w = form_->findChild<QWidget*>(e.name);
        if (!w || !e.start.isValid())
            continue;
        int x = e.start.x(), width = e.start.width();
        anchorAxis(e.mode, AnchorLeft, AnchorRight, dx, x, width);
        // Controls that share the added height round their shares alike, so the gap between
        // two stacked controls stays what it was.
        const int y = e.start.y() + qRound(dy * e.topShare);
        const int bottom = e.start.y() + e.start.height() + qRound(dy * e.bottomShare);
        w->setGeometry(x, y, width, std::max(0, bottom - y));
    }
}

MDIActiveX::MDIActiveX(QWidget* form) : QObject(form), form_(form) {}

void MDIActiveX::place(int left, int top, int width, int height) {
    const QRect rect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel,
                     height / TwipsPerPixel);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form_->parentWidget()))
        sub->setGeometry(rect);
    else
        form_->setGeometry(rect);
}

void HeaderFrame::init(std::shared_ptr<Cinterface>& contract,
                       std::shared_ptr<Connection>& connection,
                       std::shared_ptr<host::Recordset>& articles, const QString& query,
                       const QString& /*extra*/, std::shared_ptr<rt::Object> /*obj1*/,
                       std::shared_ptr<rt::Object> /*obj2*/) {
    contract_ = contract;
    connection_ = connection;
    articles_ = articles;
    query_ = query;
    ended_ = false;
}

void HeaderFrame::registerField(QWidget* field, std::shared_ptr<rt::Object> /*none*/) {
    registerField(field);
}

void HeaderFrame::registerField(QWidget* field) {
    if (!field || fields_.contains(field))
        return;
    fields_.append(field);
    followGridsOf(field->window());
    connect(field, &QObject::destroyed, this, [this, field] { fields_.removeAll(field); });
    auto* article = qobject_cast<TxtArticolo*>(field);
    if (!article)
        return;
    // An accepted article puts the header in variation; emptying the article ends it.
    connect(article, &TxtArticolo::AfterItem, this, [this, article] {
        if (!ended_ && article->validContent())
            setStatus(StatusVariation);
    });
    connect(article->editor(), &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!ended_ && text.trimmed().isEmpty())
            setStatus(StatusHeaderOnly);
    });
}

// The grid of the frame's window that last had the focus is the one the user is on. The
// window is the one the fields had at registration: a host may later place it inside its own.
void HeaderFrame::followGridsOf(QWidget* window) {
    if (window_ || !window || !qApp)
        return;
    window_ = window;
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QWidget* w = now; w && !ended_ && window_ && window_->isAncestorOf(w);
             w = w->parentWidget()) {
            if (auto* grid = qobject_cast<KRX_QGRID*>(w)) {
                currentGrid_ = grid;
                return;
            }
        }
    });
}

std::shared_ptr<Recordset> HeaderFrame::Recordset() const {
    if (status_ == StatusHeaderOnly)
        return articles_;
    return currentGrid_ ? currentGrid_->recordset() : nullptr;
}

void HeaderFrame::Update() {
    const std::shared_ptr<host::Recordset> rows = Recordset();
    if (rows && rows->State() == 1 && !rows->BOF() && !rows->IsEOF())
        rows->Update();
}

void HeaderFrame::setOption(bool on) {
    option_ = on;
}

void HeaderFrame::setStatus(int status, int reason) {
    if (status == status_)
        return;
    status_ = status;
    emit ChangeStatus(status, reason);
}

void HeaderFrame::end() {
    ended_ = true;
    for (QWidget* field : std::as_const(fields_)) {
        disconnect(field, nullptr, this, nullptr);
        if (auto* article = qobject_cast<TxtArticolo*>(field))
            disconnect(article->editor(), nullptr, this, nullptr);
    }
    fields_.clear();
    // An ended frame holds nothing: the contract holds the frame as its active frame, so a
    // reference back would keep both alive after the window has closed.
    contract_.reset();
    connection_.reset();
    articles_.reset();
    currentGrid_ = nullptr;
    if (qApp)
        disconnect(qApp, nullptr, this, nullptr);
}

} // namespace host
