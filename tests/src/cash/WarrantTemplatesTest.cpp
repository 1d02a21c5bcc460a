#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "CashRows.h"
#include "PenaltyWarrantTemplates.h"
#include "kv_FbQueryGod.h"
#include "platform/fb/Query.h"
#include "tests/support/ErrorText.h"

using core::Variant;
using namespace contracttest;
using namespace cashtest;
using TolvLogic::DirWarrantes;
using TolvLogic::DirWarrantInfo;
using tolvtest::errorText;

namespace {

QByteArray languageIni(int language) {
    return "[LANG_MASTER]\r\ninterfeyce_lang=" + QByteArray::number(language) + "\r\n";
}

class TemplatesTest : public ContractSuite {
protected:
    void SetUp() override { useLanguage(1); }
    void TearDown() override {
        list_.reset();
        settings_.reset();
        ContractSuite::TearDown();
    }
    // Lists and records read the language when they are made.
    void useLanguage(int language) {
        settings_.reset();
        settings_ = std::make_unique<OwnSettingsFile>(languageIni(language));
    }
    // The directory, open on its own transaction.
    DirWarrantes& openList() {
        list_ = std::make_unique<DirWarrantes>();
        EXPECT_TRUE(list_->open());
        return *list_;
    }
    data::Dataset& rows() { return *list_->getDataSet(); }
    void commit() { list_->getTransaction()->commit(); }
    void moveTo(int id) { ASSERT_TRUE(rows().locate(QStringLiteral("ID"), id)) << id; }
    QString value(const char* field) { return rows().fieldByName(QString::fromLatin1(field)).asString(); }
    void set(const char* field, const Variant& v) {
        rows().fieldByName(QString::fromLatin1(field)).setValue(v);
    }

    // The stored texts of a template by language.
    static std::map<int, std::pair<QString, QString>> texts(int id) {
        std::map<int, std::pair<QString, QString>> result;
        ufb::AutoQuery q(
            QStringLiteral("select ID_LANG, FOUNDATION, OPERATION_SUBJECT from DIR_WARRANTES_LANGS "
                           "where ID_REC = ") +
                QString::number(id),
            nullptr);
        for (q->open(); !q->eof(); q->next()) {
            result[q->field(0)->asInteger()] = {q->field(1)->asString(), q->field(2)->asString()};
        }
        return result;
    }

