// The receipts of the money events against the simulator: the lines on the wire, the list the payment
// dialog gets, the services' two passes and their merge, amounts refused before a receipt opens, and a
// device that fails in the middle of a receipt.
#include "RegisterFixture.h"

namespace {

using namespace KassRegister;
using frsim::Script;
using frtest::OwnSettingsFile;
using frtest::RegisterTest;

const QString kZeros6 = QStringLiteral("000000");

// Scheme 1 (the simulator's included 20 %) or no scheme at all.
QString taxes(bool schemeA) {
    return schemeA ? QStringLiteral("А02000") + kZeros6.repeated(7) : kZeros6.repeated(8);
}

QString line(const char* command, const QString& name, qint64 amount, int article, bool schemeA = true) {
    const QString a = QString::number(amount).rightJustified(9, QLatin1Char('0'));
    return QString::fromLatin1(command) + name.left(12).leftJustified(12) + a + a + QStringLiteral("00000") +
           QStringLiteral("10") + taxes(schemeA) +
           QString::number(article).rightJustified(4, QLatin1Char('0'));
}

QString comp(qint64 sales, qint64 returns, qint64 cash) {
    auto f = [](qint64 v) { return QString::number(v).rightJustified(10, QLatin1Char('0')); };
    return QStringLiteral("COMP") + f(sales) + f(returns) + f(0) + f(0) + f(0) + f(cash);
}

QStringList names(const FiscalRegister::Lines& lines) {
    QStringList out;
    for (const FRLine& l : lines) out << l.name;
    return out;
}
std::vector<qint32> sums(const FiscalRegister::Lines& lines) {
    std::vector<qint32> out;
    for (const FRLine& l : lines) out.push_back(l.sum);
    return out;
}

class ReceiptsTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        connectWithSchemes();
    }
    OwnSettingsFile ini{
        "[FISCAL_MARIYA]\r\nCREDIT_TAX1=1\r\nPAY_TAX1=1\r\nSELLING_TAX1=1\r\nADD_SRVS_7_TAX1=1\r\n"};
};

TEST_F(ReceiptsTest, ARepaymentPrintsInformationBeforeEachLineAndClosesWithTheCash) {
    forms.payCash = 70000;
    EXPECT_TRUE(fr.printPaymentCheck(QStringLiteral(" A-17 "), 50000, 0, 15000, 2000, {}));
    const QString info = QStringLiteral("FINFДог.N A-17 ПОВКРЕДИТ");
    EXPECT_EQ(sim.log(), (QStringList{"CANC", "PREP01", info, line("FISC", "ОСН.СУМА", 50000, 3), info,
                                      line("FISC", "ВIДСОТКИ", 15000, 4), info, line("FISC", "ПЕНЯ", 2000, 5),
                                      comp(67000, 0, 70000), "KASS"}));
    // 50000 × 2000 ÷ 12000 + 15000 × 2000 ÷ 12000 + 2000 × 2000 ÷ 12000, each with its remainder dropped.
    EXPECT_EQ(fr.salesTax(), 11166);
    EXPECT_EQ(sums(forms.paymentLines), (std::vector<qint32>{50000, 15000, 2000}));
    EXPECT_EQ(forms.paymentLines[0].taxIndex1, 1);
    EXPECT_EQ(sim.badLengths(), 0);
}

TEST_F(ReceiptsTest, ServicesFollowTheRepaymentAndMergeIntoItsListByDescendingSum) {
    const FiscalRegister::ServiceLines services{
        {QStringLiteral("0_7"), FRLine{QStringLiteral("Оценка"), 20000, 12}},
        {QStringLiteral("1_3"), FRLine{QStringLiteral("Страховка"), 500, 13}}};
    EXPECT_TRUE(fr.printPaymentCheck(QStringLiteral("A-17"), 50000, 0, 15000, 0, services));
    EXPECT_EQ(names(forms.paymentLines), (QStringList{"ОСН.СУМА", "Оценка", "ВIДСОТКИ", "Страховка"}));
    EXPECT_EQ(sums(forms.paymentLines), (std::vector<qint32>{50000, 20000, 15000, 500}));
    const QStringList log = sim.log();
    ASSERT_EQ(log.size(), 10);
    EXPECT_EQ(log[6], QStringLiteral("FINFДог.N A-17 Оценка"));
    // Each service on its own keys: service 7 under scheme 1, service 3 under none.
    EXPECT_EQ(log[7], line("FISC", "ДОД.ПОСЛУГИ", 20000, 12));
    EXPECT_EQ(log[9], line("FISC", "ДОД.ПОСЛУГИ", 500, 13, false));
    EXPECT_EQ(forms.paymentLines[1].taxIndex1, 1);
    EXPECT_EQ(forms.paymentLines[3].taxIndex1, 0);
}

