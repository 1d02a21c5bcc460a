// The register's commands against the simulator: frames byte for byte, reports, service cash,
// programming, tax schemes, the fiscal line and the closing of a receipt.
#include "RegisterFixture.h"

namespace {

using namespace KassRegister;
using frsim::Script;
using frtest::hex;
using frtest::RegisterTest;

QString interestLine() {
    // Name, amount, price, quantity (1 goes as 0), divisible, "0", the eight tax fields, article.
    return QStringLiteral("FISC") + QStringLiteral("ВIДСОТКИ    ") + QStringLiteral("000015000") +
           QStringLiteral("000015000") + QStringLiteral("00000") + QStringLiteral("1") + QStringLiteral("0") +
           QStringLiteral("А02000") + QString(42, QLatin1Char('0')) + QStringLiteral("0004");
}

TEST_F(RegisterTest, ReceiptFramesByteForByte) {
    connectWithSchemes();
    fr.beginCheck(QStringLiteral("01"));
    fr.printInfoLine(QStringLiteral("Дог.N A-17 ПОВКРЕДИТ"));
    fr.fiscalLine(QStringLiteral("ВIДСОТКИ"), 1, 15000, true, 1, 0, 4);
    EXPECT_EQ(fr.salesTax(), 2500);
    EXPECT_EQ(fr.closeCheckPayments(20000, 0, 0, 0), 17500);
    const QString comp =
        QStringLiteral("COMP0000015000") + QString(40, QLatin1Char('0')) + QStringLiteral("0000020000");
    EXPECT_EQ(sim.log(),
              (QStringList{"CANC", "PREP01", "FINFДог.N A-17 ПОВКРЕДИТ", interestLine(), comp, "KASS"}));
    ASSERT_EQ(interestLine().size(), 93);
    const auto frames = sim.frames();
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_TRUE(frames[2].startsWith(hex("FD46494E4684AEA32E")));
    EXPECT_EQ(frames[3].size(), 96);
    EXPECT_EQ(frames[3].right(2), hex("5EFE"));
    EXPECT_EQ(sim.badLengths(), 0);
}

TEST_F(RegisterTest, CashierRegistrationAndServiceCashFrames) {
    connect();
    QString password = QStringLiteral("12345");
    EXPECT_TRUE(fr.registerCashier(password, QStringLiteral("7")));
    EXPECT_EQ(password, QStringLiteral("12345     "));
    fr.printSluzhKassa(15025, false);
    EXPECT_EQ(sim.log(), (QStringList{"UPAS12345     7   ", "CNAL", "CONf", "CAIOI0000015025", "KASS"}));
    EXPECT_EQ(sim.frames()[0], QByteArray("\xFDUPAS12345     7   \x13\xFE"));
    EXPECT_EQ(sim.frames()[3], hex("FD4341494F4930303030303135303235") + hex("10FE"));
    EXPECT_EQ(fr.getDate(), core::DateTime::encode(2026, 3, 15));
    EXPECT_EQ(fr.config().numbers[4], 123456789012LL);
    EXPECT_EQ(fr.getNalog(1), (NalogsSettings{QString(), 0, 2000}));
}

TEST_F(RegisterTest, TheSoftUpasReplyAsksThePasswordAndTriesAgain) {
    connect();
    sim.script(QStringLiteral("UPAS"), Script{.packets = {"SOFTUPAS"}});
    forms.passwords = {QStringLiteral("999")};
    QString password = QStringLiteral("12345");
    EXPECT_TRUE(fr.registerCashier(password, QStringLiteral("7")));
    EXPECT_EQ(password, QStringLiteral("999       "));
    EXPECT_EQ(sim.log().mid(0, 2), (QStringList{"UPAS12345     7   ", "UPAS999       7   "}));
    // Another code is shown and the registration refused.
    sim.clearLog();
    sim.script(QStringLiteral("UPAS"), Script{.packets = {"SOFTSLWORK"}});
    EXPECT_FALSE(fr.registerCashier(password, QStringLiteral("7")));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.endsWith(QStringLiteral("Требуется положение системного ключа РАБОТА")));
    EXPECT_EQ(sim.log(), QStringList{"UPAS999       7   "});
    // An empty answer and a cancelled prompt are no signal.
    for (std::optional<QString> answer : {std::optional<QString>(QString()), std::optional<QString>()}) {
        sim.script(QStringLiteral("UPAS"), Script{.packets = {"SOFTUPAS"}});
        forms.passwords = {answer};
        EXPECT_THROW(fr.registerCashier(password, QStringLiteral("7")), FRNoSignal);
    }
}

