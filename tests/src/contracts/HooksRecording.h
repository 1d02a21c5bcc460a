#pragma once
// Recording stand-ins of the cash and desk layers: every services list made, saved and dropped, and
// every cash-order regeneration asked, in order, as text lines the tests compare.

#include <vector>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/data/MemTable.h"
#include "u_ContractHooks.h"

namespace contracttest {

using namespace TolvLogic;

inline QString d(core::DateTime date) {
    return core::dateToStr(date);
}

// What the cash and desk layers were asked, in order.
struct Recorder {
    std::vector<QString> log;
    std::vector<int> depositSums;            // DEPOSIT_SUM of the contract of each recalc
    fb::Transaction* transaction = nullptr;  // of the last scCreate
    bool failSave = false;                   // services lists refuse to be stored
    bool failRecalc = false;
    bool closeConnection = false;  // the connection goes away while the orders are written
};

class RecordingServices : public ServicesList {
public:
    RecordingServices(Recorder& recorder, ServiceEvent event, int objectId)
        : recorder_(recorder), event_(event), objectId_(objectId) {}
    ~RecordingServices() override { recorder_.log.push_back(QStringLiteral("drop ") + tag()); }
    quint8 getEvent() const override { return event_; }
    void save(int objectId, bool commit) override {
        recorder_.log.push_back(
            QStringLiteral("save %1 -> %2%3").arg(tag()).arg(objectId).arg(commit ? " commit" : ""));
        if (recorder_.failSave) throw core::Exception(QStringLiteral("послуги не збережено"));
        objectId_ = objectId;
    }
    data::Dataset& rows() override { return rows_; }
    QString tag() const { return QStringLiteral("%1:%2").arg(event_).arg(objectId_); }

private:
    Recorder& recorder_;
    ServiceEvent event_;
    int objectId_;
    data::MemTable rows_;  // the recorder's lists carry no rows
};

class RecordingServicesFactory : public ServicesFactory {
public:
    explicit RecordingServicesFactory(Recorder& recorder) : recorder_(recorder) {}
    std::unique_ptr<ServicesList> create(ServiceEvent event, int objectId, core::DateTime date,
                                         fb::Transaction*) override {
        recorder_.log.push_back(QStringLiteral("services %1:%2 %3").arg(event).arg(objectId).arg(d(date)));
        return std::make_unique<RecordingServices>(recorder_, event, objectId);
    }

private:
    Recorder& recorder_;
};

class RecordingCalculation : public WarrantCalculation {
public:
    RecordingCalculation(Recorder& recorder, fb::Transaction* transaction)
        : recorder_(recorder), transaction_(transaction) {}
    void recalc(core::DateTime date, TPenaltyContractInfo& contract, const QString& code,
                TPenaltyOperationInfo* operation, ServicesList* services, const QString& text) override {
        QString sums = QStringLiteral("no op");
        if (operation) {
            sums = QStringLiteral("%1/%2/%3/%4")
                       .arg(operation->getValue(TolvLogic::TPenaltyOperationInfo::oOP_SUM).toInt())
                       .arg(operation->getValue(TolvLogic::TPenaltyOperationInfo::oOP_STORAGE_SUM).toInt())
                       .arg(operation->getValue(TolvLogic::TPenaltyOperationInfo::oOP_PERC_SUM).toInt())
                       .arg(operation->getValue(TolvLogic::TPenaltyOperationInfo::oOP_PENALTY_SUM).toInt());
        }
        // The change itself is already written, in the transaction the orders are written in.
        const core::Variant rows =
            scalar(QStringLiteral("select count(*) as V from PENALTY_OPERATIONS where DEPOSIT_ID = %1 "
                                  "and OP_DATE = %2")
                       .arg(contract.getContractValue(TPenaltyContractInfo::cCONTRACT_ID).toInt())
                       .arg(lit(date)),
                   transaction_);
        recorder_.depositSums.push_back(contract.getDepositValue(TPenaltyContractInfo::dDEPOSIT_SUM).toInt());
        const auto* recording = dynamic_cast<RecordingServices*>(services);
        recorder_.log.push_back(
            QStringLiteral("recalc %1 %2 %3 %4 rows=%5%6")
                .arg(d(date), code, sums, recording ? recording->tag() : QStringLiteral("no services"))
                .arg(rows.toInt())
                .arg(text.isEmpty() ? QString() : QStringLiteral(" ") + text));
        if (recorder_.failRecalc) throw core::Exception(QStringLiteral("касовий ордер не записано"));
        if (recorder_.closeConnection) TolvMain::getZarvelDb()->close();
    }

private:
    Recorder& recorder_;
    fb::Transaction* transaction_;
};

class RecordingWarrants : public WarrantCalculationFactory {
public:
    explicit RecordingWarrants(Recorder& recorder) : recorder_(recorder) {}
    std::unique_ptr<WarrantCalculation> scCreate(core::DateTime date, int filialId,
                                                 fb::Transaction* transaction) override {
        recorder_.log.push_back(QStringLiteral("calc %1 branch=%2").arg(d(date)).arg(filialId));
        recorder_.transaction = transaction;
        return std::make_unique<RecordingCalculation>(recorder_, transaction);
    }

private:
    Recorder& recorder_;
};

// Installs both recorders for the life of the object.
struct RecordingHooks {
    Recorder recorder;
    RecordingServicesFactory services{recorder};
    RecordingWarrants warrants{recorder};
    RecordingHooks() {
        TolvLogic::setServicesFactory(&services);
        TolvLogic::setWarrantCalculationFactory(&warrants);
    }
    ~RecordingHooks() {
        TolvLogic::setServicesFactory(nullptr);
        TolvLogic::setWarrantCalculationFactory(nullptr);
    }
};

}  // namespace contracttest
