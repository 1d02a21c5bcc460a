#include "kv_fiscalRegister.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QThread>
#include <algorithm>
#include <array>

#include "TPasswordEncryptDecrypt.h"
#include "kv_Exception.h"
#include "kv_Translator.h"
#include "kv_frCommon.h"
#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/serial/SerialPort.h"

namespace KassRegister {

QString frText(const QString& key, const QString& defaultText) {
    return KVLibTranslator::instance().translate(key, defaultText);
}

QString NalogsSettings::toStr() const {
    return QStringLiteral("%1 %2 %3").arg(text).arg(type).arg(rate);
}

namespace {
constexpr std::array<int, 19> kConfWidths{10, 10, 36, 8, 6, 1, 1, 1, 4, 1, 12, 12, 4, 4, 8, 18, 8, 1, 3};
constexpr std::array<bool, 19> kConfNumber{false, false, false, false, false, true,  true,  true, false, true,
                                           false, true,  false, false, false, false, false, true, false};
}  // namespace

ConfInfo ConfInfo::parse(const QString& packet) {
    ConfInfo conf;
    int pos = 4;
    for (std::size_t i = 0; i < kConfWidths.size(); ++i) {
        const QString field = packet.mid(pos, kConfWidths[i]);
        pos += kConfWidths[i];
        if (!kConfNumber[i]) {
            conf.texts << field;
            continue;
        }
        bool ok = false;
        const qint64 value = field.trimmed().toLongLong(&ok);
        if (!ok) throw core::Exception(QStringLiteral("'%1' is not a valid integer value").arg(field));
        conf.numbers.push_back(value);
    }
    return conf;
}

QString ConfInfo::dateText() const {
    return texts.size() > 3 ? texts[3] : QString();
}
QString ConfInfo::header() const {
    return texts.size() > 10 ? texts[10] : QString();
}
int ConfInfo::currencyDecimals() const {
    return numbers.size() > 5 ? int(numbers[5]) : 0;
}
QString ConfInfo::currencyName() const {
    return texts.size() > 12 ? texts[12] : QString();
}

core::DateTime ConfInfo::getDate() const {
    const QDate date = QDate::fromString(dateText(), QStringLiteral("yyyyMMdd"));
    return date.isValid() ? core::DateTime::fromDate(date) : core::DateTime();
}

FRException::FRException(std::set<QString> codes, const std::map<QString, QString>& table,
                         FiscalRegister* reg)
    : FRExceptionBase(QString(), reg), codes_(std::move(codes)) {
    QString text = frText(QStringLiteral("kv_fiscalRegister.FRException.createMessage"),
                          QStringLiteral("Фискальный регистратор \n"));
    for (const QString& code : codes_) {
        const auto it = table.find(code);
        text += QLatin1Char('\n') + (it != table.end() ? it->second : code);
    }
    setMessage(text);
}

std::unique_ptr<FiscalRegister> FiscalRegister::scCreateFR(int type, AnswerNotify notify) {
    if (type != 0)
        throw core::Exception(frText(QStringLiteral("kv_fiscalRegister.FiscalRegister.scCreateFR.Exception"),
                                     QStringLiteral("Неизвестный тип фискального регистратора")));
    return std::make_unique<FRMariya>(std::move(notify));
}

QString FiscalRegister::scCryptPassword(const QString& text, bool encrypt) {
    static const QString key = QStringLiteral("QWNhum57t8163e");
    TPasswordEncryptDecrypt cipher;
    return encrypt ? cipher.encrypt(text, key) : cipher.decrypt(text, key);
}

namespace {
FRDialogs* gDialogs = nullptr;
}

void FiscalRegister::setDialogs(FRDialogs* dialogs) {
    gDialogs = dialogs;
}
FRDialogs* FiscalRegister::dialogs() {
    return gDialogs;
}

bool FiscalRegister::examCheckDate(core::DateTime date) {
    if (isConnected()) readConfig();
    if (date == getDate()) return true;
    const QString text =
        frText(QStringLiteral("kv_fiscalRegister.FiscalRegister.examCheckDate.Message"),
               QStringLiteral("Введенная дата не совпадает с текущей датой\nФискальный чек будет напечатан с "
                              "сегодняшней датой.\n\nПечатать чек?"));
    return ui::askYesNo(text, QString(), ui::MsgType::Warning);
}

// ---- coding

namespace frcodec {

namespace {
const std::map<QChar, char>& cp866Table() {
    static const std::map<QChar, char> table = [] {
        std::map<QChar, char> t;
        QStringDecoder decoder("IBM866");
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QByteArray byte(1, char(b));
            const QString ch = decoder.decode(byte);
            if (ch.size() == 1) t.emplace(ch[0], char(b));
        }
        return t;
    }();
    return table;
}
}  // namespace

QByteArray encode(const QString& text) {
    const auto& table = cp866Table();
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        // The code page lacks the Ukrainian І and Ґ; the device prints them as the nearest letters.
        if (ch == QChar(0x0406))
            ch = QLatin1Char('I');
        else if (ch == QChar(0x0456))
            ch = QLatin1Char('i');
        else if (ch == QChar(0x0490))
            ch = QChar(0x0413);
        else if (ch == QChar(0x0491))
            ch = QChar(0x0433);
        if (ch.unicode() < 0x80) {
            out += char(ch.unicode());
            continue;
        }
        const auto it = table.find(ch);
        out += it != table.end() ? it->second : '?';
    }
    return out;
}

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder("IBM866");
    return decoder.decode(bytes);
}