TEST_F(RegisterTest, CommandsAndTheirTexts) {
    connect();
    struct Case {
        const char* name;
        std::function<void()> call;
        QStringList sent;
    };
    const QString sixty(60, QLatin1Char('x'));
    const std::vector<Case> cases{
        {"null", [&] { fr.printNullCheck(); }, {"NULL"}},
        {"x", [&] { fr.printXReport(); }, {"ZREP"}},
        {"dizv", [&] { fr.execDIZV(); }, {"DIZV"}},
        {"copy", [&] { fr.printCheckCopy(); }, {"COPY"}},
        {"full", [&] { fr.printPeriodicReportFull(); }, {"IREP"}},
        {"numbers", [&] { fr.printPeriodicReportByNumbers(3, 12); }, {"IREP00030012"}},
        {"dates",
         [&] {
             fr.printPeriodicReportByDates(core::DateTime::encode(2026, 3, 1),
                                           core::DateTime::encode(2026, 3, 15));
         },
         {"IREP2026030120260315"}},
        {"cash out", [&] { fr.printSluzhKassa(5, true); }, {"CAIOO0000000005", "KASS"}},
        {"return number", [&] { fr.fiscalSetReturn(12); }, {"BCHN12"}},
        {"bottom empty", [&] { fr.progrLastStr(QString()); }, {"BOTM"}},
        {"info 60", [&] { fr.printInfoLine(sixty); }, {"FINF" + sixty.left(54)}},
        {"currency", [&] { fr.progrValyta(4, QStringLiteral("ГРН")); }, {"MMON4ГРН"}},
        {"time", [&] { fr.progrTime(QStringLiteral("1230")); }, {"CTIM1230  "}},
        {"options",
         [&] {
             fr.setTaxCalcMode(false);
             fr.setTaxPrintMode(false);
             fr.setAutoCashAccounting(true);
             fr.setTaxCalcMode(true);
             fr.setTaxPrintMode(true);
             fr.setAutoCashAccounting(false);
         },
         {"PPMD1", "PPOD", "CPRT1", "PPMD", "PPOD1", "CPRT"}},
        {"return receipt", [&] { fr.beginReturnCheck(QStringLiteral("01")); }, {"CANC", "PREP01"}},
        {"refused: cash 0", [&] { EXPECT_THROW(fr.printSluzhKassa(0, true), core::Exception); }, {}},
        {"refused: return 0", [&] { EXPECT_THROW(fr.fiscalSetReturn(0), core::Exception); }, {}},
        {"refused: bottom 19",
         [&] { EXPECT_THROW(fr.progrLastStr(QString(19, QLatin1Char('b'))), core::Exception); },
         {}},
        {"refused: decimals 5",
         [&] { EXPECT_THROW(fr.progrValyta(5, QStringLiteral("ГРН")), core::Exception); },
         {}},
        {"refused: owner data",
         [&] { EXPECT_THROW(fr.progrRegInfo({}, {}, {}, {}, {}), core::Exception); },
         {}},
        {"refused: rate 10000",
         [&] { EXPECT_THROW(fr.progrOneNalogScheme(1, 0, 10000), core::Exception); },
         {}},
        {"refused: article 2001",
         [&] { EXPECT_THROW(fr.fiscalLine(QStringLiteral("x"), 1, 100, true, 0, 0, 2001), core::Exception); },
         {}},
    };
    for (const Case& c : cases) {
        sim.clearLog();
        c.call();
        EXPECT_EQ(sim.log(), c.sent) << c.name;
    }
    EXPECT_TRUE(fr.returnMode());
    EXPECT_EQ(sim.decimals(), 4);
    EXPECT_EQ(sim.currency(), QStringLiteral("ГРН"));
}

TEST_F(RegisterTest, HeaderZReportAndCancelling) {
    connect();
    const QString twenty = QStringLiteral("ЛОМБАРД ТОЛВАНIКС 12");
    fr.progrZagolovok(twenty);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Заголовок > 18 символов, уменьшаем до 18"));
    EXPECT_EQ(sim.header(), twenty.left(18));
    boxes.answers = {ui::ModalResult::No, ui::ModalResult::Yes};
    fr.printZReport();
    fr.printZReport();
    EXPECT_EQ(sim.log(), (QStringList{"HEAD" + twenty.left(18), "NREP"}));

    FRMariya idle;
    idle.cancelCheck();  // not connected: nothing is sent
    EXPECT_EQ(sim.log().size(), 2);
}

