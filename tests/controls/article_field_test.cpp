// The article and option fields on a database of a few articles: validity, the decoded
// descriptions, the option field's enabling, the pick list and the header frame's status.

#include "controls_support.h"
#include "host/controls/field_controls.h"
#include "host/controls/pick_list.h"
#include "host/controls/window_controls.h"
#include "host/services/article_lookup.h"

#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>

using controls_test::settle;
using host::KrxRichTextBox;
using host::TXT_EDITVARIANTE;
using host::TxtArticolo;

namespace {

// The articles of company 1 and 2, their descriptions and options.
std::shared_ptr<host::Connection> articleDatabase() {
    return controls_test::databaseWith({
        u"CREATE TABLE [MG66_ANAGRART] ([MG66_DITTA_CG18] [decimal](5, 0) NOT NULL, "
        u"[MG66_CODART] [char](25) NOT NULL, [MG66_FLGOPZIONI] [decimal](1, 0) NOT NULL)"_qs,
        u"CREATE TABLE [MG87_DESCART] ([MG87_DITTA_CG18] [decimal](5, 0) NOT NULL, "
        u"[MG87_CODART_MG66] [char](25) NOT NULL, [MG87_OPZIONE_MG5E] [char](20) NOT NULL, "
        u"[MG87_DESCART] [varchar](72) NULL)"_qs,
        u"CREATE TABLE [MG5E_OPZIONI] ([MG5E_DITTA_CG18] [decimal](5, 0) NOT NULL, "
        u"[MG5E_CODART_MG66] [char](25) NOT NULL, [MG5E_OPZIONE] [char](20) NOT NULL, "
        u"[MG5E_DESCRIZIONE] [varchar](72) NULL)"_qs,
        u"INSERT INTO MG66_ANAGRART VALUES (1, 'ART001', 0), (1, 'ART002', 1), "
        u"(1, 'O''NEIL', 0), (2, 'ART003', 0)"_qs,
        u"INSERT INTO MG87_DESCART VALUES (1, 'ART001', '', 'Vite a testa piana'), "
        u"(1, 'ART002', '', 'Maglia girocollo'), (1, 'ART002', 'ROSSO', 'Maglia girocollo rossa'), "
        u"(1, 'O''NEIL', '', 'Sedia O''Neil'), (2, 'ART003', '', 'Articolo della ditta 2')"_qs,
        u"INSERT INTO MG5E_OPZIONI VALUES (1, 'ART002', 'ROSSO', 'Rosso'), "
        u"(1, 'ART002', 'BLU', 'Blu cobalto')"_qs,
    });
}

class ArticleFieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        connection_ = articleDatabase();
        article_ = new TxtArticolo(&window_);
        option_ = new TXT_EDITVARIANTE(&window_);
        description_ = new KrxRichTextBox(&window_);
        article_->init(nullptr, connection_, u"1"_qs);
        article_->setOptionField(option_);
        article_->setDescriptionBox(description_);
        option_->init(nullptr, u"1"_qs, connection_, connection_->ConnectionString);
        QObject::connect(option_, &TXT_EDITVARIANTE::StartDecode,
                         [this](QList<QPair<QWidget*, QString>>& targets, QString&) {
                             targets.append({description_, u"MG87_DESCART"_qs});
                         });
        ASSERT_TRUE(controls_test::showActive(window_));
        article_->setFocus();
        settle();
    }

    void typeAndEnter(host::FieldControl* field, const QString& text) {
        field->setFocus();
        field->editor()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field->editor(), Qt::Key_Delete);
        QTest::keyClicks(field->editor(), text);
        QTest::keyClick(field->editor(), Qt::Key_Return);
        settle();
    }

    std::shared_ptr<host::Connection> connection_;
    QWidget window_;
    TxtArticolo* article_ = nullptr;
    TXT_EDITVARIANTE* option_ = nullptr;
    KrxRichTextBox* description_ = nullptr;
};

