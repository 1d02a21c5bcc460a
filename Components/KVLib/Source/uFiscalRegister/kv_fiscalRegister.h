#pragma once
// The fiscal cash register as its callers see it (FiscalRegister), and the driver of the one register
// model on a serial port (FRMariya): the link and framing, the device commands, reports, programming,
// tax schemes, the fiscal line and the closing of a receipt.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/core/DateTime.h"
#include "platform/core/Exception.h"

namespace serial {
class Port;
}

namespace KassRegister {

class FiscalRegister;
class PacketParser;

// A tax scheme of the register. Two schemes are equal when type and rate are equal.
struct NalogsSettings {
    QString text;       // 8 characters as the device reports them (a date yyyymmdd)
    quint8 type = 255;  // 0 included, 1 imposed added, 2 imposed subtracted, 255 no scheme
    qint32 rate = -1;   // hundredths of a percent

    bool operator==(const NalogsSettings& other) const { return type == other.type && rate == other.rate; }
    QString toStr() const;
};

// The device's configuration record, as the reply to "CONf" lays it out.
struct ConfInfo {
    QStringList texts;               // the 13 text fields in their order, blanks kept
    std::vector<qint64> numbers;     // the 6 integer fields in their order
    QString dateText() const;        // field 4, yyyymmdd
    QString header() const;          // field 16
    int currencyDecimals() const;    // field 18
    QString currencyName() const;    // field 19
    core::DateTime getDate() const;  // the date of field 4, no time of day; 0 when not read

    static ConfInfo parse(const QString& packet);
};

// Exceptions of the register; each keeps the register that raised it.
class FRExceptionBase : public core::Exception {
public:
    FRExceptionBase(QString message, FiscalRegister* reg) : core::Exception(std::move(message)), reg_(reg) {}
    FiscalRegister* getRegister() const { return reg_; }

private:
    FiscalRegister* reg_;
};

// The device did not answer, its reply broke off, or the port failed.
class FRNoSignal : public FRExceptionBase {
public:
    using FRExceptionBase::FRExceptionBase;
};

// The device answered with error codes.
class FRException : public FRExceptionBase {
public:
    FRException(std::set<QString> codes, const std::map<QString, QString>& table, FiscalRegister* reg);
    bool hasCode(const QString& code) const { return codes_.count(code) > 0; }
    const std::set<QString>& codes() const { return codes_; }

private:
    std::set<QString> codes_;
};

struct ComPortSettings {
    QString portName;
    qint32 baudRate = 57600;
    int dataBits = 8;
    int stopBits = 2;
    bool parityEven = true;
    bool parityCheck = true;
    QByteArray syncText = "U";
    char blockStart = char(0xFD);
    char blockEnd = char(0xFE);
    QString endOfReply = QStringLiteral("READY");
};

// One receipt line. The sum is positive when the client pays it and negative when it is paid out.
struct FRLine {
    QString name;
    qint32 sum = 0;  // hundredths
    qint32 article = 0;
    qint32 taxIndex1 = 0;  // tax schemes 1 to 8, 0 none
    qint32 taxIndex2 = 0;
};

// The register's forms (service cash, return receipt, periodic report, programming, password,
// payment) live above this library; they install themselves here at start-up. Tests script it.
class FRDialogs {
public:
    virtual ~FRDialogs() = default;
    // Service cash: mode 0 cash in, 1 cash out, 2 the number of the receipt to return.
    virtual void showSluzh(FiscalRegister& fr, int mode) = 0;
    virtual void showZReportPeriod(FiscalRegister& fr) = 0;
    virtual void showSettings(FiscalRegister& fr) = 0;
    // The access password typed; nothing when cancelled.
    virtual std::optional<QString> askPassword(FiscalRegister& fr) = 0;
    virtual bool showPayment(FiscalRegister& fr, const std::vector<FRLine>& lines) = 0;
};

class FiscalRegister {
public:
    using LineInfo = FRLine;
    using Lines = std::vector<LineInfo>;
    // Service lines under "<running number>_<service id>", printed in the order of the keys as texts.
    using ServiceLines = std::map<QString, LineInfo>;
    // Called with the parser when a reply completes.
    using AnswerNotify = std::function<void(PacketParser&)>;