TEST_F(RegisterTest, TaxSchemeIndexesAndLetters) {
    EXPECT_EQ(fr.nalogCodeByIndx(1), QStringLiteral("А"));
    EXPECT_EQ(fr.nalogCodeByIndx(8), QStringLiteral("З"));
    for (int bad : {0, 9}) {
        try {
            fr.nalogCodeByIndx(bad);
            ADD_FAILURE();
        } catch (const core::Exception& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Индекс налога должен быть в пределах от 1 до 8\n\nFunc: "
                               "FRMariya::nalogCodeByIndx()")));
        }
    }
    EXPECT_EQ(fr.getNalog(0).type, 255);
    EXPECT_EQ(fr.getNalog(0).rate, 0);
    try {
        fr.getNalog(9);
        ADD_FAILURE();
    } catch (const core::Exception& e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("Некорректный индекс налога: 9\n\nFunc: FiscalRegister::getNalog()")));
    }
}

TEST_F(RegisterTest, SchemesReadProgrammedAndRefused) {
    connect();
    fr.initNalogsFromFR();
    fr.progrOneNalogScheme(2, 1, 2000);
    EXPECT_EQ(sim.frames().back().right(8), hex("8131323030300BFE"));
    EXPECT_EQ(sim.frames().back(), QByteArray("\xFDNALG") + hex("81") + "12000" + hex("0BFE"));
    EXPECT_EQ(sim.scheme(2).type, 1);
    EXPECT_EQ(fr.getNalog(2), (NalogsSettings{QString(), 1, 2000}));
    // The table equals the device: only the reading goes out.
    sim.clearLog();
    fr.progrNalogsToFR();
    EXPECT_EQ(sim.log(), QStringList{"CNAL"});
    // A reply a character short.
    sim.script(
        QStringLiteral("CNAL"),
        Script{.packets = {QStringLiteral("CNAL") + QString(111, QLatin1Char('0'))}, .replacePackets = true});
    try {
        fr.getNalogsFromFR();
        ADD_FAILURE();
    } catch (const core::Exception& e) {
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral(" Длина пакета 115 не равна ожидаемой длине 116\n\nFunc: "
                                                  "FRMariya::getNalogsFromFR()")));
    }
}

TEST_F(RegisterTest, DefaultTaxesProgramWhatDiffersAndWriteTheirKeys) {
    for (bool vat : {true, false}) {
        frtest::OwnSettingsFile ini("[FISCAL_MARIYA]\r\n");
        sim.setScheme(2, {});
        fr.open();
        fr.initNalogsFromFR();
        sim.clearLog();
        fr.setDefaultTaxes(vat);
        EXPECT_EQ(sim.log(), (QStringList{"NNAMАПДВ  ", "NNAMБПДВ  ", "CNAL", "NALGБ12000", "TMOD2", "PPMD",
                                          "PPOD1", "CPRT"}));
        const std::pair<const char*, int> keys[] = {{"CREDIT_TAX1", 1},
                                                    {"CREDIT_TAX2", 0},
                                                    {"PAY_TAX1", 1},
                                                    {"PAY_TAX2", 0},
                                                    {"SELLING_TAX1", vat ? 2 : 1},
                                                    {"SELLING_TAX2", 0},
                                                    {"STORAGE_TAX1", 1},
                                                    {"STORAGE_TAX2", 1}};
        for (const auto& [key, value] : keys)
            EXPECT_EQ(
                utl::SettingsFile::readInt(QStringLiteral("FISCAL_MARIYA"), QString::fromLatin1(key), -1),
                value)
                << key;
        fr.close();
    }
}

