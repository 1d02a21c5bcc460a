#include "u_ContractPrmsFiller.h"

#include <cmath>

#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "TClients.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "kv_Money100.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/data/Dataset.h"
#include "platform/fb/Query.h"
#include "u_contractSubjects.h"

using core::Variant;

namespace TolvLogic {

using Money100::divRoundHalfEven;

namespace {

const QString kDEFAULTS = QStringLiteral("DEFAULTS");
const QString kPRICE = QStringLiteral("PRICE");
const QString kDEPOSIT_SUM = QStringLiteral("DEPOSIT_SUM");
const QString kPRICE_PER_GRAM = QStringLiteral("PRICE_PER_GRAM");
const QStringList kGoldFields = {kPRICE_PER_GRAM, QStringLiteral("DEPOSIT_PER_GRAM"),
                                 QStringLiteral("WEIGHT"), QStringLiteral("WEIGHT_GEM")};
constexpr quint32 kBlue = 0x0000FF;

// The first row's value of the column, or the integer 0 when there is none.
Variant firstValue(fb::Query& q, const QString& column) {
    q.open();
    return q.eof() ? Variant(0) : q.fieldByName(column).value();
}

// One tariff column as the lookup gives it: S or the term reach the statement as a parameter.
using Lookup = std::function<Variant(const QString& column)>;

// The columns shared by both tariffs, in the order they are read; storeStartAnyValue: any non-zero
// IS_STORAGE_START_W_PEN counts (the tariff by sum), else only 1.
void fillFromTariff(ContractPrms& prms, const Lookup& lookup, bool storeStartAnyValue, bool withCreditPerc) {
    auto flagOne = [](const Variant& v) { return !v.isEmpty() && v.toInt() == 1; };
    prms.perc = lookup(QStringLiteral("PERC")).toDouble();
    prms.penaltyPerc = lookup(QStringLiteral("PENALTY_PERC")).toDouble();
    if (withCreditPerc) prms.creditPerc = lookup(QStringLiteral("CREDIT_PERC")).toDouble();
    const Variant type = lookup(QStringLiteral("STORAGE_TYPE"));
    const int storageType = type.isEmpty() ? 1 : type.toInt();
    prms.storageType = static_cast<quint8>(storageType == 0 ? 1 : storageType);
    prms.storageVal = lookup(QStringLiteral("STORAGE_VAL")).toDouble();
    prms.storageMinDays = lookup(QStringLiteral("MIN_STORAGE_DAYS")).toInt();
    const Variant startWithPenalty = lookup(QStringLiteral("IS_STORAGE_START_W_PEN"));
    prms.isStorageStartWithPenalty =
        storeStartAnyValue ? startWithPenalty.toInt() != 0 : flagOne(startWithPenalty);
    prms.isPenalFromRetSum = flagOne(lookup(QStringLiteral("IS_PENAL_FROM_RET_SUM")));
    prms.isPercWithPenaltyStart = flagOne(lookup(QStringLiteral("IS_PERC_W_PEN_START")));
    prms.minAccrualDays = lookup(QStringLiteral("MIN_ACCRUAL_DAYS")).toInt();
}

}  // namespace

// ---- ContractPrmsFiller ---------------------------------------------------------------------------

int ContractPrmsFiller::scGetKind() {
    if (udb::dbIniReadBool(kDEFAULTS, QStringLiteral("UseAutoPercCalcSum"), false)) return 1;
    if (udb::dbIniReadBool(kDEFAULTS, QStringLiteral("UseAutoPercCalcDays"), false)) return 2;
    return 0;
}

std::unique_ptr<ContractPrmsFiller> ContractPrmsFiller::scCreate() {
    switch (scGetKind()) {
        case 1:
            return std::make_unique<ContractPrmsFillerSum>();
        case 2:
            return std::make_unique<ContractPrmsFillerDays>();
        default:
            return std::make_unique<ContractPrmsFillerConst>();
    }
}

int ContractPrmsFiller::scGetGoldCreditMethod() {
    return udb::dbIniReadInt(kDEFAULTS, QStringLiteral("AutoPerc_AutoCalcCredit4GoldMetod"), 0);
}

void ContractPrmsFiller::scSetGoldCreditMethod(int method) {
    udb::dbIniWrite(kDEFAULTS, QStringLiteral("AutoPerc_AutoCalcCredit4GoldMetod"), Variant(method));
}

bool ContractPrmsFiller::fillOnEvent(ContractPrms& prms, int event) {
    if (event < 0 || event >= int(events_.size()) || !events_.test(std::size_t(event))) return false;
    fill(prms);
    return true;
}

void ContractPrmsFiller::init(TPenaltyContractInfo* contract, fb::Transaction* transaction) {
    contract_ = contract;
    transaction_ = transaction;
}

fb::Transaction* ContractPrmsFiller::transaction() const {
    return transaction_ ? transaction_ : TolvMain::getChangeTransact();
}

void ContractPrmsFiller::setupTermControl(TermField& field, int term) {
    field.setPickOnly(false);
    field.setText(QString::number(term));
}

// ---- ContractPrmsFillerConst ----------------------------------------------------------------------

ContractPrmsFillerConst::ContractPrmsFillerConst() : ContractPrmsFiller(EventSet().set(1)) {}
ContractPrmsFillerConst::~ContractPrmsFillerConst() = default;

void ContractPrmsFillerConst::fill(ContractPrms& prms) {
    auto real = [](const char* key) { return udb::dbIniReadFloat(kDEFAULTS, QString::fromLatin1(key), 0); };
    auto whole = [](const char* key, int def) {
        return udb::dbIniReadInt(kDEFAULTS, QString::fromLatin1(key), def);
    };
    auto flag = [](const char* key, bool def) {
        return udb::dbIniReadBool(kDEFAULTS, QString::fromLatin1(key), def);
    };
    prms.perc = real("percent");
    prms.penaltyPerc = real("penalty");
    prms.isPenalFromRetSum = flag("isPenalCalcFromRetSum", false);
    prms.isPercWithPenaltyStart = flag("isCalcPercWithPenalty", true);
    prms.minAccrualDays = whole("minAccrualDays", 0);
    prms.exceedDays = whole("repExceedDays", 0);
    prms.storageType = static_cast<quint8>(whole("StorageType", 1) & 0xFF);
    prms.storageVal = real("StorageVal");
    prms.storageMinDays = whole("StorageMinDays", 0);
    prms.isStorageStartWithPenalty = flag("isStorageCalcWPenalty", true);
}

// ---- ContractPrmsFillerSum ------------------------------------------------------------------------

ContractPrmsFillerSum::ContractPrmsFillerSum()
    : ContractPrmsFiller(EventSet().set(1).set(3).set(4)),
      inclClientOpenedContracts(
          udb::dbIniReadBool(kDEFAULTS, QStringLiteral("AutoPerc_InclClientOpenedContracts"), false)) {}
ContractPrmsFillerSum::~ContractPrmsFillerSum() = default;

void ContractPrmsFillerSum::fill(ContractPrms& prms) {
    using C = TPenaltyContractInfo;
    qint64 hundredths = contract_->getDepositInt(C::dDEPOSIT_SUM);
    if (inclClientOpenedContracts) {
        const Variant client = contract_->getContractValue(C::cCLIENT_ID);
        hundredths += findOpenContractsSum(client.isEmpty() ? -1 : client.toInt(),
                                           contract_->getContractValue(C::cCONTRACT_ID).toInt());
    }
    const double s = Money100::fromHundredths(double(hundredths));
    fb::Transaction* tr = transaction();
    fillFromTariff(
        prms,
        [&](const QString& column) {
            ufb::AutoQuery below(
                QStringLiteral(" select ") + column +
                    QStringLiteral(" from AUTO_PERC_SUM  where SUM_FROM <= :S order by SUM_FROM desc "),
                tr);
            below->setParam(QStringLiteral("S"), Variant(s));
            below->open();
            if (!below->eof()) return below->fieldByName(column).value();
            // Below every threshold: the lowest one.
            ufb::AutoQuery lowest(QStringLiteral(" select ") + column +
                                      QStringLiteral(" from AUTO_PERC_SUM  order by SUM_FROM "),
                                  tr);
            return firstValue(*lowest.get(), column);
        },
        true, false);
}

int ContractPrmsFillerSum::findOpenContractsSum(int clientId, int contractId) const {
    if (clientId == -1) return 0;
    TClientInfo client;
    client.SetField(TClientInfo::fCLIENT_ID, Variant(clientId));
    if (client.Select() == 0) {
        throw core::Exception(
            KVLibTranslator::instance().translate(
                QStringLiteral("u_ContractPrmsFiller.ContractPrmsFillerSum.findOpenContractsSum.Exception"),
                QStringLiteral("Не удалось загрузить информацию о клиенте id = ")) +
            QString::number(clientId) + QStringLiteral("\n\nInfo: .\\u_ContractPrmsFiller:280"));
    }
    int total = 0;
    for (int id : client.getContractsByState(csOPENED)) {
        if (id == contractId) continue;
        const TPenaltyContractInfo other(id, nullptr);
        total += other.getFullCreditSum();
    }
    return total;
}

// ---- ContractPrmsFillerDays -----------------------------------------------------------------------

ContractPrmsFillerDays::ContractPrmsFillerDays() : ContractPrmsFiller(EventSet().set(1).set(2)) {}

ContractPrmsFillerDays::~ContractPrmsFillerDays() {
    if (grid_) grid_->onCellStyle = oldGridGetCellParams_;
}

void ContractPrmsFillerDays::fill(ContractPrms& prms) {
    const int term = contract_->getDepositInt(TPenaltyContractInfo::dPENALTY_DAYS);
    fb::Transaction* tr = transaction();
    fillFromTariff(
        prms,
        [&](const QString& column) {
            ufb::AutoQuery q(
                QStringLiteral(" select ") + column +
                    QStringLiteral(" from AUTO_PERC_DAYS  where DAYS = :TERM order by DAYS desc "),
                tr);
            q->setParam(QStringLiteral("TERM"), Variant(term));
            return firstValue(*q.get(), column);
        },
        false, true);
}

void ContractPrmsFillerDays::getCreditPerc(double& creditPerc) const {
    ufb::AutoQuery q(
        QStringLiteral(" select CREDIT_PERC from AUTO_PERC_DAYS  where DAYS = :TERM order by DAYS desc "),
        transaction());
    q->setParam(QStringLiteral("TERM"),
                Variant(contract_->getDepositInt(TPenaltyContractInfo::dPENALTY_DAYS)));
    creditPerc = firstValue(*q.get(), QStringLiteral("CREDIT_PERC")).toDouble();
}

double ContractPrmsFillerDays::calcSubjCredit(int valuation) const {
    if (TDepositTypes::scIsGold(contract_->getIdDepositeType()) && scGetGoldCreditMethod() == 0) return 0;
    double p = 0;
    getCreditPerc(p);
    if (p == 0) return 0;
    // The percent has four decimals: p × v / 100 is an exact fraction of ten-thousandths, rounded once.
    const qint64 perc = std::llround(p * 10000);
    qint64 credit = divRoundHalfEven(perc * valuation, 100 * 10000);
    if (udb::dbIniReadBool(kDEFAULTS, QStringLiteral("AutoPerc_RoundSubjCredit"), false)) {
        credit = divRoundHalfEven(credit, 100) * 100;
    }
    return double(credit);
}

void ContractPrmsFillerDays::init(TPenaltyContractInfo* contract, fb::Transaction* transaction) {
    contract_ = contract;
    ContractSubjects* list = contract->getSubjects();
    data::Dataset& ds = *list->getDataSet();
    // A second init on the same list must not take our own handlers for the list's.
    if (list != subjects_) {
        data::Field& price = ds.fieldByName(kPRICE);
        oldPriceChange_ = price.onChange();
        price.setOnChange([this](data::Field& f) { onPriceChange(f); });
        if (TDepositTypes::scIsGold(contract->getIdDepositeType())) {
            oldGoldFieldChange_ = ds.fieldByName(kPRICE_PER_GRAM).onChange();
            for (const QString& name : kGoldFields) {
                ds.fieldByName(name).setOnChange([this](data::Field& f) { onGoldFieldChange(f); });
            }
        }
        subjects_ = list;
    }
    grid::GridView* grid = list->getRxDBGrid() ? list->getRxDBGrid() : list->getGridEh();
    if (grid && grid != grid_) {
        if (grid_) grid_->onCellStyle = oldGridGetCellParams_;
        oldGridGetCellParams_ = grid->onCellStyle;
        grid->onCellStyle = [this](int row, const grid::Column& column, grid::CellStyle& style) {
            onGridGetCellParams(row, column, style);
        };
        grid_ = grid;
    }
    ContractPrmsFiller::init(contract, transaction);
}

void ContractPrmsFillerDays::onPriceChange(data::Field& field) {
    if (oldPriceChange_) oldPriceChange_(field);
    if (field.fieldName() != kPRICE) return;
    const double credit = calcSubjCredit(field.isNull() ? 0 : field.asInteger());
    if (credit != 0) subjects_->setFieldValue(kDEPOSIT_SUM, Variant(qint32(credit)));
}

void ContractPrmsFillerDays::onGoldFieldChange(data::Field& field) {
    if (oldGoldFieldChange_) oldGoldFieldChange_(field);
    if (!kGoldFields.contains(field.fieldName())) return;
    const data::Field& price = subjects_->getDataSet()->fieldByName(kPRICE);
    const double credit = calcSubjCredit(price.isNull() ? 0 : price.asInteger());
    // The tariff's credit overrides the one the prices per gram gave.
    if (credit != 0) subjects_->setFieldValue(kDEPOSIT_SUM, Variant(qint32(credit)));
}

void ContractPrmsFillerDays::onGridGetCellParams(int row, const grid::Column& column,
                                                 grid::CellStyle& style) {
    if (column.fieldName == kDEPOSIT_SUM && subjects_) {
        data::Dataset& ds = *subjects_->getDataSet();
        const auto hundredths = [](const Variant& v) { return v.isEmpty() ? 0 : v.toInt64(); };
        const qint64 price = hundredths(ds.valueAt(row, ds.fieldByName(kPRICE).index()));
        const qint64 credit = hundredths(ds.valueAt(row, ds.fieldByName(kDEPOSIT_SUM).index()));
        const double proposed = calcSubjCredit(int(price));
        if (proposed != 0 && credit > qint64(proposed)) style.text = kBlue;
    }
    if (oldGridGetCellParams_) oldGridGetCellParams_(row, column, style);
}

void ContractPrmsFillerDays::setupTermControl(TermField& field, int term) {
    QStringList days;
    {
        ufb::AutoQuery q(QStringLiteral(" select DAYS from AUTO_PERC_DAYS  order by DAYS asc "), nullptr);
        for (q->open(); !q->eof(); q->next())
            days << QString::number(q->fieldByName(QStringLiteral("DAYS")).asInteger());
    }
    field.setItems(days);
    field.setPickOnly(true);
    const int contractId = contract_->getContractValue(TPenaltyContractInfo::cCONTRACT_ID).toInt();
    if (contractId == -1) {
        const qsizetype at = days.indexOf(QString::number(term));
        if (at >= 0) {
            field.select(int(at));
        } else if (!days.isEmpty()) {
            field.select(0);
        }
        field.fireChange();
        return;
    }
    const qsizetype at =
        days.indexOf(QString::number(contract_->getDepositInt(TPenaltyContractInfo::dPENALTY_DAYS)));
    if (at >= 0) {
        field.select(int(at));
    } else {
        field.setPickOnly(false);
    }
}

}  // namespace TolvLogic