    // Type 0 is the one model; any other type is refused.
    static std::unique_ptr<FiscalRegister> scCreateFR(int type, AnswerNotify notify = {});
    // The access password enciphered (true) or deciphered (false) for the settings file.
    static QString scCryptPassword(const QString& text, bool encrypt);

    static void setDialogs(FRDialogs* dialogs);
    static FRDialogs* dialogs();

    virtual ~FiscalRegister() = default;

    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool checkConnection() = 0;
    virtual bool registerCashier(QString& password, const QString& cashier) = 0;
    virtual bool printCreditCheck(const QString& contractNum, Lines pledgeLines,
                                  const ServiceLines& services) = 0;
    virtual bool printPaymentCheck(const QString& contractNum, qint32 principal, qint32 storage,
                                   qint32 interest, qint32 penalty, const ServiceLines& services) = 0;
    virtual bool printCreditIncreaseCheck(const QString& contractNum, qint32 sum,
                                          const ServiceLines& services) = 0;
    virtual bool printSaleCheck(const QString& contractNum, qint32 sum) = 0;
    virtual bool printServicesCheck(const QString& text, const ServiceLines& services) = 0;
    virtual bool addServicesLines(const QString& text, const ServiceLines& services, Lines* lines, bool begin,
                                  bool close) = 0;
    virtual void printNullCheck() = 0;
    virtual void printXReport() = 0;
    virtual void printZReport() = 0;
    virtual void execDIZV() = 0;
    virtual void printPeriodicReportByDates(core::DateTime first, core::DateTime last) = 0;
    virtual void printPeriodicReportByNumbers(int first, int last) = 0;
    virtual void printPeriodicReportFull() = 0;
    virtual void printSluzhKassa(qint64 sum, bool cashOut) = 0;
    virtual void progrValyta(int decimals, const QString& name) = 0;
    virtual void setDefaultTaxes(bool vatPayer) = 0;
    virtual int getNalogSchemeCount() const = 0;
    virtual QString nalogCodeByIndx(int index) const = 0;
    virtual std::vector<NalogsSettings> getNalogsFromFR() = 0;
    virtual void progrOneNalogScheme(int index, quint8 type, qint32 rate) = 0;
    virtual void progrNalogName(int index, const QString& name) = 0;
    virtual void setTaxCalcMode(bool on) = 0;
    virtual void setTaxPrintMode(bool on) = 0;
    virtual void execTMOD2() = 0;
    virtual void setAutoCashAccounting(bool on) = 0;
    virtual void progrZagolovok(const QString& text) = 0;
    virtual void progrRegInfo(const QString& a, const QString& b, const QString& c, const QString& d,
                              const QString& e) = 0;
    virtual void progrLastStr(const QString& text) = 0;
    virtual void progrTime(const QString& hhmmss) = 0;
    virtual void execKASS() = 0;
    virtual void printInfoLine(const QString& text) = 0;
    virtual void fiscalLine(const QString& name, qint32 quantity, qint64 price, bool divisible, int taxA,
                            int taxB, int article) = 0;
    virtual void beginCheck(const QString& kind) = 0;
    virtual void fiscalSetReturn(int receiptNumber) = 0;
    virtual void beginReturnCheck(const QString& kind) = 0;
    virtual void setReturnMode() = 0;
    virtual qint64 closeCheckPayments(qint64 a, qint64 b, qint64 c, qint64 d) = 0;
    virtual qint64 closeCheckCash() = 0;
    virtual void cancelCheck() = 0;
    virtual void printCheckCopy() = 0;
    virtual void readConfig() = 0;
    virtual void showSluzhIzyatie() = 0;
    virtual void showSluzhVnesenie() = 0;
    virtual void showReturnCheck() = 0;
    virtual void showZReportPeriod() = 0;
    virtual void showSettings() = 0;
    virtual QString askPassword() = 0;
    virtual bool showPayment(const Lines& lines) = 0;
    virtual QString transact(const QString& command) = 0;
    virtual QString send(const QString& command) = 0;