TEST_F(RegisterTest, FiscalLinesAddTheirTaxesAndCloseInCash) {
    connectWithSchemes();
    fr.beginCheck(QStringLiteral("01"));
    // 15 000.00 under an included 20 %: amount × rate passes 32 bits.
    fr.fiscalLine(QStringLiteral("ОСН.СУМА"), 1, 1500000, true, 1, 0, 3);
    EXPECT_EQ(fr.salesTax(), 250000);
    fr.fiscalLine(QStringLiteral("ВIДСОТКИ"), 1, 12000, true, 1, 0, 4);
    EXPECT_EQ(fr.salesTax(), 252000);
    fr.setReturnMode();
    // The Ukrainian І goes out as the Latin I; a long name is cut to 12 characters.
    fr.fiscalLine(QStringLiteral("ЗБЕРІГАННЯ ДОВГО"), 1, 600, true, 1, 0, 7);
    EXPECT_EQ(fr.returnsTotal(), 600);
    EXPECT_EQ(fr.returnsTax(), 100);
    EXPECT_EQ(fr.closeCheckCash(), (1512000 + 252000) - (600 + 100));
    const QStringList log = sim.log();
    ASSERT_EQ(log.size(), 7);
    EXPECT_TRUE(log[4].startsWith(QStringLiteral("BFISЗБЕРIГАННЯ ")));
    EXPECT_TRUE(sim.frames()[4].contains(hex("878185904983808D8D9F20")));
    EXPECT_EQ(log[5], QStringLiteral("COMP00015120000000000600") + QString(40, QLatin1Char('0')));
    EXPECT_EQ(log[6], QStringLiteral("KASS"));
}

// A number longer than its field used to go out cut to its first digits, a negative one with a "-";
// now the command is refused before anything of it is sent.
TEST_F(RegisterTest, NumbersThatDoNotFitAreRefusedBeforeAnythingIsSent) {
    connectWithSchemes();
    fr.beginCheck(QStringLiteral("01"));
    sim.clearLog();
    EXPECT_THROW(fr.fiscalLine(QStringLiteral("ОСН.СУМА"), 1, 1000000000, true, 1, 0, 3), core::Exception);
    EXPECT_THROW(fr.fiscalLine(QStringLiteral("ОСН.СУМА"), 1, -100, true, 1, 0, 3), core::Exception);
    EXPECT_EQ(fr.salesTotal(), 0);
    EXPECT_EQ(fr.salesTax(), 0);
    EXPECT_THROW(fr.closeCheckPayments(10000000000LL, 0, 0, 0), core::Exception);
    EXPECT_THROW(fr.printSluzhKassa(10000000000LL, false), core::Exception);
    EXPECT_TRUE(sim.log().isEmpty());
}

TEST_F(RegisterTest, ALineOnASchemeNotReadFromTheRegisterFails) {
    connect();
    try {
        fr.fiscalLine(QStringLiteral("x"), 1, 100, true, 1, 0, 1);
        ADD_FAILURE();
    } catch (const core::Exception& e) {
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral("Неизвестный тип налога\n\nFunc: nalogType2Code()")));
    }
    EXPECT_TRUE(sim.log().isEmpty());
}

// The date check used to compare with the date read at login: after midnight every receipt asked
// and a back-dated one passed. A connected register's date is read just before comparing.
TEST_F(RegisterTest, TheDateCheckReadsTheRegistersDateFirst) {
    connect();
    fr.readConfig();
    sim.setDate(QStringLiteral("20260316"));
    sim.clearLog();
    EXPECT_TRUE(fr.examCheckDate(core::DateTime::encode(2026, 3, 16)));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(sim.log(), QStringList{"CONf"});
    boxes.answers = {ui::ModalResult::No};
    EXPECT_FALSE(fr.examCheckDate(core::DateTime::encode(2026, 3, 15)));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Warning);
}

TEST_F(RegisterTest, TheFormsAreReachedThroughTheirHook) {
    fr.showSluzhIzyatie();
    fr.showSluzhVnesenie();
    fr.showReturnCheck();
    fr.showZReportPeriod();
    fr.showSettings();
    forms.passwords = {QStringLiteral("1")};
    EXPECT_EQ(fr.askPassword(), QStringLiteral("1"));
    EXPECT_THROW(fr.askPassword(), FRNoSignal);
    EXPECT_TRUE(fr.showPayment({FRLine{QStringLiteral("ВIДСОТКИ"), 15000, 4, 1, 0}}));
    EXPECT_EQ(forms.calls,
              (QStringList{"sluzh 1", "sluzh 0", "sluzh 2", "zperiod", "settings", "password", "password"}));
    EXPECT_EQ(forms.paymentLines.size(), 1u);
}

}  // namespace