QByteArray frame(const QString& text) {
    const QByteArray body = encode(text);
    QByteArray out;
    out += char(0xFD);
    out += body;
    out += char((body.size() + 1) & 0xFF);
    out += char(0xFE);
    return out;
}

QString textField(const QString& text, int width) {
    return text.left(width).leftJustified(width, QLatin1Char(' '));
}

QString numberField(qint64 value, int width) {
    const QString digits = QString::number(value);
    if (value < 0 || digits.size() > width)
        throw core::Exception(frText(QStringLiteral("kv_fiscalRegister.numberField.Exception"),
                                     QStringLiteral("Число %1 не помещается в поле регистратора из %2 цифр"))
                                  .arg(value)
                                  .arg(width));
    return digits.rightJustified(width, QLatin1Char('0'));
}

}  // namespace frcodec

// ---- the model

FRMariya::FRMariya(AnswerNotify notify)
    : parser_(std::make_unique<PacketParser>(settings_)),
      nalogs_(8),
      port_(std::make_unique<serial::Port>()) {
    parser_->onAnswer = std::move(notify);
    parser_->onPacket = [this](const QString& packet) {
        if (onPacket) onPacket(packet);
    };
    port_->setReceiver([this](const QByteArray& bytes) { parser_->inputBytes(bytes); });
    fillErrors();
}

FRMariya::~FRMariya() {
    try {
        close();
    } catch (...) {
        // A destructor must not throw; the port closes with its owner in any case.
    }
}

void FRMariya::fillErrors() {
    static const std::array<std::pair<const char*, const char*>, 34> rows{{
        {"SOFTBLOCK",
         "После символа начала блока принято более 253 символа либо неверен контрольный символ "
         "<длина> блока"},
        {"SOFTNREP", "Требуется выполнить Z- отчет"},
        {"SOFTSYSLOCK", "Недопустимое положение системного ключа - ОТКЛЮЧЕН"},
        {"SOFTCOMMAN", "Неизвестная команда"},
        {"SOFTPROTOC", "Команда не соответствует протоколу создания документов"},
        {"SOFTZREPOR", "Z- отчет не сформирован из-за ошибок или аварии"},
        {"SOFTFMFULL", "Переполнение фискальной памяти"},
        {"SOFTPARAM", "Тип, количество или значение параметров команды неверно"},
        {"SOFTUPAS", "Требуется парольный вход и регистрация кассира "},
        {"SOFTCHECK",
         "Не выполнены соотношения между параметрами команды или их значения не равны расчетным"},
        {"SOFTSLWORK", "Требуется положение системного ключа РАБОТА"},
        {"SOFTSLPROG", "Требуется положение системного ключа ПРОГРАММИРОВАНИЕ"},
        {"SOFTSLZREP", "Требуется положение системного ключа X-ОТЧЕТ"},
        {"SOFTSLNREP", "Требуется положение системного ключа Z-ОТЧЕТ"},
        {"SOFTREPL", "Программируемое значение уже есть в Фиск. памяти"},
        {"SOFTREGIST", "В фиск. памяти фиск.регистратора не обнаружена регистрационная информация"},
        {"SOFTOVER", "Превышение разрядности чисел при выполнении математических операций "},
        {"SOFTNEED",
         "Недопустимый отрицательный результат операции вычитания при корректировке исходящего "
         "остатка средств в кассе в операциях ‘CAIO’ или ‘COMP’"},
        {"SOFTFMTEST", "Обнаружено искажение основных фискальных реквизитов, записанных в ФП"},
        {"SOFTOPTEST", "Обнаружено искажение данных в блоке ОП с дневными фискальными данными"},
        {"SOFT24HOUR", "Работа продолжается более 24-х часов"},
        {"SOFTBADART",
         "Задан неверный номер артикула (не из диапазона 1-2000, либо обращение к не "
         "активизированному артикулу)"},
        {"SOFTCOPY", "Переполнение буфера копирования "},
        {"SOFTOVART", "Превышено максимальное количество команд ‘FISC’ с параметром <п15> (больше 100)"},
        {"SOFTBADDISC", "Сума скидки больше суммы оборота по соответствующей товарной позиции"},
        {"SOFFPOSNO", "Задан неверный номер фискальной позиции (в команде ‘DISC’)"},
        {"HARDPAPER", "Отсутствует чековая или/и контрольная лента"},
        {"HARDSENSOR",
         "Сигнал датчика крайнего положения печатающей головки не обнаружен в течении "
         "контрольного времени"},
        {"HARDPOINT", "Сигнал позиционера печатающей головки не обнаружен в течении контрольного времени"},
        {"HARDTXD", "Ошибки канала связи: контроль по четности"},
        {"HARDTIMER", "Ошибки обработки данных системных часов реального времени "},
        {"HARDMEMORY", "Ошибки контроля данных в фискальной памяти"},
        {"HARDLCD", "Неисправность дисплея"},
        {"SHUTDOWN",
         "Аппарат блокирован по техническим причинам: сбой системных часов, ошибки фискальной "
         "памяти."},
    }};
    const QString prefix = QStringLiteral("kv_fiscalRegister.FRMariya.");
    for (const auto& [code, text] : rows) {
        const QString c = QString::fromLatin1(code);
        errors_[c] = frText(prefix + c, QString::fromUtf8(text));
    }
    errors_[QStringLiteral("SOFTDIFART")] =
        frText(prefix + QStringLiteral("SOFTDIFART2"),
               QStringLiteral("В текущем дне были изменены типы налогов для услуг ломбарда. Изменение типов "
                              "налогов можно применять только с нового дня.\n\nТекст ошибки фискального "
                              "регистратора:\n")) +
        frText(prefix + QStringLiteral("SOFTDIFART"),
               QStringLiteral("Обнаружено изменение наименования или схем налогообложения или признака "
                              "делимости товара в команде ‘FISC’, использующей активизированный номер "
                              "артикула"));
}