    // The register's own date, as its configuration was last read from the device.
    virtual core::DateTime getDate() const = 0;
    // The link is open and synchronised.
    virtual bool isConnected() const = 0;

    // True when the date is the register's own; otherwise asks whether to print with the register's
    // date, and true only for Yes. A connected register's date is read afresh first, so that a
    // receipt after midnight compares with the new day.
    bool examCheckDate(core::DateTime date);
};

// Cuts the received bytes into the packets of one reply. Bytes outside a block are noted as noise and
// dropped; a reply ends at its "READY" block and whatever follows it is dropped.
class PacketParser {
public:
    explicit PacketParser(const ComPortSettings& settings) : settings_(settings) {}
    virtual ~PacketParser() = default;

    void reset();
    void inputBytes(const QByteArray& bytes);
    // A reply has begun and its "READY" block has not come yet.
    bool receiving() const { return !complete_ && (!buffer_.isEmpty() || !packets_.isEmpty()); }
    bool complete() const { return complete_; }
    bool noise() const { return noise_; }
    const QStringList& packets() const { return packets_; }

    std::function<void(const QString&)> onPacket;
    std::function<void(PacketParser&)> onAnswer;

private:
    const ComPortSettings& settings_;
    QByteArray buffer_;
    QStringList packets_;
    bool complete_ = false;
    bool noise_ = false;
};

class FRMariya : public FiscalRegister {
public:
    explicit FRMariya(AnswerNotify notify = {});
    ~FRMariya() override;

    void open() override;
    void close() override;
    bool checkConnection() override;
    bool registerCashier(QString& password, const QString& cashier) override;
    bool printCreditCheck(const QString& contractNum, Lines pledgeLines,
                          const ServiceLines& services) override;
    bool printPaymentCheck(const QString& contractNum, qint32 principal, qint32 storage, qint32 interest,
                           qint32 penalty, const ServiceLines& services) override;
    bool printCreditIncreaseCheck(const QString& contractNum, qint32 sum,
                                  const ServiceLines& services) override;
    bool printSaleCheck(const QString& contractNum, qint32 sum) override;
    bool printServicesCheck(const QString& text, const ServiceLines& services) override;
    bool addServicesLines(const QString& text, const ServiceLines& services, Lines* lines, bool begin,
                          bool close) override;
    void printNullCheck() override;
    void printXReport() override;
    void printZReport() override;
    void execDIZV() override;
    void printPeriodicReportByDates(core::DateTime first, core::DateTime last) override;
    void printPeriodicReportByNumbers(int first, int last) override;
    void printPeriodicReportFull() override;
    void printSluzhKassa(qint64 sum, bool cashOut) override;
    void progrValyta(int decimals, const QString& name) override;
    void setDefaultTaxes(bool vatPayer) override;
    int getNalogSchemeCount() const override { return 8; }
    QString nalogCodeByIndx(int index) const override;
    std::vector<NalogsSettings> getNalogsFromFR() override;
    void progrOneNalogScheme(int index, quint8 type, qint32 rate) override;
    void progrNalogName(int index, const QString& name) override;
    void setTaxCalcMode(bool on) override;
    void setTaxPrintMode(bool on) override;
    void execTMOD2() override;
    void setAutoCashAccounting(bool on) override;
    void progrZagolovok(const QString& text) override;
    void progrRegInfo(const QString& a, const QString& b, const QString& c, const QString& d,
                      const QString& e) override;
    void progrLastStr(const QString& text) override;
    void progrTime(const QString& hhmmss) override;
    void execKASS() override;
    void printInfoLine(const QString& text) override;
    void fiscalLine(const QString& name, qint32 quantity, qint64 price, bool divisible, int taxA, int taxB,
                    int article) override;
    void beginCheck(const QString& kind) override;
    void fiscalSetReturn(int receiptNumber) override;
    void beginReturnCheck(const QString& kind) override;
    void setReturnMode() override { returnMode_ = true; }
    qint64 closeCheckPayments(qint64 a, qint64 b, qint64 c, qint64 d) override;
    qint64 closeCheckCash() override;
    void cancelCheck() override;
    void printCheckCopy() override;
    void readConfig() override;
    void showSluzhIzyatie() override;
    void showSluzhVnesenie() override;
    void showReturnCheck() override;
    void showZReportPeriod() override;
    void showSettings() override;
    QString askPassword() override;
    bool showPayment(const Lines& lines) override;
    QString transact(const QString& command) override;
    QString send(const QString& command) override;