TEST_F(ArticleFieldTest, ArticlesOfTheCompanyAreValidAndShowTheirDescription) {
    const struct {
        const char* typed;
        bool valid;
        const char* description;
        bool optionEnabled;
    } cases[] = {
        {"ART001", true, "Vite a testa piana", false},
        {"ART002", true, "Maglia girocollo", true},
        {"O'NEIL", true, "Sedia O'Neil", false}, // the quote is data
        {"ART003", false, "", false},            // another company's article
        {"ART001' OR '1'='1", false, "", false},
    };
    // The option field knows the article before the window's AfterItem handler runs.
    // A vector: two empty QList<bool>s compare by a memcmp of a null pointer.
    std::vector<bool> optionEnabledInHandler;
    QObject::connect(article_, &TxtArticolo::AfterItem,
                     [&] { optionEnabledInHandler.push_back(option_->isEnabled()); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        optionEnabledInHandler.clear();
        typeAndEnter(article_, QString::fromUtf8(c.typed));
        EXPECT_EQ(article_->validContent(), c.valid);
        EXPECT_EQ(optionEnabledInHandler,
                  c.valid ? std::vector<bool>{c.optionEnabled} : std::vector<bool>{});
        EXPECT_EQ(description_->text().toStdString(), c.description);
        // Enter goes on to an enabled option.
        EXPECT_EQ(QApplication::focusWidget() == option_->editor(), c.optionEnabled);
    }
}

TEST_F(ArticleFieldTest, OptionsOfTheArticleAreValidAndDecodedUntilAnotherArticle) {
    typeAndEnter(article_, u"ART002"_qs);
    const struct {
        const char* typed;
        bool valid;
        const char* description;
    } cases[] = {
        {"ROSSO", true, "Maglia girocollo rossa"}, // its own article description
        {"BLU", true, "Blu cobalto"},              // else the option's description
        {"VERDE", false, "Blu cobalto"},           // unknown: the description stays
        {"", false, "Maglia girocollo"},           // none: the article's description
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QSignalSpy afterItem(option_, &TXT_EDITVARIANTE::AfterItem);
        typeAndEnter(option_, QString::fromUtf8(c.typed));
        EXPECT_EQ(option_->validContent(), c.valid);
        EXPECT_EQ(afterItem.count(), c.valid ? 1 : 0);
        EXPECT_EQ(description_->text().toStdString(), c.description);
    }
    // Another article empties and disables the option.
    typeAndEnter(option_, u"ROSSO"_qs);
    typeAndEnter(article_, u"ART001"_qs);
    EXPECT_FALSE(option_->isEnabled());
    EXPECT_EQ(option_->text(), QString());
    EXPECT_TRUE(option_->validContent()); // nothing asked of an article without options
    description_->setText(u"altro"_qs);
    option_->refresh();
    EXPECT_EQ(description_->text(), u"Vite a testa piana"_qs);
}

TEST_F(ArticleFieldTest, ThePickListNarrowsAsTheUserTypesAndEnterPicks) {
    QObject::connect(article_, &TxtArticolo::StartLookup,
                     [](QString& query, rt::Variant& key, QString& title, QString&) {
                         host::ArticleLookupProvider provider;
                         provider.prepare(u"1"_qs);
                         query = provider.query();
                         key = provider.keyColumn();
                         title = provider.title();
                     });
    QSignalSpy afterItem(article_, &TxtArticolo::AfterItem);
    QStringList shownAtFirst, shownFiltered;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* list = qobject_cast<host::PickList*>(QApplication::activeModalWidget());
        ASSERT_NE(list, nullptr);
        title = list->windowTitle();
        shownAtFirst = list->shownCodes();
        auto* filter = list->findChild<QLineEdit*>(u"filter"_qs);
        QTest::keyClicks(filter, u"002"_qs);
        shownFiltered = list->shownCodes();
        QTest::keyClick(filter, Qt::Key_Return);
    });
    QTest::keyClick(article_->editor(), Qt::Key_F4);
    settle();
    EXPECT_EQ(title, u"Articoli di magazzino"_qs);
    EXPECT_EQ(shownAtFirst, (QStringList{u"ART001"_qs, u"ART002"_qs, u"O'NEIL"_qs}));
    EXPECT_EQ(shownFiltered, QStringList{u"ART002"_qs});
    EXPECT_EQ(article_->text(), u"ART002"_qs);
    EXPECT_EQ(afterItem.count(), 1);
    EXPECT_TRUE(option_->isEnabled());
}

TEST_F(ArticleFieldTest, HeaderFrameStatusFollowsTheArticle) {
    host::HeaderFrame frame;
    frame.registerField(article_);
    QList<int> statuses;
    QObject::connect(&frame, &host::HeaderFrame::ChangeStatus,
                     [&](int status, int) { statuses << status; });
    typeAndEnter(article_, u"ZZZ"_qs); // not an article: no variation
    EXPECT_EQ(statuses, QList<int>{});
    typeAndEnter(article_, u"ART001"_qs);
    typeAndEnter(article_, u"ART002"_qs); // still in variation: no new event
    EXPECT_EQ(statuses, QList<int>{1});
    article_->setText(QString());
    EXPECT_EQ(statuses, (QList<int>{1, 2}));
    EXPECT_EQ(frame.Status(), 2); // header only
    frame.end();
    typeAndEnter(article_, u"ART001"_qs);
    EXPECT_EQ(statuses, (QList<int>{1, 2}));
}

} // namespace