void FRMariya::setTimeOut(int ms) {
    if (ms <= 0)
        throw core::Exception(
            frText(QStringLiteral("kv_fiscalRegister.FRMariya.setTimeOut.Exception"),
                   QStringLiteral("Время ожидания ответа регистратора должно быть больше 0: ")) +
            QString::number(ms));
    timeout_ = ms;
}

QString FRMariya::startPortName() {
    const QString name = utl::SettingsFile::readString(QStringLiteral("FISCAL_MARIYA"),
                                                       QStringLiteral("FRComPort"), QStringLiteral("COM1"));
    bool isNumber = false;
    const int n = name.trimmed().toInt(&isNumber);
    return isNumber ? QStringLiteral("COM%1").arg(n + 1) : name;
}

int FRMariya::startTimeout() {
    // The settings dialog offers 100 to 8000 ms; a value edited by hand outside it would never wait or
    // never give up.
    const int t =
        utl::SettingsFile::readInt(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRTimeOut"), 2000);
    return std::clamp(t, 100, 8000);
}

QString FRMariya::portPath(const QString& name) {
    if (name.startsWith(QLatin1Char('/'))) return name;
    if (name.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int n = name.mid(3).toInt(&ok);
        if (ok && n >= 1)
            return utl::SettingsFile::readString(QStringLiteral("SERIAL_PORTS"), name.toUpper(),
                                                 QStringLiteral("/dev/ttyS%1").arg(n - 1));
    }
    return name;
}

void FRMariya::openFromSettings() {
    if (connected_) return;
    setComPortName(startPortName());
    setTimeOut(startTimeout());
    open();
}

bool FRMariya::start(const QString& cashier) {
    openFromSettings();
    const QString stored =
        utl::SettingsFile::readString(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRSSP"),
                                      scCryptPassword(QStringLiteral("4072958316"), true));
    QString password = scCryptPassword(stored, false);
    if (!registerCashier(password, cashier)) return false;
    utl::SettingsFile::writeString(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRSSP"),
                                   scCryptPassword(password, true));
    return true;
}

// ---- the forms

namespace {
FRDialogs& formsOf(const char* operation) {
    if (!gDialogs)
        throw core::Exception(frText(QStringLiteral("kv_fiscalRegister.FiscalRegister.dialogs.Exception"),
                                     QStringLiteral("Окна фискального регистратора не подключены: ")) +
                              QString::fromLatin1(operation));
    return *gDialogs;
}
}  // namespace

void FRMariya::showSluzhIzyatie() {
    formsOf("showSluzhIzyatie").showSluzh(*this, 1);
}
void FRMariya::showSluzhVnesenie() {
    formsOf("showSluzhVnesenie").showSluzh(*this, 0);
}
void FRMariya::showReturnCheck() {
    formsOf("showReturnCheck").showSluzh(*this, 2);
}
void FRMariya::showZReportPeriod() {
    formsOf("showZReportPeriod").showZReportPeriod(*this);
}
void FRMariya::showSettings() {
    formsOf("showSettings").showSettings(*this);
}

QString FRMariya::askPassword() {
    const std::optional<QString> typed = formsOf("askPassword").askPassword(*this);
    if (!typed) throw FRNoSignal(noSignalText(), this);
    return *typed;
}

bool FRMariya::showPayment(const Lines& lines) {
    return formsOf("showPayment").showPayment(*this, lines);
}

}  // namespace KassRegister