    std::unique_ptr<OwnSettingsFile> settings_;
    std::unique_ptr<DirWarrantes> list_;
};

TEST_F(TemplatesTest, AutomaticTemplatesLoadByTheirExactCode) {
    DirWarrantInfo sale;
    sale.loadAutoWarrant(QStringLiteral("RECEIPT_SALE"));
    EXPECT_GT(sale.GetField(DirWarrantInfo::dID).toInt(), 0);
    EXPECT_EQ(sale.GetField(DirWarrantInfo::dCODE).toText(), QStringLiteral("RECEIPT_SALE"));
    EXPECT_FALSE(sale.getFoundation().isEmpty());

    DirWarrantInfo other;
    EXPECT_EQ(errorText([&] { other.loadAutoWarrant(QStringLiteral("receipt_sale")); }),
              QStringLiteral("Невозможно загрузить автоматический ордер receipt_sale"));
}

TEST_F(TemplatesTest, TextsAreThoseOfTheInterfaceLanguageOrElseOfTheOther) {
    const int both =
        newTemplate(0, QStringLiteral("301"), QStringLiteral("Принято от"), QStringLiteral("Прийнято від"));
    const int ukOnly =
        newTemplate(0, QStringLiteral("302"), std::nullopt, QStringLiteral("Тільки українською"));
    const int none = newTemplate(0, QStringLiteral("303"), std::nullopt, std::nullopt);
    struct Case {
        int language;
        int id;
        QString subject;
    };
    const Case cases[] = {
        {1, both, QStringLiteral("Принято от")},
        {2, both, QStringLiteral("Прийнято від")},
        {1, ukOnly, QStringLiteral("Тільки українською")},
        {2, ukOnly, QStringLiteral("Тільки українською")},
        {1, none, QString()},
        {2, none, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        useLanguage(c.language);
        DirWarrantInfo info;
        info.SetKey(QStringLiteral("ID"), c.id);
        ASSERT_EQ(info.Select(), 1);
        EXPECT_EQ(info.getOperationSubject(), c.subject);
        EXPECT_EQ(info.getFoundation(),
                  c.subject.isEmpty() ? QString() : c.subject + QStringLiteral(" (підстава)"));
    }
}

TEST_F(TemplatesTest, AutomaticCodesShowTheirCaptions) {
    const std::pair<const char*, const char16_t*> captions[] = {
        {"RECEIPT_DEPOSIT", u"Авт - возврат займов"},
        {"RECEIPT_PERCENT", u"Авт - оплата процентов"},
        {"RECEIPT_PENALTY", u"Авт - оплата пени"},
        {"RECEIPT_SALE", u"Авт - реализация залога"},
        {"RECEIPT_SERVICE", u"Авт - оплата доп. услуг"},
        {"EXPENSE_SERVICE", u"Авт - возврат по доп. услугам"},
        {"RECEIPT_STORAGE", u"Авт - оплата хранения предметов залога"},
        {"EXPENSE_DEPOSIT", u"Авт - выдача займов"},
        {"receipt_sale", u""},
        {"", u""},
    };
    newTemplate(0, QStringLiteral("304"), QStringLiteral("Код не той"), std::nullopt,
                QStringLiteral("receipt_sale"));
    newTemplate(0, QStringLiteral("304"), QStringLiteral("Без кода"), std::nullopt);
    openList();
    std::set<QString> seen;
    for (rows().first(); !rows().eof(); rows().next()) {
        seen.insert(value("CODE"));
        bool known = false;
        for (const auto& [code, caption] : captions) {
            if (value("CODE") != QString::fromLatin1(code)) continue;
            known = true;
            EXPECT_EQ(value("CODE_STR"), QString::fromUtf16(caption)) << code;
        }
        EXPECT_TRUE(known) << value("CODE").toStdString();
    }
    for (const auto& [code, caption] : captions)
        EXPECT_TRUE(seen.count(QString::fromLatin1(code))) << "[" << code << "]";
}

TEST_F(TemplatesTest, AutomaticTemplatesAreNeverDeletedUserTemplatesGoWithTheirTexts) {
    const int user =
        newTemplate(1, QStringLiteral("305"), QStringLiteral("Выдано"), QStringLiteral("Видано"));
    DirWarrantInfo sale;
    sale.loadAutoWarrant(QStringLiteral("RECEIPT_SALE"));
    const int automatic = sale.GetField(DirWarrantInfo::dID).toInt();
    openList();

    moveTo(automatic);
    EXPECT_EQ(errorText([&] { rows().remove(); }), QStringLiteral("Невозможно удалить автоматический ордер"));
    moveTo(user);
    rows().remove();
    commit();
    EXPECT_EQ(
        scalar(QStringLiteral("select count(*) as V from DIR_WARRANTES where ID = %1").arg(user)).toInt(), 0);
    EXPECT_TRUE(texts(user).empty());
    EXPECT_EQ(texts(automatic).size(), 2u);
}

TEST_F(TemplatesTest, AnAutomaticTemplateKeepsItsTypeWhileItsAccountAndTextsChange) {
    DirWarrantInfo storage;
    storage.loadAutoWarrant(QStringLiteral("RECEIPT_STORAGE"));
    const int id = storage.GetField(DirWarrantInfo::dID).toInt();
    const int type = storage.GetField(DirWarrantInfo::dW_TYPE).toInt();
    openList();
    moveTo(id);
    rows().edit();
    set("W_TYPE", 1 - type);
    set("ACCOUNT_NUMBER", QStringLiteral("377/2"));
    set("FOUNDATION", QStringLiteral("Плата за зберігання"));
    rows().post();
    commit();
    EXPECT_EQ(scalar(QStringLiteral("select W_TYPE as V from DIR_WARRANTES where ID = %1").arg(id)).toInt(),
              type);
    EXPECT_EQ(scalar(QStringLiteral("select ACCOUNT_NUMBER as V from DIR_WARRANTES where ID = %1").arg(id))
                  .toText(),
              QStringLiteral("377/2"));
    EXPECT_EQ(texts(id)[1].first, QStringLiteral("Плата за зберігання"));
}

TEST_F(TemplatesTest, EditingARowShownFromTheOtherLanguageAddsARowInTheInterfaceLanguage) {
    const int id = newTemplate(0, QStringLiteral("306"), std::nullopt, QStringLiteral("Від клієнта"));
    openList();
    moveTo(id);
    EXPECT_EQ(value("ID_LANG"), QStringLiteral("2"));
    rows().edit();
    set("OPERATION_SUBJECT", QStringLiteral("От клиента"));
    rows().post();
    EXPECT_EQ(value("ID_LANG"), QStringLiteral("1"));
    commit();
    auto stored = texts(id);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].second, QStringLiteral("От клиента"));
    EXPECT_EQ(stored[2].second, QStringLiteral("Від клієнта"));
    EXPECT_EQ(stored[2].first, QStringLiteral("Від клієнта (підстава)"));
}

// A text with an apostrophe travels as a parameter: stored and read back as typed, in a new template
// and in an edit.
TEST_F(TemplatesTest, TextsWithApostrophesAreStoredIntact) {
    const QString subject = QStringLiteral("Прийнято від Мар'яни");
    openList();
    rows().append();
    set("FOUNDATION", QStringLiteral("Внесок 'готівкою'"));
    set("OPERATION_SUBJECT", subject);
    set("ACCOUNT_NUMBER", QStringLiteral("301"));
    set("W_TYPE", 0);
    rows().post();
    const int id = rows().fieldByName(QStringLiteral("ID")).value().toInt();
    EXPECT_EQ(value("OPERATION_SUBJECT"), subject);
    commit();
    auto stored = texts(id);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[1], std::make_pair(QStringLiteral("Внесок 'готівкою'"), subject));

    openList();
    moveTo(id);
    rows().edit();
    set("OPERATION_SUBJECT", subject + QStringLiteral(" і Д'Артаньяна"));
    rows().post();
    commit();
    EXPECT_EQ(texts(id)[1].second, subject + QStringLiteral(" і Д'Артаньяна"));
    DirWarrantInfo info;
    info.SetKey(QStringLiteral("ID"), id);
    ASSERT_EQ(info.Select(), 1);
    EXPECT_EQ(info.getOperationSubject(), subject + QStringLiteral(" і Д'Артаньяна"));
}

