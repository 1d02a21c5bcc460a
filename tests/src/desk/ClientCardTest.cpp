#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "PenaltyContracts.h"
#include "f_ClientInfo.h"
#include "kv_MainDb.h"
#include "platform/os/IniFile.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/src/contracts/ContractRows.h"

using namespace contracttest;
using tolvtest::onModal;

namespace {

using ClientCardTest = ContractSuite;

// A contract of another branch with its import row (values as SQL literals or null), committed.
int importedContract(const QString& values) {
    Contract c;
    c.clientId = newClient(QStringLiteral("Не этот клиент"));
    const int id = newContract(c);
    udb::execSql(
        QStringLiteral("insert into CONTRACT_IMPORT (CONTRACT_ID, CLIENT_NAME, CLIENT_ADDRESS, "
                       "CLIENT_PHONE, CLIENT_INFO, CLIENT_INN, CLIENT_PASSPORT_SN, CLIENT_PASSPORT_NUM, "
                       "CLIENT_PASSPORT_INFO, CLIENT_PASSPORT_DATE) values (%1, %2)")
            .arg(id)
            .arg(values),
        nullptr);
    return id;
}

struct Shown {
    QString name, address, inn, phone, sn, num, info, date, note;
};

Shown shown(const TFClientInfo& card) {
    return {card.ed_clientName->text(),         card.ed_clientAddress->text(),
            card.ed_clientInn->text(),          card.ed_clientPhone->text(),
            card.ed_clientPassportSN->text(),   card.ed_clientPassportNum->text(),
            card.ed_clientPassportInfo->text(), card.ed_clientPassportDate->text(),
            card.memo_clientInfo->toPlainText()};
}

void expectShown(const Shown& actual, const Shown& expected) {
    EXPECT_EQ(actual.name, expected.name);
    EXPECT_EQ(actual.address, expected.address);
    EXPECT_EQ(actual.inn, expected.inn);
    EXPECT_EQ(actual.phone, expected.phone);
    EXPECT_EQ(actual.sn, expected.sn);
    EXPECT_EQ(actual.num, expected.num);
    EXPECT_EQ(actual.info, expected.info);
    EXPECT_EQ(actual.date, expected.date);
    EXPECT_EQ(actual.note, expected.note);
}

TEST_F(ClientCardTest, ShowsTheImportRecordOfTheContract) {
    struct Case {
        const char* name;
        QString values;  // SQL literals of the import row; empty: a contract without one
        Shown expected;
    };
    const std::vector<Case> cases = {
        {"full row",
         "'Дем''яненко Олена', 'Київ, вул. Січових Стрільців, 5', '+380 44 123', 'Постійна клієнтка', "
         "'1234567890', 'АБ', '123456', 'Дем''янівський РВ', '01.02.2003'",
         {"Дем'яненко Олена", "Київ, вул. Січових Стрільців, 5", "1234567890", "+380 44 123", "АБ", "123456",
          "Дем'янівський РВ", "01.02.2003", "Постійна клієнтка"}},
        {"null passport date",
         "'Петров Пётр', 'Львів', '555', 'примечание', '42', 'КВ', '7', 'РОВД', null",
         {"Петров Пётр", "Львів", "42", "555", "КВ", "7", "РОВД", "", "примечание"}},
        {"no import row", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int id;
        if (c.values.isEmpty()) {
            Contract own;
            own.clientId = newClient(QStringLiteral("Свой клиент"));
            id = newContract(own);
        } else {
            id = importedContract(c.values);
        }
        TolvLogic::TPenaltyContractInfo contract(id, nullptr);
        TFClientInfo card(nullptr, contract);
        expectShown(shown(card), c.expected);
    }
}

TEST_F(ClientCardTest, ReadOnlyFieldsOkOnEscapeAndKeptPosition) {
    tolvtest::ScopedUserIni ini;
    const int id =
        importedContract(QStringLiteral("'Іванов', null, null, null, null, null, null, null, null"));
    TolvLogic::TPenaltyContractInfo contract(id, nullptr);
    TFClientInfo card(nullptr, contract);
    EXPECT_EQ(card.windowTitle(), QStringLiteral("Информация о клиенте"));
    for (QLineEdit* e : card.findChildren<QLineEdit*>()) {
        EXPECT_TRUE(e->isReadOnly()) << e->objectName().toStdString();
        EXPECT_EQ(e->palette().color(QPalette::Base), e->palette().color(QPalette::ToolTipBase));
    }
    EXPECT_TRUE(card.memo_clientInfo->isReadOnly());

    // Typing into a field changes nothing; Escape closes the card with OK.
    onModal<TFClientInfo>([](TFClientInfo& shownCard) {
        // Focus arrives with the window's activation, which a busy machine may deliver late.
        ASSERT_TRUE(QTest::qWaitForWindowActive(&shownCard));
        EXPECT_TRUE(QTest::qWaitFor([&] { return shownCard.bt_Ok->hasFocus(); }, 2000));
        QTest::keyClicks(shownCard.ed_clientName, QStringLiteral("xyz"));
        EXPECT_EQ(shownCard.ed_clientName->text(), QStringLiteral("Іванов"));
        QTest::keyClick(&shownCard, Qt::Key_Escape);
    });
    EXPECT_EQ(card.showModal(), ui::ModalResult::Ok);

    onModal<TFClientInfo>([](TFClientInfo& shownCard) {
        shownCard.move(123, 77);
        QTest::mouseClick(shownCard.bt_Ok, Qt::LeftButton);
    });
    EXPECT_EQ(card.showModal(), ui::ModalResult::Ok);
    EXPECT_FALSE(os::IniFile(ini.path())
                     .readString(QStringLiteral("TFClientInfo"), QStringLiteral("NormPos"), {})
                     .isEmpty());

    // The next card opens where the last one was left.
    TFClientInfo next(nullptr, contract);
    QPoint at;
    onModal<TFClientInfo>([&at](TFClientInfo& shownCard) {
        at = shownCard.pos();
        QTest::keyClick(&shownCard, Qt::Key_Return);
    });
    EXPECT_EQ(next.showModal(), ui::ModalResult::Ok);
    EXPECT_EQ(at, QPoint(123, 77));
}

}  // namespace
