// The company's requisites: the ZVIT_COMPANY row and the "CompanyInfo" settings.

#include "PenaltyContracts.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/fb/Query.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

namespace {

const QString kSection = QStringLiteral("CompanyInfo");

QString column(int index) {
    return QString::fromLatin1(zvitCompanyFields[index]);
}

QString readText(const char* key) {
    return udb::dbIniReadString(kSection, QString::fromLatin1(key), QString());
}

void write(const char* key, const Variant& value) {
    udb::dbIniWrite(kSection, QString::fromLatin1(key), value);
}

}  // namespace

CompanyInfo::CompanyInfo(int rowId)
    : record_(std::make_unique<ufb::TDBRecord>(QStringLiteral("ZVIT_COMPANY"), column(zID), rowId, nullptr)) {
    load();
}

CompanyInfo::~CompanyInfo() = default;

void CompanyInfo::load() {
    if (record_->Select() == 0) {
        if (record_->GetField(column(zID)).toInt() != 1) {
            throw core::Exception(kvtr::tr("PenaltyContracts.CompanyInfo.load.Exception",
                                           u"Невозможно загрузить информацию о предприятии"));
        }
        // The company's own row is made on first use, with its key only.
        ufb::AutoQuery insert(nullptr);
        insert->setSql(QStringLiteral("Insert into ZVIT_COMPANY (ID)\nValues(") + QString::number(1) +
                       QStringLiteral(")"));
        insert->transaction()->start();
        insert->execSql();
        insert->transaction()->commit();
        record_->Select();
    }
    if (record_->GetField(column(zSUB_DEP_CNT), false).isEmpty()) record_->SetField(column(zSUB_DEP_CNT), 0);

    isCompanyVATPayer = udb::dbIniReadBool(kSection, QStringLiteral("isCompanyVATPayer"), true);
    INN = readText("INN");
    VATValue = static_cast<float>(udb::dbIniReadFloat(kSection, QStringLiteral("VATValue"), 20.0));
    registrationCertificateNum = readText("registrationCertificateNum");
    SPEC_COMMUNICATIONS_DEPARTMENT = readText("SPEC_COMMUNICATIONS_DEPARTMENT");
    contractWithSpecCommunications = readText("contractWithSpecCommunications");
    companyAccount = readText("companyAccount");
    INI_COMPANY_INFO_COMPANY_BANK = readText("INI_COMPANY_INFO_COMPANY_BANK");
    INI_COMPANY_INFO_COMPANY_BANK_MFO = readText("INI_COMPANY_INFO_COMPANY_BANK_MFO");
    INI_COMPANY_INFO_COMPANY_OKPO = readText("INI_COMPANY_INFO_COMPANY_OKPO");
    contractWithNBUNum = readText("contractWithNBUNum");
    const QString date = readText("contractWithNBUDate");
    contractWithNBUDate = DateTime();
    if (!date.isEmpty() && !core::tryStrToDateTime(date, contractWithNBUDate)) {
        throw core::Exception(QStringLiteral("'") + date + QStringLiteral("' is not a valid date"));
    }
}

void CompanyInfo::save() {
    record_->Update();
    write("isCompanyVATPayer", isCompanyVATPayer);
    write("INN", INN);
    // The float's own shortest text: widened to double it would be stored as 20.100000381...
    write("VATValue", QString::number(static_cast<double>(VATValue), 'g', 7));
    write("registrationCertificateNum", registrationCertificateNum);
    write("SPEC_COMMUNICATIONS_DEPARTMENT", SPEC_COMMUNICATIONS_DEPARTMENT);
    write("contractWithSpecCommunications", contractWithSpecCommunications);
    write("companyAccount", companyAccount);
    write("INI_COMPANY_INFO_COMPANY_BANK", INI_COMPANY_INFO_COMPANY_BANK);
    write("INI_COMPANY_INFO_COMPANY_BANK_MFO", INI_COMPANY_INFO_COMPANY_BANK_MFO);
    write("INI_COMPANY_INFO_COMPANY_OKPO", INI_COMPANY_INFO_COMPANY_OKPO);
    write("contractWithNBUNum", contractWithNBUNum);
    write("contractWithNBUDate", core::formatDateTime(QStringLiteral("dd.mm.yyyy"), contractWithNBUDate));
}

Variant CompanyInfo::getValue(int index) const {
    return record_->GetField(column(index), true);
}

void CompanyInfo::setValue(int index, const Variant& value) {
    record_->SetField(column(index), value);
}

}  // namespace TolvLogic
