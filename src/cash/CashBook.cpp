#include "CashBook.h"

#include "PenaltyDirectories.h"
#include "PenaltyWarrants.h"
#include "Warrantcalculation.h"
#include "kv_Translator.h"
#include "platform/core/Formats.h"
#include "platform/data/Dataset.h"
#include "platform/fb/Query.h"

namespace TolvLogic {

using core::Variant;
using kvtr::tr;

namespace {

const QString kId = QStringLiteral("ID");
const QString kDirWarrantes = QStringLiteral("ID_DIR_WARRANTES");
const QString kCode = QStringLiteral("CODE");
const QString kDocNum = QStringLiteral("DOC_NUM");
const QString kDocSubj = QStringLiteral("DOC_SUBJ");
const QString kRecSum = QStringLiteral("REC_SUM");
const QString kExpSum = QStringLiteral("EXP_SUM");
const QString kDocType = QStringLiteral("DOC_TYPE");
const QString kDate = QStringLiteral("W_DATE");
const QString kAccount = QStringLiteral("ACCOUNT_NUMBER");

// The party is read as a text blob: a plain text of the connection's character set holds fewer
// characters than the column.
const QString kSummarySql = QStringLiteral(
    " select WR.ID, WR.NUMBER, WR.W_DATE, WR.ID_DIR_WARRANTES, WR.W_TYPE, WR.ACCOUNT_NUMBER, WR.W_SUM, "
    "cast(WR.OPERATION_SUBJECT as blob sub_type text) as OPERATION_SUBJECT, WR.FOUNDATION, DW.CODE "
    "from WARRANTES WR left join DIR_WARRANTES DW on DW.ID = WR.ID_DIR_WARRANTES ");

// The list statements by [by modification date][grouping].
const QString kListSql[2][2] = {
    {QStringLiteral(" select w.id, w.id_dir_warrantes, w.w_type, w.number from WARRANTES w where w_date "
                    "between :DATE_START and :DATE_END and w.id_filial = :ID_FILIAL order by w.w_type, "
                    "w.number "),
     QStringLiteral(" select w.id, w.id_dir_warrantes from WARRANTES w where w_date between :DATE_START "
                    "and :DATE_END and w.id_filial = :ID_FILIAL and w.id_dir_warrantes is null union all "
                    "select r.id, r.id_dir_warrantes from registers r where r_date between :DATE_START "
                    "and :DATE_END and r.id_filial = :ID_FILIAL and r.r_number <> -1 ")},
    {QStringLiteral(" select w.id, w.id_dir_warrantes, w.w_type, w.number from WARRANTES w where "
                    "W.modify_date between :DATE_START and :DATE_END and w.id_filial = :ID_FILIAL order "
                    "by w.w_type, w.number "),
     QStringLiteral(" select w.id, w.id_dir_warrantes from WARRANTES w where W.modify_date between "
                    ":DATE_START and :DATE_END and w.id_filial = :ID_FILIAL and w.ID_CONTRACT is null "
                    "union all select r.id, r.id_dir_warrantes from registers r where id in ( Select "
                    "distinct W2.id_register from WARRANTES W2 where W2.modify_date between :DATE_START "
                    "and :DATE_END and W2.id_filial = :ID_FILIAL and W2.ID_CONTRACT is not null ) and "
                    "r.id_filial = :ID_FILIAL and r.r_number <> -1 ")}};

// A calculated text field holds at most its size: longer texts are shown cut.
void setText(data::Dataset& dataset, const QString& name, const QString& text) {
    data::Field& f = dataset.fieldByName(name);
    f.setValue(text.size() > f.size() ? text.left(f.size()) : text);
}

// Hundredths shown as the amount with two decimals.
Variant amount(qint64 hundredths) {
    return QString::number(static_cast<double>(hundredths) / 100.0, 'f', 2);
}

}  // namespace

CashBook::CashBook(fb::Transaction* transaction) : QueryWrapper(transaction) {
    grouping_ = CashSettings::groupAutoOrdersInRegister();
}

CashBook::CashBook(core::DateTime begin, core::DateTime end, int branchId, bool byModificationDate)
    : QueryWrapper(static_cast<fb::Transaction*>(nullptr)) {
    load(begin, end, branchId, byModificationDate);
}

CashBook::~CashBook() {
    if (data::Dataset* ds = getDataSet()) ds->close();
}

void CashBook::load(core::DateTime begin, core::DateTime end, int branchId, bool byModificationDate) {
    begin_ = begin;
    end_ = end;
    branchId_ = branchId;
    byModificationDate_ = byModificationDate;
    grouping_ = CashSettings::groupAutoOrdersInRegister();
    close();
    if (byModificationDate_) {
        dateColumn_ = QStringLiteral("MODIFY_DATE");
        layout_ = List;
    } else {
        dateColumn_ = kDate;
        layout_ = WarrantCalculationManager::getCalculationMethod(end_, branchId_, getDatabase()) == 1
                      ? Summary
                      : List;
    }
    if (layout_ == Summary) {
        defineSummary();
    } else {
        defineList();
    }
    open();
}

void CashBook::defineSummary() {
    setSql(kSummarySql);
    clearFields();
    auto hidden = [](data::Field* f) { f->setVisible(false); };
    hidden(addIntegerField(kId));
    hidden(addStringField(QStringLiteral("NUMBER"), 80));
    hidden(addDateField(kDate));
    hidden(addIntegerField(kDirWarrantes));
    hidden(addIntegerField(QStringLiteral("W_TYPE")));
    hidden(addStringField(kAccount, 80));
    hidden(addIntegerField(QStringLiteral("W_SUM")));
    hidden(addStringField(QStringLiteral("OPERATION_SUBJECT"), 10000));
    hidden(addStringField(QStringLiteral("FOUNDATION"), 255));
    hidden(addStringField(kCode, 80));
    defineCalculated();
}

void CashBook::defineList() {
    setSql(kListSql[byModificationDate_ ? 1 : 0][grouping_ ? 1 : 0]);
    setWhere(QString());
    clearFields();
    addIntegerField(kId)->setVisible(false);
    addIntegerField(kDirWarrantes)->setVisible(false);
    defineCalculated();
}

void CashBook::defineCalculated() {
    // The calculated columns follow the layout's data fields, in the sheet's order; the grid's
    // columns are the layout's alone.
    clearColumns();
    auto text = [this](const QString& name, int size) {
        addField(std::make_unique<data::Field>(data::DataType::String, size, data::FieldKind::Calculated),
                 name);
    };
    auto money = [this](const QString& name) {
        auto f = std::make_unique<data::Field>(data::DataType::Currency, 0, data::FieldKind::Calculated);
        f->setDisplayFormat(QStringLiteral("0.00"));
        f->setEditFormat(QStringLiteral("0.00"));
        addField(std::move(f), name);
    };
    text(kDocNum, 90);
    text(kDocSubj, 510);
    money(kRecSum);
    money(kExpSum);
    if (layout_ == List) text(kDate, 10);
    text(kDocType, 90);
    if (layout_ == List) text(kAccount, 20);

    auto column = [this](const QString& field, int width, const char* key, const char16_t* caption) {
        addColumnEh(field, width, tr(key, caption), noSortMarker);
    };
    column(kDocNum, 100, "PenaltyContracts.CashBook.DOC_NUM", u"Номер документа");
    if (layout_ == List && byModificationDate_) {
        column(kDocType, 80, "PenaltyContracts.CashBook.DOC_TYPE", u"Тип документа");
        column(kDate, 70, "field.DATE", u"Дата");
    }
    column(kDocSubj, 400, "PenaltyContracts.CashBook.DOC_SUBJ", u"Від кого отримано чи кому видано");
    column(kAccount, 26, "PenaltyContracts.CashBook.ACCOUNT_NUMBER", u"Номер кор.рах.");
    column(kRecSum, 76, "PenaltyContracts.CashBook.REC_SUM", u"Прибуток");
    column(kExpSum, 78, "PenaltyContracts.CashBook.EXP_SUM", u"Видаток");
    getDataSet()->onCalcFields = [this](data::Dataset& d) { OnCalcFields(d); };
}

bool CashBook::open() {
    if (getDataSet()->fieldCount() == 0) return false;  // nothing loaded yet
    if (layout_ == Summary) {
        setWhere(QStringLiteral(" ID_FILIAL = :ID_FILIAL AND ") + dateColumn_ +
                 QStringLiteral(" BETWEEN :DATE_START AND :DATE_END"));
    }
    prepareSql();
    fb::Query* q = getQuery();
    q->setParam(QStringLiteral("DATE_START"), Variant(begin_));
    q->setParam(QStringLiteral("DATE_END"), Variant(end_));
    q->setParam(QStringLiteral("ID_FILIAL"), branchId_);
    q->prepare();
    return IbDataSetWrapper::open();
}

void CashBook::assignGridEvents() {
    QueryWrapper::assignGridEvents();
    if (!gridEh_) return;
    gridEh_->onCellStyle = [this](int row, const grid::Column& column, grid::CellStyle& style) {
        getCellParams(row, column, style);
    };
}

void CashBook::OnCalcFields(data::Dataset& dataset) {
    if (layout_ == Summary) {
        calcSummary(dataset);
    } else {
        calcList(dataset);
    }
}

void CashBook::calcSummary(data::Dataset& dataset) {
    const QString number = dataset.fieldByName(QStringLiteral("NUMBER")).asString();
    const data::Field& type = dataset.fieldByName(QStringLiteral("W_TYPE"));
    const Variant sum = amount(dataset.fieldByName(QStringLiteral("W_SUM")).asLargeInt());
    if (!type.isNull() && type.asInteger() == 0) {
        setText(dataset, kDocNum, QStringLiteral("пр. ") + number);
        dataset.fieldByName(kRecSum).setValue(sum);
        dataset.fieldByName(kExpSum).clear();
    } else if (!type.isNull() && type.asInteger() == 1) {
        setText(dataset, kDocNum, QStringLiteral("  р. ") + number);
        dataset.fieldByName(kRecSum).clear();
        dataset.fieldByName(kExpSum).setValue(sum);
    }
    const QString subject = dataset.fieldByName(QStringLiteral("OPERATION_SUBJECT")).asString();
    setText(dataset, kDocSubj,
            dataset.fieldByName(kCode).isNull()
                ? subject
                : dataset.fieldByName(QStringLiteral("FOUNDATION")).asString() + u' ' + subject);
}

void CashBook::calcList(data::Dataset& dataset) {
    const int id = dataset.fieldByName(kId).asInteger();
    const data::Field& dir = dataset.fieldByName(kDirWarrantes);
    if (!dir.isNull() && dir.asInteger() == -1) {
        const RegisterInfo reg(id);
        setText(dataset, kAccount, QString());
        const bool receipt = reg.GetField(RegisterInfo::rR_TYPE).toInt() == 1;
        const QString number = reg.GetField(RegisterInfo::rR_NUMBER).toText();
        const QString pledge = TDepositTypes::scGetName(reg.GetField(RegisterInfo::rR_SUBJ_TYPE).toInt());
        const Variant total = amount(reg.getSum(getTransaction()));
        if (receipt) {
            setText(dataset, kDocNum,
                    tr("PenaltyContracts.CashBook.OnCalcFields.REG_NUMre", u"Вед.пр.") + number);
            setText(
                dataset, kDocSubj,
                tr("PenaltyContracts.CashBook.OnCalcFields.DOC_SUBJre", u"Приходные операции: ") + pledge);
            dataset.fieldByName(kRecSum).setValue(total);
            dataset.fieldByName(kExpSum).clear();
        } else {
            setText(dataset, kDocNum,
                    tr("PenaltyContracts.CashBook.OnCalcFields.REG_NUMex", u"Вед.р.") + number);
            setText(
                dataset, kDocSubj,
                tr("PenaltyContracts.CashBook.OnCalcFields.DOC_SUBJex", u"Расходные операции: ") + pledge);
            dataset.fieldByName(kExpSum).setValue(total);
            dataset.fieldByName(kRecSum).clear();
        }
        if (byModificationDate_) {
            setText(dataset, kDate, core::dateToStr(reg.GetField(RegisterInfo::rR_DATE).toDateTime()));
            setText(dataset, kDocType, tr("field.REGISTER", u"Ведомость"));
        }
        return;
    }
    const WarrantInfo order(id, getTransaction());
    setText(dataset, kAccount, order.GetField(WarrantInfo::wACCOUNT_NUMBER).toText());
    const QString number = order.GetField(WarrantInfo::wNUMBER).toText();
    const Variant sum = amount(order.GetField(WarrantInfo::wW_SUM).toInt64());
    if (order.GetField(WarrantInfo::wW_TYPE).toInt() == 0) {
        setText(dataset, kDocNum,
                tr("PenaltyContracts.CashBook.OnCalcFields.ORD_NUMre", u"Орд.пр.") + number);
        dataset.fieldByName(kRecSum).setValue(sum);
        dataset.fieldByName(kExpSum).clear();
    } else {
        setText(dataset, kDocNum, tr("PenaltyContracts.CashBook.OnCalcFields.ORD_NUMex", u"Орд.р.") + number);
        dataset.fieldByName(kExpSum).setValue(sum);
        dataset.fieldByName(kRecSum).clear();
    }
    setText(dataset, kDocSubj, order.GetField(WarrantInfo::wOPERATION_SUBJECT).toText());
    if (byModificationDate_) {
        setText(dataset, kDate, core::dateToStr(order.GetField(WarrantInfo::wW_DATE).toDateTime()));
        setText(dataset, kDocType, QStringLiteral("Ордер"));
    }
}

void CashBook::getCellParams(int row, const grid::Column&, grid::CellStyle& style) {
    data::Dataset* ds = getDataSet();
    bool shaded = false;
    if (layout_ == Summary) {
        shaded = !ds->valueAt(row, ds->fieldByName(kCode).index()).isEmpty();
    } else {
        const Variant dir = ds->valueAt(row, ds->fieldByName(kDirWarrantes).index());
        shaded = !dir.isEmpty() && dir.toInt() == -1;
    }
    if (!shaded) return;
    style.background = kShade;
    style.text = kShadeText;
}

}  // namespace TolvLogic
