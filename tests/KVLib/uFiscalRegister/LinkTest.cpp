// The serial link against the register simulator: connecting, replies cut into packets, device
// errors, silence, and the faults of the link mended.
#include "RegisterFixture.h"

namespace {

using namespace KassRegister;
using frsim::Script;
using frtest::RegisterTest;

const QString kNoSignal = QStringLiteral("Нет сигнала от Фиск. регистратора");
const QString kNoise = QStringLiteral("Ошибка приема данных\nПакет данных должен начинаться с э");

TEST_F(RegisterTest, OpenSendsThreeSyncCharactersAndSyncOnce) {
    fr.open();
    EXPECT_TRUE(fr.isConnected());
    EXPECT_EQ(sim.log(), (QStringList{"U", "U", "U", "SYNC"}));
    ASSERT_EQ(sim.frames().size(), 1u);
    EXPECT_EQ(sim.frames()[0], frtest::hex("FD53594E4305FE"));
    // Open again does nothing; checkConnection synchronises once more.
    fr.open();
    EXPECT_TRUE(fr.checkConnection());
    EXPECT_EQ(sim.log().size(), 5);
    EXPECT_EQ(sim.badLengths(), 0);
    fr.close();
    EXPECT_FALSE(fr.isConnected());
    EXPECT_FALSE(fr.checkConnection());
}

TEST_F(RegisterTest, TheAnswerNotificationHearsEachCompleteReply) {
    int replies = 0;
    auto made = FiscalRegister::scCreateFR(0, [&](PacketParser& parser) {
        ++replies;
        EXPECT_EQ(parser.packets().last(), QStringLiteral("READY"));
    });
    auto& reg = dynamic_cast<FRMariya&>(*made);
    reg.setTimeOut(100);
    reg.setComPortName(sim.path());
    QString password = QStringLiteral("1");
    EXPECT_FALSE(reg.registerCashier(password, QStringLiteral("7")));  // not connected: nothing sent
    EXPECT_TRUE(sim.log().isEmpty());
    reg.open();
    reg.printNullCheck();
    EXPECT_EQ(replies, 2);
}

TEST_F(RegisterTest, AMissingPortIsNoSignalWithThePortsText) {
    fr.setComPortName(QStringLiteral("/dev/no-such-register"));
    try {
        fr.open();
        FAIL();
    } catch (const FRNoSignal& e) {
        EXPECT_TRUE(
            e.message().startsWith(kNoSignal + QStringLiteral("\nошибка при подключении к COM-порту:\n\n")));
        EXPECT_GT(e.message().size(), 80);
        EXPECT_EQ(e.getRegister(), &fr);
    }
    EXPECT_FALSE(fr.isConnected());
}

TEST_F(RegisterTest, ASilentRegisterIsNoSignalAfterItsAttemptsAndTheCommandIsNotResent) {
    connect();
    cursor.pushes = 0;
    sim.script(QStringLiteral("NULL"), Script{.silent = true});
    try {
        fr.printNullCheck();
        FAIL();
    } catch (const FRNoSignal& e) {
        EXPECT_EQ(e.message(), kNoSignal);
    }
    EXPECT_EQ(sim.log(), QStringList{"NULL"});
    EXPECT_EQ(cursor.pushes, 1);
}

TEST_F(RegisterTest, RepliesOfSeveralBlocksWholeOrByteByByte) {
    connect();
    QStringList seen;
    fr.onPacket = [&](const QString& p) { seen << p; };
    for (bool single : {false, true}) {
        seen.clear();
        sim.script(QStringLiteral("NULL"), Script{.packets = {"ABC"}, .byteByByte = single});
        fr.printNullCheck();
        EXPECT_EQ(seen, (QStringList{"ABC", "READY"})) << single;
        EXPECT_EQ(fr.findPacket(QStringLiteral("ABC")), QStringLiteral("ABC"));
        EXPECT_TRUE(fr.findPacket(QStringLiteral("CNAL")).isEmpty());
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(RegisterTest, DeviceErrorsInCodeOrderEachOnceUnknownCodesShownShutdownNoError) {
    connect();
    const QString head = QStringLiteral("Фискальный регистратор \n");
    struct Case {
        QStringList packets;
        QString message;  // empty: no error
    };
    const std::vector<Case> cases{
        {{"SOFTUPAS", "SOFTNREP"},
         head + "\nТребуется выполнить Z- отчет\nТребуется парольный вход и регистрация кассира "},
        {{"HARDPAPER", "HARDPAPER"}, head + "\nОтсутствует чековая или/и контрольная лента"},
        {{"SOFTWHATEVER"}, head + "\nSOFTWHATEVER"},
        {{"SHUTDOWN"}, {}},
    };
    for (const Case& c : cases) {
        sim.script(QStringLiteral("ZREP"), Script{.packets = c.packets});
        if (c.message.isEmpty()) {
            EXPECT_NO_THROW(fr.printXReport());
            continue;
        }
        try {
            fr.printXReport();
            ADD_FAILURE() << c.packets.join(',').toStdString();
        } catch (const FRException& e) {
            EXPECT_EQ(e.message(), c.message);
            EXPECT_EQ(e.hasCode(c.packets[0]), true);
        }
    }
    EXPECT_EQ(fr.errorTable().at(QStringLiteral("SOFTDIFART")).left(26),
              QStringLiteral("В текущем дне были изменен"));
}

// A reply cut short or without READY used to leave the parser receiving: the next command went out,
// ran, and was reported failed. Now the wait gives up at once with a warning, the parser starts
// afresh, and the next command is answered as its own; nothing is sent twice.
TEST_F(RegisterTest, AReplyThatDoesNotCompleteIsReportedAndTheNextCommandIsItsOwn) {
    connect();
    const QString text =
        kNoSignal + QStringLiteral(
                        "\nОтвет регистратора прерван: команда могла быть выполнена. Проверьте "
                        "чек, прежде чем повторять.");
    for (const Script& broken : {Script{.cut = true}, Script{.packets = {"ABC"}, .noReady = true}}) {
        sim.clearLog();
        sim.script(QStringLiteral("NULL"), broken);
        try {
            fr.printNullCheck();
            ADD_FAILURE();
        } catch (const FRNoSignal& e) {
            EXPECT_EQ(e.message(), text);
        }
        EXPECT_NO_THROW(fr.printXReport());
        EXPECT_EQ(sim.log(), (QStringList{"NULL", "ZREP"}));
    }
}

// Stray bytes before a block (an echoed sync character among them) used to swallow the end marker,
// and the box opened inside the receive handler re-entered the parser. Now the stray bytes are
// dropped, the reply is read, and the box shows once after the wait.
TEST_F(RegisterTest, StrayBytesBeforeTheReplyAreDroppedAndShownOnceAfterTheWait) {
    connect();
    for (const QByteArray& stray : {QByteArray("U"),
                                    QByteArray("xy\xFE"
                                               "z"),
                                    QByteArray("ab")}) {
        boxes.shown.clear();
        sim.script(QStringLiteral("CNAL"), Script{.before = stray, .byteByByte = stray == "ab"});
        EXPECT_EQ(fr.getNalogsFromFR().size(), 8u) << stray.toStdString();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, kNoise);
    }
}

// A byte after the READY block used to keep the reply open until the wait ran out.
TEST_F(RegisterTest, TheReplyEndsAtReadyAndWhatFollowsIsDropped) {
    connect();
    sim.script(QStringLiteral("NULL"), Script{.after = "Z"});
    fr.printNullCheck();
    sim.script(QStringLiteral("ZREP"), Script{.after = QByteArray("\xFDSOFTNREP\x09\xFE", 11)});
    fr.printXReport();
    EXPECT_NO_THROW(fr.execDIZV());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(sim.log(), (QStringList{"NULL", "ZREP", "DIZV"}));
}

// A command called while another waits is refused: no second command goes out under a pending one.
TEST_F(RegisterTest, ACommandDuringAWaitIsRefused) {
    connect();
    QString refused;
    fr.onPacket = [&](const QString&) {
        try {
            fr.execDIZV();
        } catch (const core::Exception& e) {
            refused = e.message();
        }
    };
    fr.printNullCheck();
    EXPECT_EQ(refused, QStringLiteral("Фискальный регистратор занят: предыдущая команда ещё выполняется"));
    EXPECT_EQ(sim.log(), QStringList{"NULL"});
}

}  // namespace
