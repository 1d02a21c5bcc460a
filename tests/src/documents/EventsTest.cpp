// The program's document events over a real database and the shipped document folder: codes, names,
// the order of their arguments, and a sample template printed and read back by a word processor.

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "kv_Translator.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Script.h"
#include "platform/os/Program.h"
#include "platform/os/Shell.h"
#include "tests/src/documents/ShippedEvents.h"
#include "tests/support/WriterText.h"
#include "u_TolvReportSystem.h"

using namespace doctest;

namespace {

class Events : public ShippedEvents {};

TEST_F(Events, TheElevenEventsRegisterWithTheirCodesNamesAndActiveSamples) {
    const struct {
        const char* code;
        const char* ru;
        const char* uk;
    } cases[] = {
        {"CNTR_OPEN", "Договор - Заключение договора", "Договір - Укладання договору"},
        {"CNTR_OPEN_GOLD", "Договор - Заключение договора (д.м.)", "Договір - Укладання договору (д.м.)"},
        {"CNTR_FORSALE", "Договор - Выставление на реализацию", "Договір - Виставлення на реалізацію"},
        {"CNTR_SALE", "Договор - Реализация", "Договір - Реалізація"},
        {"CNTR_CLOSE", "Договор - Закрытие договора", "Договір - Закриття договору"},
        {"CNTR_CLOSE_GOLD", "Договор - Закрытие договора (д.м.)", "Договір - Закриття договору (д.м.)"},
        {"CNTR_PROLONG", "Договор - Заявление об отсрочке", "Договір - Заява на прострочення"},
        {"OP_PAY", "Операция - Погашение кредита", "Операція - Погашення кредиту"},
        {"OP_INC", "Операция - Увеличение займа", "Операція - Збільшення займу"},
        {"CB_WRECEIPT", "Касса - Приходный ордер", "Каса - Прибутковий ордер"},
        {"CB_WEXPENSE", "Касса - Расходный ордер", "Каса - Видатковий ордер"}};
    TolvReports::createDocumentEvents(false);
    ASSERT_EQ(sys().getEventsCount(), 11);
    for (int i = 0; i < 11; ++i) {
        ReportSys::ReportEvnt* e = sys().getEvent(i);
        EXPECT_EQ(e->getCode(), QLatin1String(cases[i].code));
        EXPECT_EQ(e->getName(), QString::fromUtf8(cases[i].ru));
        EXPECT_EQ(e->getActiveTemplatesCount(), 1) << cases[i].code;
    }
    EXPECT_TRUE(sys().getLostTemplatesText().isEmpty()) << sys().getLostTemplatesText().toStdString();

    for (const auto& [key, text] : TolvReports::tolvReportSystemTexts(2))
        KVLibTranslator::instance().set(key, text);
    TolvReports::createDocumentEvents(true);
    ASSERT_EQ(sys().getEventsCount(), 11);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(sys().getEvent(i)->getName(), QString::fromUtf8(cases[i].uk));
}

TEST_F(Events, PaymentTakesTheOperationFirstAndClosingTheContract) {
    TolvReports::createDocumentEvents(false);
    const int id = contract(100000, 1000, 30);
    const int op = newOperation(id, {.date = day(20, 1, 2024), .sum = 30000});
    auto* pay = event<ReportEvntOpPay>("OP_PAY");
    pay->fillParams(op, id);
    EXPECT_EQ(value(pay, "OPERATION@SUM_F"), "300.00");
    EXPECT_EQ(value(pay, "CONTRACT@DEPOSIT_SUM_F"), "1000.00");
    auto* close = event<ReportEvntCntrClose>("CNTR_CLOSE");
    close->fillParams(id, op);
    EXPECT_EQ(value(close, "OPERATION@SUM_F"), "300.00");
    EXPECT_EQ(value(close, "CLIENT@NAME"), "Петренко Іван");

    // An operation without a row: no OPERATION values, the services read with a zero date.
    close->fillParams(id, op + 100000);
    EXPECT_EQ(value(close, "OPERATION@SUM_F"), "");
    EXPECT_EQ(value(close, "SERVICE@ALLPRICE_F"), "0.00");

    // A second fill leaves only its own values.
    const int other = contract(50000, 1000, 30);
    auto* open = event<ReportEvntContract>("CNTR_OPEN");
    open->fillParams(id);
    open->fillParams(other);
    EXPECT_EQ(value(open, "CONTRACT@DEPOSIT_SUM_F"), "500.00");

    // A menu's callback reaches its own event's class with the ids selected at the click.
    TolvReports::DocumentIds ids{.contractId = id, .operationId = op};
    EXPECT_TRUE(TolvReports::fillEventParams(pay, ids));
    EXPECT_EQ(value(pay, "OPERATION@SUM_F"), "300.00");
    ReportSys::ReportTemplate* payTemplate = pay->getTemplate(0);
    payTemplate->setInitParamsCallback(TolvReports::initParamsCallback([&] { return ids; }));
    pay->getParams().clear();
    ids.contractId = other;
    payTemplate->showReportByMenuClick();
    EXPECT_EQ(opened_.size(), 1);
    EXPECT_EQ(value(pay, "CONTRACT@DEPOSIT_SUM_F"), "500.00");
    EXPECT_EQ(value(pay, "OPERATION@SUM_F"), "300.00");
}

TEST_F(Events, EveryEventHoldsAndFillsTheGroupsOfItsKind) {
    TolvReports::createDocumentEvents(false);
    const int id = contract(100000, 1000, 30);
    const int op = newOperation(id, {.date = day(20, 1, 2024), .sum = 30000});
    const int order = cashtest::newOrder({.sum = 4200, .contractId = id});
    udb::execSql(QStringLiteral("insert into TOSALE (AGENT_ID, CONTRACT_ID, TOSALE_SUM, TOSALE_DATE) values "
                                "(1, %1, 90000, '2024-02-20')")
                     .arg(id));
    udb::execSql(
        QStringLiteral("insert into SALES (AGENT_ID, CONTRACT_ID, SALE_SUM) values (1, %1, 95000)").arg(id));
    udb::execSql(QStringLiteral("insert into ZAYAVLENIYA (CONTRACT_ID, DATE_CUR, DATE_TO, NOTE) values "
                                "(%1, '2024-02-01', '2024-02-15', 'хвороба')")
                     .arg(id));
    const QStringList all{"COMMON",   "COMPANY", "AGENT", "CLIENT",    "PROLONG", "SERVICE",
                          "CONTRACT", "FORSALE", "SALE",  "OPERATION", "WARRANT"};
    const std::pair<const char*, QStringList> cases[] = {
        {"CNTR_OPEN", {"COMMON", "COMPANY", "AGENT", "CLIENT", "CONTRACT", "SERVICE"}},
        {"CNTR_OPEN_GOLD", {"COMMON", "COMPANY", "AGENT", "CLIENT", "CONTRACT", "SERVICE"}},
        {"CNTR_FORSALE", {"COMMON", "CONTRACT", "FORSALE", "AGENT"}},
        {"CNTR_SALE", {"COMMON", "CONTRACT", "SALE", "AGENT"}},
        {"CNTR_CLOSE", {"COMMON", "COMPANY", "AGENT", "CLIENT", "CONTRACT", "OPERATION", "SERVICE"}},
        {"CNTR_CLOSE_GOLD", {"COMMON", "COMPANY", "AGENT", "CLIENT", "CONTRACT", "OPERATION", "SERVICE"}},
        {"CNTR_PROLONG", {"PROLONG", "CLIENT", "CONTRACT", "COMPANY"}},
        {"OP_PAY", {"COMMON", "COMPANY", "CONTRACT", "CLIENT", "AGENT", "OPERATION", "SERVICE"}},
        {"OP_INC", {"COMMON", "COMPANY", "CONTRACT", "CLIENT", "AGENT", "OPERATION", "SERVICE"}},
        {"CB_WRECEIPT", {"COMMON", "COMPANY", "WARRANT"}},
        {"CB_WEXPENSE", {"COMMON", "COMPANY", "WARRANT"}},
    };
    // Every text a sample prints is filled, so none of its marks comes out empty for want of a row.
    udb::execSql(
        QStringLiteral("update CLIENTS set CLIENT_PHONE = '1', CLIENT_ADDRESS = '2', "
                       "CLIENT_PASSPORT_SN = '3', CLIENT_PASSPORT_NUM = '4', CLIENT_PASSPORT_INFO = '5' "
                       "where CLIENT_ID = (select CLIENT_ID from PENALTY_CONTRACTS where CONTRACT_ID = %1)")
            .arg(id));
    udb::execSql(
        QStringLiteral("update or insert into ZVIT_COMPANY (ID, FULL_NM, EDR_CD) values (1, 'Ломбард', "
                       "'12345678') matching (ID)"));
    udb::execSql(
        QStringLiteral("update WARRANTES set ACCOUNT_NUMBER = '301', ADDITION = 'a', FOUNDATION = 'f', "
                       "IDENTIFICATION_DATA = 'i', OPERATION_SUBJECT = 's' where ID = %1")
            .arg(order));
    udb::execSql(QStringLiteral("update TOSALE set TOSALE_INFO = 'i' where CONTRACT_ID = %1").arg(id));
    udb::execSql(QStringLiteral("update SALES set SALE_INFO = 'i' where CONTRACT_ID = %1").arg(id));
    const QRegularExpression mark(QStringLiteral("\\[\\[([A-Z]+@[A-Z_0-9]+)\\]\\]"));
    const QRegularExpression table(QStringLiteral("\\[\\[#(\\w+)\\]\\]"));

    const TolvReports::DocumentIds ids{.contractId = id, .operationId = op, .warrantId = order};
    for (const auto& [code, groups] : cases) {
        SCOPED_TRACE(code);
        ReportSys::ReportEvnt* e = sys().getEventByCode(QLatin1String(code));
        ASSERT_TRUE(TolvReports::fillEventParams(e, ids));
        for (const QString& g : all) {
            ReportSys::ReportParameters* group = e->getParamGroup(g);
            EXPECT_EQ(group != nullptr, groups.contains(g)) << g.toStdString();
            if (group) {
                EXPECT_TRUE(group->hasValues()) << g.toStdString();
            }
        }
        QFile sample(e->getTemplate(0)->getFullFileName());
        ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(sample.readAll());
        const QStringList names = e->getParams().getNames();
        for (auto it = mark.globalMatch(text); it.hasNext();) {
            const QString name = it.next().captured(1);
            EXPECT_TRUE(names.contains(name)) << name.toStdString();
        }
        for (auto it = table.globalMatch(text); it.hasNext();) {
            const QString name = it.next().captured(1);
            EXPECT_NE(e->getParams().getDataSet(name), nullptr) << name.toStdString();
        }
    }
    ReportSys::ReportEvnt* prolong = sys().getEventByCode(QStringLiteral("CNTR_PROLONG"));
    EXPECT_EQ(value(prolong, "PROLONG@NOTE"), "хвороба");
    EXPECT_EQ(value(prolong, "PROLONG@DATE_TO"), "15.02.2024");
    EXPECT_EQ(value(sys().getEventByCode(QStringLiteral("CNTR_SALE")), "SALE@SUM_F"), "950.00");
    EXPECT_EQ(value(sys().getEventByCode(QStringLiteral("CNTR_FORSALE")), "FORSALE@SUM_F"), "900.00");
    EXPECT_EQ(value(sys().getEventByCode(QStringLiteral("CB_WEXPENSE")), "WARRANT@SUM_F"), "42.00");
}

TEST_F(Events, EachEventPrintsTheServicesOfItsOwnServiceEvent) {
    desktest::clearServices();
    TolvReports::createDocumentEvents(false);
    const int id = contract(100000, 1000, 30);
    const int op = newOperation(id, {.date = day(20, 1, 2024), .sum = 30000});
    // One service of each event, on the contract for event 0 and on the operation for the others.
    for (const auto& [event, price] : {std::pair{0, 100}, {1, 200}, {2, 300}, {4, 400}}) {
        const int dir =
            desktest::newService(QStringLiteral("Послуга %1").arg(event), event, QStringLiteral("0"), true);
        udb::execSql(
            QStringLiteral("insert into ADD_SERVICES (ID, ID_SERVICE, ID_OBJ, NAME, PRICE, DATA) values "
                           "(gen_id(GEN_ADD_SERVICES_ID, 1), %1, %2, 'Послуга', %3, %4)")
                .arg(dir)
                .arg(event == 0 ? id : op)
                .arg(price)
                .arg(lit(event == 0 ? day(10, 1, 2024) : day(20, 1, 2024))));
    }
    const std::pair<const char*, const char*> cases[] = {
        {"CNTR_OPEN", "1.00"}, {"CNTR_OPEN_GOLD", "1.00"}, {"OP_PAY", "2.00"},
        {"OP_INC", "3.00"},    {"CNTR_CLOSE", "4.00"},     {"CNTR_CLOSE_GOLD", "4.00"},
    };
    const TolvReports::DocumentIds ids{.contractId = id, .operationId = op};
    for (const auto& [code, total] : cases) {
        SCOPED_TRACE(code);
        ReportSys::ReportEvnt* e = sys().getEventByCode(QLatin1String(code));
        TolvReports::fillEventParams(e, ids);
        EXPECT_EQ(value(e, "SERVICE@ALLPRICE_F"), QLatin1String(total));
        EXPECT_EQ(value(e, "CONTRACT@GIVE_OUT_SUM_F"), "999.00");
    }
    desktest::clearServices();
}

TEST_F(Events, AnUnregisteredReceiptEventKeepsItsOwnOrder) {
    TolvReports::createDocumentEvents(false);
    const int id = contract(100000, 1000, 30);
    const int first = cashtest::newOrder({.sum = 123456, .contractId = id});
    const int second = cashtest::newOrder({.sum = 5000, .contractId = id, .number = QStringLiteral("2")});
    ReportEvntCbWReceipt own;
    own.fillParams(second, -1, -1, QStringLiteral("0"));
    auto* registered = event<ReportEvntCbWReceipt>("CB_WRECEIPT");
    registered->fillParams(first, -1, -1, QStringLiteral("0"));
    EXPECT_EQ(value(&own, "WARRANT@SUM_F"), "50.00");
    EXPECT_EQ(value(registered, "WARRANT@SUM_F"), "1234.56");
    EXPECT_EQ(sys().getEventByCode(QStringLiteral("CB_WRECEIPT")), registered);
    EXPECT_EQ(own.getActiveTemplatesCount(), 1);
}

// The events over the demo office's database: the shipped samples printed for its contracts.
class DemoEvents : public Events {
protected:
    static void SetUpTestSuite() {
        Events::SetUpTestSuite();
        fb::runScriptFolder(testDb().db(), tolvtest::TestDatabase::sourceDir() + QStringLiteral("/db/demo"));
    }
    static int demoContract(const QString& client) {
        return scalar(QStringLiteral("select C.CONTRACT_ID as V from PENALTY_CONTRACTS C join CLIENTS L on "
                                     "L.CLIENT_ID = C.CLIENT_ID where L.CLIENT_NAME = %1")
                          .arg(lit(client)))
            .toInt();
    }
};

TEST_F(DemoEvents, TheSampleContractsPrintForAWordProcessor) {
    TolvReports::createDocumentEvents(false);
    const struct {
        const char* code;
        const char* client;
        QStringList lines;
    } cases[] = {
        {"CNTR_OPEN",
         "Іваненко Петро Миколайович",
         {"Заемщик: Іваненко Петро Миколайович",
          "Смартфон Apple iPhone 13, 1 шт., оценка 12000.00, кредит 8000.00, проценты 1200.00, к возврату "
          "9200.00",
          "Сумма кредита: 8000.00 (восемь тысяч грн 00 коп)"}},
        {"CNTR_OPEN_GOLD",
         "Дем'яненко Олександра Вікторівна",
         {"Заемщик: Дем'яненко Олександра Вікторівна",
          "Кольцо обручальное, проба 585, вес 3.50 г, камни 0.00 г, чистый 3.50 г, кредит 5250.00",
          "Цепочка, проба 585, вес 5.20 г, камни 0.00 г, чистый 5.20 г, кредит 7800.00",
          "Сумма кредита: 13050.00 (тринадцать тысяч пятьдесят грн 00 коп)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        opened_.clear();
        ReportSys::ReportEvnt* e = sys().getEventByCode(QLatin1String(c.code));
        ASSERT_TRUE(
            TolvReports::fillEventParams(e, {.contractId = demoContract(QString::fromUtf8(c.client))}));
        const QString name = e->getTemplate(0)->showReport(true);
        ASSERT_EQ(opened_.size(), 1) << name.toStdString();
        const QString text = testsupport::writerText(opened_[0], dir_.path());
        for (const QString& line : c.lines) EXPECT_TRUE(text.contains(line)) << text.toStdString();
    }
}

}  // namespace
