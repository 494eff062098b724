// Activations on a real X server with the host's real dialogs, the test playing the desktop:
// the first-activation block runs once and the window stays open.
#include "form/frmmg_prezzolampo.h"
#include "host/controls/field_controls.h"
#include "host/controls/window_controls.h"
#include "host/services/global_services.h"
#include "host/services/log_service.h"
#include "host/services/navigator.h"
#include "tests/support/window_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

using testsupport::WindowDriver;

// Activates a window and waits until it is the active one (a dialog counts as active with its
// window for Qt's own wait, so the wait looks at the active window itself).
bool activate(QWidget* window) {
    const QPointer<QWidget> target(window);
    target->activateWindow();
    return QTest::qWaitFor(
               [&] { return target.isNull() || QApplication::activeWindow() == target; }, 5000) &&
           !target.isNull();
}

// Watches for modal dialogs: activates each as a desktop would and answers it, with the button
// with the caption or with Esc when the caption is empty.
struct DialogAnswerer {
    explicit DialogAnswerer(const QString& caption) {
        QObject::connect(&poll, &QTimer::timeout, [this, caption] {
            QPointer<QWidget> dialog = QApplication::activeModalWidget();
            if (dialog.isNull() || busy)
                return;
            busy = true;
            ++seen;
            seenClass = QString::fromLatin1(dialog->metaObject()->className());
            EXPECT_TRUE(activate(dialog)) << seenClass.toStdString();
            QAbstractButton* button = nullptr;
            if (auto* box = qobject_cast<QMessageBox*>(dialog.data()); box && !caption.isEmpty())
                for (QAbstractButton* b : box->buttons())
                    button = b->text() == caption ? b : button;
            if (button != nullptr)
                button->click();
            else if (!dialog.isNull())
                QTest::keyClick(dialog, Qt::Key_Escape);
            busy = false;
        });
        poll.start(20);
    }
    QTimer poll;
    QString seenClass; // the last dialog's class
    int seen = 0;
    bool busy = false;
};

TEST(RealActivation, TheFirstActivationBlockRunsOnceAndTheWindowStaysOpen) {
    const struct {
        const char* name;
        bool called;      // opened by a calling program with an article that is none
        QString caption;  // the answer to the dialog ("" Esc)
        const char* seen; // the dialog's class
        // What takes the activation from the window (with the dialog answered meanwhile).
        std::function<void(FRMMG_PREZZOLAMPO*)> leave;
    } cases[] = {
        // An error raised while the window is busy with its own work, answered Ignora; the
        // window is activated again before the work ends.
        {"error report while busy", false, "Ignora", "QMessageBox",
         [](FRMMG_PREZZOLAMPO* window) {
             const QPointer<FRMMG_PREZZOLAMPO> w(window);
             w->Gbol_Busy = true;
             w->reportProcedureError(u"Setup"_qs, rt::Error(3021, u"Nessun record"_qs));
             EXPECT_TRUE(activate(w));
             WindowDriver::pump();
             if (!w.isNull())
                 w->Gbol_Busy = false;
         }},
        // The refusal of the caller's article, shown inside the first activation.
        {"message in the first activation", true, "OK", "QMessageBox",
         [](FRMMG_PREZZOLAMPO* w) { EXPECT_TRUE(w->TXT_CODART->isEnabled()); }},
        {"article pick list, closed with Esc", false, "", "host::PickList",
         [](FRMMG_PREZZOLAMPO* w) {
             w->TXT_CODART->editor()->setFocus();
             QTest::keyClick(w->TXT_CODART->editor(), Qt::Key_F4);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowDriver driver;
        // The host's real log service: its reports and messages are dialogs.
        driver.global->factory().logService = [] {
            return std::make_shared<host::DialogLogService>(QString());
        };
        driver.contract->setIsCalled(c.called);
        driver.contract->setCodiceArticolo(rt::Variant("NON-ESISTE"));
        DialogAnswerer answerer(c.caption);
        driver.show();
        QPointer<FRMMG_PREZZOLAMPO> w = driver.window();
        ASSERT_FALSE(w.isNull());
        ASSERT_TRUE(activate(w));
        WindowDriver::pump();
        ASSERT_TRUE(w && w->Gbol_Activated);

        c.leave(w);
        WindowDriver::pump();
        ASSERT_FALSE(w.isNull()) << "the window was unloaded";
        EXPECT_TRUE(activate(w));
        WindowDriver::pump();

        ASSERT_FALSE(w.isNull()) << "the window was unloaded";
        EXPECT_TRUE(!w->isUnloaded() && w->isVisible());
        EXPECT_EQ(answerer.seen, 1);
        EXPECT_EQ(answerer.seenClass, QString::fromLatin1(c.seen));
        EXPECT_EQ(driver.navigator->activatedCount(), 1);
        EXPECT_EQ(driver.navigator->formOpenedCount(), 1) << "tsOpen once";
        EXPECT_TRUE(w->RESIZEFORM->started());
        EXPECT_TRUE(driver.close());
    }
}

} // namespace
