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
#include <QVBoxLayout>

using controls_test::settle;
using host::KrxRichTextBox;
using host::TXT_EDITVARIANTE;
using host::TxtArticolo;

namespace {

class ArticleFieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        connection_ = controls_test::articleDatabase();
        auto* layout = new QVBoxLayout(&window_);
        article_ = new TxtArticolo(&window_);
        option_ = new TXT_EDITVARIANTE(&window_);
        description_ = new KrxRichTextBox(&window_);
        layout->addWidget(article_);
        layout->addWidget(option_);
        layout->addWidget(description_);
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
        {"ZZZ", false, "", false},
        {"ART001' OR '1'='1", false, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QSignalSpy afterItem(article_, &TxtArticolo::AfterItem);
        typeAndEnter(article_, QString::fromUtf8(c.typed));
        EXPECT_EQ(article_->validContent(), c.valid);
        EXPECT_EQ(afterItem.count(), c.valid ? 1 : 0);
        EXPECT_EQ(description_->text().toStdString(), c.description);
        EXPECT_EQ(option_->isEnabled(), c.optionEnabled);
    }
}

TEST_F(ArticleFieldTest, TheOptionFieldKnowsTheArticleBeforeAfterItemRuns) {
    bool optionEnabledInHandler = false;
    QObject::connect(article_, &TxtArticolo::AfterItem,
                     [&] { optionEnabledInHandler = option_->isEnabled(); });
    typeAndEnter(article_, u"ART002"_qs);
    EXPECT_TRUE(optionEnabledInHandler);
    EXPECT_EQ(QApplication::focusWidget(), option_->editor()); // Enter went on to the option
}

TEST_F(ArticleFieldTest, OptionsOfTheArticleAreValidAndDecodedIntoTheTargets) {
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
}

TEST_F(ArticleFieldTest, AnotherArticleEmptiesAndDisablesTheOption) {
    typeAndEnter(article_, u"ART002"_qs);
    typeAndEnter(option_, u"ROSSO"_qs);
    ASSERT_TRUE(option_->validContent());
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