TEST_F(ReceiptsTest, NegativeServicesGoAsReturnsInASecondPassAndTheModeComesBack) {
    const FiscalRegister::ServiceLines services{
        {QStringLiteral("1_9"), FRLine{QStringLiteral("Знижка"), -300, 9}},
        {QStringLiteral("0_7"), FRLine{QStringLiteral("Оценка"), 500, 7}},
        {QStringLiteral("2_4"), FRLine{QStringLiteral("Нуль"), 0, 4}}};
    EXPECT_TRUE(fr.printPaymentCheck(QStringLiteral("B-2"), 0, 0, 1000, 0, services));
    const QStringList log = sim.log();
    ASSERT_EQ(log.size(), 8);
    EXPECT_EQ(log[5], line("FISC", "ДОД.ПОСЛУГИ", 500, 7));
    EXPECT_EQ(log[7], line("BFIS", "ДОД.ПОСЛУГИ", 300, 9, false));
    EXPECT_FALSE(fr.returnMode());
    EXPECT_EQ(fr.salesTotal(), 1500);
    EXPECT_EQ(fr.returnsTotal(), 300);
    EXPECT_EQ(sums(forms.paymentLines), (std::vector<qint32>{1000, 500, -300}));
}

TEST_F(ReceiptsTest, ALoanIssueIsAReturnReceiptOfItsPledgedItems) {
    forms.payCash = 0;
    const FiscalRegister::Lines items{{QStringLiteral("Кольцо золотое 585"), 100000},
                                      {QStringLiteral("Цепь"), 50000}};
    EXPECT_TRUE(fr.printCreditCheck(QStringLiteral("7"), items, {}));
    EXPECT_EQ(sim.log(), (QStringList{"CANC", "PREP01", "FINFДог.N 7 Кольцо золотое 585",
                                      line("BFIS", "ПОЗИКА", 100000, 1), "FINFДог.N 7 Цепь",
                                      line("BFIS", "ПОЗИКА", 50000, 1), comp(0, 150000, 0), "KASS"}));
    EXPECT_EQ(names(forms.paymentLines), (QStringList{"ПОЗИКА - Кольцо золотое 585", "ПОЗИКА - Цепь"}));
    EXPECT_EQ(sums(forms.paymentLines), (std::vector<qint32>{-100000, -50000}));
}

TEST_F(ReceiptsTest, LoanIncreaseSaleAndAnEmptyRepayment) {
    EXPECT_TRUE(fr.printCreditIncreaseCheck(QStringLiteral("7"), 30000, {}));
    EXPECT_EQ(sim.log(), (QStringList{"CANC", "PREP01", "FINFДог.N 7 ЗБIЛЬШ.КРЕДИТ",
                                      line("BFIS", "ОСН.СУМА", 30000, 2)}));
    EXPECT_EQ(sums(forms.paymentLines), std::vector<qint32>{-30000});
    sim.clearLog();

    EXPECT_TRUE(fr.printSaleCheck(QStringLiteral("7"), 45000));
    EXPECT_EQ(sim.log(),
              (QStringList{"CANC", "PREP01", "FINFДог.N 7", line("FISC", "РЕАЛIЗАЦIЯ", 45000, 6)}));
    sim.clearLog();

    // The line texts are read at every receipt.
    utl::SettingsFile::writeString(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRMesRealiz"),
                                   QStringLiteral("SALE"));
    EXPECT_TRUE(fr.printSaleCheck(QStringLiteral("7"), 45000));
    EXPECT_EQ(sim.log().last(), line("FISC", "SALE", 45000, 6));
    sim.clearLog();

    EXPECT_TRUE(fr.printPaymentCheck(QStringLiteral("7"), 0, 0, 0, 0, {}));
    EXPECT_EQ(sim.log(), (QStringList{"CANC", "PREP01"}));
    EXPECT_TRUE(forms.paymentLines.empty());
}

TEST_F(ReceiptsTest, ServicesOnly) {
    // All negative: closed in cash at once, no payment dialog.
    const FiscalRegister::ServiceLines refunds{
        {QStringLiteral("0_7"), FRLine{QStringLiteral("Оценка"), -700, 7}}};
    EXPECT_TRUE(fr.printServicesCheck(QStringLiteral("  Знято з продажу "), refunds));
    EXPECT_EQ(sim.log(), (QStringList{"CANC", "PREP01", "FINFЗнято з продажу Оценка",
                                      line("BFIS", "ДОД.ПОСЛУГИ", 700, 7), comp(0, 700, 0), "KASS"}));
    EXPECT_EQ(forms.payments, 0);
    sim.clearLog();

    // A positive one goes to the payment dialog with the receipt's own list.
    const FiscalRegister::ServiceLines charged{
        {QStringLiteral("0_7"), FRLine{QStringLiteral("Оценка"), 700, 7}}};
    EXPECT_TRUE(fr.printServicesCheck(QStringLiteral("x"), charged));
    EXPECT_EQ(forms.payments, 1);
    EXPECT_EQ(names(forms.paymentLines), QStringList{"Оценка"});
}