    core::DateTime getDate() const override { return conf_.getDate(); }
    bool isConnected() const override { return connected_; }

    // The start settings of the settings file: the port name of FRComPort ("COMn", or a number n
    // meaning COM n+1) and the timeout of FRTimeOut, held to 100..8000 ms.
    static QString startPortName();
    static int startTimeout();
    // Step one of starting the register: when not connected, take the start settings and open.
    void openFromSettings();
    // The start as the shell runs it, for a cashier number: open, decipher the stored password,
    // register the cashier and store the password enciphered again. True when registered.
    bool start(const QString& cashier);

    // The device path of a port name: a path as it is, "COMn" from section SERIAL_PORTS or
    // /dev/ttyS{n-1}.
    static QString portPath(const QString& name);
    // Refuses a timeout of 0 or less, which would never wait or never give up.
    void setTimeOut(int ms);
    int timeOut() const { return timeout_; }
    void setComPortName(const QString& name) { settings_.portName = name; }
    ComPortSettings getComPortSettings() const { return settings_; }
    bool isPortConnected() const;
    QString findPacket(const QString& name) const;
    NalogsSettings getNalog(int index) const;
    void setNalog(int index, quint8 type, qint32 rate);
    void initNalogsFromFR();
    void progrNalogsToFR();
    const ConfInfo& config() const { return conf_; }
    const std::map<QString, QString>& errorTable() const { return errors_; }
    // The tax schemes of an operation kind from the settings file: 1 credit, 2 payment, 3 selling,
    // 4 storage; another kind is refused.
    std::pair<int, int> taxes2Operation(int kind) const;
    bool returnMode() const { return returnMode_; }
    qint64 salesTotal() const { return salesTotal_; }
    qint64 returnsTotal() const { return returnsTotal_; }
    qint64 salesTax() const { return salesTax_; }
    qint64 returnsTax() const { return returnsTax_; }
    std::function<void(const QString&)> onPacket;

private:
    void pause(int ms);
    void fillErrors();

    ConfInfo conf_;
    int timeout_ = 2000;
    ComPortSettings settings_;
    std::unique_ptr<PacketParser> parser_;
    std::map<QString, QString> errors_;
    std::vector<NalogsSettings> nalogs_;
    bool connected_ = false;
    bool returnMode_ = false;
    bool busy_ = false;
    qint64 salesTotal_ = 0;
    qint64 returnsTotal_ = 0;
    qint64 salesTax_ = 0;
    qint64 returnsTax_ = 0;
    std::unique_ptr<serial::Port> port_;
};

// The register's text coding and fixed-width fields.
namespace frcodec {
// cp866 after І→I, і→i, Ґ→Г, ґ→г; any other character it lacks goes as "?".
QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);
// FD, the text, its length + 1 in one byte, FE.
QByteArray frame(const QString& text);
// Blank-padded on the right or cut to the width.
QString textField(const QString& text, int width);
// Zero-padded on the left; refuses a negative number or one longer than the width.
QString numberField(qint64 value, int width);
}  // namespace frcodec

}  // namespace KassRegister