// The new template's texts go to its own row, even while an older template lacks a text row.
TEST_F(TemplatesTest, ANewTemplateGetsItsOwnTextsOnlyInTheInterfaceLanguage) {
    const int older = newTemplate(1, QStringLiteral("307"), std::nullopt, std::nullopt);
    useLanguage(2);
    openList();
    rows().append();
    set("FOUNDATION", QStringLiteral("Нова підстава"));
    set("OPERATION_SUBJECT", QStringLiteral("Новий отримувач"));
    set("ACCOUNT_NUMBER", QStringLiteral("308"));
    set("W_TYPE", 1);
    rows().post();
    const int id = rows().fieldByName(QStringLiteral("ID")).value().toInt();
    EXPECT_GT(id, older);
    EXPECT_EQ(value("OPERATION_SUBJECT"), QStringLiteral("Новий отримувач"));  // the newest row, shown last
    commit();
    auto stored = texts(id);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[2], std::make_pair(QStringLiteral("Нова підстава"), QStringLiteral("Новий отримувач")));
    EXPECT_TRUE(texts(older).empty());
    EXPECT_EQ(scalar(QStringLiteral("select ACCOUNT_NUMBER as V from DIR_WARRANTES where ID = %1").arg(id))
                  .toText(),
              QStringLiteral("308"));
}

// A template and its texts are one change of the directory's transaction: a rollback leaves neither.
TEST_F(TemplatesTest, ATemplateAndItsTextsRollBackTogether) {
    openList();
    rows().append();
    set("FOUNDATION", QStringLiteral("Скасовано"));
    set("OPERATION_SUBJECT", QStringLiteral("Нікому"));
    set("ACCOUNT_NUMBER", QStringLiteral("312"));
    set("W_TYPE", 1);
    rows().post();
    const int id = rows().fieldByName(QStringLiteral("ID")).value().toInt();
    list_->getTransaction()->rollback();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) as V from DIR_WARRANTES where ID = %1").arg(id)).toInt(),
              0);
    EXPECT_TRUE(texts(id).empty());
}

TEST_F(TemplatesTest, TypeFilterListsOnlyUserTemplatesOfTheTypeWithTheLanguageFallback) {
    const int expenseRu = newTemplate(1, QStringLiteral("309"), QStringLiteral("Выдано"), std::nullopt);
    const int expenseUk = newTemplate(1, QStringLiteral("310"), std::nullopt, QStringLiteral("Видано"));
    const int receipt =
        newTemplate(0, QStringLiteral("311"), QStringLiteral("Принято"), QStringLiteral("Прийнято"));
    for (int language : {1, 2}) {
        SCOPED_TRACE(language);
        useLanguage(language);
        list_ = std::make_unique<DirWarrantes>();
        list_->setTypeFilter(1, false);
        ASSERT_TRUE(list_->open());
        std::map<int, QString> listed;
        for (rows().first(); !rows().eof(); rows().next()) {
            EXPECT_EQ(value("W_TYPE"), QStringLiteral("1"));
            EXPECT_EQ(value("CODE"), QString());
            listed[rows().fieldByName(QStringLiteral("ID")).value().toInt()] = value("OPERATION_SUBJECT");
        }
        EXPECT_EQ(listed[expenseRu], QStringLiteral("Выдано"));
        EXPECT_EQ(listed[expenseUk], QStringLiteral("Видано"));
        EXPECT_FALSE(listed.count(receipt));

        list_->setTypeFilter(1, true);
        list_->close();
        ASSERT_TRUE(list_->open());
        int automatic = 0;
        for (rows().first(); !rows().eof(); rows().next(), ++automatic) {
            EXPECT_EQ(value("W_TYPE"), QStringLiteral("1"));
            EXPECT_NE(value("CODE"), QString());
        }
        EXPECT_EQ(automatic, 2);  // EXPENSE_DEPOSIT and EXPENSE_SERVICE
    }
}

TEST_F(TemplatesTest, OrderTypesAreNamedInTheInterfaceLanguage) {
    for (const auto& [language, expense] : {std::pair{1, u"Расходный"}, std::pair{2, u"Видатковий"}}) {
        useLanguage(language);
        TolvLogic::WarrantTypes types;
        ASSERT_TRUE(types.open());
        ASSERT_TRUE(types.getDataSet()->locate(QStringLiteral("ID"), 1));
        EXPECT_EQ(types.getDataSet()->fieldByName(QStringLiteral("W_TYPE")).asString(),
                  QString::fromUtf16(expense));
    }
}

}  // namespace
