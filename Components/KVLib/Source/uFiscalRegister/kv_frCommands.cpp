// The register's commands: cashier registration, configuration, reports, service cash, programming,
// tax schemes, the fiscal line and the closing of a receipt. Every field is formed before its command
// goes out, so a refused value sends nothing.
#include "kv_Exception.h"
#include "kv_fiscalRegister.h"
#include "kv_frCommon.h"
#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"

namespace KassRegister {

using frcodec::numberField;
using frcodec::textField;

QString withPlace(const QString& text, const char* function) {
    return text + utl::placeTrailer(QString::fromLatin1(function), QStringLiteral("kv_fiscalRegister"), 0);
}
void fail(const char* key, const QString& defaultText, const char* function) {
    throw core::Exception(withPlace(frText(QString::fromLatin1(key), defaultText), function));
}

namespace {
QString nalogType2Code(quint8 type) {
    if (type > 2)
        fail("kv_fiscalRegister.nalogType2Code.Exception", QStringLiteral("Неизвестный тип налога"),
             "nalogType2Code");
    return QString::number(type);
}
}  // namespace

bool FRMariya::registerCashier(QString& password, const QString& cashier) {
    password = textField(password, 10);
    const QString number = textField(cashier, 4);
    while (true) {
        if (!connected_) return false;
        try {
            transact(QStringLiteral("UPAS") + password + number);
        } catch (const FRException& e) {
            if (!e.hasCode(QStringLiteral("SOFTUPAS"))) {
                ui::showError(e.message());
                return false;
            }
            const QString typed = askPassword();
            if (typed.isEmpty()) throw FRNoSignal(noSignalText(), this);
            password = textField(typed, 10);
            continue;
        }
        break;
    }
    initNalogsFromFR();
    readConfig();
    return true;
}

void FRMariya::readConfig() {
    for (int attempt = 0; attempt < 3; ++attempt) {
        transact(QStringLiteral("CONf"));
        const QString packet = findPacket(QStringLiteral("CONf"));
        if (!packet.isEmpty()) {
            conf_ = ConfInfo::parse(packet);
            return;
        }
    }
    throw FRNoSignal(noSignalText(), this);
}

void FRMariya::printNullCheck() {
    transact(QStringLiteral("NULL"));
}
void FRMariya::printXReport() {
    transact(QStringLiteral("ZREP"));
}
void FRMariya::execDIZV() {
    transact(QStringLiteral("DIZV"));
}
void FRMariya::execTMOD2() {
    transact(QStringLiteral("TMOD2"));
}
void FRMariya::execKASS() {
    transact(QStringLiteral("KASS"));
}
void FRMariya::printCheckCopy() {
    transact(QStringLiteral("COPY"));
}
void FRMariya::printPeriodicReportFull() {
    transact(QStringLiteral("IREP"));
}

void FRMariya::printZReport() {
    if (ui::askYesNo(frText(QStringLiteral("kv_fiscalRegister.FiscalRegister.printZReport.ConfirmMessage"),
                            QStringLiteral("Выполнить Z-отчет?"))))
        transact(QStringLiteral("NREP"));
}

void FRMariya::printPeriodicReportByDates(core::DateTime first, core::DateTime last) {
    const QString format = QStringLiteral("yyyyMMdd");
    transact(QStringLiteral("IREP") + first.toQDateTime().date().toString(format) +
             last.toQDateTime().date().toString(format));
}

void FRMariya::printPeriodicReportByNumbers(int first, int last) {
    transact(QStringLiteral("IREP") + numberField(first, 4) + numberField(last, 4));
}

void FRMariya::printSluzhKassa(qint64 sum, bool cashOut) {
    if (sum < 1)
        fail("kv_fiscalRegister.FRMariya.printSluzhKassa.Exception",
             QStringLiteral("Сумма меньше или равна 0"), "FRMariya::printSluzhKassa");
    const QString command =
        (cashOut ? QStringLiteral("CAIOO") : QStringLiteral("CAIOI")) + numberField(sum, 10);
    transact(command);
    execKASS();
}

void FRMariya::fiscalSetReturn(int receiptNumber) {
    if (receiptNumber < 1)
        throw core::Exception(frText(QStringLiteral("kv_fiscalRegister.FRMariya.fiscalSetReturn.Exception"),
                                     QStringLiteral("Номер по возвр. чеку <=0")));
    transact(QStringLiteral("BCHN") + QString::number(receiptNumber));
}

void FRMariya::beginCheck(const QString& kind) {
    // A receipt left open (a payment window closed without a choice) is dropped first.
    cancelCheck();
    returnMode_ = false;
    salesTotal_ = returnsTotal_ = salesTax_ = returnsTax_ = 0;
    transact(QStringLiteral("PREP") + textField(kind, 2));
}

void FRMariya::beginReturnCheck(const QString& kind) {
    beginCheck(kind);
    returnMode_ = true;
}

void FRMariya::printInfoLine(const QString& text) {
    transact(QStringLiteral("FINF") + text.left(54));
}

void FRMariya::cancelCheck() {
    if (connected_) transact(QStringLiteral("CANC"));
}

void FRMariya::progrValyta(int decimals, const QString& name) {
    if (decimals < 0 || decimals > 4)
        fail("kv_fiscalRegister.FRMariya.progrValyta.Exception",
             QStringLiteral("Некорректное число знаков после запятой\nоно должно быть в диапазоне (0;3]"),
             "FRMariya::progrValyta");
    transact(QStringLiteral("MMON") + QString::number(decimals) + textField(name, 3));
}

void FRMariya::progrZagolovok(const QString& text) {
    QString header = text;
    if (header.size() > 18) {
        ui::showError(frText(QStringLiteral("kv_fiscalRegister.FRMariya.progrZagolovok.Message"),
                             QStringLiteral("Заголовок > 18 символов, уменьшаем до 18")));
        header = header.left(18);
    }
    transact(QStringLiteral("HEAD") + header);
}

void FRMariya::progrLastStr(const QString& text) {
    if (text.size() > 18)
        fail("kv_fiscalRegister.FRMariya.progrLastStr.Exception",
             QStringLiteral("Длина сообщения должна быть не больше 18 символов"), "FRMariya::progrLastStr");
    transact(QStringLiteral("BOTM") + text);
}

void FRMariya::progrTime(const QString& hhmmss) {
    transact(QStringLiteral("CTIM") + textField(hhmmss, 6));
}

void FRMariya::setTaxCalcMode(bool on) {
    transact(on ? QStringLiteral("PPMD") : QStringLiteral("PPMD1"));
}
void FRMariya::setTaxPrintMode(bool on) {
    transact(on ? QStringLiteral("PPOD1") : QStringLiteral("PPOD"));
}
void FRMariya::setAutoCashAccounting(bool on) {
    transact(on ? QStringLiteral("CPRT1") : QStringLiteral("CPRT"));
}

void FRMariya::progrRegInfo(const QString&, const QString&, const QString&, const QString&, const QString&) {
    throw core::Exception(withPlace(
        QStringLiteral("Эту функцию из нашей программы вызвать нельзя, т.к. установкой параметров владельца "
                       "\nФР занимаются специализированные сервисные центры"),
        "FRMariya::progrRegInfo"));
}

// ---- tax schemes

QString FRMariya::nalogCodeByIndx(int index) const {
    if (index < 1 || index > getNalogSchemeCount())
        throw core::Exception(
            withPlace(frText(QStringLiteral("kv_fiscalRegister.FRMariya.nalogCodeByIndx.Exception"),
                             QStringLiteral("Индекс налога должен быть в пределах от 1 до ")) +
                          QString::number(getNalogSchemeCount()),
                      "FRMariya::nalogCodeByIndx"));
    return QString(QChar(0x0410 + index - 1));
}

NalogsSettings FRMariya::getNalog(int index) const {
    if (index == 0) return NalogsSettings{QString(), 255, 0};
    if (index < 0 || index > getNalogSchemeCount())
        throw core::Exception(
            withPlace(frText(QStringLiteral("kv_fiscalRegister.FiscalRegister.getNalog.Exception"),
                             QStringLiteral("Некорректный индекс налога: ")) +
                          QString::number(index),
                      "FiscalRegister::getNalog"));
    return nalogs_[std::size_t(index - 1)];
}

void FRMariya::setNalog(int index, quint8 type, qint32 rate) {
    if (index < 1 || index > getNalogSchemeCount()) return;
    nalogs_[std::size_t(index - 1)].type = type;
    nalogs_[std::size_t(index - 1)].rate = rate;
}

std::vector<NalogsSettings> FRMariya::getNalogsFromFR() {
    static const QString layout = QStringLiteral("yyyymmddITpppp");
    transact(QStringLiteral("CNAL"));
    const QString packet = findPacket(QStringLiteral("CNAL"));
    const int expected = 8 * int(layout.size()) + 4;
    if (packet.size() != expected)
        throw core::Exception(
            withPlace(frText(QStringLiteral("kv_fiscalRegister.FRMariya.getNalogsFromFR.Exception1_1"),
                             QStringLiteral(" Длина пакета ")) +
                          QString::number(packet.size()) +
                          frText(QStringLiteral("kv_fiscalRegister.FRMariya.getNalogsFromFR.Exception1_2"),
                                 QStringLiteral(" не равна ожидаемой длине ")) +
                          QString::number(expected),
                      "FRMariya::getNalogsFromFR"));
    std::vector<NalogsSettings> schemes;
    for (int i = 0; i < 8; ++i) {
        const QString record = packet.mid(4 + i * 14, 14);
        NalogsSettings scheme;
        scheme.text = record.left(8);
        scheme.type = quint8(record.mid(9, 1).toUInt());
        scheme.rate = record.mid(10, 4).toInt();
        schemes.push_back(scheme);
    }
    return schemes;
}

void FRMariya::initNalogsFromFR() {
    const std::vector<NalogsSettings> schemes = getNalogsFromFR();
    if (int(schemes.size()) != getNalogSchemeCount())
        throw core::Exception(withPlace(
            frText(QStringLiteral("kv_fiscalRegister.FiscalRegister.initNalogsFromFR.Exception1_1"),
                   QStringLiteral("Неверное количество налоговых схем\n")) +
                frText(QStringLiteral("kv_fiscalRegister.FiscalRegister.initNalogsFromFR.Exception1_2"),
                       QStringLiteral("Ожидалось - ")) +
                QString::number(getNalogSchemeCount()) + QLatin1Char('\n') +
                frText(QStringLiteral("kv_fiscalRegister.FiscalRegister.initNalogsFromFR.Exception1_3"),
                       QStringLiteral("Получили - ")) +
                QString::number(schemes.size()),
            "FiscalRegister::initNalogsFromFR"));
    nalogs_ = schemes;
}

void FRMariya::progrOneNalogScheme(int index, quint8 type, qint32 rate) {
    const QString letter = nalogCodeByIndx(index);
    if (rate < 0 || rate > 9999)
        fail("kv_fiscalRegister.FRMariya.progrOneNalogScheme.Exception",
             QStringLiteral("Неверная ставка налога\nставка должна быть в пределах [0; 9999)"),
             "FRMariya::progrOneNalogScheme");
    const QString typeCode = nalogType2Code(type);
    transact(QStringLiteral("NALG") + letter + typeCode + numberField(rate, 4));
    setNalog(index, type, rate);
}

void FRMariya::progrNalogName(int index, const QString& name) {
    transact(QStringLiteral("NNAM") + nalogCodeByIndx(index) + textField(name, 5));
}

void FRMariya::progrNalogsToFR() {
    const std::vector<NalogsSettings> device = getNalogsFromFR();
    for (int i = 1; i <= getNalogSchemeCount(); ++i) {
        const NalogsSettings mine = getNalog(i);
        if (!(mine == device[std::size_t(i - 1)])) progrOneNalogScheme(i, mine.type, mine.rate);
    }
}

void FRMariya::setDefaultTaxes(bool vatPayer) {
    progrNalogName(1, QStringLiteral("ПДВ"));
    setNalog(1, 0, 2000);
    progrNalogName(2, QStringLiteral("ПДВ"));
    setNalog(2, 1, 2000);
    progrNalogsToFR();
    const std::pair<const char*, int> keys[] = {{"CREDIT_TAX1", 1},
                                                {"CREDIT_TAX2", 0},
                                                {"PAY_TAX1", 1},
                                                {"PAY_TAX2", 0},
                                                {"SELLING_TAX1", vatPayer ? 2 : 1},
                                                {"SELLING_TAX2", 0},
                                                {"STORAGE_TAX1", 1},
                                                {"STORAGE_TAX2", 1}};
    for (const auto& [key, value] : keys)
        utl::SettingsFile::writeInt(frSection(), QString::fromLatin1(key), value);
    execTMOD2();
    setTaxCalcMode(true);
    setTaxPrintMode(true);
    setAutoCashAccounting(false);
}

std::pair<int, int> FRMariya::taxes2Operation(int kind) const {
    static const char* const names[] = {"CREDIT", "PAY", "SELLING", "STORAGE"};
    if (kind < 1 || kind > 4)
        fail("kv_fiscalRegister.FRMariya.taxes2Operation.Exception",
             QStringLiteral("Неизвестный тип операции"), "FRMariya::taxes2Operation");
    const QString base = QString::fromLatin1(names[kind - 1]);
    return {utl::SettingsFile::readInt(frSection(), base + QStringLiteral("_TAX1"), 0),
            utl::SettingsFile::readInt(frSection(), base + QStringLiteral("_TAX2"), 0)};
}

// ---- the fiscal line and the closing

void FRMariya::fiscalLine(const QString& name, qint32 quantity, qint64 price, bool divisible, int taxA,
                          int taxB, int article) {
    if (article < 0 || article > 2000)
        fail("kv_fiscalRegister.FRMariya.fiscalLine.Exception",
             QStringLiteral("Артикул должен быть в пределах [0; 2000]"), "FRMariya::fiscalLine");
    // 64 bits: an amount times a rate overflows 32 bits from about a hundred thousand in hundredths.
    const qint64 amount = qint64(quantity) * price;
    QString taxes;
    qint64 tax = 0;
    for (int i = 1; i <= getNalogSchemeCount(); ++i) {
        if (i != taxA && i != taxB) {
            taxes += QStringLiteral("000000");
            continue;
        }
        const NalogsSettings scheme = getNalog(i);
        // One at a time: the type's check speaks first for a scheme not read from the register.
        const QString typeCode = nalogType2Code(scheme.type);
        taxes += nalogCodeByIndx(i) + typeCode + numberField(scheme.rate, 4);
        if (scheme.type == 0) tax += amount * scheme.rate / (scheme.rate + 10000);
    }
    const QString command = (returnMode_ ? QStringLiteral("BFIS") : QStringLiteral("FISC")) +
                            textField(name, 12) + numberField(amount, 9) + numberField(price, 9) +
                            numberField(quantity == 1 ? 0 : quantity, 5) +
                            (divisible ? QStringLiteral("1") : QStringLiteral("0")) + QStringLiteral("0") +
                            taxes + numberField(article, 4);
    if (returnMode_) {
        returnsTotal_ += amount;
        returnsTax_ += tax;
    } else {
        salesTotal_ += amount;
        salesTax_ += tax;
    }
    transact(command);
}

qint64 FRMariya::closeCheckPayments(qint64 a, qint64 b, qint64 c, qint64 d) {
    const QString command = QStringLiteral("COMP") + numberField(salesTotal_, 10) +
                            numberField(returnsTotal_, 10) + numberField(d, 10) + numberField(b, 10) +
                            numberField(c, 10) + numberField(a, 10);
    transact(command);
    execKASS();
    return (salesTotal_ + salesTax_) - (returnsTotal_ + returnsTax_);
}

qint64 FRMariya::closeCheckCash() {
    const QString command = QStringLiteral("COMP") + numberField(salesTotal_, 10) +
                            numberField(returnsTotal_, 10) + QString(40, QLatin1Char('0'));
    transact(command);
    execKASS();
    return (salesTotal_ + salesTax_) - (returnsTotal_ + returnsTax_);
}

}  // namespace KassRegister