// A services-only receipt with nothing to charge used to print an empty fiscal receipt: CANC, PREP01, a
// closing of zeros and KASS.
TEST_F(ReceiptsTest, AServicesOnlyReceiptWithNothingToChargeSendsNothing) {
    for (const FiscalRegister::ServiceLines& services :
         {FiscalRegister::ServiceLines{},
          FiscalRegister::ServiceLines{{QStringLiteral("0_7"), FRLine{QStringLiteral("Оценка"), 0, 7}}}}) {
        EXPECT_TRUE(fr.printServicesCheck(QStringLiteral("x"), services));
        EXPECT_TRUE(sim.log().isEmpty());
        EXPECT_EQ(forms.payments, 0);
    }
}

// The amounts used to be sent as they came: one too long for its field failed half-way through a
// printing receipt. Now the receipt is refused before its first command.
TEST_F(ReceiptsTest, AmountsThatDoNotFitAreRefusedBeforeTheReceiptOpens) {
    const FiscalRegister::Lines eleven(11, FRLine{QStringLiteral("x"), 999999999});
    const FiscalRegister::ServiceLines bigService{
        {QStringLiteral("0_7"), FRLine{QStringLiteral("x"), -1000000000, 7}}};
    struct Case {
        const char* what;
        std::function<void()> call;
        QString start;
    };
    const QString line = QStringLiteral("Сумма строки чека должна быть от 0 до 9999999.99: ");
    const std::vector<Case> cases{
        {"negative principal", [&] { fr.printPaymentCheck("1", -100, 0, 0, 0, {}); }, line + "-1.00"},
        {"ten-digit interest", [&] { fr.printPaymentCheck("1", 0, 0, 1000000000, 0, {}); },
         line + "10000000.00"},
        {"negative pledge",
         [&] {
             fr.printCreditCheck("1", {{QStringLiteral("x"), -5}}, {});
         },
         line + "-0.05"},
        {"ten-digit service", [&] { fr.printServicesCheck("1", bigService); }, line + "10000000.00"},
        {"ten-digit increase", [&] { fr.printCreditIncreaseCheck("1", 1000000000, {}); }, line},
        {"ten-digit sale", [&] { fr.printSaleCheck("1", 1000000000); }, line},
        {"eleven-digit returns total", [&] { fr.printCreditCheck("1", eleven, {}); },
         QStringLiteral("Итог чека больше 99999999.99: 109999999.89")},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what;
        } catch (const core::Exception& e) {
            EXPECT_TRUE(e.message().startsWith(c.start)) << c.what << ": " << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QStringLiteral("FRMariya::checkAmounts"))) << c.what;
        }
        EXPECT_TRUE(sim.log().isEmpty()) << c.what;
    }
    // Nine digits fit.
    EXPECT_TRUE(fr.printSaleCheck(QStringLiteral("1"), 999999999));
}

TEST_F(ReceiptsTest, TaxPairsOfTheOperationKinds) {
    utl::SettingsFile::writeInt(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("STORAGE_TAX2"), 2);
    EXPECT_EQ(fr.taxes2Operation(1), std::make_pair(1, 0));
    EXPECT_EQ(fr.taxes2Operation(4), std::make_pair(0, 2));
    for (int kind : {0, 5}) {
        try {
            fr.taxes2Operation(kind);
            ADD_FAILURE();
        } catch (const core::Exception& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Неизвестный тип операции\n\nFunc: FRMariya::taxes2Operation()")))
                << e.message().toStdString();
        }
    }
}

TEST_F(ReceiptsTest, ADeviceErrorInALoanIssueCancelsItAndPasses) {
    sim.script(QStringLiteral("BFIS"), Script{.packets = {"SOFTPARAM"}});
    EXPECT_THROW(fr.printCreditCheck(QStringLiteral("7"), {{QStringLiteral("Цепь"), 50000}}, {}),
                 FRException);
    EXPECT_EQ(sim.log(),
              (QStringList{"CANC", "PREP01", "FINFДог.N 7 Цепь", line("BFIS", "ПОЗИКА", 50000, 1), "CANC"}));
    EXPECT_EQ(forms.payments, 0);
}

TEST_F(ReceiptsTest, ARepaymentsErrorsPassAndNothingFollows) {
    sim.script(QStringLiteral("PREP"), Script{.packets = {"SOFTPARAM"}});
    EXPECT_THROW(fr.printPaymentCheck(QStringLiteral("7"), 100, 0, 0, 0, {}), FRException);
    EXPECT_EQ(sim.log(), (QStringList{"CANC", "PREP01"}));
    sim.clearLog();

    // A reply broken off in the middle of the receipt: no answer, no closing, and the link still works.
    sim.script(QStringLiteral("FISC"), Script{.cut = true});
    EXPECT_THROW(fr.printPaymentCheck(QStringLiteral("7"), 100, 0, 0, 0, {}), FRNoSignal);
    for (const QString& sent : sim.log()) EXPECT_FALSE(sent.startsWith(QStringLiteral("COMP")));
    EXPECT_EQ(forms.payments, 0);
    sim.clearLog();
    fr.printXReport();
    EXPECT_EQ(sim.log(), QStringList{"ZREP"});
}

}  // namespace
